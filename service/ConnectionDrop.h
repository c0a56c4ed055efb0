#pragma once

#include <string>

namespace korvane::service {

// The two ends of a TCP connection, as the HTTP library reports them.
struct ConnectionEnds {
    std::string local_address;
    int local_port = 0;
    std::string remote_address;
    int remote_port = 0;
};

enum class Shutdown {
    kBoth,     // the peer gets nothing more: a dropped connection
    kSending,  // the peer sees the end of the data sent so far
};

// shutdown() on the socket of the connection; the socket stays open for the
// HTTP library to close. The library does not hand its sockets to handlers,
// so the socket is found among the process's descriptors by its two ends.
// False when no such socket exists.
bool ShutDownConnection(const ConnectionEnds& ends, Shutdown how);

}  // namespace korvane::service
