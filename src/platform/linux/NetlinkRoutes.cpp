// Forward table, best route and address table of NetlinkNetwork.
#include <linux/rtnetlink.h>

#include <algorithm>
#include <tuple>

#include "platform/linux/NetlinkAttributes.h"
#include "platform/linux/NetlinkNetwork.h"
#include "platform/linux/NetlinkSocket.h"

namespace korvane {

using namespace netlink;

namespace {

std::uint32_t ProtocolOf(unsigned char kernel_protocol) {
    switch (kernel_protocol) {
        case RTPROT_KERNEL:
            return kRouteProtocolLocal;
        case RTPROT_BOOT:
        case RTPROT_STATIC:
            return kRouteProtocolNetMgmt;
        default:
            return kRouteProtocolOther;
    }
}

// Each next hop of a route becomes one row.
void AppendRouteRows(const nlmsghdr& message, std::vector<ForwardRow>& rows) {
    const rtmsg& header = HeaderOf<rtmsg>(message);
    std::uint32_t table = header.rtm_table;
    ForwardRow row;
    row.mask = MaskOfLength(header.rtm_dst_len);
    row.protocol = ProtocolOf(header.rtm_protocol);
    std::vector<ForwardRow> hops;
    ForEachAttribute(message, sizeof(rtmsg), [&](const nlattr& attr) {
        switch (mnl_attr_get_type(&attr)) {
            case RTA_TABLE:
                table = mnl_attr_get_u32(&attr);
                break;
            case RTA_DST:
                row.destination = AddressAttribute(attr);
                break;
            case RTA_GATEWAY:
                row.next_hop = AddressAttribute(attr);
                break;
            case RTA_OIF:
                row.interface_index = mnl_attr_get_u32(&attr);
                break;
            case RTA_PRIORITY:
                row.metric = mnl_attr_get_u32(&attr);
                break;
            case RTA_MULTIPATH: {
                auto* hop = static_cast<const rtnexthop*>(mnl_attr_get_payload(&attr));
                int left = mnl_attr_get_payload_len(&attr);
                for (; RTNH_OK(hop, left);
                     left -= NLMSG_ALIGN(hop->rtnh_len), hop = RTNH_NEXT(hop)) {
                    ForwardRow next;
                    next.interface_index = static_cast<std::uint32_t>(hop->rtnh_ifindex);
                    int attr_left = hop->rtnh_len - static_cast<int>(sizeof(rtnexthop));
                    for (auto* a = RTNH_DATA(hop); RTA_OK(a, attr_left);
                         a = RTA_NEXT(a, attr_left)) {
                        if (a->rta_type == RTA_GATEWAY && RTA_PAYLOAD(a) >= 4) {
                            std::uint32_t be = 0;
                            std::memcpy(&be, RTA_DATA(a), 4);
                            next.next_hop = ntohl(be);
                        }
                    }
                    hops.push_back(next);
                }
                break;
            }
            default:
                break;
        }
    });
    if (header.rtm_family != AF_INET || table != RT_TABLE_MAIN || header.rtm_type != RTN_UNICAST) {
        return;
    }
    if (hops.empty()) {
        hops.push_back({0, 0, row.next_hop, row.interface_index});
    }
    for (const ForwardRow& hop : hops) {
        ForwardRow out = row;
        out.next_hop = hop.next_hop;
        out.interface_index = hop.interface_index;
        out.type = out.next_hop == 0 ? kRouteTypeDirect : kRouteTypeIndirect;
        rows.push_back(out);
    }
}

// The request shared by route creation and deletion.
NetlinkRequest RouteRequest(std::uint16_t type, std::uint16_t flags, const ForwardRow& row,
                            int prefix) {
    NetlinkRequest request(type, flags, false);
    rtmsg& header = request.Put<rtmsg>();
    header.rtm_family = AF_INET;
    header.rtm_dst_len = static_cast<unsigned char>(prefix);
    header.rtm_table = RT_TABLE_MAIN;
    header.rtm_type = RTN_UNICAST;
    if (type == RTM_NEWROUTE) {
        header.rtm_protocol = RTPROT_STATIC;
        header.rtm_scope = row.next_hop == 0 ? RT_SCOPE_LINK : RT_SCOPE_UNIVERSE;
    } else {
        header.rtm_scope = RT_SCOPE_NOWHERE;
    }
    if (prefix > 0) {
        request.PutU32(RTA_DST, NetworkOrder(row.destination));
    }
    if (row.next_hop != 0) {
        request.PutU32(RTA_GATEWAY, NetworkOrder(row.next_hop));
    }
    request.PutU32(RTA_OIF, row.interface_index);
    request.PutU32(RTA_PRIORITY, row.metric);
    return request;
}

}  // namespace

int PrefixLength(Ipv4 mask) {
    int length = 0;
    while (length < 32 && (mask & (0x80000000u >> length)) != 0) {
        ++length;
    }
    return MaskOfLength(static_cast<unsigned>(length)) == mask ? length : -1;
}

bool NetlinkNetwork::ReadForwardTable(std::vector<ForwardRow>& rows) {
    NetlinkSocket socket;
    NetlinkRequest request(RTM_GETROUTE, 0, true);
    request.Put<rtmsg>().rtm_family = AF_INET;
    std::vector<ForwardRow> read;
    if (socket.Exchange(request.message(), [&](const nlmsghdr& m) { AppendRouteRows(m, read); }) !=
        0) {
        return false;
    }
    std::sort(read.begin(), read.end(), [](const ForwardRow& a, const ForwardRow& b) {
        return std::tie(a.destination, a.mask, a.next_hop, a.interface_index, a.metric) <
               std::tie(b.destination, b.mask, b.next_hop, b.interface_index, b.metric);
    });
    rows = std::move(read);
    return true;
}

bool NetlinkNetwork::CreateForwardRow(const ForwardRow& row) {
    const int prefix = PrefixLength(row.mask);
    if (prefix < 0 || (row.destination & row.mask) != row.destination || row.interface_index == 0) {
        return false;
    }
    NetlinkSocket socket;
    NetlinkRequest request = RouteRequest(RTM_NEWROUTE, NLM_F_CREATE | NLM_F_EXCL, row, prefix);
    return socket.Exchange(request.message(), [](const nlmsghdr&) {}) == 0;
}

bool NetlinkNetwork::DeleteForwardRow(const ForwardRow& row) {
    const int prefix = PrefixLength(row.mask);
    if (prefix < 0) {
        return false;
    }
    NetlinkSocket socket;
    NetlinkRequest request = RouteRequest(RTM_DELROUTE, 0, row, prefix);
    return socket.Exchange(request.message(), [](const nlmsghdr&) {}) == 0;
}

bool NetlinkNetwork::FindBestRoute(Ipv4 destination, ForwardRow& route) {
    NetlinkSocket socket;
    NetlinkRequest request(RTM_GETROUTE, 0, false);
    rtmsg& header = request.Put<rtmsg>();
    header.rtm_family = AF_INET;
    header.rtm_dst_len = 32;
    request.PutU32(RTA_DST, NetworkOrder(destination));
    bool found = false;
    ForwardRow best;
    const int result = socket.Exchange(request.message(), [&](const nlmsghdr& m) {
        if (m.nlmsg_type != RTM_NEWROUTE) {
            return;
        }
        found = true;
        best.destination = destination;
        best.mask = 0xFFFFFFFFu;
        ForEachAttribute(m, sizeof(rtmsg), [&](const nlattr& attr) {
            if (mnl_attr_get_type(&attr) == RTA_OIF) {
                best.interface_index = mnl_attr_get_u32(&attr);
            } else if (mnl_attr_get_type(&attr) == RTA_GATEWAY) {
                best.next_hop = AddressAttribute(attr);
            } else if (mnl_attr_get_type(&attr) == RTA_PRIORITY) {
                best.metric = mnl_attr_get_u32(&attr);
            }
        });
    });
    if (result != 0 || !found || best.interface_index == 0) {
        return false;
    }
    route = best;
    return true;
}

bool netlink::DumpIpv4Addresses(std::vector<AddressRow>& rows) {
    NetlinkSocket socket;
    NetlinkRequest request(RTM_GETADDR, 0, true);
    request.Put<ifaddrmsg>().ifa_family = AF_INET;
    std::vector<AddressRow> read;
    const int result = socket.Exchange(request.message(), [&](const nlmsghdr& m) {
        const ifaddrmsg& header = HeaderOf<ifaddrmsg>(m);
        if (header.ifa_family != AF_INET) {
            return;
        }
        AddressRow row{header.ifa_index, 0, MaskOfLength(header.ifa_prefixlen)};
        bool have_local = false;
        ForEachAttribute(m, sizeof(ifaddrmsg), [&](const nlattr& attr) {
            // IFA_LOCAL is the own address; IFA_ADDRESS is the peer's on
            // point-to-point links.
            if (mnl_attr_get_type(&attr) == IFA_LOCAL) {
                row.address = AddressAttribute(attr);
                have_local = true;
            } else if (mnl_attr_get_type(&attr) == IFA_ADDRESS && !have_local) {
                row.address = AddressAttribute(attr);
            }
        });
        read.push_back(row);
    });
    if (result != 0) {
        return false;
    }
    rows = std::move(read);
    return true;
}

bool NetlinkNetwork::ReadAddressTable(std::vector<AddressRow>& rows) {
    if (!DumpIpv4Addresses(rows)) {
        return false;
    }
    std::stable_sort(rows.begin(), rows.end(), [](const AddressRow& a, const AddressRow& b) {
        return a.address < b.address;
    });
    return true;
}

}  // namespace korvane
