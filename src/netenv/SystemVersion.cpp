#include "netenv/SystemVersion.h"

#include "platform/SystemQueries.h"

namespace korvane {

bool IsNt6OrLater(SystemQueries& system) {
    OsVersionRecord version;
    return system.ReadVersion(version) && version.platform_id == kPlatformNt && version.major > 5;
}

bool HasCurrentNetworkTools(SystemQueries& system) {
    OsVersionRecord version;
    if (!system.ReadVersion(version)) {
        return false;
    }
    return (version.platform_id == kPlatformNt && version.major > 5) ||
           version.platform_id == kPlatformLinux;
}

}  // namespace korvane
