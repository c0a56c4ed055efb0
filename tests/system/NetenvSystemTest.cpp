// The route plans and adapter operations on a real kernel: each test builds
// its own machine in two network namespaces and judges the outcome with
// iproute2. The test thread works inside the machine's namespace, so the
// host's routing table is never touched (and is checked to be unchanged).
//
//   namespace "client" (the user's machine)       namespace "peer"
//   phys0 192.0.2.10/24 ---- veth ---------------- phys0p 192.0.2.1/24
//     default via 192.0.2.1 metric 10               lo 198.51.100.77 (remote
//   tap0 10.8.0.6/24, alias "TAP-Windows              control on port 5938)
//     Adapter V9", default via 10.8.0.5 metric 30
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>

#include "KernelNamespace.h"
#include "app/SessionContext.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/RemoteControlPeer.h"
#include "netenv/RoutePlans.h"
#include "netenv/SystemInfo.h"
#include "netenv/TapHardwareAddress.h"
#include "platform/linux/LinuxCommandRunner.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/NetlinkNetwork.h"
#include "protocol/AccountInfo.h"
#include "protocol/WireCodec.h"

namespace korvane::systest {
namespace {

using Texts = std::vector<std::string>;

constexpr char kTapDescription[] = "TAP-Windows Adapter V9";

// A socket closed with the object.
struct Socket {
    int fd = -1;
    explicit Socket(int f) : fd(f) {}
    ~Socket() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

sockaddr_in Endpoint(const char* address, std::uint16_t port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    inet_pton(AF_INET, address, &endpoint.sin_addr);
    return endpoint;
}

int Listen(const char* address, std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    const sockaddr_in endpoint = Endpoint(address, port);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) != 0 ||
        listen(fd, 4) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int ConnectTo(const char* address, std::uint16_t port, bool wait) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (wait ? 0 : SOCK_NONBLOCK), 0);
    const timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const sockaddr_in endpoint = Endpoint(address, port);
    const int result = connect(fd, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint);
    if (wait && result != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

class KernelMachine : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0) {
            SKIP_OR_FAIL(
                "kernel route tests need root to create network namespaces "
                "(run them as root, as CI does)");
        }
        host_routes_before_ = RunCommand("ip -j -4 route show table all").output;
        static int counter = 0;
        const std::string stem =
            "kvne-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
        client_ = std::make_unique<TestNamespace>(stem + "-c");
        peer_ = std::make_unique<TestNamespace>(stem + "-p");
        if (!client_->ok() || !peer_->ok()) {
            SKIP_OR_FAIL("network namespaces are not permitted here: " << client_->error()
                                                                       << peer_->error());
        }
        ASSERT_TRUE(BuildLinks()) << client_->error() << peer_->error();

        inside_ = std::make_unique<NamespaceEntry>(client_->name());
        struct stat target {};
        ASSERT_EQ(stat(("/run/netns/" + client_->name()).c_str(), &target), 0);
        // Nothing may run against the host's own table.
        ASSERT_TRUE(inside_->ok() && CurrentNamespaceId() == target.st_ino)
            << "could not enter " << client_->name();

        tap_ = std::make_unique<TapDevice>("tap0");
        ASSERT_TRUE(tap_->ok()) << "no TAP device (/dev/net/tun)";
        ASSERT_TRUE(client_->Ip("link set tap0 alias \"" + std::string(kTapDescription) + "\"") &&
                    client_->Ip("link set tap0 up") &&
                    client_->Ip("addr add 10.8.0.6/24 dev tap0") &&
                    client_->Ip("route add default via 10.8.0.5 dev tap0 metric 30"))
            << client_->error();

        mgmt_ = std::make_unique<CNetworkMgmt>(network_, system_, commands_);
        session_.auth_host = "203.0.113.5";
        session_.tap_adapter_description = kTapDescription;
        account_.server_ip = "198.51.100.10";
        account_.gateway_ip = "10.8.0.5";
    }

