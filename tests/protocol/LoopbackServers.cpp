#include "LoopbackServers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace korvane::testing {

namespace {

constexpr int kWaitMs = 20000;

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool WaitReadable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, ms) == 1;
}

int BoundLoopbackSocket(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        throw std::runtime_error("socket");
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        throw std::runtime_error("bind");
    }
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

std::size_t ContentLength(const std::string& head) {
    for (std::size_t pos = 0; (pos = head.find("\r\n", pos)) != std::string::npos;) {
        pos += 2;
        static const std::string kName = "content-length:";
        std::string name = head.substr(pos, kName.size());
        for (char& c : name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (name == kName) {
            return std::strtoul(head.c_str() + pos + kName.size(), nullptr, 10);
        }
    }
    return 0;
}

// Reads one request: the head up to the empty line, then its body.
std::string ReadRequest(int fd) {
    std::string data;
    char buffer[4096];
    std::size_t wanted = std::string::npos;
    while (data.size() < wanted && WaitReadable(fd, kWaitMs)) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        data.append(buffer, static_cast<std::size_t>(n));
        const std::size_t head_end = data.find("\r\n\r\n");
        if (wanted == std::string::npos && head_end != std::string::npos) {
            wanted = head_end + 4 + ContentLength(data.substr(0, head_end + 2));
        }
    }
    return data;
}

void SendAll(int fd, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

// Until the peer closes (or the bound runs out).
void DrainUntilClosed(int fd) {
    char buffer[512];
    while (WaitReadable(fd, kWaitMs) && recv(fd, buffer, sizeof buffer, 0) > 0) {
    }
}

}  // namespace

RawHttpServer::RawHttpServer(std::string reply, Mode mode) : reply_(std::move(reply)), mode_(mode) {
    listen_fd_ = BoundLoopbackSocket(port_);
    listen(listen_fd_, 1);
    thread_ = std::thread([this] { Serve(); });
}

RawHttpServer::~RawHttpServer() {
    if (thread_.joinable()) {
        thread_.join();
    }
    close(listen_fd_);
}

const std::string& RawHttpServer::request() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return request_;
}

void RawHttpServer::Serve() {
    if (!WaitReadable(listen_fd_, kWaitMs)) {
        return;
    }
    const Fd client(accept(listen_fd_, nullptr, nullptr));
    if (client.get() < 0) {
        return;
    }
    request_ = ReadRequest(client.get());
    if (mode_ == Mode::Reply) {
        SendAll(client.get(), reply_);
        shutdown(client.get(), SHUT_WR);
    }
    DrainUntilClosed(client.get());
}

HttplibServer::HttplibServer() = default;

HttplibServer::~HttplibServer() {
    server_.stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void HttplibServer::Start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("bind_to_any_port");
    }
    // The socket already listens, so requests queue until the loop runs.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
}

int ClosedLoopbackPort() {
    int port = 0;
    close(BoundLoopbackSocket(port));
    return port;
}

ParsedRequest ParseRequest(const std::string& raw) {
    ParsedRequest parsed;
    const std::size_t head_end = raw.find("\r\n\r\n");
    const std::string head = raw.substr(0, head_end);
    parsed.body = head_end == std::string::npos ? "" : raw.substr(head_end + 4);
    std::size_t pos = 0;
    for (bool first = true; pos <= head.size(); first = false) {
        const std::size_t end = std::min(head.find("\r\n", pos), head.size());
        (first ? parsed.request_line : parsed.headers.emplace_back()) = head.substr(pos, end - pos);
        pos = end + 2;
    }
    return parsed;
}

}  // namespace korvane::testing
