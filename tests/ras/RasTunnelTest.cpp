#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>

#include "../settings/TempFolder.h"
#include "RasFakes.h"
#include "RasWiring.h"
#include "app/CKorvaneDlg.h"
#include "app/LoginProcedure.h"
#include "app/MainPanels.h"
#include "app/SessionContext.h"
#include "platform/linux/LinuxRas.h"
#include "platform/sim/SimEnvironment.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountInfo.h"
#include "tunnel/RasTunnel.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

using test::CallLog;
using test::FakeRasPort;
using test::ReadBytes;
using test::TempFolder;

class RasTunnelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        environment_.current_directory = folder_.path();
        session_.user_id = "demo_pptp";
        session_.password = "demo1234";
        session_.vpn_type = 1;
        session_.ip_code = "s07";
        account_.server_ip = "10.8.1.1";
        account_.xxxdate = "2026-02-04 23:59:59";
        account_.mygame = "PPTP 요금제";
        Build(port_);
    }
    void Build(RasPort& port) {
        ras_.reset();
        main_.reset();
        main_ = std::make_unique<CKorvaneDlg>(host_, session_, operations_, deploy_,
                                              MakeTemplatePanels);
        main_->BeginModal(nullptr);
        main_->Show(ShowMode::Show);
        ras_ = std::make_unique<RasTunnel>(port, environment_, *main_, session_, account_,
                                           operations_, tunnel_, window_);
        operations_.ras = ras_.get();
        out_.str("");
    }
    // Dialled and connected, as the status messages leave it.
    void Connect() {
        ras_->WritePhonebook(1, 1);
        ASSERT_EQ(ras_->DialRasTunnel(), 1);
        ASSERT_EQ(ras_->OnRasStatus(0x2000, 0), 1);
        ASSERT_EQ(session_.state, SessionState::Connected);
        out_.str("");
    }
    Control& Line(int id) { return *main_->panels().status->Find(id); }
    Dialog& Connecting() { return *main_->panels().connecting; }
    int Boxes(const std::string& text) {
        const std::string all = out_.str();
        int n = 0;
        for (std::size_t at = all.find(text); at != std::string::npos;
             at = all.find(text, at + 1)) {
            ++n;
        }
        return n;
    }
    bool TimerRuns(int id, int period) {
        const auto timer = host_.FindTimer(*main_, id);
        return timer && timer->period_ms == period;
    }

    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    TempFolder folder_;
    SimEnvironment environment_;
    SessionContext session_;
    AccountInfo account_;
    DeploySettings deploy_;
    CallLog log_;
    FakeRasPort port_;
    test::RecordingTunnelOperations tunnel_{log_};
    test::RecordingWindowCalls window_{log_};
    test::RasWiredOperations operations_{log_};
    std::unique_ptr<CKorvaneDlg> main_;
    std::unique_ptr<RasTunnel> ras_;
};

TEST_F(RasTunnelTest, PhonebookGoesIntoTheCurrentDirectory) {
    std::filesystem::create_directory(folder_ / "Program Files");
    const struct {
        std::string current_directory;
        std::string path;
    } cases[] = {
        {folder_.path(), folder_ / "tesken.ini"},
        {folder_.path() + "\\Program Files", folder_ / "Program Files/tesken.ini"},
    };
    for (const auto& c : cases) {
        environment_.current_directory = c.current_directory;
        EXPECT_EQ(ras_->WritePhonebook(3, 1), 1);
        EXPECT_EQ(ras_->phonebook_path(), c.path);
        const std::string text = ReadBytes(c.path);
        EXPECT_EQ(text.rfind("[Dova_Conn]\r\nEncoding=1\r\n", 0), 0u) << c.path;
        EXPECT_NE(text.find("\r\nVpnStrategy=3\r\n"), std::string::npos);
        EXPECT_NE(text.find("\r\nIpPrioritizeRemote=1\r\n"), std::string::npos);
    }
}

TEST_F(RasTunnelTest, NoCurrentDirectoryWritesNoPhonebook) {
    environment_.current_directory.clear();
    EXPECT_EQ(ras_->WritePhonebook(1, 0), 1);
    EXPECT_EQ(ras_->phonebook_path(), "") << "not a file in the root folder";
    EXPECT_EQ(ras_->phonebook().VpnStrategy(), "1");
}

TEST_F(RasTunnelTest, DialShowsTheConnectingDialogAndDialsTheAccount) {
    ras_->WritePhonebook(1, 0);
    EXPECT_EQ(ras_->DialRasTunnel(), 1);
    EXPECT_EQ(log_.calls(), (std::vector<std::string>{"ResetProgress"}));
    EXPECT_TRUE(Connecting().visible());
    EXPECT_EQ(ras_->notify_target().host, &host_);
    EXPECT_EQ(ras_->notify_target().window, main_.get());
    ASSERT_EQ(port_.dials.size(), 1u);
    EXPECT_EQ(port_.dials[0].phonebook, folder_ / "tesken.ini");
    EXPECT_EQ(port_.dials[0].params.phone_number, "10.8.1.1");
    EXPECT_EQ(port_.dials[0].params.user_name, "demo_pptp");
    EXPECT_EQ(port_.dials[0].params.password, "demo1234");

    EXPECT_EQ(ras_->DialRasTunnel(), 1) << "a live connection counts as started";
    EXPECT_EQ(port_.dials.size(), 1u);
}