    void TearDown() override {
        mgmt_.reset();
        tap_.reset();
        inside_.reset();
        client_.reset();
        peer_.reset();
        if (!host_routes_before_.empty()) {
            EXPECT_EQ(RunCommand("ip -j -4 route show table all").output, host_routes_before_)
                << "the host's routing table changed";
        }
    }

    bool BuildLinks() {
        TestNamespace& c = *client_;
        TestNamespace& p = *peer_;
        return c.Ip("link set lo up") && c.Ip("link add phys0 type veth peer name phys0p") &&
               c.Ip("link set phys0p netns " + p.name()) &&
               c.Ip("addr add 192.0.2.10/24 dev phys0") && c.Ip("link set phys0 up") &&
               c.Ip("route add default via 192.0.2.1 dev phys0 metric 10") &&
               p.Ip("link set lo up") && p.Ip("addr add 198.51.100.77/32 dev lo") &&
               p.Ip("addr add 192.0.2.1/24 dev phys0p") && p.Ip("link set phys0p up");
    }

    void Login() { AddLoginHostRoutes(*mgmt_, base_, session_, account_); }

    std::vector<KernelRoute> KernelRoutes() const {
        return ParseIpRoutes(client_->IpOutput("-j -4 route show").output);
    }

    // Routes of one metric as "destination via gateway dev device", sorted.
    Texts Routes(unsigned metric) const {
        Texts texts;
        for (const KernelRoute& r : KernelRoutes()) {
            if (r.metric == metric) {
                texts.push_back(r.destination + (r.gateway.empty() ? "" : " via " + r.gateway) +
                                " dev " + r.device);
            }
        }
        std::sort(texts.begin(), texts.end());
        return texts;
    }

    // The device "ip route get" picks for a destination (no packet is sent).
    std::string DeviceTowards(const std::string& destination) const {
        const auto parsed = nlohmann::json::parse(
            client_->IpOutput("-j route get " + destination).output, nullptr, false);
        return parsed.is_array() && !parsed.empty() ? parsed[0].value("dev", "") : "";
    }

    nlohmann::json Link(const std::string& name) const {
        const auto parsed =
            nlohmann::json::parse(client_->IpOutput("-j link show " + name).output, nullptr, false);
        return parsed.is_array() && !parsed.empty() ? parsed[0] : nlohmann::json::object();
    }

    unsigned LinkIndex(const std::string& name) const { return Link(name).value("ifindex", 0u); }

    bool LinkUp(const std::string& name) const {
        const auto flags = Link(name).value("flags", nlohmann::json::array());
        return std::find(flags.begin(), flags.end(), "UP") != flags.end();
    }

    std::unique_ptr<TestNamespace> client_;
    std::unique_ptr<TestNamespace> peer_;
    std::unique_ptr<NamespaceEntry> inside_;
    std::unique_ptr<TapDevice> tap_;
    NetlinkNetwork network_;
    LinuxSystemQueries system_;
    LinuxCommandRunner commands_{"/nonexistent"};
    std::unique_ptr<CNetworkMgmt> mgmt_;
    SessionContext session_;
    AccountInfo account_;
    BaseRoute base_;
    std::vector<std::pair<std::string, std::string>> written_;
    SettingsWriter writer_ = [this](const std::string& name, const std::string& value) {
        written_.emplace_back(name, value);
    };
    std::string host_routes_before_;
};

TEST_F(KernelMachine, LoginRecordsTheBaseRouteAndPinsServerAndAuthHost) {
    Login();
    EXPECT_EQ(base_.interface_index, LinkIndex("phys0"));
    EXPECT_EQ(base_.gateway, "192.0.2.1");
    EXPECT_EQ(base_.local_address, "192.0.2.10");
    EXPECT_EQ(Routes(50), (Texts{"198.51.100.10 via 192.0.2.1 dev phys0",
                                 "203.0.113.5 via 192.0.2.1 dev phys0"}));
    EXPECT_EQ(mgmt_->GetAdapterMac(mgmt_->GetBestInterface(base_.gateway)).size(), 12u);
}

