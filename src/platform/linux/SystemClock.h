#pragma once

#include "platform/Clock.h"

namespace korvane {

// The machine's clock. Setting it needs CAP_SYS_TIME; without it the call
// fails and the caller ignores that.
class SystemClock : public Clock {
  public:
    std::int64_t LocalSecondsNow() const override;
    std::int64_t MonotonicMilliseconds() const override;
    bool SetLocalTime(const LocalTime& time) override;
};

}  // namespace korvane
