// A PPTP account of the demo service, from its connect-login through the
// dial on the simulated remote-access service (with its own notifier
// thread) to the connected tunnel and the server dropping the line.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "../settings/TempFolder.h"
#include "RasFakes.h"
#include "RasWiring.h"
#include "ServiceFixture.h"
#include "app/CKorvaneDlg.h"
#include "app/MainPanels.h"
#include "app/SessionContext.h"
#include "platform/sim/SimEnvironment.h"
#include "platform/sim/SimRas.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountAnswerParser.h"
#include "protocol/AccountInfo.h"
#include "protocol/CWebMgmt.h"
#include "protocol/HttpHeaders.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"
#include "tunnel/CRasMgmt.h"
#include "tunnel/RasTunnel.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

using test::CallLog;
using test::TempFolder;

std::string DemoConfig() {
    std::ifstream in(KORVANE_DEMO_CONFIG);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string WithoutCrLf(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 2);
    }
    return text;
}

int Count(const std::string& text, const std::string& piece) {
    int n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + 1)) {
        ++n;
    }
    return n;
}

class RasScenarioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(service_.Start(DemoConfig()));
        session_.auth_host = "127.0.0.1";
        // The port is the client's setting, never part of a URL.
        web_ = std::make_unique<CWebMgmt>(session_, host_, HttpSettings{service_.port(), 10, 10});
        session_.client_code = "korvane";
        session_.ccver = 1187;
        session_.http_headers = std::string(kHttpHeaderBlock);
        session_.user_id = "demo_pptp";
        session_.password = "demo1234";
        session_.auth_mode = "vpn";
        session_.ip_code = "0";
        session_.vpn_type = 4;
        host_.WatchSession(&session_);
        environment_.current_directory = folder_.path();

        SimRasScript script;
        script.step_ms = 5;
        script.drop_after_ms = 200;
        ras_service_.SetScript(script);

        operations_.logout = [this](const std::string& mode) {
            web_->PostForm(
                "http://" + session_.auth_host + "/ClientLogin/client_logout.php",
                "bin=" + EncodeForWire(RequestRecord::Logout(session_.ccver, session_.user_id,
                                                             session_.client_code, mode)));
        };
        main_ = std::make_unique<CKorvaneDlg>(host_, session_, operations_, deploy_,
                                              MakeTemplatePanels);
        main_->BeginModal(nullptr);
        main_->Show(ShowMode::Show);
        ras_ = std::make_unique<RasTunnel>(ras_service_, environment_, *main_, session_, account_,
                                           operations_, tunnel_, window_);
        operations_.ras = ras_.get();
    }
    void TearDown() override {
        host_.EndSends();
        ras_service_.StopAll();
    }

    // The connect-login as the login procedure makes and reads it.
    void LogIn() {
        LoginRecordFields fields;
        fields.client_code = session_.client_code;
        fields.id = session_.user_id;
        fields.password = session_.password;
        fields.ccver = session_.ccver;
        fields.ip_code = session_.ip_code;
        fields.vpn_type = session_.vpn_type;
        fields.auth_mode = session_.auth_mode;
        const std::string answer = WithoutCrLf(DecodeFromWire(
            web_->PostQuery("http://" + session_.auth_host + "/ClientLogin/user_check_v1.php?bin=" +
                            EncodeForWire(RequestRecord::Login(fields, session_.ip_change_type)))));
        ASSERT_NE(answer.find("login_auth=yes"), std::string::npos) << answer;
        account_.login_answer = answer;
        account_.has_zero_address = answer.find("0.0.0.0") != std::string::npos ? 1 : 0;
        ParseAccountAnswer(account_, session_, clock_);
        if (session_.vpn_type == 1 || session_.vpn_type == 3) {
            ras_->WritePhonebook(session_.vpn_type, account_.has_zero_address);
        }
    }
    // The interface thread serves the service's thread until `done` holds.
    bool ServeUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            host_.WaitForSend(50);
        }
        return done();
    }
    Control& Line(int id) { return *main_->panels().status->Find(id); }

    testing::ServiceFixture service_;
    TempFolder folder_;
    SimRas ras_service_;
    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    SessionContext session_;
    AccountInfo account_;
    DeploySettings deploy_;
    SimEnvironment environment_;
    std::unique_ptr<CWebMgmt> web_;
    CallLog log_;
    test::RecordingTunnelOperations tunnel_{log_};
    test::RecordingWindowCalls window_{log_};
    test::RasWiredOperations operations_{log_};
    std::unique_ptr<CKorvaneDlg> main_;
    std::unique_ptr<RasTunnel> ras_;
};