TEST_F(KernelMachine, TheRemoteControlConnectionIsFoundAndKeepsWorkingThroughTheTunnel) {
    int listener_fd = -1;
    {
        NamespaceEntry in_peer(peer_->name());
        ASSERT_TRUE(in_peer.ok());
        listener_fd = Listen("198.51.100.77", kRemoteControlPort);
    }
    Socket listener(listener_fd);
    ASSERT_GE(listener.fd, 0);
    // Rows that must not be taken: a local listener on port 5938 and an
    // attempt to a 5938 that never answers (still SYN_SENT).
    Socket local_listener(Listen("0.0.0.0", kRemoteControlPort));
    ASSERT_GE(local_listener.fd, 0);
    Socket unanswered(ConnectTo("192.0.2.99", kRemoteControlPort, false));
    Socket client(ConnectTo("198.51.100.77", kRemoteControlPort, true));
    ASSERT_GE(client.fd, 0) << "no connection to the peer";
    Socket accepted(accept(listener.fd, nullptr, nullptr));
    ASSERT_GE(accepted.fd, 0);

    // The decoys are really in the kernel's table.
    std::vector<TcpRow> rows;
    ASSERT_TRUE(network_.ReadTcpTable(rows));
    const auto has = [&](auto match) { return std::any_of(rows.begin(), rows.end(), match); };
    EXPECT_TRUE(has([](const TcpRow& r) { return r.state == kTcpListen && r.local_port == 5938; }));
    EXPECT_TRUE(has([](const TcpRow& r) {
        return r.state == kTcpSynSent && r.remote_port == 5938 && r.remote_address == 0xC0000263u;
    }));

    Login();
    RemoteControlPeer peer;
    AddRemoteControlPeerRoute(*mgmt_, base_, peer);
    EXPECT_EQ(peer.address, "198.51.100.77");
    EXPECT_EQ(peer.port, kRemoteControlPort);
    EXPECT_EQ(Routes(45), Texts{"198.51.100.77 via 192.0.2.1 dev phys0"});

    account_.route_list = "0.0.0.0/0.0.0.0";
    ASSERT_EQ(ApplyTunnelRoutes(*mgmt_, base_, session_, account_, writer_), 0);
    EXPECT_EQ(DeviceTowards("203.0.113.200"), "tap0");
    EXPECT_EQ(DeviceTowards("198.51.100.77"), "phys0");
    ASSERT_EQ(send(client.fd, "ping", 4, 0), 4);
    char reply[8] = {};
    EXPECT_EQ(recv(accepted.fd, reply, sizeof reply, 0), 4);
    EXPECT_EQ(std::string(reply), "ping");
}

TEST_F(KernelMachine, BypassRoutesStayExactlyTwoWhenRunTwice) {
    Login();
    account_.default_route = "198.51.100.21^^198.51.100.22";
    const Texts expected{"198.51.100.21 via 192.0.2.1 dev phys0",
                         "198.51.100.22 via 192.0.2.1 dev phys0"};
    AddBypassRoutes(*mgmt_, base_, account_);
    EXPECT_EQ(Routes(77), expected);
    AddBypassRoutes(*mgmt_, base_, account_);
    EXPECT_EQ(Routes(77), expected);
    account_.default_route = "";
    AddBypassRoutes(*mgmt_, base_, account_);
    EXPECT_TRUE(Routes(77).empty());
}

