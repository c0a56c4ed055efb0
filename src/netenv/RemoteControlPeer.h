#pragma once

#include <string>

namespace korvane {

class NetworkPort;

// The remote-control program's port on the far end of its connection.
inline constexpr int kRemoteControlPort = 5938;

// A running remote-control connection's far end, kept by the main window.
struct RemoteControlPeer {
    std::string address;  // dotted text, empty until found
    int port = 0;
};

// 1 when an established TCP connection to remote port 5938 exists (the first
// in table order fills peer), -1 otherwise with peer left as it was.
int FindRemoteControlPeer(NetworkPort& network, RemoteControlPeer& peer);

}  // namespace korvane
