#pragma once

// Reading rtnetlink messages: attribute walks and IPv4 conversions shared by
// the parts of NetlinkNetwork.
#include <arpa/inet.h>
#include <libmnl/libmnl.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/NetworkPort.h"

namespace korvane::netlink {

template <typename Visit>
void ForEachAttribute(const nlmsghdr& message, std::size_t header_size, Visit visit) {
    const char* tail = static_cast<const char*>(mnl_nlmsg_get_payload_tail(&message));
    for (auto* attr =
             static_cast<const nlattr*>(mnl_nlmsg_get_payload_offset(&message, header_size));
         mnl_attr_ok(attr, static_cast<int>(tail - reinterpret_cast<const char*>(attr)));
         attr = mnl_attr_next(attr)) {
        visit(*attr);
    }
}

template <typename Header>
const Header& HeaderOf(const nlmsghdr& message) {
    return *static_cast<const Header*>(mnl_nlmsg_get_payload(&message));
}

inline Ipv4 AddressAttribute(const nlattr& attr) {
    std::uint32_t network_order = 0;
    if (mnl_attr_get_payload_len(&attr) >= sizeof network_order) {
        std::memcpy(&network_order, mnl_attr_get_payload(&attr), sizeof network_order);
    }
    return ntohl(network_order);
}

inline std::uint32_t NetworkOrder(Ipv4 address) {
    return htonl(address);
}

inline Ipv4 MaskOfLength(unsigned length) {
    return length == 0 ? 0 : length >= 32 ? 0xFFFFFFFFu : ~((1u << (32 - length)) - 1);
}

// Result code of the connection manager for a failed netlink call.
inline std::int32_t ConnectionError(int negative_errno) {
    return static_cast<std::int32_t>(0x80070000u |
                                     (static_cast<unsigned>(-negative_errno) & 0xFFFF));
}

// IPv4 addresses in the kernel's order (the primary address of a prefix
// first). False when the dump fails.
bool DumpIpv4Addresses(std::vector<AddressRow>& rows);

}  // namespace korvane::netlink
