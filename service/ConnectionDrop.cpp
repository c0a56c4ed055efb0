#include "ConnectionDrop.h"

#include <dirent.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstdlib>

namespace korvane::service {

namespace {

// Numeric host and port of a socket address; false when not an IP socket.
bool Describe(const sockaddr_storage& address, socklen_t length, std::string& host, int& port) {
    char host_text[NI_MAXHOST];
    char port_text[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host_text,
                    sizeof host_text, port_text, sizeof port_text,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return false;
    }
    host = host_text;
    port = std::atoi(port_text);
    return true;
}

bool HasEnds(int fd, const ConnectionEnds& ends) {
    sockaddr_storage local{}, remote{};
    socklen_t local_length = sizeof local, remote_length = sizeof remote;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &local_length) != 0 ||
        getpeername(fd, reinterpret_cast<sockaddr*>(&remote), &remote_length) != 0) {
        return false;
    }
    std::string local_host, remote_host;
    int local_port = 0, remote_port = 0;
    return Describe(local, local_length, local_host, local_port) &&
           Describe(remote, remote_length, remote_host, remote_port) &&
           local_host == ends.local_address && local_port == ends.local_port &&
           remote_host == ends.remote_address && remote_port == ends.remote_port;
}

}  // namespace

bool ShutDownConnection(const ConnectionEnds& ends, Shutdown how) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) {
        return false;
    }
    bool done = false;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const int fd = std::atoi(entry->d_name);
        if (fd != dirfd(dir) && HasEnds(fd, ends)) {
            done = shutdown(fd, how == Shutdown::kBoth ? SHUT_RDWR : SHUT_WR) == 0;
            break;
        }
    }
    closedir(dir);
    return done;
}

}  // namespace korvane::service
