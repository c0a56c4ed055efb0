#include "RealTunnel.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

namespace korvane::systest {

namespace fs = std::filesystem;
using korvane::test::ReadBytes;
using korvane::test::TempFolder;
using korvane::test::WriteBytes;
using Clock = std::chrono::steady_clock;

namespace {

bool Found(const char* program) {
    return RunCommand(std::string("command -v ") + program + " >/dev/null").status == 0;
}

}  // namespace

std::string Shell(const std::string& command) {
    return RunCommand(command).output;
}

int ListenIn(const std::string& ns, const char* address, std::uint16_t port) {
    NamespaceEntry inside(ns);
    if (!inside.ok()) {
        return -1;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    inet_pton(AF_INET, address, &endpoint.sin_addr);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) != 0 ||
        listen(fd, 1) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool ConnectTo(const char* address, std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    inet_pton(AF_INET, address, &endpoint.sin_addr);
    const bool connected =
        connect(fd, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) == 0;
    close(fd);
    return connected;
}

// The CA and the server's certificate, made once for all tests.
class RealTunnelTest::Certificates {
  public:
    bool Make() {
        const std::string d = folder_.path();
        const CommandResult made = RunCommand(
            "(cd " + d +
            " && openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 2 "
            "-subj '/CN=Korvane Test CA'"
            " && openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr "
            "-subj '/CN=server'"
            " && printf 'basicConstraints=CA:FALSE\\nkeyUsage=digitalSignature,keyEncipherment\\n"
            "extendedKeyUsage=serverAuth\\n' > server.ext"
            " && openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial "
            "-out server.crt -days 2 -extfile server.ext)");
        return made.status == 0;
    }
    std::string Path(const char* name) const { return folder_ / name; }

  private:
    TempFolder folder_;
};

RealTunnelTest::Certificates* RealTunnelTest::certificates_ = nullptr;

void RealTunnelTest::SetUpTestSuite() {
    if (geteuid() == 0 && Found("openssl")) {
        certificates_ = new Certificates;
        if (!certificates_->Make()) {
            delete certificates_;
            certificates_ = nullptr;
        }
    }
}

void RealTunnelTest::TearDownTestSuite() {
    delete certificates_;
    certificates_ = nullptr;
}

void RealTunnelTest::SetUp() {
    if (geteuid() != 0) {
        SKIP_OR_FAIL(
            "the real tunnel needs root for network namespaces and TAP links "
            "(run it as root, as CI does)");
    }
    if (!Found("openvpn") && !fs::exists("/usr/sbin/openvpn")) {
        SKIP_OR_FAIL("the real tunnel needs the openvpn package (apt-get install openvpn)");
    }
    if (certificates_ == nullptr) {
        SKIP_OR_FAIL("the test certificates could not be made (openssl package)");
    }
    if (!fs::exists("/dev/net/tun")) {
        fs::create_directories("/dev/net");
        if (mknod("/dev/net/tun", S_IFCHR | 0666, makedev(10, 200)) != 0) {
            SKIP_OR_FAIL("/dev/net/tun is missing and cannot be made");
        }
    }
    host_routes_before_ = Shell("ip -j -4 route show table all");
    host_links_before_ = Shell("ip -j link show");
    static int count = 0;
    const std::string stem = "kvtn-" + std::to_string(getpid()) + "-" + std::to_string(++count);
    client_ = std::make_unique<TestNamespace>(stem + "-c");
    server_ = std::make_unique<TestNamespace>(stem + "-s");
    if (!client_->ok() || !server_->ok()) {
        SKIP_OR_FAIL("network namespaces are not permitted here: " << client_->error()
                                                                   << server_->error());
    }
    ASSERT_TRUE(BuildLinks()) << client_->error() << server_->error();
    ASSERT_TRUE(StartServer()) << ReadBytes(work_ / "server.log");
    inside_ = std::make_unique<NamespaceEntry>(client_->name());
    struct stat target {};
    ASSERT_EQ(stat(("/run/netns/" + client_->name()).c_str(), &target), 0);
    ASSERT_TRUE(inside_->ok() && CurrentNamespaceId() == target.st_ino);
    cwd_ = fs::current_path();
}

void RealTunnelTest::TearDown() {
    StopServer();
    inside_.reset();
    if (!cwd_.empty()) {
        fs::current_path(cwd_);
    }
    client_.reset();
    server_.reset();
    if (!host_routes_before_.empty()) {
        EXPECT_EQ(Shell("ip -j -4 route show table all"), host_routes_before_)
            << "the host's routing table changed";
        EXPECT_EQ(Shell("ip -j link show"), host_links_before_) << "the host's links changed";
    }
}

bool RealTunnelTest::BuildLinks() {
    TestNamespace& c = *client_;
    TestNamespace& s = *server_;
    return c.Ip("link set lo up") && c.Ip("link add phys0 type veth peer name phys0p") &&
           c.Ip("link set phys0p netns " + s.name()) && c.Ip("addr add 192.0.2.10/24 dev phys0") &&
           c.Ip("link set phys0 up") &&
           c.Ip("route add default via 192.0.2.1 dev phys0 metric 10") && s.Ip("link set lo up") &&
           s.Ip("addr add 192.0.2.1/24 dev phys0p") && s.Ip("link set phys0p up");
}

bool RealTunnelTest::StartServer() {
    WriteBytes(work_ / "check.sh", "#!/bin/sh\n[ \"$(sed -n 1p \"$1\")\" = " + std::string(kUser) +
                                       " ] && [ \"$(sed -n 2p \"$1\")\" = \"" + server_password_ +
                                       "\" ]\n");
    fs::permissions(work_ / "check.sh", fs::perms::owner_all);
    // The server pings every second so that the client's ping-exit (sent
    // in the account's open_config) notices a server that is gone.
    WriteBytes(work_ / "server.conf",
               "dev tap\nproto udp\nlocal 192.0.2.1\nport 1194\ntopology subnet\n"
               "server 10.8.0.0 255.255.255.0\nca " +
                   certificates_->Path("ca.crt") + "\ncert " + certificates_->Path("server.crt") +
                   "\nkey " + certificates_->Path("server.key") +
                   "\ndh none\nverify-client-cert none\nusername-as-common-name\n"
                   "script-security 2\nauth-user-pass-verify " +
                   (work_ / "check.sh") + " via-file\nping 1\nverb 3\n");
    const CommandResult started = server_->Exec(
        "openvpn --config " + (work_ / "server.conf") + " --log " + (work_ / "server.log") +
        " --writepid " + (work_ / "server.pid") + " --daemon");
    if (started.status != 0) {
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (ReadBytes(work_ / "server.log").find("Initialization Sequence Completed") ==
           std::string::npos) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    server_pid_ = std::stoi(ReadBytes(work_ / "server.pid"));
    return server_pid_ > 0;
}

void RealTunnelTest::StopServer() {
    if (server_pid_ > 0) {
        kill(server_pid_, SIGKILL);
        server_pid_ = -1;
    }
}

std::string RealTunnelTest::CaCertificate() const {
    return ReadBytes(certificates_->Path("ca.crt"));
}

std::vector<KernelRoute> RealTunnelTest::Routes() const {
    return ParseIpRoutes(client_->IpOutput("-j -4 route show").output);
}

Texts RealTunnelTest::RouteTexts() const {
    Texts texts;
    for (const KernelRoute& r : Routes()) {
        texts.push_back(r.destination + (r.gateway.empty() ? "" : " via " + r.gateway) + " dev " +
                        r.device + " metric " + std::to_string(r.metric));
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

bool RealTunnelTest::HasRoute(const std::string& text) const {
    const Texts all = RouteTexts();
    return std::find(all.begin(), all.end(), text) != all.end();
}

std::string RealTunnelTest::Towards(const std::string& destination) const {
    const auto parsed = nlohmann::json::parse(
        client_->IpOutput("-j route get " + destination).output, nullptr, false);
    if (!parsed.is_array() || parsed.empty()) {
        return {};
    }
    return parsed[0].value("gateway", "") + " dev " + parsed[0].value("dev", "");
}

std::string RealTunnelTest::TapAddress() const {
    const auto parsed = nlohmann::json::parse(
        client_->IpOutput("-j -4 addr show dev kvtap0").output, nullptr, false);
    if (!parsed.is_array() || parsed.empty() || parsed[0]["addr_info"].empty()) {
        return {};
    }
    return parsed[0]["addr_info"][0].value("local", "");
}

void RealTunnelTest::ExpectTunnelCarriesTheDefaultRoute() {
    EXPECT_EQ(TapAddress(), "10.8.0.2") << "the TAP link's real address";
    EXPECT_TRUE(HasRoute("default via 10.8.0.1 dev kvtap0 metric 50")) << Shell("ip route");
    EXPECT_TRUE(HasRoute("default via 192.0.2.1 dev phys0 metric 55"));
    EXPECT_FALSE(HasRoute(kOwnDefaultRoute));
    EXPECT_TRUE(HasRoute("192.0.2.1 via 192.0.2.1 dev phys0 metric 80"));
    EXPECT_EQ(Towards("203.0.113.99"), "10.8.0.1 dev kvtap0");
    EXPECT_EQ(Towards("192.0.2.1"), "192.0.2.1 dev phys0") << "the server stays outside";
    // Traffic goes through the tunnel to the server's end of it.
    const int listener = ListenIn(server_->name(), "10.8.0.1", 5999);
    ASSERT_GE(listener, 0);
    EXPECT_TRUE(ConnectTo("10.8.0.1", 5999));
    close(listener);
}

void RealTunnelTest::ExpectTableAsBeforeTheTunnel(const Texts& before_tunnel) {
    for (const KernelRoute& r : Routes()) {
        EXPECT_NE(r.device, "kvtap0") << r.destination;
    }
    EXPECT_EQ(Towards("203.0.113.99"), "192.0.2.1 dev phys0");
    EXPECT_EQ(TapAddress(), "");
    Texts expected = before_tunnel;
    std::replace(expected.begin(), expected.end(), std::string(kOwnDefaultRoute),
                 std::string(kBaseDefaultRoute));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(RouteTexts(), expected);
}

}  // namespace korvane::systest
