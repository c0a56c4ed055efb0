#pragma once

#include <string_view>
#include <vector>

#include "platform/NetworkPort.h"

namespace korvane {

// Parses the kernel's IPv4 TCP socket list (the /proc/net/tcp format) into
// rows with the connection states of the port, sorted by local address,
// local port, remote address, remote port. Lines that do not parse are
// skipped; false when not even the heading is there.
bool ParseProcNetTcp(std::string_view text, std::vector<TcpRow>& rows);

}  // namespace korvane
