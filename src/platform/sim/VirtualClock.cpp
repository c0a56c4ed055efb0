#include "platform/sim/VirtualClock.h"

namespace korvane {

std::int64_t VirtualClock::MonotonicMilliseconds() const {
    if (!following_since_) {
        return elapsed_ms_;
    }
    const auto real =
        std::chrono::duration_cast<std::chrono::milliseconds>(RealClock::now() - *following_since_);
    return elapsed_ms_ + real.count();
}

void VirtualClock::FollowRealTime() {
    if (!following_since_) {
        following_since_ = RealClock::now();
    }
}

bool VirtualClock::SetLocalTime(const LocalTime& time) {
    std::int64_t seconds = 0;
    if (!ToLocalSeconds(time, seconds)) {
        return false;
    }
    // Keep the monotonic time; move only the wall clock.
    start_local_seconds_ = seconds - MonotonicMilliseconds() / 1000;
    return true;
}

}  // namespace korvane