TEST_F(RasTunnelTest, RefusedDialShowsTheNumberAndTheText) {
    port_.dial_result = 800;
    EXPECT_EQ(ras_->DialRasTunnel(), -1);
    EXPECT_EQ(Boxes("box caption=\"Korvane\" text=\"<<800>> : VPN 연결을 만들 수 없습니다.\""), 1);
    session_.password.clear();
    out_.str("");
    EXPECT_EQ(ras_->DialRasTunnel(), -1);
    EXPECT_EQ(Boxes("box "), 0) << "an empty password is refused without a box";
}

TEST_F(RasTunnelTest, MachineWithoutTheServiceRefusesVisibly) {
    LinuxRas linux_ras;
    Build(linux_ras);
    EXPECT_EQ(ras_->DialRasTunnel(), -1);
    EXPECT_EQ(Boxes(std::string("box caption=\"Korvane\" text=\"<<711>> : ") +
                    LinuxRas::kUnavailableText + "\""),
              1);
}

TEST_F(RasTunnelTest, EachStateIsOneStepOfTheConnectingDialog) {
    const struct {
        int state;
        const char* text;
    } cases[] = {
        {5, "사용자명과 암호 확인중"},
        {25, "(처리중~)"},
        {14, "인증완료"},
    };
    int step = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(ras_->OnRasStatus(c.state, 0), 1);
        EXPECT_EQ(log_.calls().back(),
                  "StepProgress(" + std::string(c.text) + "," + std::to_string(step) + ")");
        EXPECT_EQ(main_->fields().ras_step_count, ++step);
        EXPECT_EQ(session_.state, SessionState::Connecting);
    }
    EXPECT_EQ(Boxes("box "), 0);
}

TEST_F(RasTunnelTest, ErrorEndsTheAttemptWithTheServiceText) {
    ASSERT_EQ(ras_->DialRasTunnel(), 1);
    ras_->OnRasStatus(0, 0);
    main_->panels().login->SetFocus(1006);
    EXPECT_EQ(ras_->OnRasStatus(5, 691), -1);
    EXPECT_EQ(Boxes("box caption=\"장애정보\" text=\"원격 컴퓨터가 사용자 이름과 암호를 받아들이지 "
                    "않았습니다.\""),
              1);
    EXPECT_EQ(session_.state, SessionState::Idle);
    EXPECT_EQ(main_->panels().login->focus_id(), 1005);
    EXPECT_EQ(port_.hang_ups.size(), 1u);
    EXPECT_EQ(main_->fields().ras_step_count, 0);
    EXPECT_EQ(log_.calls().back(), "ResetProgress");
    EXPECT_FALSE(Connecting().visible());
    EXPECT_FALSE(host_.FindTimer(*main_, 1));
    EXPECT_EQ(log_.Count("Hook(IN_START)"), 0);
}

TEST_F(RasTunnelTest, DisconnectedStateEndsTheAttemptInsteadOfConnecting) {
    ASSERT_EQ(ras_->DialRasTunnel(), 1);
    EXPECT_EQ(ras_->OnRasStatus(0x2001, 0), -1);
    EXPECT_EQ(Boxes("box caption=\"장애정보\" text=\"접속해제\""), 1);
    EXPECT_EQ(session_.state, SessionState::Idle);
    EXPECT_FALSE(host_.FindTimer(*main_, 1));
    EXPECT_EQ(log_.Count("Hook(IN_START)"), 0);
    EXPECT_EQ(log_.Count("ShowConnectedLook"), 0);
}

TEST_F(RasTunnelTest, ConnectedStateCompletesTheSession) {
    ras_->WritePhonebook(1, 1);
    ASSERT_TRUE(std::filesystem::exists(ras_->phonebook_path()));
    ASSERT_EQ(ras_->DialRasTunnel(), 1);
    ras_->OnRasStatus(14, 0);
    EXPECT_EQ(ras_->OnRasStatus(0x2000, 0), 1);

    EXPECT_FALSE(std::filesystem::exists(ras_->phonebook_path()));
    EXPECT_TRUE(TimerRuns(1, 1000));
    EXPECT_TRUE(TimerRuns(3, 1000));
    EXPECT_EQ(session_.state, SessionState::Connected);
    EXPECT_EQ(session_.current_exit_address, "10.8.1.10");
    EXPECT_EQ(Line(1035).text(), "10.8.1.10");
    EXPECT_EQ(Line(1036).text(), "2026년 02월 04일");
    EXPECT_EQ(Line(1037).text(), "PPTP 요금제");
    EXPECT_EQ(host_.tray().icon, 214);
    EXPECT_FALSE(Connecting().visible());
    EXPECT_EQ(main_->fields().ras_step_count, 0);
    EXPECT_EQ(log_.calls(),
              (std::vector<std::string>{"ResetProgress", "StepProgress(인증완료,0)",
                                        "StepProgress(접속되었습니다\nTCP/IP 통신가능합니다...,1)",
                                        "ResetProgress", "ShowConnectedLook", "Hook(IN_START)"}));
    EXPECT_EQ(Boxes("box "), 0);
}

