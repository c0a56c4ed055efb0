#pragma once

#include <cstdint>

namespace korvane {

// A moment on the local wall clock, as the service and the user read it.
struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Local wall-clock moments as seconds since 1970-01-01 00:00:00 *local*, so the
// difference of two local moments is a plain subtraction. False when the
// fields do not name a real moment (month 13, 31 February ...).
bool ToLocalSeconds(const LocalTime& time, std::int64_t& seconds);
LocalTime FromLocalSeconds(std::int64_t seconds);

// The clock port: the system clock on a real machine, a virtual one in tests.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t LocalSecondsNow() const = 0;
    virtual std::int64_t MonotonicMilliseconds() const = 0;
    // Setting the clock may fail (no privilege); callers ignore the result.
    virtual bool SetLocalTime(const LocalTime& time) = 0;
};

}  // namespace korvane
