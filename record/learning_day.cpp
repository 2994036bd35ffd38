// Learning days from local date-times, on the platform's clock so tests can
// run on a virtual one.
#include "record/learning_day.h"

#include <cstdio>

namespace {

// Howard Hinnant's civil-calendar conversions (proleptic Gregorian).
void dateOfDayNumber(int dayNumber, int& year, int& month, int& day) {
    long long z = static_cast<long long>(dayNumber) + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = static_cast<int>(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400) + (month <= 2);
}

}  // namespace

int calendarDayNumber(int year, int month, int day) {
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yoe = year - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int learningDayOf(const DateTime& local) {
    const int day = calendarDayNumber(local.year, local.month, local.day);
    return local.hour < kLearningDayStartHour ? day - 1 : day;
}

int todayLearningDay() {
    return learningDayOf(currentTime());
}

int todayCalendarDay() {
    const DateTime now = currentTime();
    return calendarDayNumber(now.year, now.month, now.day);
}

Text calendarDayText(int dayNumber) {
    int year = 0, month = 0, day = 0;
    dateOfDayNumber(dayNumber, year, month, day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}
