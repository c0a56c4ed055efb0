#pragma once

#include <string>

namespace korvane {

class CNetworkMgmt;

// Gives the TAP adapter the hardware address the account prescribes and
// restarts its connection so that the driver takes it: off, and on again
// only when off succeeded. Nothing happens when mac_addr is empty or no
// adapter matches. 1 when the restart completed, 0 when it did not, -1 when
// nothing was done.
int ApplyTapHardwareAddress(CNetworkMgmt& network, const std::string& tap_description,
                            const std::string& mac_addr);

}  // namespace korvane
