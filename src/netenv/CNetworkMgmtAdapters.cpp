// Adapter, connection, binding and firewall operations of CNetworkMgmt.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "netenv/AddressText.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/SystemVersion.h"
#include "platform/CommandRunner.h"
#include "platform/NetworkPort.h"

namespace korvane {

namespace {

constexpr int kConnectionAttempts = 3;

const AdapterRecord* FindByIndex(const std::vector<AdapterRecord>& adapters, std::int64_t index) {
    for (const AdapterRecord& adapter : adapters) {
        if (static_cast<std::int64_t>(adapter.index) == index) {
            return &adapter;
        }
    }
    return nullptr;
}

// GUIDs name the same connection whatever the letter case of their text.
bool SameGuid(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string FormatCommand(const char* format, const std::string& argument) {
    const int size = std::snprintf(nullptr, 0, format, argument.c_str());
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, argument.c_str());
    text.resize(static_cast<std::size_t>(size));
    return text;
}

struct SwitchFormat {
    const char* format;
    const char* component;
};

constexpr SwitchFormat kCurrentSwitches[] = {
    {"mgmt_2.exe /d \"%s\" ms_msclient", "ms_msclient"},
    {"mgmt_2.exe /d \"%s\" ms_server", "ms_server"},
    {"mgmt_2.exe /d \"%s\" ms_lltdio", "ms_lltdio"},
    {"mgmt_2.exe /d \"%s\" ms_rspndr", "ms_rspndr"},
    {"mgmt_2.exe /d \"%s\" ms_tcpip6", "ms_tcpip6"},
    {"mgmt_2.exe /d \"%s\" ms_tcpip6_tunnel", "ms_tcpip6_tunnel"},
};

constexpr SwitchFormat kOlderSwitches[] = {
    {"mgmt_1.exe /d \"%s\" ms_msclient", "ms_msclient"},
    {"mgmt_1.exe /d \"%s\" ms_server", "ms_server"},
};

constexpr const char* kFirewallFormats[] = {
    "netsh firewall add allowedprogram \"%s\\Korvane\\dovaop.exe\" dovaop ENABLE",
    "netsh firewall add allowedprogram \"%s\\Korvane\\Korvane.exe\" Nodrel ENABLE",
};

}  // namespace

int CNetworkMgmt::CountAdaptersByDescription(const std::string& text) {
    std::vector<AdapterRecord> adapters;
    if (network_.ReadAdapters(adapters) != 0) {
        return -1;
    }
    int count = 0;
    for (const AdapterRecord& adapter : adapters) {
        if (adapter.description.find(text) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

std::int64_t CNetworkMgmt::FindAdapterIndex(const std::string& text) {
    std::vector<AdapterRecord> adapters;
    if (network_.ReadAdapters(adapters) != 0) {
        return -1;
    }
    for (const AdapterRecord& adapter : adapters) {
        if (adapter.description.find(text) != std::string::npos) {
            return adapter.index;
        }
    }
    return 0;
}

std::string CNetworkMgmt::GetAdapterMac(std::int64_t interface_index) {
    std::vector<AdapterRecord> adapters;
    if (network_.ReadAdapters(adapters) != 0) {
        return {};
    }
    const AdapterRecord* adapter = FindByIndex(adapters, interface_index);
    if (adapter == nullptr) {
        return {};
    }
    return FormatHardwareAddress(adapter->hardware_address);
}

std::string CNetworkMgmt::GetAdapterGuid(std::int64_t interface_index) {
    std::vector<AdapterRecord> adapters;
    if (network_.ReadAdapters(adapters) != 0) {
        return {};
    }
    const AdapterRecord* adapter = FindByIndex(adapters, interface_index);
    return adapter == nullptr ? std::string() : adapter->guid;
}

int CNetworkMgmt::SetTapMacAddress(const std::optional<std::string>& address,
                                   const std::string& guid) {
    network_.SetHardwareAddressOverride(guid, address);
    return 1;
}

int CNetworkMgmt::RestartConnection(const std::string& guid, bool connect) {
    std::vector<ConnectionRecord> connections;
    if (network_.ListConnections(connections) != kConnectionOk) {
        return 0;
    }
    for (const ConnectionRecord& connection : connections) {
        if (!SameGuid(connection.guid, guid)) {
            continue;
        }
        std::int32_t result = kConnectionRetry;
        for (int attempt = 0; attempt < kConnectionAttempts && result == kConnectionRetry;
             ++attempt) {
            result = network_.SwitchConnection(connection.guid, connect);
        }
        return result == kConnectionOk ? 1 : 0;
    }
    return 0;
}

std::int32_t CNetworkMgmt::SetConnectionEnabled(const std::string& device_name, bool enable) {
    std::vector<ConnectionRecord> connections;
    const std::int32_t listed = network_.ListConnections(connections);
    if (listed != kConnectionOk) {
        return listed;
    }
    std::int32_t result = kConnectionNotFound;
    for (const ConnectionRecord& connection : connections) {
        if (connection.device_name == device_name) {
            result = network_.SwitchConnection(connection.guid, enable);
        }
    }
    return result;
}

int CNetworkMgmt::UnbindTapProtocols(const std::string& tap_description) {
    const bool current = HasCurrentNetworkTools(system_);
    const SwitchFormat* begin = current ? std::begin(kCurrentSwitches) : std::begin(kOlderSwitches);
    const SwitchFormat* end = current ? std::end(kCurrentSwitches) : std::end(kOlderSwitches);
    for (const SwitchFormat* item = begin; item != end; ++item) {
        const BindingSwitch binding{FormatCommand(item->format, tap_description), tap_description,
                                    item->component};
        if (!network_.RunBindingSwitch(binding)) {
            return -1;
        }
    }
    return 1;
}

int CNetworkMgmt::AddFirewallExceptions(const std::string& program_dir) {
    for (const char* format : kFirewallFormats) {
        const std::string command = FormatCommand(format, program_dir);
        commands_.RunHiddenAndWait(command);
        commands_.StartHidden(command);
    }
    return 1;
}

}  // namespace korvane
