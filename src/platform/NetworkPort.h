#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// IPv4 addresses travel through this port as 32-bit numbers in host order:
// a.b.c.d is (a << 24) | (b << 16) | (c << 8) | d.
using Ipv4 = std::uint32_t;

// Route types and protocols in the numbering the route plans speak.
inline constexpr std::uint32_t kRouteTypeDirect = 3;
inline constexpr std::uint32_t kRouteTypeIndirect = 4;
inline constexpr std::uint32_t kRouteProtocolOther = 1;
inline constexpr std::uint32_t kRouteProtocolLocal = 2;
inline constexpr std::uint32_t kRouteProtocolNetMgmt = 3;

// One row of the IPv4 forward table. The metric is the route's first metric,
// the key of the route classes.
struct ForwardRow {
    Ipv4 destination = 0;
    Ipv4 mask = 0;
    Ipv4 next_hop = 0;
    std::uint32_t interface_index = 0;
    std::uint32_t type = kRouteTypeDirect;
    std::uint32_t protocol = kRouteProtocolNetMgmt;
    std::uint32_t metric = 0;

    bool operator==(const ForwardRow&) const = default;
};

// One row of the interface address table.
struct AddressRow {
    std::uint32_t interface_index = 0;
    Ipv4 address = 0;
    Ipv4 mask = 0;
};

struct InterfaceAddress {
    Ipv4 address = 0;
    Ipv4 mask = 0;
};

inline constexpr std::uint32_t kAdapterTypeEthernet = 6;

// A network adapter as the adapter list reports it, in list order.
struct AdapterRecord {
    std::uint32_t index = 0;
    std::string name;
    std::string description;
    std::vector<std::uint8_t> hardware_address;
    // Instance identity in braces, stable for the life of the adapter.
    std::string guid;
    std::uint32_t type = kAdapterTypeEthernet;
    bool dhcp_enabled = false;
    std::vector<InterfaceAddress> addresses;
    Ipv4 gateway = 0;
    Ipv4 dhcp_server = 0;
};

// A network connection of the connection manager: one per adapter, named by
// the adapter's description.
struct ConnectionRecord {
    std::string guid;
    std::string device_name;
    bool connected = false;
};

// Result codes of the connection manager (32-bit, negative on failure).
inline constexpr std::int32_t kConnectionOk = 0;
inline constexpr std::int32_t kConnectionNotFound = static_cast<std::int32_t>(0x80070002u);
inline constexpr std::int32_t kConnectionRetry = static_cast<std::int32_t>(0x800704D5u);
inline constexpr std::int32_t kConnectionFailed = static_cast<std::int32_t>(0x80004005u);

// TCP states in the numbering the remote-control lookup speaks.
enum TcpState : std::uint32_t {
    kTcpClosed = 1,
    kTcpListen = 2,
    kTcpSynSent = 3,
    kTcpSynReceived = 4,
    kTcpEstablished = 5,
    kTcpFinWait1 = 6,
    kTcpFinWait2 = 7,
    kTcpCloseWait = 8,
    kTcpClosing = 9,
    kTcpLastAck = 10,
    kTcpTimeWait = 11,
};

struct TcpRow {
    std::uint32_t state = kTcpClosed;
    Ipv4 local_address = 0;
    std::uint16_t local_port = 0;
    Ipv4 remote_address = 0;
    std::uint16_t remote_port = 0;
    std::uint32_t owning_pid = 0;
};

// One binding switch: the outside program's command line and what it means.
// A backend either starts the program or does the equivalent itself.
struct BindingSwitch {
    std::string command_line;
    std::string adapter_description;
    std::string component;
};

// The text of a hardware address override: 12 hex digits, or six pairs
// joined by ":" or "-". False for anything else.
inline bool ParseHardwareAddressText(const std::string& text, std::vector<std::uint8_t>& bytes) {
    const auto hex = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    const std::size_t step = text.size() == 12 ? 2 : text.size() == 17 ? 3 : 0;
    if (step == 0) {
        return false;
    }
    std::vector<std::uint8_t> parsed;
    for (std::size_t i = 0; i < text.size(); i += step) {
        if (step == 3 && i + 2 < text.size() && text[i + 2] != text[2]) {
            return false;
        }
        const int high = hex(text[i]);
        const int low = hex(text[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        parsed.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    if (step == 3 && text[2] != ':' && text[2] != '-') {
        return false;
    }
    bytes = parsed;
    return true;
}

// Routes, addresses, adapters, connections and the TCP table of the machine.
// Every table read is one snapshot; nothing is cached between calls.
class NetworkPort {
  public:
    virtual ~NetworkPort() = default;

    // Sorted by destination, mask, next hop, interface, metric.
    virtual bool ReadForwardTable(std::vector<ForwardRow>& rows) = 0;
    virtual bool CreateForwardRow(const ForwardRow& row) = 0;
    // False also when the row is no longer in the table.
    virtual bool DeleteForwardRow(const ForwardRow& row) = 0;
    // The route the machine would use towards destination, from any source.
    virtual bool FindBestRoute(Ipv4 destination, ForwardRow& route) = 0;

    // Sorted by address.
    virtual bool ReadAddressTable(std::vector<AddressRow>& rows) = 0;
    // 0, or the error code of the adapter list (the list is then empty).
    virtual int ReadAdapters(std::vector<AdapterRecord>& adapters) = 0;
    virtual bool ResolveHostV4(const std::string& name, Ipv4& address) = 0;

    // The hardware address the adapter with this GUID takes the next time
    // its connection starts; nullopt removes the override.
    virtual void SetHardwareAddressOverride(const std::string& guid,
                                            const std::optional<std::string>& address) = 0;
    // kConnectionOk or the enumeration's error code.
    virtual std::int32_t ListConnections(std::vector<ConnectionRecord>& connections) = 0;
    // Connect (true) or disconnect (false) one connection; a result code.
    virtual std::int32_t SwitchConnection(const std::string& guid, bool connect) = 0;
    // False when the switch could not be started; what it achieved is not
    // reported, as with the outside programs it stands for.
    virtual bool RunBindingSwitch(const BindingSwitch& binding) = 0;

    // IPv4 TCP rows sorted by local address, local port, remote address,
    // remote port.
    virtual bool ReadTcpTable(std::vector<TcpRow>& rows) = 0;
};

}  // namespace korvane