TEST_F(KernelMachine, TheTunnelTakesTheDefaultRouteAndLogoutGivesItBack) {
    Login();
    account_.route_list = "10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0";
    ASSERT_EQ(ApplyTunnelRoutes(*mgmt_, base_, session_, account_, writer_), 0);
    const Texts hosts{"198.51.100.10 via 192.0.2.1 dev phys0",
                      "203.0.113.5 via 192.0.2.1 dev phys0"};
    EXPECT_EQ(Routes(80), hosts);
    EXPECT_EQ(Routes(55), Texts{"default via 192.0.2.1 dev phys0"});
    EXPECT_EQ(Routes(50),
              (Texts{"198.51.100.10 via 192.0.2.1 dev phys0", "203.0.113.5 via 192.0.2.1 dev phys0",
                     "default via 10.8.0.5 dev tap0"}));
    EXPECT_TRUE(Routes(10).empty()) << "the machine's own default route stayed";
    EXPECT_TRUE(Routes(30).empty()) << "the tunnel adapter's own default route stayed";
    EXPECT_EQ(DeviceTowards("203.0.113.200"), "tap0");
    EXPECT_EQ(DeviceTowards("198.51.100.10"), "phys0");
    EXPECT_EQ(session_.tunnel_interface_index, static_cast<int>(LinkIndex("tap0")));
    const std::vector<std::pair<std::string, std::string>> written{
        {"adpi", std::to_string(LinkIndex("phys0"))}, {"lgy", WireCodec::Encode("192.0.2.10")}};
    EXPECT_EQ(written_, written);

    const auto swapped = KernelRoutes().size();
    ASSERT_EQ(ApplyTunnelRoutes(*mgmt_, base_, session_, account_, writer_), 0);
    EXPECT_EQ(KernelRoutes().size(), swapped);
    EXPECT_EQ(Routes(80), hosts);
    EXPECT_EQ(Routes(55), Texts{"default via 192.0.2.1 dev phys0"});

    // The tunnel program ends: its adapter and routes go with it.
    tap_->Close();
    EXPECT_EQ(LinkIndex("tap0"), 0u);
    RestoreBaseDefaultRoute(*mgmt_, base_, session_);
    EXPECT_EQ(Routes(50),
              (Texts{"198.51.100.10 via 192.0.2.1 dev phys0", "203.0.113.5 via 192.0.2.1 dev phys0",
                     "default via 192.0.2.1 dev phys0"}));
    EXPECT_EQ(DeviceTowards("203.0.113.200"), "phys0");
}

TEST_F(KernelMachine, ALinkLeftByAKilledTunnelProgramGivesUpTheDefaultRoute) {
    Login();
    account_.route_list = "0.0.0.0/0.0.0.0";
    ASSERT_EQ(ApplyTunnelRoutes(*mgmt_, base_, session_, account_, writer_), 0);
    // Killed hard, the program leaves the persistent link without carrier
    // but with its address and the tunnel's default route.
    ASSERT_TRUE(tap_->Persist());
    tap_->Close();
    ASSERT_EQ(Routes(50),
              (Texts{"198.51.100.10 via 192.0.2.1 dev phys0", "203.0.113.5 via 192.0.2.1 dev phys0",
                     "default via 10.8.0.5 dev tap0"}));
    RestoreBaseDefaultRoute(*mgmt_, base_, session_);
    EXPECT_EQ(Routes(50),
              (Texts{"198.51.100.10 via 192.0.2.1 dev phys0", "203.0.113.5 via 192.0.2.1 dev phys0",
                     "default via 192.0.2.1 dev phys0"}));
    EXPECT_TRUE(Routes(55).empty());
    EXPECT_TRUE(Routes(80).empty());
    EXPECT_EQ(DeviceTowards("203.0.113.200"), "phys0");
}

TEST_F(KernelMachine, ATunnelAdapterWithoutAddressChangesNothing) {
    Login();
    ASSERT_TRUE(client_->Ip("addr flush dev tap0")) << client_->error();
    ASSERT_TRUE(client_->Ip("route add default via 192.0.2.1 dev phys0 metric 30"));
    const std::string before = client_->IpOutput("-j -4 route show").output;
    account_.route_list = "0.0.0.0/0.0.0.0";
    EXPECT_EQ(ApplyTunnelRoutes(*mgmt_, base_, session_, account_, writer_), -2);
    EXPECT_EQ(client_->IpOutput("-j -4 route show").output, before);
    EXPECT_TRUE(written_.empty());
}

