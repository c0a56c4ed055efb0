#pragma once

#include <cstdlib>
#include <string>
#include <vector>

// Where namespaces cannot be made or a package is missing the tests say why
// and skip; CI asks for them to fail instead, so that a machine without the
// privilege cannot pass silently.
#define SKIP_OR_FAIL(message)                                         \
    do {                                                              \
        if (std::getenv("KORVANE_REQUIRE_SYSTEM_TESTS") != nullptr) { \
            FAIL() << message;                                        \
        }                                                             \
        GTEST_SKIP() << message;                                      \
    } while (0)

namespace korvane::systest {

struct CommandResult {
    int status = -1;
    std::string output;
};

// Runs a shell command and collects its standard output.
CommandResult RunCommand(const std::string& command);

// A network namespace of the test's own ("ip netns add"), deleted with the
// object whatever happens to the test.
class TestNamespace {
  public:
    explicit TestNamespace(std::string name);
    ~TestNamespace();
    TestNamespace(const TestNamespace&) = delete;
    TestNamespace& operator=(const TestNamespace&) = delete;

    bool ok() const { return created_; }
    const std::string& name() const { return name_; }
    const std::string& error() const { return error_; }
    // "ip -n <name> <arguments>"; false (with the reason in error()) when ip
    // fails.
    bool Ip(const std::string& arguments);
    CommandResult IpOutput(const std::string& arguments) const;
    // A shell command inside the namespace.
    CommandResult Exec(const std::string& command) const;

  private:
    std::string name_;
    bool created_ = false;
    std::string error_;
};

// Moves the calling thread into a namespace and back into the one it came
// from when destroyed.
class NamespaceEntry {
  public:
    explicit NamespaceEntry(const std::string& name);
    ~NamespaceEntry();
    NamespaceEntry(const NamespaceEntry&) = delete;
    NamespaceEntry& operator=(const NamespaceEntry&) = delete;

    bool ok() const { return entered_; }

  private:
    int original_ = -1;
    bool entered_ = false;
};

// The inode of the calling thread's network namespace.
unsigned long CurrentNamespaceId();

// A TAP device held open like a tunnel program holds it: it exists, with
// carrier, in the calling thread's namespace until the object goes.
class TapDevice {
  public:
    explicit TapDevice(const std::string& name);
    ~TapDevice();
    TapDevice(const TapDevice&) = delete;
    TapDevice& operator=(const TapDevice&) = delete;

    bool ok() const { return fd_ >= 0; }
    // The link outlives the descriptor, as one made by "ip tuntap add".
    bool Persist();
    void Close();

  private:
    int fd_ = -1;
};

// One route of "ip -j route show".
struct KernelRoute {
    std::string destination;  // "default", "198.51.100.10", "10.8.0.0/24"
    std::string gateway;      // empty for on-link routes
    std::string device;
    unsigned metric = 0;
};

std::vector<KernelRoute> ParseIpRoutes(const std::string& json);

}  // namespace korvane::systest
