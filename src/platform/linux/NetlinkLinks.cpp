// Adapters, connections and binding switches of NetlinkNetwork.
#include <linux/if.h>
#include <linux/if_arp.h>
#include <linux/rtnetlink.h>

#include <fstream>

#include "platform/linux/NetlinkAttributes.h"
#include "platform/linux/NetlinkNetwork.h"
#include "platform/linux/NetlinkSocket.h"

namespace korvane {

using namespace netlink;

namespace {

constexpr std::uint32_t kAdapterTypeOther = 1;
constexpr std::uint32_t kAdapterTypePpp = 23;
constexpr std::uint32_t kAdapterTypeTunnel = 131;

struct Link {
    std::uint32_t index = 0;
    std::string name;
    std::string alias;
    std::vector<std::uint8_t> address;
    unsigned type = 0;
    unsigned flags = 0;

    const std::string& description() const { return alias.empty() ? name : alias; }
    std::string guid() const { return LinkGuid(name); }
};

std::string StringAttribute(const nlattr& attr) {
    const char* text = static_cast<const char*>(mnl_attr_get_payload(&attr));
    const std::size_t size = mnl_attr_get_payload_len(&attr);
    return std::string(text, strnlen(text, size));
}

// 0 or a positive errno. Loopback is not an adapter.
int DumpLinks(std::vector<Link>& links) {
    NetlinkSocket socket;
    NetlinkRequest request(RTM_GETLINK, 0, true);
    request.Put<ifinfomsg>().ifi_family = AF_UNSPEC;
    links.clear();
    const int result = socket.Exchange(request.message(), [&](const nlmsghdr& m) {
        const ifinfomsg& header = HeaderOf<ifinfomsg>(m);
        Link link;
        link.index = static_cast<std::uint32_t>(header.ifi_index);
        link.type = header.ifi_type;
        link.flags = header.ifi_flags;
        ForEachAttribute(m, sizeof(ifinfomsg), [&](const nlattr& attr) {
            switch (mnl_attr_get_type(&attr)) {
                case IFLA_IFNAME:
                    link.name = StringAttribute(attr);
                    break;
                case IFLA_IFALIAS:
                    link.alias = StringAttribute(attr);
                    break;
                case IFLA_ADDRESS: {
                    auto* bytes = static_cast<const std::uint8_t*>(mnl_attr_get_payload(&attr));
                    link.address.assign(bytes, bytes + mnl_attr_get_payload_len(&attr));
                    break;
                }
                default:
                    break;
            }
        });
        if (link.type != ARPHRD_LOOPBACK) {
            links.push_back(link);
        }
    });
    return -result;
}

std::uint32_t AdapterType(unsigned link_type) {
    switch (link_type) {
        case ARPHRD_ETHER:
            return kAdapterTypeEthernet;
        case ARPHRD_PPP:
            return kAdapterTypePpp;
        case ARPHRD_NONE:
        case ARPHRD_TUNNEL:
            return kAdapterTypeTunnel;
        default:
            return kAdapterTypeOther;
    }
}

const Link* FindByGuid(const std::vector<Link>& links, const std::string& guid) {
    for (const Link& link : links) {
        if (link.guid() == guid) {
            return &link;
        }
    }
    return nullptr;
}

// 0 or a negative errno.
int ChangeLink(std::uint32_t index, bool up, const std::vector<std::uint8_t>* address) {
    NetlinkSocket socket;
    NetlinkRequest request(RTM_NEWLINK, 0, false);
    ifinfomsg& header = request.Put<ifinfomsg>();
    header.ifi_family = AF_UNSPEC;
    header.ifi_index = static_cast<int>(index);
    header.ifi_change = IFF_UP;
    header.ifi_flags = up ? IFF_UP : 0;
    if (address != nullptr) {
        request.PutBytes(IFLA_ADDRESS, address->data(), address->size());
    }
    return socket.Exchange(request.message(), [](const nlmsghdr&) {});
}

Ipv4 DefaultGatewayOf(const std::vector<ForwardRow>& routes, std::uint32_t index) {
    const ForwardRow* best = nullptr;
    for (const ForwardRow& row : routes) {
        if (row.interface_index == index && row.mask == 0 && row.next_hop != 0 &&
            (best == nullptr || row.metric < best->metric)) {
            best = &row;
        }
    }
    return best == nullptr ? 0 : best->next_hop;
}

}  // namespace

int NetlinkNetwork::ReadAdapters(std::vector<AdapterRecord>& adapters) {
    adapters.clear();
    std::vector<Link> links;
    if (const int error = DumpLinks(links); error != 0) {
        return error;
    }
    std::vector<AddressRow> addresses;
    std::vector<ForwardRow> routes;
    DumpIpv4Addresses(addresses);
    ReadForwardTable(routes);
    for (const Link& link : links) {
        AdapterRecord record;
        record.index = link.index;
        record.name = link.name;
        record.description = link.description();
        record.hardware_address = link.address;
        record.guid = link.guid();
        record.type = AdapterType(link.type);
        for (const AddressRow& row : addresses) {
            if (row.interface_index == link.index) {
                record.addresses.push_back({row.address, row.mask});
            }
        }
        record.gateway = DefaultGatewayOf(routes, link.index);
        adapters.push_back(record);
    }
    return 0;
}

void NetlinkNetwork::SetHardwareAddressOverride(const std::string& guid,
                                                const std::optional<std::string>& address) {
    std::vector<Link> links;
    if (DumpLinks(links) != 0 || FindByGuid(links, guid) == nullptr) {
        return;
    }
    if (address) {
        address_overrides_[guid] = *address;
    } else {
        address_overrides_.erase(guid);
    }
}

std::int32_t NetlinkNetwork::ListConnections(std::vector<ConnectionRecord>& connections) {
    connections.clear();
    std::vector<Link> links;
    if (const int error = DumpLinks(links); error != 0) {
        return ConnectionError(-error);
    }
    for (const Link& link : links) {
        connections.push_back({link.guid(), link.description(), (link.flags & IFF_UP) != 0});
    }
    return kConnectionOk;
}

std::int32_t NetlinkNetwork::SwitchConnection(const std::string& guid, bool connect) {
    std::vector<Link> links;
    if (const int error = DumpLinks(links); error != 0) {
        return ConnectionError(-error);
    }
    const Link* link = FindByGuid(links, guid);
    if (link == nullptr) {
        return kConnectionNotFound;
    }
    int result = 0;
    std::vector<std::uint8_t> address;
    const auto pending = address_overrides_.find(guid);
    if (connect && pending != address_overrides_.end() &&
        ParseHardwareAddressText(pending->second, address) && address != link->address) {
        // Most drivers take a new address only while the link is down.
        if ((link->flags & IFF_UP) != 0) {
            result = ChangeLink(link->index, false, nullptr);
        }
        if (result == 0) {
            result = ChangeLink(link->index, false, &address);
        }
    }
    if (result == 0) {
        result = ChangeLink(link->index, connect, nullptr);
    }
    return result == 0 ? kConnectionOk : ConnectionError(result);
}

bool NetlinkNetwork::RunBindingSwitch(const BindingSwitch& binding) {
    if (binding.component != "ms_tcpip6") {
        return true;
    }
    std::vector<Link> links;
    if (DumpLinks(links) != 0) {
        return true;
    }
    for (const Link& link : links) {
        if (link.description() == binding.adapter_description) {
            // A kernel without IPv6 has no such file and nothing to switch off.
            std::ofstream("/proc/sys/net/ipv6/conf/" + link.name + "/disable_ipv6") << "1\n";
        }
    }
    return true;
}

}  // namespace korvane
