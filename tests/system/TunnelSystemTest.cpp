// A real OpenVPN tunnel between two network namespaces the test builds, the
// client side run by the tunnel procedures on the Linux backends: the TAP
// installer makes the TAP link, the launcher runs Debian's openvpn, the log
// monitor declares the tunnel up from the real log, the routes move into the
// tunnel and back. The test thread works inside the client namespace, so the
// host's routing table and links are never touched (and are checked to be
// unchanged).
//
//   namespace "server"                           namespace "client"
//   phys0p 192.0.2.1/24 ------- veth ----------- phys0 192.0.2.10/24
//   openvpn server, dev tap 10.8.0.1/24            default via 192.0.2.1 metric 10
//   (user and password checked by a script)        kvtap0 (TAP link, alias of the
//                                                  adapter description) 10.8.0.2/24
//                                                  korvane-service on 127.0.0.1
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "../settings/TempFolder.h"
#include "../tunnel/TunnelTestSupport.h"
#include "KernelNamespace.h"
#include "ServiceFixture.h"
#include "app/DeploySettings.h"
#include "app/SessionContext.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/RoutePlans.h"
#include "platform/Platform.h"
#include "platform/linux/FileSettingsStore.h"
#include "platform/linux/LinuxCommandRunner.h"
#include "platform/linux/LinuxEnvironment.h"
#include "platform/linux/LinuxProcesses.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/NetlinkNetwork.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountInfo.h"
#include "settings/CRegCtrl.h"
#include "tunnel/TunnelProcedures.h"
#include "tunnel/TunnelSide.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane::systest {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using korvane::test::CurlDownload;
using korvane::test::MakeTestPanels;
using korvane::test::ReadBytes;
using korvane::test::TempFolder;
using korvane::test::TunnelTestOperations;
using korvane::test::WriteBytes;
using Clock = std::chrono::steady_clock;

#define SKIP_OR_FAIL(message)                                         \
    do {                                                              \
        if (std::getenv("KORVANE_REQUIRE_SYSTEM_TESTS") != nullptr) { \
            FAIL() << message;                                        \
        }                                                             \
        GTEST_SKIP() << message;                                      \
    } while (0)

constexpr char kUser[] = "tester";
constexpr char kPassword[] = "Pass Word 1";
// Timer 1 ticks once a real second, as in the program: the thresholds are
// counted in ticks, and OpenVPN on a loaded machine needs its real seconds.
constexpr auto kTickPause = std::chrono::milliseconds(1000);

bool Found(const char* program) {
    return RunCommand(std::string("command -v ") + program + " >/dev/null").status == 0;
}

std::string Shell(const std::string& command) {
    return RunCommand(command).output;
}

// The CA and the server's certificate, made once for all tests.
class Certificates {
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
        error_ = made.output;
        return made.status == 0;
    }
    std::string Path(const char* name) const { return folder_ / name; }
    const std::string& error() const { return error_; }

  private:
    TempFolder folder_;
    std::string error_;
};

// Listening socket made inside a namespace (it stays there).
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

class TunnelSystemTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (geteuid() == 0 && Found("openssl")) {
            certificates_ = new Certificates;
            if (!certificates_->Make()) {
                delete certificates_;
                certificates_ = nullptr;
            }
        }
    }
    static void TearDownTestSuite() {
        delete certificates_;
        certificates_ = nullptr;
    }

    void SetUp() override {
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
        BuildClient();
    }

    void TearDown() override {
        procedures_.reset();
        if (tunnel_) {
            tunnel_->StopTunnelProgram();
        }
        main_.reset();
        tunnel_.reset();
        service_.reset();
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

    bool BuildLinks() {
        TestNamespace& c = *client_;
        TestNamespace& s = *server_;
        return c.Ip("link set lo up") && c.Ip("link add phys0 type veth peer name phys0p") &&
               c.Ip("link set phys0p netns " + s.name()) &&
               c.Ip("addr add 192.0.2.10/24 dev phys0") && c.Ip("link set phys0 up") &&
               c.Ip("route add default via 192.0.2.1 dev phys0 metric 10") &&
               s.Ip("link set lo up") && s.Ip("addr add 192.0.2.1/24 dev phys0p") &&
               s.Ip("link set phys0p up");
    }

    bool StartServer() {
        WriteBytes(work_ / "check.sh",
                   "#!/bin/sh\n[ \"$(sed -n 1p \"$1\")\" = " + std::string(kUser) +
                       " ] && [ \"$(sed -n 2p \"$1\")\" = \"" + kPassword + "\" ]\n");
        fs::permissions(work_ / "check.sh", fs::perms::owner_all);
        // The server pings every second so that the client's ping-exit (sent
        // in the account's open_config) notices a server that is gone.
        WriteBytes(work_ / "server.conf",
                   "dev tap\nproto udp\nlocal 192.0.2.1\nport 1194\ntopology subnet\n"
                   "server 10.8.0.0 255.255.255.0\nca " +
                       certificates_->Path("ca.crt") + "\ncert " +
                       certificates_->Path("server.crt") + "\nkey " +
                       certificates_->Path("server.key") +
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

    void StopServer() {
        if (server_pid_ > 0) {
            kill(server_pid_, SIGKILL);
            server_pid_ = -1;
        }
    }

    // The client's program folder holds the launcher and the installers as
    // the build placed them beside the client.
    void BuildClient() {
        const fs::path built = KORVANE_PROGRAM_DIR;
        for (const char* name : {"dovaop.exe", "32", "64", "AdapterInstall.exe"}) {
            fs::create_symlink(built / name, fs::path(program_.path()) / name);
        }
        environment_ = std::make_unique<LinuxEnvironment>(program_ / "korvane");
        settings_ = std::make_unique<FileSettingsStore>(config_.path());
        processes_ = std::make_unique<LinuxProcesses>(program_.path());
        commands_ = std::make_unique<LinuxCommandRunner>(program_.path());
        platform_.clock = &clock_;
        platform_.settings = settings_.get();
        platform_.environment = environment_.get();
        platform_.network = &network_;
        platform_.system = &system_;
        platform_.processes = processes_.get();
        platform_.commands = commands_.get();
        mgmt_ = std::make_unique<CNetworkMgmt>(network_, system_, *commands_);

        tunnel_ = std::make_unique<TunnelSide>(session_, account_, platform_, *mgmt_, host_);
        main_ =
            std::make_unique<CKorvaneDlg>(host_, session_, operations_, deploy_, MakeTestPanels);
        TunnelSeams seams;
        seams.run_login = [] { return 0; };
        seams.download = CurlDownload;
        procedures_ = std::make_unique<TunnelProcedures>(*main_, account_, *tunnel_, *mgmt_,
                                                         operations_, seams);
        operations_.Attach(*main_, *tunnel_, *mgmt_, *procedures_);
        main_->BeginModal(nullptr);
        session_.windows_dir = config_.path();
        tunnel_->PrepareTunnelEnvironment();
    }

    // The login's part: the account answer, the base route, the TAP check.
    void LogIn() {
        service_ = std::make_unique<testing::ServiceFixture>();
        ASSERT_TRUE(
            service_->Start("[service]\n[account tester]\npassword = p\n"
                            "crt_file = http://${self}/crt/korvane_ca.crt\n",
                            {{"korvane_ca.crt", ReadBytes(certificates_->Path("ca.crt"))}}));
        session_.auth_host = "192.0.2.1";
        session_.user_id = kUser;
        session_.password = kPassword;
        session_.auth_file = "korvane_token.txt";
        session_.vpn_type = 4;
        account_.server_ip = "192.0.2.1";
        account_.vpnport = "1194";
        account_.gateway_ip = "10.8.0.1";
        account_.route_list = "0.0.0.0/0.0.0.0";
        account_.open_config = "ping 1^ping-exit 4";
        account_.crt_file = service_->Url("/crt/korvane_ca.crt");
        account_.crt_file_name = "korvane_ca.crt";
        account_.server_cert_version = 1002;
        account_.xxxdate = "2037-12-31 23:59:59";
        BaseRoute base;
        AddLoginHostRoutes(*mgmt_, base, session_, account_);
        main_->fields().base_route = base;
        tunnel_->CheckTapAdapter();
        main_->fields().tunnel_poll_counter = 0;
    }

    // Ticks of timer 1 until the state is reached; false after the deadline.
    bool TickUntil(SessionState state, std::chrono::seconds limit) {
        const auto deadline = Clock::now() + limit;
        while (session_.state != state) {
            if (Clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(kTickPause);
            host_.AdvanceMilliseconds(1000);
        }
        return true;
    }

    std::vector<KernelRoute> Routes() const {
        return ParseIpRoutes(client_->IpOutput("-j -4 route show").output);
    }
    // "destination via gateway dev device metric n", sorted.
    Texts RouteTexts() const {
        Texts texts;
        for (const KernelRoute& r : Routes()) {
            texts.push_back(r.destination + (r.gateway.empty() ? "" : " via " + r.gateway) +
                            " dev " + r.device + " metric " + std::to_string(r.metric));
        }
        std::sort(texts.begin(), texts.end());
        return texts;
    }
    bool HasRoute(const std::string& text) const {
        const Texts all = RouteTexts();
        return std::find(all.begin(), all.end(), text) != all.end();
    }
    // The device and gateway "ip route get" picks (no packet is sent).
    std::string Towards(const std::string& destination) const {
        const auto parsed = nlohmann::json::parse(
            client_->IpOutput("-j route get " + destination).output, nullptr, false);
        if (!parsed.is_array() || parsed.empty()) {
            return {};
        }
        return parsed[0].value("gateway", "") + " dev " + parsed[0].value("dev", "");
    }
    std::string TapAddress() const {
        const auto parsed = nlohmann::json::parse(
            client_->IpOutput("-j -4 addr show dev kvtap0").output, nullptr, false);
        if (!parsed.is_array() || parsed.empty() || parsed[0]["addr_info"].empty()) {
            return {};
        }
        return parsed[0]["addr_info"][0].value("local", "");
    }
    bool TunnelFilesGone() const {
        for (const char* name : {"dovaen.opc", "ems.inf", "event.log", "korvane_token.txt"}) {
            if (fs::exists(program_ / name)) {
                return false;
            }
        }
        return true;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        std::istringstream in(out_.str());
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("box ", 0) == 0) {
                boxes.push_back(line);
            }
        }
        return boxes;
    }

    // Connects and waits for the monitor to declare the tunnel up; the
    // seconds it took.
    double Connect() {
        const auto start = Clock::now();
        EXPECT_EQ(procedures_->ConnectToChosenIp(), 1);
        EXPECT_TRUE(TickUntil(SessionState::Connected, std::chrono::seconds(45)))
            << operations_.log_at_report << ReadBytes(program_ / "event.log") << out_.str();
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    void ExpectTunnelCarriesTheDefaultRoute() {
        EXPECT_EQ(TapAddress(), "10.8.0.2") << "the TAP link's real address";
        EXPECT_EQ(main_->panels().status->Find(1035)->text(), "10.8.0.2");
        EXPECT_EQ(session_.current_exit_address, "10.8.0.2");
        EXPECT_TRUE(HasRoute("default via 10.8.0.1 dev kvtap0 metric 50")) << Shell("ip route");
        EXPECT_TRUE(HasRoute("default via 192.0.2.1 dev phys0 metric 55"));
        EXPECT_FALSE(HasRoute("default via 192.0.2.1 dev phys0 metric 10"));
        EXPECT_TRUE(HasRoute("192.0.2.1 via 192.0.2.1 dev phys0 metric 80"));
        EXPECT_EQ(Towards("203.0.113.99"), "10.8.0.1 dev kvtap0");
        EXPECT_EQ(Towards("192.0.2.1"), "192.0.2.1 dev phys0") << "the server stays outside";
        // Traffic goes through the tunnel to the server's end of it.
        const int listener = ListenIn(server_->name(), "10.8.0.1", 5999);
        ASSERT_GE(listener, 0);
        EXPECT_TRUE(ConnectTo("10.8.0.1", 5999));
        close(listener);
    }

    // After any tear-down: the tunnel's routes are gone and the traffic goes
    // through the base gateway again.
    void ExpectBaseRouteBack() {
        for (const KernelRoute& r : Routes()) {
            EXPECT_NE(r.device, "kvtap0") << r.destination;
        }
        EXPECT_TRUE(HasRoute("default via 192.0.2.1 dev phys0 metric 50")) << Shell("ip route");
        EXPECT_EQ(Towards("203.0.113.99"), "192.0.2.1 dev phys0");
        EXPECT_EQ(TapAddress(), "");
        EXPECT_EQ(tunnel_->openvpn().monitor().IsProcessRunning("dovaop.exe"), 0);
        EXPECT_TRUE(TunnelFilesGone());
        EXPECT_TRUE(fs::exists(program_ / "korvane_ca.crt"));
        EXPECT_EQ(session_.state, SessionState::Idle);
    }

    static Certificates* certificates_;
    TempFolder work_;
    TempFolder program_;
    TempFolder config_;
    std::unique_ptr<TestNamespace> client_;
    std::unique_ptr<TestNamespace> server_;
    std::unique_ptr<NamespaceEntry> inside_;
    std::string host_routes_before_;
    std::string host_links_before_;
    fs::path cwd_;
    int server_pid_ = -1;

    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    NetlinkNetwork network_;
    LinuxSystemQueries system_;
    std::unique_ptr<LinuxEnvironment> environment_;
    std::unique_ptr<FileSettingsStore> settings_;
    std::unique_ptr<LinuxProcesses> processes_;
    std::unique_ptr<LinuxCommandRunner> commands_;
    Platform platform_;
    std::unique_ptr<CNetworkMgmt> mgmt_;
    SessionContext session_;
    AccountInfo account_;
    DeploySettings deploy_;
    TunnelTestOperations operations_;
    std::unique_ptr<testing::ServiceFixture> service_;
    std::unique_ptr<TunnelSide> tunnel_;
    std::unique_ptr<CKorvaneDlg> main_;
    std::unique_ptr<TunnelProcedures> procedures_;
};

Certificates* TunnelSystemTest::certificates_ = nullptr;

TEST_F(TunnelSystemTest, ConnectsAndDisconnectsOverARealTunnel) {
    EXPECT_EQ(session_.program_dir, program_.path());
    EXPECT_EQ(session_.tap_adapter_description, "Morvask PCI Fast Controller");
    ASSERT_NO_FATAL_FAILURE(LogIn());
    ASSERT_TRUE(HasRoute("192.0.2.1 via 192.0.2.1 dev phys0 metric 50"));
    EXPECT_GT(mgmt_->FindAdapterIndex(session_.tap_adapter_description), 0)
        << "the installer made the TAP link";
    // The OUT hooks: one program to start, one running program to end.
    WriteBytes(program_ / "out-start.sh", "#!/bin/sh\ntouch \"$(dirname \"$0\")/out-start.ran\"\n");
    fs::permissions(program_ / "out-start.sh", fs::perms::owner_all);
    const std::string sleeper = "sleeper-" + std::to_string(getpid()) + ".exe";
    fs::copy_file("/bin/sleep", program_ / sleeper);
    int error = 0;
    const int sleeping = processes_->Launch({program_ / sleeper + " 60", "", true}, error);
    CRegCtrl settings(*settings_);
    settings.WriteValue(session_.registry_root, session_.registry_key, "OutStart", 1,
                        program_ / "out-start.sh");
    settings.WriteValue(session_.registry_root, session_.registry_key, "OutStop", 1,
                        program_ / sleeper);

    const double seconds = Connect();
    std::cout << "[ tunnel   ] up " << seconds << " s after the connect\n";
    ASSERT_EQ(session_.state, SessionState::Connected);
    EXPECT_EQ(ReadBytes(program_ / "korvane_ca.crt"), ReadBytes(certificates_->Path("ca.crt")))
        << "the certificate came from the service";
    ExpectTunnelCarriesTheDefaultRoute();

    // A disconnect from the IP tab.
    operations_.SendLogout("vpn");
    operations_.ReportTunnelEnd(4, "");
    ExpectBaseRouteBack();
    EXPECT_TRUE(fs::exists(program_ / "out-start.ran"));
    int code = 0;
    EXPECT_TRUE(processes_->Wait(sleeping, code)) << "OUT_STOP ended the program";
    EXPECT_TRUE(Boxes().size() == 1) << "only the driver notice: " << out_.str();
}

TEST_F(TunnelSystemTest, ServerGoneMidSessionIsReportedAndTheRoutesComeBack) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    const Texts before_tunnel = RouteTexts();
    Connect();
    ASSERT_EQ(session_.state, SessionState::Connected);

    const auto killed = Clock::now();
    StopServer();
    ASSERT_TRUE(TickUntil(SessionState::Idle, std::chrono::seconds(30)))
        << ReadBytes(program_ / "event.log");
    const Texts boxes = Boxes();
    ASSERT_FALSE(boxes.empty());
    const std::size_t code = boxes.back().find("CODE-");
    std::cout << "[ tunnel   ] "
              << (code == std::string::npos ? "no code" : boxes.back().substr(code, 8))
              << " reported " << std::chrono::duration<double>(Clock::now() - killed).count()
              << " s after the server was killed\n";
    EXPECT_TRUE(boxes.back().find("CODE-004") != std::string::npos ||
                boxes.back().find("CODE-005") != std::string::npos)
        << boxes.back();
    EXPECT_EQ(operations_.events.front(), "SendLogout(vpn)");
    EXPECT_NE(operations_.log_at_report.find("Initialization Sequence Completed"),
              std::string::npos)
        << "the report carries the real log";
    ExpectBaseRouteBack();
    // The table is as before the tunnel, but for the machine's own default
    // route, now the client's metric-50 one.
    Texts expected = before_tunnel;
    std::replace(expected.begin(), expected.end(),
                 std::string("default via 192.0.2.1 dev phys0 metric 10"),
                 std::string("default via 192.0.2.1 dev phys0 metric 50"));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(RouteTexts(), expected);
}

TEST_F(TunnelSystemTest, TwoTapAdaptersAreReinstalledAsOne) {
    const std::string installer = program_ / "32/tapinstall32.exe";
    const std::string driver = program_ / "32/oemdrv.inf";
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(RunCommand(installer + " install " + driver + " tap0901").status, 0);
    }
    EXPECT_EQ(mgmt_->CountAdaptersByDescription(session_.tap_adapter_description), 2);
    EXPECT_EQ(client_->IpOutput("-j link show kvtap1").output.find("#2") != std::string::npos, true)
        << "the second adapter is numbered";
    session_.vpn_type = 4;
    EXPECT_EQ(tunnel_->CheckTapAdapter(), 0);
    EXPECT_EQ(mgmt_->CountAdaptersByDescription(session_.tap_adapter_description), 1);
    EXPECT_GT(mgmt_->FindAdapterIndex(session_.tap_adapter_description), 0);
}

}  // namespace
}  // namespace korvane::systest
