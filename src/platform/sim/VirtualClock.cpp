#include "platform/sim/VirtualClock.h"

namespace korvane {

bool VirtualClock::SetLocalTime(const LocalTime& time) {
    std::int64_t seconds = 0;
    if (!ToLocalSeconds(time, seconds)) {
        return false;
    }
    // Keep the monotonic time; move only the wall clock.
    start_local_seconds_ = seconds - elapsed_ms_ / 1000;
    return true;
}

}  // namespace korvane
