#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "ServiceConfig.h"

namespace korvane {
class Clock;
}

namespace korvane::service {

class Journal;

// Bodies above this size are refused with 413. It holds the largest request
// the client sends: an event report whose tunnel log fills the decoder's
// 655 350 bytes, which Base64 makes about 874 000.
inline constexpr std::size_t kMaxBodyBytes = 1024 * 1024;

// The service on one listener: every endpoint, the journal, failure
// injection. Runs the HTTP library's worker threads.
class HttpService {
  public:
    // `journal` may be null (no journal); it and `clock` outlive the service.
    HttpService(ServiceConfig config, Journal* journal, const Clock& clock);
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Binds the listener (port 0: a free port). Returns the port, or -1.
    int Bind(const std::string& host, int port);

    // Fills in the config's placeholders with the address clients use and
    // collects the files to serve; prints a warning to stderr for each file
    // that is missing. Call after Bind, before Run.
    void Prepare(const std::string& listen_address);

    // Serves until Stop. False when the listener failed.
    bool Run();

    // From any thread: ends Run and any injected delay.
    void Stop();

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace korvane::service
