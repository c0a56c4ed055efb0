#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace korvane {

class CNetworkMgmt;
struct SessionContext;
struct AccountInfo;
struct RemoteControlPeer;

// Metrics that name the classes of routes the client creates.
inline constexpr std::uint32_t kMetricRemoteControlPeer = 45;
inline constexpr std::uint32_t kMetricLogin = 50;
inline constexpr std::uint32_t kMetricBaseWhileTunnel = 55;
inline constexpr std::uint32_t kMetricBypass = 77;
inline constexpr std::uint32_t kMetricTunnelHosts = 80;
inline constexpr std::uint32_t kMetricRegisteredRemoteControl = 9999;

inline constexpr char kHostMask[] = "255.255.255.255";
inline constexpr char kAnyAddress[] = "0.0.0.0";

// The route the machine used before the tunnel, recorded at login; every
// route outside the tunnel goes through it. Kept by the main window.
struct BaseRoute {
    // 0 = none recorded; no plan adds anything through interface 0.
    std::uint32_t interface_index = 0;
    std::string gateway;
    std::string local_address;
};

// Stores one settings value (name, text) in the settings key. The tunnel
// plan writes adpi and lgy through it; the caller binds it to the settings
// store, e.g. [&](auto& n, auto& v) { reg.WriteValue(root, key, n, 1, v); }.
using SettingsWriter = std::function<void(const std::string& name, const std::string& value)>;

// Plan 1, after a successful login: records the base route and pins the
// tunnel server and the authentication host to it (metric 50).
void AddLoginHostRoutes(CNetworkMgmt& network, BaseRoute& base, const SessionContext& session,
                        const AccountInfo& account);

// Plan 2, right after plan 1 from the login panel: looks for a running
// remote-control connection (filling peer; the peer stays as it was when
// none is found or the system is too old) and pins it (metric 45).
void AddRemoteControlPeerRoute(CNetworkMgmt& network, const BaseRoute& base,
                               RemoteControlPeer& peer);

// Plan 3: replaces the bypass routes (metric 77) by one host route for each
// entry of default_route.
void AddBypassRoutes(CNetworkMgmt& network, const BaseRoute& base, const AccountInfo& account);

// Plan 4, once an OpenVPN tunnel is up: moves the default route into the
// tunnel. 0, or -2 when the tunnel adapter has no address yet (nothing
// changed but the tunnel interface index; try again later). Stores adpi and
// lgy; lgy is the encoding of the base local address as recorded at login.
int ApplyTunnelRoutes(CNetworkMgmt& network, BaseRoute& base, SessionContext& session,
                      const AccountInfo& account, const SettingsWriter& write_setting);

// Plan 5, after the tunnel has stopped: the default routes on the tunnel
// link go, the default route through the base gateway comes back (metric
// 50), class 80 goes and, once that route is back, class 55: the table is
// as before the tunnel but for that default route. Forgets the tunnel
// interface.
void RestoreBaseDefaultRoute(CNetworkMgmt& network, const BaseRoute& base, SessionContext& session);

// Plan 6: host routes (metric 9999) for every entry of the registered
// remote-control list ("^"-joined), and their reset.
void AddRegisteredRemoteControlRoutes(CNetworkMgmt& network, const BaseRoute& base,
                                      const std::string& registered_list);
void ResetRegisteredRemoteControlRoutes(CNetworkMgmt& network);

}  // namespace korvane
