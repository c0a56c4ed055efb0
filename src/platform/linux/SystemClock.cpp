#include "platform/linux/SystemClock.h"

#include <ctime>

namespace korvane {

std::int64_t SystemClock::LocalSecondsNow() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    LocalTime t{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    std::int64_t seconds = 0;
    // A leap second (tm_sec 60) reads as the second before it.
    if (t.second > 59) {
        t.second = 59;
    }
    ToLocalSeconds(t, seconds);
    return seconds;
}

std::int64_t SystemClock::MonotonicMilliseconds() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool SystemClock::SetLocalTime(const LocalTime& time) {
    std::int64_t check = 0;
    if (!ToLocalSeconds(time, check)) {
        return false;
    }
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_sec = time.second;
    local.tm_isdst = -1;
    const std::time_t when = mktime(&local);
    if (when == static_cast<std::time_t>(-1)) {
        return false;
    }
    const timespec ts{when, 0};
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}

}  // namespace korvane
