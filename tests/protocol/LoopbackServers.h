#pragma once

#include <httplib.h>

#include <string>
#include <thread>
#include <vector>

namespace korvane::testing {

// A one-shot server on 127.0.0.1 for exact control of the bytes: it accepts
// one connection, reads one request (head and Content-Length body), keeps its
// bytes, sends `reply` as given and closes. A silent server sends nothing and
// waits for the client to give up. Every wait is bounded.
class RawHttpServer {
  public:
    enum class Mode { Reply, Silent };
    explicit RawHttpServer(std::string reply, Mode mode = Mode::Reply);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    int port() const { return port_; }
    // The request as received; waits for the exchange to end.
    const std::string& request();

  private:
    void Serve();

    std::string reply_;
    Mode mode_;
    int listen_fd_ = -1;
    int port_ = 0;
    std::string request_;
    std::thread thread_;
};

// A cpp-httplib server on 127.0.0.1, on a port of the system's choosing,
// running in its own thread from construction to destruction.
class HttplibServer {
  public:
    HttplibServer();
    ~HttplibServer();
    HttplibServer(const HttplibServer&) = delete;
    HttplibServer& operator=(const HttplibServer&) = delete;

    // Register handlers before Start().
    httplib::Server& server() { return server_; }
    void Start();
    int port() const { return port_; }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

// A loopback port with nothing listening on it.
int ClosedLoopbackPort();

// A request cut into its request line, header lines and body.
struct ParsedRequest {
    std::string request_line;
    std::vector<std::string> headers;
    std::string body;
};
ParsedRequest ParseRequest(const std::string& raw);

}  // namespace korvane::testing
