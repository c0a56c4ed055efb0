// The surroundings of a real OpenVPN tunnel, built anew for each test: two
// network namespaces joined by a veth pair, an OpenVPN server from the
// Debian package in one (certificates made with openssl, user and password
// checked by a script, `dev tap`), and the test thread inside the other, the
// client's machine. The host's routing table and links are never touched
// (and are checked to be unchanged).
//
//   namespace "server"                           namespace "client"
//   phys0p 192.0.2.1/24 ------- veth ----------- phys0 192.0.2.10/24
//   openvpn server, dev tap 10.8.0.1/24            default via 192.0.2.1 metric 10
//   (user and password checked by a script)        kvtap0 (TAP link, alias of the
//                                                  adapter description) 10.8.0.2/24
//                                                  korvane-service on 127.0.0.1
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../settings/TempFolder.h"
#include "KernelNamespace.h"

namespace korvane::systest {

using Texts = std::vector<std::string>;

inline constexpr char kUser[] = "tester";
// The machine's own default route, which the tunnel replaces for good by
// the client's metric-50 one.
inline constexpr char kOwnDefaultRoute[] = "default via 192.0.2.1 dev phys0 metric 10";
inline constexpr char kBaseDefaultRoute[] = "default via 192.0.2.1 dev phys0 metric 50";

std::string Shell(const std::string& command);
// Listening socket made inside a namespace (it stays there).
int ListenIn(const std::string& ns, const char* address, std::uint16_t port);
bool ConnectTo(const char* address, std::uint16_t port);

class RealTunnelTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // Builds the namespaces, starts the server (which accepts kUser with
    // server_password_) and enters the client namespace.
    void SetUp() override;
    void TearDown() override;

    // Ends the server by its pid, as a crash would.
    void StopServer();
    int server_pid() const { return server_pid_; }
    std::string CaCertificate() const;

    std::vector<KernelRoute> Routes() const;
    // "destination via gateway dev device metric n", sorted.
    Texts RouteTexts() const;
    bool HasRoute(const std::string& text) const;
    // The gateway and device "ip route get" picks (no packet is sent).
    std::string Towards(const std::string& destination) const;
    std::string TapAddress() const;

    // While the tunnel is up: the TAP link's address, the default route in
    // the tunnel, the server outside it, traffic reaching the server's end.
    void ExpectTunnelCarriesTheDefaultRoute();
    // After any tear-down: nothing through the tunnel link, and the table
    // as it was before the tunnel but for the machine's own default route,
    // now the client's metric-50 one.
    void ExpectTableAsBeforeTheTunnel(const Texts& before_tunnel);

    std::string server_password_ = "Pass Word 1";
    korvane::test::TempFolder work_;
    std::unique_ptr<TestNamespace> client_;
    std::unique_ptr<TestNamespace> server_;
    std::unique_ptr<NamespaceEntry> inside_;

  private:
    class Certificates;

    bool BuildLinks();
    bool StartServer();

    static Certificates* certificates_;
    std::string host_routes_before_;
    std::string host_links_before_;
    std::filesystem::path cwd_;
    int server_pid_ = -1;
};

}  // namespace korvane::systest
