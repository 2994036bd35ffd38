// The figures of the statistics page, computed from what the learning record
// holds. Pure functions over plain rows, so they are checked without a
// database or a clock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "record/word_history.h"
#include "runtime/text.h"
#include "stats/mistake_kinds.h"

// One judged answer as the record keeps it.
struct AnswerRow {
    std::int64_t utcMs = 0;
    Text bank;
    Text entry;
    Text typed;
    bool correct = false;
    bool hintShown = false;
    std::int64_t answerMs = 0;
};

// A word list of the page: a bundled list (all chapters of one folder) or
// the learner's own banks together.
struct WordListEntries {
    Text name;
    TextArray entries;
};

struct StatsInput {
    std::vector<AnswerRow> answers;      // oldest first
    std::map<Text, WordHistory> words;   // every entry ever answered
    std::vector<WordListEntries> lists;  // in the page's order
    int today = 0;                       // learning day
    int utcOffsetSeconds = 0;            // local time minus UTC
};

constexpr int kHeatmapWeeks = 53;
constexpr int kForecastDays = 30;
constexpr int kAccuracyDays = 30;
constexpr int kTopWrongWords = 15;

struct DayAccuracy {
    int day = 0;
    int answers = 0, right = 0;
};

struct ListProgress {
    Text name;
    int mastered = 0, practised = 0, notPractised = 0;
};

struct WrongWord {
    Text entry;
    int misses = 0;
    Text commonTyped;  // the most frequent wrong spelling; empty when only blanks were typed
    int commonCount = 0;
};

struct KindTally {
    int count = 0;
    Text exampleTyped, exampleEntry;  // the latest such answer
};

struct LearningStats {
    int today = 0;
    int answersToday = 0, rightToday = 0;
    int streak = 0;
    int wordsPractised = 0, wordsMastered = 0, dueToday = 0;
    // Answers per learning day, 7 × kHeatmapWeeks days from a Monday; the
    // days after today stay 0.
    int heatmapFirstDay = 0;
    std::vector<int> heatmap;
    // [0]: overdue before today; [1 + k]: falling due on today + k.
    std::vector<int> forecast;
    std::vector<DayAccuracy> accuracy;  // the last learning days with answers, oldest first
    std::vector<ListProgress> lists;
    std::vector<WrongWord> wrongWords;  // most missed first
    std::array<KindTally, kMistakeKindCount> kinds{};
    int answersTotal = 0;
};

// The learning day (days since 1970-01-01, starting at 04:00) of a moment.
int learningDayOfUtc(std::int64_t utcMs, int utcOffsetSeconds);
// Monday 0 ... Sunday 6.
int weekdayOfDay(int dayNumber);
// One of five shades for a day's answer count: 0 for none, 1 to 4 rising.
int heatmapShade(int answers);

LearningStats computeLearningStats(const StatsInput& input);
