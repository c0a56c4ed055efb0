#include "netenv/TapHardwareAddress.h"

#include "netenv/CNetworkMgmt.h"

namespace korvane {

int ApplyTapHardwareAddress(CNetworkMgmt& network, const std::string& tap_description,
                            const std::string& mac_addr) {
    if (mac_addr.empty()) {
        return -1;
    }
    const std::int64_t index = network.FindAdapterIndex(tap_description);
    if (index <= 0) {
        return -1;
    }
    const std::string guid = network.GetAdapterGuid(index);
    network.SetTapMacAddress(mac_addr, guid);
    if (network.RestartConnection(guid, false) != 1) {
        return 0;
    }
    return network.RestartConnection(guid, true);
}

}  // namespace korvane
