// The connect procedure and the OpenVPN monitor on a simulated machine: the
// main window on a virtual clock, the simulated tunnel program writing its
// log into a real program folder, timer 1 driving the log check.
#include <gtest/gtest.h>

#include "ServiceFixture.h"
#include "SimTunnelMachine.h"
#include "tunnel/OpenVpnLog.h"
#include "ui/CBitmapButton.h"

namespace korvane::test {
namespace {

using Texts = std::vector<std::string>;

constexpr char kTunnelCommand[] = "dovaop.exe --config dovaen.opc --log event.log zentra.txt";

class TunnelProceduresTest : public ::testing::Test {
  protected:
    void SetUp() override { m.Start(); }

    // The launches of the tunnel program so far.
    Texts TunnelLaunches() const {
        Texts lines;
        for (const auto& launch : m.processes.launches()) {
            if (launch.command_line.rfind("dovaop.exe", 0) == 0) {
                lines.push_back(launch.command_line);
            }
        }
        return lines;
    }
    void ExpectTornDown(const std::string& reason) {
        const Texts tail(m.operations.events.end() - 2, m.operations.events.end());
        EXPECT_EQ(tail, (Texts{"SendLogout(vpn)", "ReportTunnelEnd(0," + reason + ")"}));
        EXPECT_EQ(m.session.state, SessionState::Idle);
        EXPECT_FALSE(m.TimerRuns(CKorvaneDlg::kTimerTunnelCheck));
        EXPECT_EQ(m.processes.CountRunning("dovaop.exe"), 0);
    }

    SimTunnelMachine m;
};

TEST_F(TunnelProceduresTest, TunnelComesUpOnTheTickThatSeesTheCompletionMarker) {
    m.session.ip_change_type = 1;
    m.session.ip_code = "77";
    m.SetSetting("inStart", "app.exe");  // for remote-access tunnels only
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);

    EXPECT_EQ(TunnelLaunches(), Texts{kTunnelCommand});
    EXPECT_EQ(m.processes.launches().back().working_directory, m.folder.path());
    EXPECT_TRUE(m.processes.launches().back().hidden);
    EXPECT_EQ(m.session.state, SessionState::Connecting);
    EXPECT_TRUE(m.TimerRuns(CKorvaneDlg::kTimerTunnelCheck));
    EXPECT_FALSE(m.TimerRuns(CKorvaneDlg::kTimerServiceTime));
    EXPECT_TRUE(m.Exists("dovaen.opc") && m.Exists("ems.inf") && m.Exists("zentra.txt"));

    m.Tick();  // the completion marker is written one second after the launch
    EXPECT_EQ(m.session.state, SessionState::Connected);
    EXPECT_EQ(m.counter(), 32) << "login_delay + 1, then advanced";
    EXPECT_EQ(m.session.current_exit_address, "10.8.0.2");
    EXPECT_EQ(m.StatusLine(1036).text(), "2026년 02월 05일");
    EXPECT_EQ(m.StatusLine(1035).text(), "10.8.0.2");
    EXPECT_EQ(m.StatusLine(1034).text(), "0:00:00");
    EXPECT_TRUE(m.TimerRuns(CKorvaneDlg::kTimerServiceTime));
    EXPECT_TRUE(m.TimerRuns(CKorvaneDlg::kTimerTunnelCheck));
    EXPECT_EQ(m.main->tray().record().icon, CTrayIcon::kIconConnected);
    EXPECT_EQ(m.progress().calls, (Texts{"StartProgress", "StopProgress"}));
    EXPECT_FALSE(m.main->panels().connecting->visible());
    auto* disconnect = m.main->panels().status->Get<CBitmapButton>(1012);
    EXPECT_TRUE(disconnect->visible());
    EXPECT_EQ(disconnect->normal_bitmap(), 179);
    EXPECT_EQ(m.ip_changes, Texts{"77"});

