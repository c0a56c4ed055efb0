#include "platform/linux/LinuxInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace korvane {

namespace {

constexpr char kRequest[] = "show\n";
// The answer of the window's handler, which always returns 0.
constexpr char kAnswer[] = "0\n";
constexpr int kRequestTimeoutMs = 1000;

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Reads up to a line feed (or `limit` bytes) within the time-out.
std::string ReadLine(int fd, std::size_t limit, int timeout_ms) {
    std::string text;
    while (text.size() < limit && text.find('\n') == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, timeout_ms) <= 0) {
            break;
        }
        char buffer[16];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

}  // namespace

LinuxInstance::LinuxInstance(std::string folder)
    : folder_(folder.empty() ? DefaultFolder() : std::move(folder)) {}

LinuxInstance::~LinuxInstance() {
    StopListening();
    CloseFd(lock_fd_);
}

std::string LinuxInstance::DefaultFolder() {
    const char* chosen = std::getenv("KORVANE_INSTANCE_DIR");
    if (chosen != nullptr && chosen[0] == '/') {
        return chosen;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + "/korvane";
    }
    return "/tmp/korvane-" + std::to_string(getuid());
}

bool LinuxInstance::PrepareFolder() const {
    if (mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    // Someone else's folder (or a link to one) in a shared place is refused:
    // whoever owns it could impersonate the running copy.
    struct stat info {};
    return lstat(folder_.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 022) == 0;
}

InstanceClaim LinuxInstance::Claim() {
    if (lock_fd_ >= 0) {
        return InstanceClaim::Acquired;
    }
    if (!PrepareFolder()) {
        return InstanceClaim::Failed;
    }
    const std::string path = folder_ + "/" + kLockName;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return InstanceClaim::Failed;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        lock_fd_ = fd;
        return InstanceClaim::Acquired;
    }
    const int error = errno;
    close(fd);
    return error == EWOULDBLOCK ? InstanceClaim::AlreadyRunning : InstanceClaim::Failed;
}

bool LinuxInstance::ActivateRunningCopy() {
    sockaddr_un address{};
    if (!FillAddress(SocketPath(), address)) {
        return false;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    bool answered = false;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        WriteAll(fd, kRequest, sizeof kRequest - 1)) {
        answered = ReadLine(fd, 16, kAnswerTimeoutMs) == kAnswer;
    }
    CloseFd(fd);
    return answered;
}

bool LinuxInstance::ListenForActivation(std::function<void()> on_activate) {
    sockaddr_un address{};
    if (lock_fd_ < 0 || listen_fd_ >= 0 || !FillAddress(SocketPath(), address)) {
        return false;
    }
    // A socket left by a copy that died is stale: the lock proves it.
    unlink(SocketPath().c_str());
    listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0 ||
        bind(listen_fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(SocketPath().c_str(), 0600) != 0 || listen(listen_fd_, 4) != 0 ||
        pipe2(stop_pipe_, O_CLOEXEC) != 0) {
        CloseFd(listen_fd_);
        CloseFd(stop_pipe_[0]);
        CloseFd(stop_pipe_[1]);
        return false;
    }
    on_activate_ = std::move(on_activate);
    listener_ = std::thread([this] { Serve(); });
    return true;
}

void LinuxInstance::StopListening() {
    if (listen_fd_ < 0) {
        return;
    }
    const char stop = 'x';
    [[maybe_unused]] const ssize_t written = write(stop_pipe_[1], &stop, 1);
    if (listener_.joinable()) {
        listener_.join();
    }
    unlink(SocketPath().c_str());
    CloseFd(listen_fd_);
    CloseFd(stop_pipe_[0]);
    CloseFd(stop_pipe_[1]);
}

void LinuxInstance::Serve() {
    for (;;) {
        pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {stop_pipe_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            int connection = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                Answer(connection);
                CloseFd(connection);
            }
        }
    }
}

void LinuxInstance::Answer(int connection) {
    if (ReadLine(connection, 16, kRequestTimeoutMs) != kRequest) {
        return;
    }
    on_activate_();
    WriteAll(connection, kAnswer, sizeof kAnswer - 1);
}

}  // namespace korvane
