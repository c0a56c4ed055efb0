#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/NetworkPort.h"

namespace korvane {

// The machine's network through rtnetlink, in the network namespace of the
// calling thread (a socket is opened per operation).
//
// - Forward table: IPv4 unicast routes of the main table; metric = route
//   priority; new rows carry protocol "static".
// - Adapters: every link but loopback, in index order. The description is
//   the link's alias when one is set, else its name; the hardware address is
//   the link address; the GUID is derived from the link name (LinkGuid).
// - Connections: one per adapter, connected while the link is up. Connect
//   brings the link up, first giving it the pending hardware address (link
//   down, set address, link up); disconnect brings it down.
// - Binding switches: ms_tcpip6 disables IPv6 on the link; the other
//   components have no Linux counterpart and are accepted as done.
// - TCP table: /proc of the calling thread's namespace (owning pid 0).
class NetlinkNetwork : public NetworkPort {
  public:
    bool ReadForwardTable(std::vector<ForwardRow>& rows) override;
    bool CreateForwardRow(const ForwardRow& row) override;
    bool DeleteForwardRow(const ForwardRow& row) override;
    bool FindBestRoute(Ipv4 destination, ForwardRow& route) override;
    bool ReadAddressTable(std::vector<AddressRow>& rows) override;
    int ReadAdapters(std::vector<AdapterRecord>& adapters) override;
    bool ResolveHostV4(const std::string& name, Ipv4& address) override;
    void SetHardwareAddressOverride(const std::string& guid,
                                    const std::optional<std::string>& address) override;
    std::int32_t ListConnections(std::vector<ConnectionRecord>& connections) override;
    std::int32_t SwitchConnection(const std::string& guid, bool connect) override;
    bool RunBindingSwitch(const BindingSwitch& binding) override;
    bool ReadTcpTable(std::vector<TcpRow>& rows) override;

  private:
    // Overrides by GUID; like the driver's setting they outlive restarts.
    std::map<std::string, std::string> address_overrides_;
};

// A braced identifier in GUID form derived from the link name: the same
// name always gives the same identifier, across runs and address changes.
std::string LinkGuid(std::string_view link_name);

// Contiguous mask to prefix length; -1 for a mask with holes.
int PrefixLength(Ipv4 mask);

}  // namespace korvane