    // The default route moved into the tunnel.
    EXPECT_EQ(m.Routes(50), (Texts{"203.0.113.7/255.255.255.255 via 192.168.0.1 on 7",
                                   "198.51.100.20/255.255.255.255 via 192.168.0.1 on 7",
                                   "0.0.0.0/0.0.0.0 via 10.8.0.1 on 12"}));
    EXPECT_EQ(m.Routes(55), Texts{"0.0.0.0/0.0.0.0 via 192.168.0.1 on 7"});
    EXPECT_EQ(m.Routes(25).size(), 1u) << "only the subnet route is left at metric 25";
    EXPECT_EQ(m.settings.ReadText(RegistryHive::CurrentUser, "SOFTWARE\\Talvo", "adpi"), "7");

    m.Tick(3);
    EXPECT_EQ(m.session.state, SessionState::Connected);
    EXPECT_TRUE(m.NewBoxes().empty());
    EXPECT_TRUE(m.operations.events.empty());
    EXPECT_EQ(m.processes.CommandLines(), Texts{kTunnelCommand}) << "no IN_START program";
}

TEST_F(TunnelProceduresTest, ProgramEndingWhileConnectedGivesCode004OnTheNextTick) {
    m.programs.tunnel.log_lines = 38;  // with the completion and the exit line: 40
    m.programs.tunnel.exit_after = 5;
    m.SetSetting("OutStart", "/opt/tools/notify.exe --done");
    m.SetSetting("OutStop", "C:\\Tools\\app.exe");
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    m.Tick(4);
    ASSERT_EQ(m.session.state, SessionState::Connected);
    EXPECT_TRUE(m.NewBoxes().empty());

    m.Tick();
    ExpectTornDown("OPEN_STATUS : OPEN VPN Process Kill ERROR ");
    EXPECT_EQ(m.NewBoxes(), Texts{m.Box("CODE-004 : 서버에서 접속 종료 되었음", "접속 오류")});
    EXPECT_EQ(
        std::count(m.operations.log_at_report.begin(), m.operations.log_at_report.end(), '\n'), 40);
    EXPECT_EQ(m.counter(), 0);
    // The tear-down put the base default route back and cleaned up.
    EXPECT_EQ(m.Routes(50).back(), "0.0.0.0/0.0.0.0 via 192.168.0.1 on 7");
    for (const char* name : {"dovaen.opc", "ems.inf", "zentra.txt", "event.log"}) {
        EXPECT_FALSE(m.Exists(name)) << name;
    }
    EXPECT_TRUE(m.Exists("ca.crt") && m.Exists("crtver.ini"));
    const Texts commands = m.processes.CommandLines();
    const Texts hooks(commands.end() - 2, commands.end());
    EXPECT_EQ(hooks, (Texts{"/opt/tools/notify.exe --done", "taskkill.exe /T /F /IM app.exe"}));
    EXPECT_FALSE(m.processes.launches()[commands.size() - 2].hidden);
    EXPECT_TRUE(m.processes.launches().back().waited);
}

// Ticks with the poll counter they see; a failure comes on the tick given.
struct Timeout {
    const char* name;
    SimTunnelScenario scenario;
    int login_delay;
    int failing_tick;
    const char* event;
    const char* message;
    const char* caption;
};

void PrintTo(const Timeout& t, std::ostream* out) {
    *out << t.name;
}

class TunnelTimeoutTest : public TunnelProceduresTest,
                          public ::testing::WithParamInterface<Timeout> {};

TEST_P(TunnelTimeoutTest, FailsOnTheTickItsThresholdNames) {
    const Timeout& t = GetParam();
    m.programs.tunnel = t.scenario;
    m.session.login_delay = t.login_delay;
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    m.Tick(t.failing_tick - 1);
    EXPECT_TRUE(m.NewBoxes().empty());
    EXPECT_EQ(m.counter(), t.failing_tick - 1);
    EXPECT_EQ(m.session.state, SessionState::Connecting);

    m.Tick();
    EXPECT_EQ(m.NewBoxes(), Texts{m.Box(t.message, t.caption)});
    ExpectTornDown(t.event);
    EXPECT_EQ(m.progress().calls.at(1), "StopProgress") << "stopped before the logout";
}

SimTunnelScenario Scenario(int lines, int complete_after, const std::string& error = {}) {
    SimTunnelScenario s;
    s.log_lines = lines;
    s.complete_after = complete_after;
    s.error = error;
    return s;
}

INSTANTIATE_TEST_SUITE_P(Thresholds, TunnelTimeoutTest,
                         ::testing::Values(
                             // The first long line fails the login, a completion follows it.
                             Timeout{"AuthFailedBeforeCompletion",
                                     Scenario(20, 1, "Received AUTH_FAILED control message"), 30,
                                     32, "OPEN_STATUS : VPN SERVER FORCE ERROR ",
                                     "CODE-005 : 서버 장애로 인해 접속 종료됨 ", "접속 오류"},
                             Timeout{"ShortLogIsAFirewall", Scenario(10, -1), 30, 9,
                                     "OPEN_STATUS : OPEN VPN Firewall Check ",
                                     TunnelProcedures::kFirewallFailure.message,
                                     "방화벽 설정 오류"},
                             Timeout{"ShortDelayNeverSeesTheFirewall", Scenario(10, -1), 5, 7,
                                     "OPEN_STATUS : VPN SERVER FORCE ERROR ",
                                     "CODE-005 : 서버 장애로 인해 접속 종료됨 ", "접속 오류"},
                             Timeout{"RunningWithoutCompletion", Scenario(20, -1), 30, 32,
                                     "OPEN_STATUS : VPN SERVER FORCE ERROR ",
                                     "CODE-005 : 서버 장애로 인해 접속 종료됨 ", "접속 오류"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TunnelProceduresTest, FirewallFailureLeavesTheCounterAtOne) {
    m.programs.tunnel = Scenario(10, -1);
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    m.Tick(9);
    EXPECT_EQ(m.counter(), 1);
}

TEST_F(TunnelProceduresTest, LogNeverWrittenFailsAfterTheDelay) {
    // A program that runs but writes nothing: the log cannot be opened.
    m.programs.InstallPlain("dovaop.exe", {});
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    EXPECT_EQ(m.tunnel->openvpn().CheckLog(), kLogCannotOpen);
    m.Tick(31);
    EXPECT_TRUE(m.NewBoxes().empty());
    m.Tick();
    EXPECT_EQ(m.NewBoxes(), Texts{m.Box("CODE-005 : 서버 장애로 인해 접속 종료됨 ", "접속 오류")});
}

TEST_F(TunnelProceduresTest, MissingAdapterFailureStartsTheAdapterInstaller) {
    m.network.RemoveAdapter(kTapIndex);
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    EXPECT_EQ(m.tunnel->openvpn().CheckLog(), -13);
    m.Tick(32);
    EXPECT_EQ(m.NewBoxes(),
              Texts{m.Box(TunnelProcedures::kAdapterFailure.message, "네트워크 장치 생성 오류")});
    ExpectTornDown("OPEN_STATUS : VPN SERVER FORCE ERROR ");
    const auto& installer = m.processes.launches().back();
    EXPECT_EQ(installer.command_line, "\"" + m.folder.path() + "/AdapterInstall.exe\"");
    EXPECT_TRUE(installer.hidden);
    EXPECT_FALSE(installer.waited);
    EXPECT_GT(m.mgmt.FindAdapterIndex(kSimTapDescription64), 0) << "the installer ran";
}

TEST_F(TunnelProceduresTest, ServerAddressMissingStartsNothingAndDeletesTheFiles) {
    m.account.server_ip.clear();
    m.account.vpnport.clear();
    EXPECT_EQ(m.procedures->ConnectToChosenIp(), 1);

    EXPECT_EQ(m.NewBoxes(), Texts{m.Box("CODE-014 : 서버 IP 설정 오류", "설정오류")});
    EXPECT_TRUE(TunnelLaunches().empty());
    for (const char* name : {"dovaen.opc", "ems.inf", "zentra.txt"}) {
        EXPECT_FALSE(m.Exists(name)) << name;
    }
    EXPECT_EQ(m.session.state, SessionState::Connecting);
    EXPECT_EQ(m.session.auth_mode, "vpn");
    EXPECT_EQ(m.progress().calls, (Texts{"StartProgress", "StopProgress"}));
    EXPECT_FALSE(m.main->panels().connecting->visible());
    EXPECT_FALSE(m.TimerRuns(CKorvaneDlg::kTimerTunnelCheck));
}

TEST_F(TunnelProceduresTest, FailedConnectLoginEndsTheStepWithoutConnecting) {
    m.session.vpn_type = 1;
    m.seams.run_login = [] { return -1; };
    TunnelProcedures procedures(*m.main, m.account, *m.tunnel, m.mgmt, m.operations, m.seams);
    const std::size_t switches = m.network.connection_switches().size();
    EXPECT_EQ(procedures.ConnectToChosenIp(), -2);
    EXPECT_EQ(m.network.connection_switches().size(), switches + 1) << "TAP disabled for PPTP";
    EXPECT_EQ(m.session.state, SessionState::ConnectRequested);
    EXPECT_TRUE(m.progress().calls.empty());
}

TEST_F(TunnelProceduresTest, TunnelProgramThatCannotStartIsReportedWithoutABox) {
    m.processes.Uninstall("dovaop.exe");
    EXPECT_EQ(m.procedures->ConnectTunnel(), -1);
    EXPECT_EQ(m.operations.events, Texts{"ReportTunnelEnd(0,OPEN VPN CONNECT ERROR)"});
    EXPECT_TRUE(m.NewBoxes().empty());
    EXPECT_EQ(m.tunnel->openvpn().start_error(), "CreateProcess failed! (2)");
    EXPECT_FALSE(m.Exists("dovaen.opc"));
}

TEST_F(TunnelProceduresTest, StartWhileConnectedIsRefused) {
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    m.Tick();
    ASSERT_EQ(m.session.state, SessionState::Connected);
    EXPECT_EQ(m.procedures->StartOpenVpnTunnel(), -1);
    EXPECT_EQ(m.NewBoxes(), Texts{m.Box("이미 접속 중입니다.", "접속정보")});
    EXPECT_EQ(TunnelLaunches().size(), 1u);
}

TEST_F(TunnelProceduresTest, UpWithoutAnAdapterAddressMovesTheRouteOnceItIsThere) {
    const std::string tap = m.session.tap_adapter_description;
    m.session.tap_adapter_description = "No Such Adapter";
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    m.Tick();
    EXPECT_EQ(m.session.state, SessionState::Connected) << "an empty address is not 0.0.0.0";
    EXPECT_EQ(m.StatusLine(1035).text(), "");
    EXPECT_TRUE(m.Routes(55).empty()) << "no address, no route change";

    m.session.tap_adapter_description = tap;
    m.Tick();
    EXPECT_EQ(m.Routes(55), Texts{"0.0.0.0/0.0.0.0 via 192.168.0.1 on 7"});
    EXPECT_EQ(m.Routes(50).back(), "0.0.0.0/0.0.0.0 via 10.8.0.1 on 12");
}

TEST_F(TunnelProceduresTest, OtherTunnelKindsDispatch) {
    std::vector<std::pair<int, int>> phonebooks;
    int dial_result = -1;
    TunnelSide tunnel(m.session, m.account, m.platform, m.mgmt, m.host, [&](int type, int zero) {
        phonebooks.emplace_back(type, zero);
        return 0;
    });
    m.seams.dial_ras = [&] { return dial_result; };
    TunnelProcedures procedures(*m.main, m.account, tunnel, m.mgmt, m.operations, m.seams);
    m.account.has_zero_address = 1;

    m.session.vpn_type = 3;
    EXPECT_EQ(procedures.ConnectTunnel(), -1);
    EXPECT_EQ(phonebooks, (std::vector<std::pair<int, int>>{{3, 1}}));
    EXPECT_EQ(m.operations.events, Texts{"StopRasTunnel"});

    dial_result = 0;
    m.session.vpn_type = 1;
    EXPECT_EQ(procedures.ConnectTunnel(), 1);
    EXPECT_EQ(m.operations.events.size(), 1u);

    m.session.vpn_type = 2;
    EXPECT_EQ(procedures.ConnectTunnel(), 1);
    EXPECT_EQ(m.session.state, SessionState::Connecting);
    EXPECT_EQ(m.progress().calls.back(), "StartProgress") << "the dialog keeps running";
    EXPECT_TRUE(TunnelLaunches().empty());
}

TEST_F(TunnelProceduresTest, ConnectEndsTheInStopProgramFirstAndWaits) {
    for (const char* value : {"C:\\Tools\\app.exe", "app.exe"}) {
        m.SetSetting("inStop", value);
        const int app = m.processes.AddRunning("app.exe");
        ASSERT_EQ(m.procedures->ConnectTunnel(), 1) << value;
        const auto& first = m.processes.launches().at(m.processes.launches().size() - 2);
        EXPECT_EQ(first.command_line, "taskkill.exe /T /F /IM app.exe") << value;
        EXPECT_TRUE(first.waited);
        EXPECT_FALSE(m.processes.IsRunning(app));
        m.tunnel->StopTunnelProgram();
    }
}

TEST_F(TunnelProceduresTest, HardwareAddressIsSetOnlyWhenTheAccountGivesOne) {
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    const std::size_t before = m.network.connection_switches().size();
    m.tunnel->StopTunnelProgram();
    m.account.mac_addr = "00FF4B560001";
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    const Texts& switches = m.network.connection_switches();
    ASSERT_EQ(switches.size(), before + 2);
    EXPECT_NE(switches[before].find("disconnect"), std::string::npos);
    EXPECT_EQ(m.network.FindAdapter(kTapIndex)->address_override, "00FF4B560001");
}

// The certificate refresh on the way to the tunnel program.
TEST_F(TunnelProceduresTest, CertificateOfTheCurrentVersionIsNotFetched) {
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    EXPECT_TRUE(m.downloads.empty());
    EXPECT_EQ(m.session.client_cert_version, 1001);
}

TEST_F(TunnelProceduresTest, FailedCertificateDownloadIsShownAndTheAttemptGoesOn) {
    std::remove((m.folder / "crtver.ini").c_str());
    m.download_result = -1;
    ASSERT_EQ(m.procedures->ConnectTunnel(), 1);
    ASSERT_EQ(m.downloads.size(), 1u);
    EXPECT_EQ(m.downloads[0].first, m.account.crt_file);
    EXPECT_EQ(m.downloads[0].second, m.folder / "ca.crt");
    EXPECT_EQ(m.session.client_cert_version, -1);
    EXPECT_EQ(m.NewBoxes(), Texts{m.Box(TunnelFiles::kDownloadError, "업데이트오류")});
    EXPECT_EQ(ReadBytes(m.folder / "crtver.ini").substr(0, 4), "1001");
    EXPECT_FALSE(m.Exists("ca.crt")) << "the old certificate went before the download";
    EXPECT_FALSE(m.main->panels().update_progress->visible());
    EXPECT_EQ(TunnelLaunches(), Texts{kTunnelCommand});
}

TEST_F(TunnelProceduresTest, NewerCertificateIsFetchedFromTheService) {
    testing::ServiceFixture service;
    ASSERT_TRUE(
        service.Start("[service]\n[account tester]\npassword = p\n"
                      "crt_file = http://${self}/crt/korvane_ca.crt\n",
                      {{"korvane_ca.crt", "-----BEGIN CERTIFICATE-----\nnew\n"}}));
    m.account.crt_file = service.Url("/crt/korvane_ca.crt");
    m.account.crt_file_name = "korvane_ca.crt";
    m.account.server_cert_version = 1002;
    m.seams.download = CurlDownload;
    TunnelProcedures procedures(*m.main, m.account, *m.tunnel, m.mgmt, m.operations, m.seams);
    ASSERT_EQ(procedures.ConnectTunnel(), 1);
    EXPECT_EQ(ReadBytes(m.folder / "korvane_ca.crt"), "-----BEGIN CERTIFICATE-----\nnew\n");
    EXPECT_EQ(ReadBytes(m.folder / "crtver.ini").substr(0, 4), "1002");
    EXPECT_TRUE(m.NewBoxes().empty());
}

}  // namespace
}  // namespace korvane::test
