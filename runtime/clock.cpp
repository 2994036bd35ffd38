// Time comes from the platform when one is installed, so tests can drive a
// virtual clock; without one (pure-function tests, tools) the C library's
// local time and the operating system's monotonic clock serve.
#include "runtime/clock.h"

#include <ctime>

#include "runtime/native_fs.h"
#include "runtime/platform.h"

DateTime currentTime() {
    if (hasPlatform()) return platform().localTime();
    std::time_t now = std::time(nullptr);
    // Only the GUI thread asks for the time, so the shared buffer of
    // std::localtime is safe here.
    const std::tm* local = std::localtime(&now);
    DateTime time;
    if (local == nullptr) return time;
    time.year = local->tm_year + 1900;
    time.month = local->tm_mon + 1;
    time.day = local->tm_mday;
    time.hour = local->tm_hour;
    time.minute = local->tm_min;
    time.second = local->tm_sec > 59 ? 59 : local->tm_sec;  // a leap second reads as 59
    return time;
}

int secondOf(const DateTime& time) {
    return time.second;
}

std::int64_t tickCount() {
    if (hasPlatform()) return platform().tickCount();
    return native::steadyMilliseconds();
}
