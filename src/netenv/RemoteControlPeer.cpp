#include "netenv/RemoteControlPeer.h"

#include <vector>

#include "netenv/AddressText.h"
#include "platform/NetworkPort.h"

namespace korvane {

int FindRemoteControlPeer(NetworkPort& network, RemoteControlPeer& peer) {
    std::vector<TcpRow> rows;
    if (!network.ReadTcpTable(rows)) {
        return -1;
    }
    for (const TcpRow& row : rows) {
        if (row.state == kTcpEstablished && row.remote_port == kRemoteControlPort) {
            peer.address = FormatDottedAddress(row.remote_address);
            peer.port = kRemoteControlPort;
            return 1;
        }
    }
    return -1;
}

}  // namespace korvane
