// Learning days: the learner's local calendar days, each starting at 04:00,
// so that practice after midnight still belongs to the evening before. The
// review schedule counts in them.
#pragma once

#include "runtime/clock.h"
#include "runtime/text.h"

constexpr int kLearningDayStartHour = 4;

// Days since 1970-01-01 of a calendar date (negative before it).
int calendarDayNumber(int year, int month, int day);
// The learning day a local date-time belongs to.
int learningDayOf(const DateTime& local);
// The learning day and the calendar day of the platform's local time now.
int todayLearningDay();
int todayCalendarDay();
// A calendar day number as "YYYY-MM-DD".
Text calendarDayText(int dayNumber);
