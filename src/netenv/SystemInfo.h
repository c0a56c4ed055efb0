#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

class NetworkPort;
class SystemQueries;

inline constexpr std::size_t kMaxInventoryAdapters = 64;

struct AdapterInventoryEntry {
    std::string name;
    std::string description;
    std::uint32_t index = 0;
    std::uint32_t type = 0;
    bool dhcp_enabled = false;
    std::string hardware_address;
    // "0.0.0.0" for an adapter without an IPv4 address, as the list reports.
    std::string address = "0.0.0.0";
    std::string mask = "0.0.0.0";
    std::string gateway = "0.0.0.0";
    std::string dhcp_server;
};

struct AdapterInventory {
    std::vector<AdapterInventoryEntry> entries;
};

// 0, or the adapter list's error code with no entries. At most 64 entries,
// in list order.
int ReadAdapterInventory(NetworkPort& network, AdapterInventory& inventory);

// The machine description sent at login and in event reports: the OS line,
// the browser line (when the browser version can be read) and one line per
// adapter, each ending in CR LF. Never fails.
std::string BuildSystemInfo(NetworkPort& network, SystemQueries& system);

}  // namespace korvane