TEST_F(RasTunnelTest, OneClickIpChangeAsksForTheChosenCode) {
    for (const int ip_change_type : {0, 1}) {
        session_.ip_change_type = ip_change_type;
        Build(port_);
        const std::size_t before = log_.calls().size();
        Connect();
        const std::vector<std::string> calls(log_.calls().begin() + static_cast<long>(before),
                                             log_.calls().end());
        const bool asked = std::count(calls.begin(), calls.end(), "RequestIpChange(s07)") == 1;
        EXPECT_EQ(asked, ip_change_type == 1) << ip_change_type;
    }
}

TEST(EndDateLine, FollowsTheAccountEndTime) {
    const struct {
        const char* xxxdate;
        const char* line;
    } cases[] = {
        {"2026-02-04 23:59:59", "2026년 02월 04일"},
        {"2026-2-4 08:00:00", "2026년 2월 4일"},
        {"1970-01-01 23:59:59", ""},
        {"1970-01-01 00:00:00", "1970년 01월 01일"},
        {"2026-02", "2026년 02월 일"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EndDateLine(c.xxxdate), c.line) << c.xxxdate;
    }
}

TEST_F(RasTunnelTest, LiveLinkIsLeftAlone) {
    Connect();
    ras_->CheckRasLink();
    EXPECT_EQ(log_.Count("SendLogout(vpn)"), 0);
    EXPECT_EQ(session_.state, SessionState::Connected);
    EXPECT_TRUE(TimerRuns(1, 1000));
}

TEST_F(RasTunnelTest, LostLinkLogsOutTearsDownAndTellsOnce) {
    Connect();
    const std::size_t before = log_.calls().size();
    port_.live = false;
    host_.AdvanceMilliseconds(1000);  // timer 1 runs the link check
    host_.AdvanceMilliseconds(5000);

    const std::vector<std::string> calls(log_.calls().begin() + static_cast<long>(before),
                                         log_.calls().end());
    EXPECT_EQ(calls, (std::vector<std::string>{"TickServiceTime", "SendLogout(vpn)",
                                               "Hook(OUT_START)", "Hook(OUT_STOP)"}));
    EXPECT_EQ(Boxes("box caption=\"통신오류\" text=\"CODE-022 : 서버에서 접속 종료 되었습니다\""),
              1);
    EXPECT_EQ(session_.state, SessionState::Idle);
    EXPECT_FALSE(host_.FindTimer(*main_, 1));
    EXPECT_FALSE(host_.FindTimer(*main_, 3));
    EXPECT_EQ(host_.tray().icon, 213);
    EXPECT_EQ(port_.hang_ups.size(), 1u) << "the dead handle is still hung up";
}

TEST_F(RasTunnelTest, TearDownWithoutADialRunsTheHooks) {
    EXPECT_EQ(ras_->StopRasTunnel(), 1);
    EXPECT_TRUE(port_.hang_ups.empty());
    EXPECT_EQ(log_.calls(), (std::vector<std::string>{"Hook(OUT_START)", "Hook(OUT_STOP)"}));
    EXPECT_EQ(session_.state, SessionState::Idle);
}

TEST_F(RasTunnelTest, FailedHangUpStillTearsDown) {
    Connect();
    port_.hang_up_result = 6;
    EXPECT_EQ(ras_->StopRasTunnel(), 1);
    EXPECT_EQ(session_.state, SessionState::Idle);
    EXPECT_EQ(log_.Count("Hook(OUT_STOP)"), 1);
    EXPECT_EQ(Boxes("box "), 0);
}

TEST(RasWindowCallsOf, ForwardsToTheWindowsOwnOperations) {
    struct Connecting {
        std::vector<std::string> calls;
        void ResetProgress() { calls.push_back("reset"); }
        void StepProgress(const std::string& text, int step) {
            calls.push_back(text + "/" + std::to_string(step));
        }
    } connecting;
    struct Status {
        int looks = 0;
        void ShowConnectedLook() { ++looks; }
    } status;
    std::string asked;
    RasWindowCallsOf calls(connecting, status, [&](const std::string& code) { asked = code; });
    RasWindowCalls& window = calls;
    window.ResetProgress();
    window.StepProgress("인증완료", 3);
    window.ShowConnectedLook();
    window.RequestIpChange("b02");
    EXPECT_EQ(connecting.calls, (std::vector<std::string>{"reset", "인증완료/3"}));
    EXPECT_EQ(status.looks, 1);
    EXPECT_EQ(asked, "b02");
}

}  // namespace
}  // namespace korvane
