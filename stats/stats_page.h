// The statistics page laid out as shapes: the day's and overall figures, the
// practice calendar, the review forecast, the accuracy by day, the progress
// per word list, the words most often wrong and the kinds of mistakes.
#pragma once

#include "runtime/shape_page.h"
#include "stats/learning_stats.h"

constexpr int kStatsPageWidth = 900;
constexpr int kStatsPageHeight = 700;

enum StatsCommand { kSavePicture = 1, kExportRecord = 2 };

// notice: one line at the foot of the page (empty: none). withButtons: the
// save and export buttons, left out when there is no record to act on.
ShapePage statisticsPage(const LearningStats& stats, const Text& notice, bool withButtons);

// 1234567 as "1,234,567".
Text groupedNumber(long long value);
// right of total as a whole percentage, rounded down; "—" when total is 0.
Text percentText(int right, int total);
