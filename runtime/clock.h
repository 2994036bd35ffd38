// Local date-time and a millisecond tick, both asked of the platform so that
// tests can run on a virtual clock.
#pragma once

#include <cstdint>

struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

DateTime currentTime();
int secondOf(const DateTime& time);
std::int64_t tickCount();  // milliseconds, monotonic
