// Logout, the tunnel tear-down and its failure report against a running
// service.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SessionHarness.h"
#include "netenv/SystemInfo.h"
#include "ui/CLogoutDlg.h"

namespace korvane {
namespace {

using test::SessionHarness;
using testing::ServiceFixture;

const char* const kAccount = R"(
[account kim]
password = secret
vpntype = 4
server_ip = 10.8.0.1
xxxdate = +30d
user_long_id = L0001
mygame = 요금제
)";

class ReportScenario : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(service_.Start(kAccount));
        h_ = std::make_unique<SessionHarness>(service_);
        h_->Start();
    }
    void LogIn() {
        h_->LogIn("kim", "secret");
        ASSERT_EQ(h_->session.state, SessionState::LoggedIn);
        h_->tunnel.calls.clear();
    }
    std::vector<nlohmann::json> Entries(const std::string& endpoint) {
        std::vector<nlohmann::json> found;
        for (const auto& entry : service_.JournalEntries()) {
            if (entry["endpoint"] == endpoint) {
                found.push_back(entry);
            }
        }
        return found;
    }
    std::string LogPath() const { return h_->session.program_dir + "/event.log"; }

    ServiceFixture service_;
    std::unique_ptr<SessionHarness> h_;
};

TEST_F(ReportScenario, AFailureSendsOneReportWithTheWholeLogBeforeTheLogGoes) {
    LogIn();
    std::ofstream(LogPath()) << "Mon Jan 5 09:00:01 OpenVPN 2.6\nTLS Error: handshake failed\n";
    int events_when_deleted = -1;
    h_->tunnel.on_delete_files = [&] {
        events_when_deleted = static_cast<int>(Entries("event").size());
        std::filesystem::remove(LogPath());
    };
    h_->session.state = SessionState::Connected;

    EXPECT_EQ(h_->operations.ReportTunnelEnd(0, "OPEN VPN TLS ERROR"), 1);

    const auto events = Entries("event");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events_when_deleted, 1) << "the log is deleted only after it was reported";
    EXPECT_EQ(events[0]["fields"]["client_code"], "korvane");
    EXPECT_EQ(events[0]["fields"]["client_id"], "l0001") << "the long id, not the login id";
    const std::string text = events[0]["fields"]["event"];
    const std::string version = "<<<<<<  Version =  1187  OPEN VPN TLS ERROR >>>>>>\r\n";
    EXPECT_EQ(text.substr(0, version.size()), version);
    EXPECT_EQ(text, version + BuildSystemInfo(h_->network, h_->system) + "\r\n" +
                        "Mon Jan 5 09:00:01 OpenVPN 2.6\r\nTLS Error: handshake failed\r\n");
    EXPECT_FALSE(std::filesystem::exists(LogPath()));
    EXPECT_EQ(h_->session.state, SessionState::Idle);
    EXPECT_EQ(h_->tunnel.calls,
              (std::vector<std::string>{"StopTunnelProgram", "DeleteTunnelFiles",
                                        "RunProgramHook(OUT_START)", "RunProgramHook(OUT_STOP)"}));
}

TEST_F(ReportScenario, AUserDisconnectReportsNothingButTearsDown) {
    LogIn();
    h_->session.state = SessionState::Connected;
    h_->main->SetTimer(CKorvaneDlg::kTimerTunnelCheck, 1000);
    h_->main->SetTimer(CKorvaneDlg::kTimerServiceTime, 1000);
    h_->main->tray().SetIcon(214);
    h_->Panel("login").Find(1007)->Enable(false);

    EXPECT_EQ(h_->operations.ReportTunnelEnd(4, ""), 1);

    EXPECT_TRUE(Entries("event").empty());
    EXPECT_EQ(h_->session.state, SessionState::Idle);
    EXPECT_FALSE(h_->host.FindTimer(*h_->main, CKorvaneDlg::kTimerTunnelCheck).has_value());
    EXPECT_FALSE(h_->host.FindTimer(*h_->main, CKorvaneDlg::kTimerServiceTime).has_value());
    EXPECT_EQ(h_->host.tray().icon, 213);
    EXPECT_TRUE(h_->Panel("login").Find(1007)->enabled());
    EXPECT_FALSE(h_->Panel("connecting").visible());
    EXPECT_EQ(h_->tunnel.calls,
              (std::vector<std::string>{"StopTunnelProgram", "DeleteTunnelFiles",
                                        "RunProgramHook(OUT_START)", "RunProgramHook(OUT_STOP)"}));
    // The base default route came back through the base gateway.
    int restored = 0;
    for (const ForwardRow& row : h_->network.routes()) {
        restored += row.destination == 0 && row.mask == 0 && row.metric == 50 ? 1 : 0;
    }
    EXPECT_EQ(restored, 1);
}

