#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/SessionContext.h"
#include "netenv/AddressText.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/RoutePlans.h"
#include "platform/sim/SimCommandRunner.h"
#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimSystemQueries.h"
#include "protocol/AccountInfo.h"

namespace korvane::test {

inline Ipv4 Addr(const char* text) {
    Ipv4 address = 0;
    ParseDottedAddress(text, address);
    return address;
}

inline ForwardRow Row(const char* destination, const char* mask, const char* next_hop,
                      std::uint32_t interface_index, std::uint32_t metric) {
    ForwardRow row;
    row.destination = Addr(destination);
    row.mask = Addr(mask);
    row.next_hop = Addr(next_hop);
    row.interface_index = interface_index;
    row.type = Addr(next_hop) == 0 ? kRouteTypeDirect : kRouteTypeIndirect;
    row.protocol = kRouteProtocolNetMgmt;
    row.metric = metric;
    return row;
}

inline constexpr std::uint32_t kPhysical = 7;
inline constexpr std::uint32_t kTap = 12;
inline constexpr char kTapDescription[] = "TAP-Windows Adapter V9";

// A Windows 7 machine with an Ethernet adapter carrying the default route and
// a TAP adapter whose tunnel is up (it brought a default route of its own).
struct SimMachine {
    SimNetwork network;
    SimSystemQueries system;
    SimCommandRunner commands;
    CNetworkMgmt mgmt{network, system, commands};
    SessionContext session;
    AccountInfo account;
    BaseRoute base;
    std::vector<std::pair<std::string, std::string>> settings_written;
    SettingsWriter writer = [this](const std::string& name, const std::string& value) {
        settings_written.emplace_back(name, value);
    };

    SimMachine() {
        AdapterRecord ethernet;
        ethernet.index = kPhysical;
        ethernet.name = "eth0";
        ethernet.description = "Realtek PCIe GBE Family Controller";
        ethernet.hardware_address = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xef};
        ethernet.guid = "{5B6A8F10-0C1D-4E2F-8A9B-0C1D2E3F4A5B}";
        ethernet.addresses = {{Addr("192.168.0.10"), Addr("255.255.255.0")}};
        ethernet.gateway = Addr("192.168.0.1");
        network.AddAdapter(ethernet);

        AdapterRecord tap;
        tap.index = kTap;
        tap.name = "tap";
        tap.description = kTapDescription;
        tap.hardware_address = {0x00, 0xff, 0x11, 0x22, 0x33, 0x44};
        tap.guid = "{0E2F8C41-7D5A-4B3C-9E1F-2A3B4C5D6E7F}";
        tap.addresses = {{Addr("10.8.0.6"), Addr("255.255.255.0")}};
        network.AddAdapter(tap);

        network.AddRow(Row("0.0.0.0", "0.0.0.0", "192.168.0.1", kPhysical, 25));
        network.AddRow(Row("192.168.0.0", "255.255.255.0", "0.0.0.0", kPhysical, 25));
        network.AddRow(Row("10.8.0.0", "255.255.255.0", "0.0.0.0", kTap, 30));
        network.AddRow(Row("0.0.0.0", "0.0.0.0", "10.8.0.5", kTap, 30));

        session.auth_host = "203.0.113.5";
        session.tap_adapter_description = kTapDescription;
        account.server_ip = "198.51.100.10";
        account.gateway_ip = "10.8.0.5";
    }

    void Login() { AddLoginHostRoutes(mgmt, base, session, account); }

    // Routes of one metric as "destination/mask via next hop if N" texts.
    std::vector<std::string> Routes(std::uint32_t metric) const {
        std::vector<std::string> texts;
        for (const ForwardRow& row : network.RoutesWithMetric(metric)) {
            texts.push_back(FormatDottedAddress(row.destination) + "/" +
                            FormatDottedAddress(row.mask) + " via " +
                            FormatDottedAddress(row.next_hop) + " if " +
                            std::to_string(row.interface_index));
        }
        std::sort(texts.begin(), texts.end());
        return texts;
    }
};

}  // namespace korvane::test
