// A real OpenVPN tunnel between two network namespaces the test builds
// (RealTunnel.h), the client side run by the tunnel procedures on the Linux
// backends: the TAP installer makes the TAP link, the launcher runs Debian's
// openvpn, the log monitor declares the tunnel up from the real log, the
// routes move into the tunnel and back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

#include "../settings/TempFolder.h"
#include "../tunnel/TunnelTestSupport.h"
#include "RealTunnel.h"
#include "ServiceFixture.h"
#include "TranscriptLines.h"
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
using korvane::test::CurlDownload;
using korvane::test::MakeTestPanels;
using korvane::test::ReadBytes;
using korvane::test::TempFolder;
using korvane::test::TunnelTestOperations;
using korvane::test::WriteBytes;
using Clock = std::chrono::steady_clock;

constexpr char kPassword[] = "Pass Word 1";
// Timer 1 ticks once a real second, as in the program: the thresholds are
// counted in ticks, and OpenVPN on a loaded machine needs its real seconds.
constexpr auto kTickPause = std::chrono::milliseconds(1000);

class TunnelSystemTest : public RealTunnelTest {
  protected:
    void SetUp() override {
        RealTunnelTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) {
            BuildClient();
        }
    }

    void TearDown() override {
        procedures_.reset();
        if (tunnel_) {
            tunnel_->StopTunnelProgram();
        }
        main_.reset();
        tunnel_.reset();
        service_.reset();
        RealTunnelTest::TearDown();
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
                            {{"korvane_ca.crt", CaCertificate()}}));
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

    bool TunnelFilesGone() const {
        for (const char* name : {"dovaen.opc", "ems.inf", "event.log", "korvane_token.txt"}) {
            if (fs::exists(program_ / name)) {
                return false;
            }
        }
        return true;
    }
    std::vector<std::string> Boxes() const {
        return korvane::testing::TranscriptLinesStartingWith(out_.str(), "box ");
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

    void ExpectConnected() {
        EXPECT_EQ(main_->panels().status->Find(1035)->text(), "10.8.0.2");
        EXPECT_EQ(session_.current_exit_address, "10.8.0.2");
        ExpectTunnelCarriesTheDefaultRoute();
    }

    void ExpectTornDown(const Texts& before_tunnel) {
        ExpectTableAsBeforeTheTunnel(before_tunnel);
        EXPECT_EQ(tunnel_->openvpn().monitor().IsProcessRunning("dovaop.exe"), 0);
        EXPECT_TRUE(TunnelFilesGone());
        EXPECT_TRUE(fs::exists(program_ / "korvane_ca.crt"));
        EXPECT_EQ(session_.state, SessionState::Idle);
    }

    TempFolder program_;
    TempFolder config_;

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

TEST_F(TunnelSystemTest, ConnectsAndDisconnectsOverARealTunnel) {
    EXPECT_EQ(session_.program_dir, program_.path());
    EXPECT_EQ(session_.tap_adapter_description, "Morvask PCI Fast Controller");
    ASSERT_NO_FATAL_FAILURE(LogIn());
    ASSERT_TRUE(HasRoute("192.0.2.1 via 192.0.2.1 dev phys0 metric 50"));
    const Texts before_tunnel = RouteTexts();
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
    EXPECT_EQ(ReadBytes(program_ / "korvane_ca.crt"), CaCertificate())
        << "the certificate came from the service";
    ExpectConnected();

    // A disconnect from the IP tab.
    operations_.SendLogout("vpn");
    operations_.ReportTunnelEnd(4, "");
    ExpectTornDown(before_tunnel);
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
    ExpectTornDown(before_tunnel);
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
