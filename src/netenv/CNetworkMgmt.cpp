#include "netenv/CNetworkMgmt.h"

#include <functional>
#include <vector>

#include "netenv/AddressText.h"
#include "platform/NetworkPort.h"

namespace korvane {

namespace {

bool ValidIndex(std::int64_t index) {
    return index > 0 && index <= 0xFFFFFFFFll;
}

// Deletes every row of one snapshot that matches. A failed delete (also of a
// row that has gone since the snapshot) makes the result -1, but the walk goes
// on: stopping would leave the rest of a route class in the table.
int DeleteMatching(NetworkPort& network, const std::function<bool(const ForwardRow&)>& matches) {
    std::vector<ForwardRow> rows;
    if (!network.ReadForwardTable(rows)) {
        return -1;
    }
    int result = 0;
    for (const ForwardRow& row : rows) {
        if (matches(row) && !network.DeleteForwardRow(row)) {
            result = -1;
        }
    }
    return result;
}

}  // namespace

CNetworkMgmt::CNetworkMgmt(NetworkPort& network, SystemQueries& system, CommandRunner& commands)
    : network_(network), system_(system), commands_(commands) {}

CNetworkMgmt::~CNetworkMgmt() = default;

std::int64_t CNetworkMgmt::GetBestInterface(std::string& gateway) {
    Ipv4 probe = 0;
    ParseDottedAddress(kBestRouteProbe, probe);
    ForwardRow route;
    if (!network_.FindBestRoute(probe, route)) {
        return -1;
    }
    gateway = FormatDottedAddress(route.next_hop);
    return route.interface_index;
}

std::string CNetworkMgmt::GetInterfaceAddress(std::int64_t interface_index) {
    std::vector<AddressRow> rows;
    if (!network_.ReadAddressTable(rows)) {
        return {};
    }
    for (const AddressRow& row : rows) {
        if (static_cast<std::int64_t>(row.interface_index) == interface_index) {
            interface_address_ = FormatDottedAddress(row.address);
            interface_netmask_ = FormatDottedAddress(row.mask);
            return interface_address_;
        }
    }
    return {};
}

int CNetworkMgmt::AddRoute(std::int64_t interface_index, const std::string& next_hop,
                           const std::string& destination, const std::string& mask,
                           std::uint32_t metric) {
    if (!ValidIndex(interface_index) || next_hop.empty() || destination.empty() || mask.empty()) {
        return -1;
    }
    ForwardRow row;
    if (!ParseDottedAddress(destination, row.destination) || !ParseDottedAddress(mask, row.mask) ||
        !ParseDottedAddress(next_hop, row.next_hop)) {
        return -1;
    }
    row.interface_index = static_cast<std::uint32_t>(interface_index);
    row.type = kRouteTypeDirect;
    row.protocol = kRouteProtocolNetMgmt;
    row.metric = metric;
    return network_.CreateForwardRow(row) ? 1 : -1;
}

int CNetworkMgmt::DeleteRoutesOnInterface(std::int64_t interface_index,
                                          const std::string& destination, const std::string& mask) {
    if (destination.empty() || mask.empty()) {
        return -1;
    }
    return DeleteMatching(network_, [&](const ForwardRow& row) {
        return static_cast<std::int64_t>(row.interface_index) == interface_index &&
               FormatDottedAddress(row.destination) == destination &&
               FormatDottedAddress(row.mask) == mask;
    });
}

int CNetworkMgmt::DeleteRoutesViaGateway(const std::string& next_hop,
                                         const std::string& destination, const std::string& mask) {
    if (destination.empty() || mask.empty()) {
        return -1;
    }
    return DeleteMatching(network_, [&](const ForwardRow& row) {
        return FormatDottedAddress(row.destination) == destination &&
               FormatDottedAddress(row.mask) == mask &&
               FormatDottedAddress(row.next_hop) == next_hop;
    });
}

int CNetworkMgmt::DeleteRoutesByMetric(std::uint32_t metric) {
    return DeleteMatching(network_, [&](const ForwardRow& row) { return row.metric == metric; });
}

std::string CNetworkMgmt::ResolveAuthHost(const std::string& host_name) {
    Ipv4 address = 0;
    if (host_name.empty() || !network_.ResolveHostV4(host_name, address)) {
        return {};
    }
    return FormatDottedAddress(address);
}

}  // namespace korvane
