#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvane {

class NetworkPort;
class SystemQueries;
class CommandRunner;

// The address the best route is asked for when the base route is recorded.
inline constexpr char kBestRouteProbe[] = "100.0.0.1";
// The authentication host's default name; a deployment value.
inline constexpr char kDefaultAuthHostName[] = "auth.korvane.net";

// Routes, adapters, protocol bindings and firewall exceptions of the machine.
// One instance, owned by the main window. Addresses travel as dotted texts;
// results are the integers of each operation (as a rule 1 or 0 success, -1
// failure). Nothing here shows a message.
class CNetworkMgmt {
  public:
    CNetworkMgmt(NetworkPort& network, SystemQueries& system, CommandRunner& commands);
    virtual ~CNetworkMgmt();

    CNetworkMgmt(const CNetworkMgmt&) = delete;
    CNetworkMgmt& operator=(const CNetworkMgmt&) = delete;

    // --- routes ---
    // Interface index of the best route to 100.0.0.1, its next hop written to
    // gateway; -1 (gateway unchanged) when there is none.
    std::int64_t GetBestInterface(std::string& gateway);
    // Lowest address of the interface (the address table is sorted); also
    // kept with its mask. Empty when the interface has none.
    std::string GetInterfaceAddress(std::int64_t interface_index);
    const std::string& last_interface_address() const { return interface_address_; }
    const std::string& last_interface_netmask() const { return interface_netmask_; }

    int AddRoute(std::int64_t interface_index, const std::string& next_hop,
                 const std::string& destination, const std::string& mask, std::uint32_t metric);
    int DeleteRoutesOnInterface(std::int64_t interface_index, const std::string& destination,
                                const std::string& mask);
    int DeleteRoutesViaGateway(const std::string& next_hop, const std::string& destination,
                               const std::string& mask);
    int DeleteRoutesByMetric(std::uint32_t metric);
    // First IPv4 address of the name as dotted text; empty when it does not
    // resolve.
    std::string ResolveAuthHost(const std::string& host_name = kDefaultAuthHostName);

    // --- adapters and connections ---
    int CountAdaptersByDescription(const std::string& text);
    std::int64_t FindAdapterIndex(const std::string& text);
    std::string GetAdapterMac(std::int64_t interface_index);
    std::string GetAdapterGuid(std::int64_t interface_index);
    // Always 1. nullopt removes the override.
    int SetTapMacAddress(const std::optional<std::string>& address, const std::string& guid);
    // 1 when the requested action succeeded, else 0.
    int RestartConnection(const std::string& guid, bool connect);
    // Result code of the last connect or disconnect.
    std::int32_t SetConnectionEnabled(const std::string& device_name, bool enable);

    // --- outside programs ---
    // 1, or -1 when a binding switch could not be started.
    int UnbindTapProtocols(const std::string& tap_description);
    // Always 1; program_dir is the client's folder.
    int AddFirewallExceptions(const std::string& program_dir);

    NetworkPort& network() { return network_; }
    SystemQueries& system() { return system_; }

  private:
    NetworkPort& network_;
    SystemQueries& system_;
    CommandRunner& commands_;
    std::string interface_address_;
    std::string interface_netmask_;
};

}  // namespace korvane
