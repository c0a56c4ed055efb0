#pragma once

#include <string>

#include "netenv/RemoteControlPeer.h"
#include "netenv/RoutePlans.h"

namespace korvane {

// The main window's own session fields, all 0 or empty at construction.
struct MainWindowState {
    int elapsed_seconds = 0;
    int expiry_refreshed = 0;
    int day_warning_shown = 0;
    std::string last_login_bin;

    // Base interface, gateway and local address, recorded at login.
    BaseRoute base_route;
    // The remote-control connection's far end, found after a panel login.
    RemoteControlPeer remote_control_peer;
    // 1 while the default route runs through the tunnel.
    int tunnel_routes_applied = 0;

    int tunnel_poll_counter = 0;
    int ras_step_count = 0;
    int redial_attempts = 0;

    // The reconnection group of the options (kept in memory only).
    int reconnect_switch = 0;
    int reconnect_locked = 0;
    int redial_count = 0;
    int redial_interval_seconds = 0;

    // 1 while only the left half (login or status panel) shows.
    int narrow_layout = 0;
};

}  // namespace korvane
