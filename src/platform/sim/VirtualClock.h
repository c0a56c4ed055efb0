#pragma once

#include <cstdint>

#include "platform/Clock.h"

namespace korvane {

// Time that moves only when told to: tests and headless runs advance it.
class VirtualClock : public Clock {
  public:
    // 2026-01-05 09:00:00 local, a Monday morning.
    static constexpr std::int64_t kDefaultStart = 1767603600;

    explicit VirtualClock(std::int64_t local_seconds = kDefaultStart)
        : start_local_seconds_(local_seconds) {}

    std::int64_t LocalSecondsNow() const override {
        return start_local_seconds_ + elapsed_ms_ / 1000;
    }
    std::int64_t MonotonicMilliseconds() const override { return elapsed_ms_; }
    bool SetLocalTime(const LocalTime& time) override;

    void AdvanceMilliseconds(std::int64_t ms) { elapsed_ms_ += ms; }

  private:
    std::int64_t start_local_seconds_;
    std::int64_t elapsed_ms_ = 0;
};

}  // namespace korvane