TEST_F(KernelMachine, RegisteredRemoteControlRoutesAndTheirReset) {
    Login();
    AddRegisteredRemoteControlRoutes(*mgmt_, base_, "198.51.100.31^198.51.100.32");
    EXPECT_EQ(Routes(9999), (Texts{"198.51.100.31 via 192.0.2.1 dev phys0",
                                   "198.51.100.32 via 192.0.2.1 dev phys0"}));
    ResetRegisteredRemoteControlRoutes(*mgmt_);
    EXPECT_TRUE(Routes(9999).empty());
    EXPECT_EQ(Routes(50).size(), 2u);
    EXPECT_EQ(Routes(10), Texts{"default via 192.0.2.1 dev phys0"});
}

TEST_F(KernelMachine, AdaptersAreTheLinksAndTheirAliases) {
    const unsigned tap = LinkIndex("tap0");
    const unsigned phys = LinkIndex("phys0");
    EXPECT_EQ(mgmt_->FindAdapterIndex(kTapDescription), tap);
    EXPECT_EQ(mgmt_->CountAdaptersByDescription(kTapDescription), 1);
    EXPECT_EQ(mgmt_->FindAdapterIndex("phys0"), phys);

    std::string mac = Link("phys0").value("address", "");
    mac.erase(std::remove(mac.begin(), mac.end(), ':'), mac.end());
    std::transform(mac.begin(), mac.end(), mac.begin(), ::toupper);
    EXPECT_EQ(mgmt_->GetAdapterMac(phys), mac);
    EXPECT_EQ(mgmt_->GetAdapterGuid(tap), LinkGuid("tap0"));

    EXPECT_EQ(ApplyTapHardwareAddress(*mgmt_, kTapDescription, "00FF5A5A5A01"), 1);
    EXPECT_EQ(Link("tap0").value("address", ""), "00:ff:5a:5a:5a:01");
    EXPECT_TRUE(LinkUp("tap0"));

    EXPECT_EQ(mgmt_->SetConnectionEnabled(kTapDescription, false), kConnectionOk);
    EXPECT_FALSE(LinkUp("tap0"));
    EXPECT_TRUE(LinkUp("phys0"));
    EXPECT_EQ(mgmt_->SetConnectionEnabled(kTapDescription, true), kConnectionOk);
    EXPECT_TRUE(LinkUp("tap0"));
    EXPECT_EQ(Link("tap0").value("address", ""), "00:ff:5a:5a:5a:01");
    EXPECT_EQ(mgmt_->SetConnectionEnabled("TAP-Windows", true), kConnectionNotFound);
}

TEST_F(KernelMachine, UnbindingSwitchesIpv6OffOnTheTapOnly) {
    const CommandResult phys = client_->Exec("cat /proc/sys/net/ipv6/conf/phys0/disable_ipv6");
    if (phys.status != 0) {
        GTEST_SKIP() << "this kernel has no IPv6 to switch off";
    }
    EXPECT_EQ(mgmt_->UnbindTapProtocols(kTapDescription), 1);
    EXPECT_EQ(client_->Exec("cat /proc/sys/net/ipv6/conf/tap0/disable_ipv6").output, "1\n");
    EXPECT_EQ(client_->Exec("cat /proc/sys/net/ipv6/conf/phys0/disable_ipv6").output, "0\n");
}

TEST_F(KernelMachine, SystemInfoDescribesLinuxAndListsTheLinks) {
    const std::string info = BuildSystemInfo(network_, system_);
    EXPECT_NE(info.find(", Linux "), std::string::npos) << info;
    EXPECT_NE(info.find("#1. phys0 (192.0.2.10)\r\n#2. TAP-Windows Adapter V9 (10.8.0.6)\r\n"),
              std::string::npos)
        << info;
}

}  // namespace
}  // namespace korvane::systest
