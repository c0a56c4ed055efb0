#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/Clock.h"

namespace korvane {

// Time that moves only when told to: tests and headless runs advance it. On
// the desktop a simulated machine's time also runs with the real one, so
// its programs and the window's timers keep pace.
class VirtualClock : public Clock {
  public:
    // 2026-01-05 09:00:00 local, a Monday morning.
    static constexpr std::int64_t kDefaultStart = 1767603600;

    explicit VirtualClock(std::int64_t local_seconds = kDefaultStart)
        : start_local_seconds_(local_seconds) {}

    std::int64_t LocalSecondsNow() const override {
        return start_local_seconds_ + MonotonicMilliseconds() / 1000;
    }
    std::int64_t MonotonicMilliseconds() const override;
    bool SetLocalTime(const LocalTime& time) override;

    void AdvanceMilliseconds(std::int64_t ms) { elapsed_ms_ += ms; }
    // From now on real time is added to what was advanced.
    void FollowRealTime();

  private:
    using RealClock = std::chrono::steady_clock;

    std::int64_t start_local_seconds_;
    std::int64_t elapsed_ms_ = 0;
    std::optional<RealClock::time_point> following_since_;
};

}  // namespace korvane
