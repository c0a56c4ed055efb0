#include "netenv/RoutePlans.h"

#include "app/SessionContext.h"
#include "netenv/AddressText.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/RemoteControlPeer.h"
#include "netenv/SystemVersion.h"
#include "netenv/TextPieces.h"
#include "protocol/AccountInfo.h"
#include "protocol/WireCodec.h"

namespace korvane {

namespace {

void AddHostRoute(CNetworkMgmt& network, const BaseRoute& base, const std::string& host,
                  std::uint32_t metric) {
    network.AddRoute(base.interface_index, base.gateway, host, kHostMask, metric);
}

void AddHostRoutesForList(CNetworkMgmt& network, const BaseRoute& base, const std::string& list,
                          std::uint32_t metric) {
    std::string entry;
    for (std::size_t i = 0; NthPiece(list, '^', i, entry); ++i) {
        if (!entry.empty()) {
            AddHostRoute(network, base, entry, metric);
        }
    }
}

bool IsWholeTableEntry(const std::string& entry) {
    std::string destination;
    std::string mask;
    if (!NthPiece(entry, '/', 0, destination) || !NthPiece(entry, '/', 1, mask)) {
        return false;
    }
    return destination == kAnyAddress && mask == kAnyAddress;
}

void SwapDefaultRouteIntoTunnel(CNetworkMgmt& network, const BaseRoute& base,
                                std::int64_t tunnel_interface, const SessionContext& session,
                                const AccountInfo& account) {
    AddHostRoute(network, base, account.server_ip, kMetricTunnelHosts);
    AddHostRoute(network, base, session.auth_host, kMetricTunnelHosts);
    network.DeleteRoutesViaGateway(base.gateway, kAnyAddress, kAnyAddress);
    network.AddRoute(base.interface_index, base.gateway, kAnyAddress, kAnyAddress,
                     kMetricBaseWhileTunnel);
    network.AddRoute(tunnel_interface, account.gateway_ip, kAnyAddress, kAnyAddress, kMetricLogin);
}

}  // namespace

void AddLoginHostRoutes(CNetworkMgmt& network, BaseRoute& base, const SessionContext& session,
                        const AccountInfo& account) {
    const std::int64_t best = network.GetBestInterface(base.gateway);
    // No best route means no base route: record none rather than the
    // failure value as an interface.
    base.interface_index = best > 0 ? static_cast<std::uint32_t>(best) : 0;
    base.local_address = network.GetInterfaceAddress(base.interface_index);
    AddHostRoute(network, base, account.server_ip, kMetricLogin);
    AddHostRoute(network, base, session.auth_host, kMetricLogin);
}

void AddRemoteControlPeerRoute(CNetworkMgmt& network, const BaseRoute& base,
                               RemoteControlPeer& peer) {
    if (HasCurrentNetworkTools(network.system())) {
        FindRemoteControlPeer(network.network(), peer);
    }
    AddHostRoute(network, base, peer.address, kMetricRemoteControlPeer);
}

void AddBypassRoutes(CNetworkMgmt& network, const BaseRoute& base, const AccountInfo& account) {
    network.DeleteRoutesByMetric(kMetricBypass);
    AddHostRoutesForList(network, base, account.default_route, kMetricBypass);
}

int ApplyTunnelRoutes(CNetworkMgmt& network, BaseRoute& base, SessionContext& session,
                      const AccountInfo& account, const SettingsWriter& write_setting) {
    const std::int64_t tunnel_interface = network.FindAdapterIndex(session.tap_adapter_description);
    session.tunnel_interface_index = static_cast<int>(tunnel_interface);
    if (network.GetInterfaceAddress(tunnel_interface).empty()) {
        return -2;
    }
    // The record is cleared as the tunnel takes over (not before: a retry
    // after -2 must still find it); lgy keeps what login recorded, the one
    // value that says something about the machine.
    const std::string recorded_local_address = base.local_address;
    base.local_address.clear();
    network.DeleteRoutesByMetric(kMetricTunnelHosts);
    network.DeleteRoutesOnInterface(tunnel_interface, kAnyAddress, kAnyAddress);

    std::string entry;
    for (std::size_t i = 0; NthPiece(account.route_list, '^', i, entry); ++i) {
        if (!IsWholeTableEntry(entry)) {
            continue;
        }
        SwapDefaultRouteIntoTunnel(network, base, tunnel_interface, session, account);
        if (write_setting) {
            write_setting("adpi", std::to_string(base.interface_index));
            write_setting("lgy", WireCodec::Encode(recorded_local_address));
        }
    }
    return 0;
}

void RestoreBaseDefaultRoute(CNetworkMgmt& network, const BaseRoute& base,
                             SessionContext& session) {
    // A tunnel program killed hard leaves its link with its address and
    // the default route through it, which would block the base one or
    // outrank it and send everything into a dead tunnel.
    if (session.tunnel_interface_index != 0) {
        network.DeleteRoutesOnInterface(session.tunnel_interface_index, kAnyAddress, kAnyAddress);
        // The number may be another link's by the next tear-down.
        session.tunnel_interface_index = 0;
    }
    // The login's metric-50 host routes keep the same hosts outside.
    network.DeleteRoutesByMetric(kMetricTunnelHosts);
    if (base.interface_index == 0 || base.gateway.empty()) {
        return;
    }
    // The weaker base default route goes only once the stronger one is
    // back, so the machine is never left without a way out.
    if (network.AddRoute(base.interface_index, base.gateway, kAnyAddress, kAnyAddress,
                         kMetricLogin) == 1) {
        network.DeleteRoutesByMetric(kMetricBaseWhileTunnel);
    }
}

void AddRegisteredRemoteControlRoutes(CNetworkMgmt& network, const BaseRoute& base,
                                      const std::string& registered_list) {
    AddHostRoutesForList(network, base, registered_list, kMetricRegisteredRemoteControl);
}

void ResetRegisteredRemoteControlRoutes(CNetworkMgmt& network) {
    network.DeleteRoutesByMetric(kMetricRegisteredRemoteControl);
}

}  // namespace korvane
