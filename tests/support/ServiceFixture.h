#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::testing {

// What a run of the service that ended by itself left behind.
struct ServiceRun {
    int exit_code = -1;  // 128 + signal when killed by a signal, -1 when it did not end
    std::string stdout_text;
    std::string stderr_text;
};

// Runs korvane-service as a child process on 127.0.0.1 with a port of its
// own choosing, in a temporary folder that holds the config, the journal, the
// child's stderr and the files to serve. The child is ended by its pid when
// the fixture goes; if it then does not exit with 0, the test fails.
class ServiceFixture {
  public:
    ServiceFixture();
    ~ServiceFixture();
    ServiceFixture(const ServiceFixture&) = delete;
    ServiceFixture& operator=(const ServiceFixture&) = delete;

    // Writes the config text and the files (name -> bytes, into files/ next
    // to the config), starts the service and waits for its "listening on"
    // line.
    ::testing::AssertionResult Start(std::string_view config_text,
                                     const std::map<std::string, std::string>& files = {});

    // SIGTERM, then SIGKILL when it has not ended within a few seconds.
    // Returns the exit code as ServiceRun::exit_code does.
    int Stop();

    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    int port() const { return port_; }
    std::string address() const;                   // "127.0.0.1:PORT"
    std::string Url(std::string_view path) const;  // "http://127.0.0.1:PORT" + path
    const std::string& dir() const { return dir_; }
    std::string config_path() const { return dir_ + "/service.ini"; }
    std::string journal_path() const { return dir_ + "/journal.jsonl"; }
    std::string StderrText() const;

    // The journal's lines; waits (up to the timeout) until there are at least
    // `at_least`: the service writes a line just after sending its answer.
    std::vector<std::string> JournalLines(std::size_t at_least = 0, int timeout_ms = 5000) const;
    // The same lines parsed; a line that is not JSON fails the test.
    std::vector<nlohmann::json> JournalEntries(std::size_t at_least = 0,
                                               int timeout_ms = 5000) const;

    // The korvane-service binary of this build.
    static std::string BinaryPath();

    // Runs the binary with the arguments until it ends (or the timeout kills
    // it) and returns what it printed.
    static ServiceRun RunToEnd(const std::vector<std::string>& args, int timeout_ms = 10000);

  private:
    std::string dir_;
    pid_t pid_ = -1;
    int stdout_fd_ = -1;
    int port_ = 0;
};

}  // namespace korvane::testing