TEST_F(RasScenarioTest, PptpAccountConnectsAndNoticesTheLostLink) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    ASSERT_EQ(session_.vpn_type, 1);
    EXPECT_EQ(account_.has_zero_address, 1) << "the demo account routes 0.0.0.0/0.0.0.0";
    EXPECT_EQ(account_.server_ip, "10.8.1.1");

    // The remote-access branch of the connect procedure.
    session_.state = SessionState::Connecting;
    ASSERT_EQ(ras_->WritePhonebook(session_.vpn_type, account_.has_zero_address), 1);
    ASSERT_EQ(ras_->DialRasTunnel(), 1);
    ASSERT_TRUE(ServeUntil([&] { return session_.state == SessionState::Connected; }));

    const std::vector<SimRasDial> dials = ras_service_.dials();
    ASSERT_EQ(dials.size(), 1u);
    EXPECT_EQ(dials[0].phonebook, folder_ / "tesken.ini");
    EXPECT_EQ(dials[0].params.entry_name, "Dova_Conn");
    EXPECT_EQ(dials[0].params.phone_number, "10.8.1.1");
    EXPECT_EQ(dials[0].params.user_name, "demo_pptp");
    EXPECT_EQ(dials[0].params.password, "demo1234");
    EXPECT_EQ(dials[0].entry.size(), 95u);
    const auto has = [&](const std::string& key, const std::string& value) {
        return std::count(dials[0].entry.begin(), dials[0].entry.end(),
                          std::make_pair(key, value)) == 1;
    };
    EXPECT_TRUE(has("VpnStrategy", "1"));
    EXPECT_TRUE(has("IpPrioritizeRemote", "1"));

    std::vector<std::string> steps;
    int step = 0;
    for (const int state : SimRasScript{}.Walk()) {
        steps.push_back("StepProgress(" + CRasMgmt::StateText(state) + "," +
                        std::to_string(step++) + ")");
    }
    std::vector<std::string> expected = {"ResetProgress"};
    expected.insert(expected.end(), steps.begin(), steps.end());
    for (const char* call : {"ResetProgress", "ShowConnectedLook", "Hook(IN_START)"}) {
        expected.push_back(call);
    }
    EXPECT_EQ(log_.calls(), expected);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "tesken.ini"));
    EXPECT_EQ(Line(1035).text(), "10.8.1.10");
    EXPECT_EQ(Line(1037).text(), "pptp 요금제") << "the accepted answer is read lower-cased";
    EXPECT_NE(Line(1036).text(), "");
    EXPECT_EQ(host_.tray().icon, 214);

    // A second later the link is still up.
    host_.AdvanceMilliseconds(1000);
    EXPECT_EQ(session_.state, SessionState::Connected);
    EXPECT_EQ(log_.Count("SendLogout(vpn)"), 0);

    // The server drops the line; the next check finds it gone.
    ASSERT_TRUE(ras_service_.WaitUntilIdle(5000));
    host_.AdvanceMilliseconds(1000);
    host_.AdvanceMilliseconds(3000);
    EXPECT_EQ(session_.state, SessionState::Idle);
    EXPECT_EQ(Count(out_.str(),
                    "box caption=\"통신오류\" text=\"CODE-022 : 서버에서 접속 종료 "
                    "되었습니다\""),
              1);
    EXPECT_EQ(log_.Count("Hook(OUT_START)"), 1);
    EXPECT_EQ(log_.Count("Hook(OUT_STOP)"), 1);
    EXPECT_EQ(host_.tray().icon, 213);
    EXPECT_EQ(ras_service_.hang_ups().size(), 1u);

    const std::vector<nlohmann::json> journal = service_.JournalEntries(2);
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(journal[0]["endpoint"], "login");
    EXPECT_EQ(journal[1]["endpoint"], "logout");
    EXPECT_EQ(journal[1]["fields"]["auth_mode"], "vpn");
    EXPECT_EQ(journal[1]["fields"]["longid"], "demo_pptp");
}

TEST_F(RasScenarioTest, WrongPasswordAtTheDialEndsInIdle) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    SimRasScript script = ras_service_.script();
    script.error = 691;
    ras_service_.SetScript(script);
    session_.state = SessionState::Connecting;
    ras_->WritePhonebook(session_.vpn_type, account_.has_zero_address);
    ASSERT_EQ(ras_->DialRasTunnel(), 1);
    ASSERT_TRUE(ServeUntil([&] { return session_.state == SessionState::Idle; }));
    ASSERT_TRUE(ras_service_.WaitUntilIdle(5000));
    EXPECT_EQ(Count(out_.str(), "box caption=\"장애정보\""), 1);
    EXPECT_NE(out_.str().find("사용자 이름과 암호를 받아들이지 않아"), std::string::npos);
    EXPECT_EQ(main_->panels().login->focus_id(), 1005);
    EXPECT_TRUE(std::filesystem::exists(folder_ / "tesken.ini")) << "kept until the next write";
    EXPECT_EQ(ras_service_.hang_ups().size(), 1u);
    EXPECT_EQ(log_.Count("Hook(IN_START)"), 0);
}

}  // namespace
}  // namespace korvane