TEST_F(ReportScenario, BeforeAnyLoginTheTearDownAddsNoRoute) {
    const std::size_t routes = h_->network.routes().size();
    h_->operations.ReportTunnelEnd(4, "");
    EXPECT_EQ(h_->network.routes().size(), routes);
}

TEST_F(ReportScenario, LogoutSendsTheLoginIdAndKeepsTheState) {
    LogIn();
    CLogoutDlg& status = *h_->main->status_panel();
    status.ShowConnectedLook();
    status.SetLine(CLogoutDlg::kTimeLine, "0:12:34");
    status.SetLine(CLogoutDlg::kIpLine, "203.0.113.11");

    EXPECT_EQ(h_->operations.SendLogout("vpn"), 0);

    const auto logouts = Entries("logout");
    ASSERT_EQ(logouts.size(), 1u);
    EXPECT_EQ(logouts[0]["method"], "POST");
    EXPECT_EQ(
        logouts[0]["fields"],
        (nlohmann::json{
            {"ccver", "1187"}, {"longid", "kim"}, {"cccode", "korvane"}, {"auth_mode", "vpn"}}));
    EXPECT_EQ(h_->session.state, SessionState::LoggedIn);
    EXPECT_EQ(status.Find(CLogoutDlg::kTimeLine)->text(), "0:00:00");
    EXPECT_EQ(status.Find(CLogoutDlg::kIpLine)->text(), CLogoutDlg::kIpPrompt);
    EXPECT_FALSE(status.Find(CLogoutDlg::kDisconnectButton)->visible());
    EXPECT_TRUE(h_->tunnel.calls.empty());
}

TEST_F(ReportScenario, TheLogoutButtonReturnsToTheNarrowLoginPanel) {
    LogIn();
    h_->Panel("status").DispatchCommand(CLogoutDlg::kLogoutButton);
    const auto logouts = Entries("logout");
    ASSERT_EQ(logouts.size(), 1u);
    EXPECT_EQ(logouts[0]["fields"]["auth_mode"], "user");
    EXPECT_TRUE(h_->tunnel.calls.empty()) << "no tunnel was up";
    EXPECT_EQ(h_->main->fields().narrow_layout, 1);
    EXPECT_FALSE(h_->Panel("status").visible());
    EXPECT_TRUE(h_->Panel("login").visible());
    EXPECT_EQ(h_->Panel("login").Find(1005)->text(), "kim") << "the edits keep their texts";
}

TEST_F(ReportScenario, TheLogoutButtonWhileConnectedStopsTheRedialTimersFirst) {
    LogIn();
    h_->session.state = SessionState::Connected;
    h_->main->fields().reconnect_switch = 1;
    h_->main->SetTimer(CKorvaneDlg::kTimerRedial, 10000);
    h_->main->SetTimer(CKorvaneDlg::kTimerRedialWait, 20000);
    h_->Panel("status").DispatchCommand(CLogoutDlg::kLogoutButton);
    EXPECT_EQ(h_->main->fields().reconnect_switch, 0);
    EXPECT_FALSE(h_->host.FindTimer(*h_->main, CKorvaneDlg::kTimerRedial).has_value());
    EXPECT_FALSE(h_->host.FindTimer(*h_->main, CKorvaneDlg::kTimerRedialWait).has_value());
    EXPECT_EQ(h_->session.state, SessionState::Idle);
    EXPECT_TRUE(Entries("event").empty()) << "a user's logout is no failure";
}

TEST_F(ReportScenario, DisconnectDoesNothingUntilConnected) {
    LogIn();
    h_->main->status_panel()->ShowConnectedLook();
    h_->session.state = SessionState::Connecting;
    h_->Panel("status").DispatchCommand(CLogoutDlg::kDisconnectButton);
    EXPECT_TRUE(Entries("logout").empty());
    EXPECT_EQ(h_->session.state, SessionState::Connecting);

    h_->session.state = SessionState::Connected;
    h_->main->status_panel()->SetLine(CLogoutDlg::kIpLine, "203.0.113.11");
    h_->Panel("status").DispatchCommand(CLogoutDlg::kDisconnectButton);
    const auto logouts = Entries("logout");
    ASSERT_EQ(logouts.size(), 1u);
    EXPECT_EQ(logouts[0]["fields"]["auth_mode"], "vpn");
    EXPECT_EQ(h_->session.state, SessionState::Idle);
    EXPECT_EQ(h_->Panel("status").Find(CLogoutDlg::kIpLine)->text(), CLogoutDlg::kIpPrompt);
    EXPECT_FALSE(h_->Panel("status").Find(CLogoutDlg::kDisconnectButton)->visible());
}

}  // namespace
}  // namespace korvane
