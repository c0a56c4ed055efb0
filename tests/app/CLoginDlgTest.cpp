#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TranscriptLines.h"
#include "app/CKorvaneDlg.h"
#include "app/CLoginDlg.h"
#include "app/LoginPanelActions.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "platform/sim/MemorySettingsStore.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/WireText.h"
#include "settings/CRegCtrl.h"
#include "ui/BasicControls.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

// Notes what the session record held when the login was asked for.
class RecordingLogin : public LoginPanelActions {
  public:
    explicit RecordingLogin(SessionContext& session) : session_(session) {}
    int RunLogin() override {
        logins.push_back(session_.user_id + "/" + session_.password + "/" + session_.ip_code + "/" +
                         session_.auth_mode);
        return result;
    }
    void CompletePanelLogin() override { ++completed; }

    std::vector<std::string> logins;
    int result = 0;
    int completed = 0;

  private:
    SessionContext& session_;
};

class CLoginDlgTest : public ::testing::Test {
  protected:
    CLoginDlgTest() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("korvane-login-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        session_.windows_dir = folder_.string();
        session_.registry_root = RegistryHive::CurrentUser;
        session_.registry_key = "SOFTWARE\\Talvo";
        session_.ip_code = "a01";
    }
    ~CLoginDlgTest() override { std::filesystem::remove_all(folder_); }

    void Store(const char* name, const std::string& value) {
        settings_.WriteValue(session_.registry_root, session_.registry_key, name, 1, value);
    }
    std::string Stored(const char* name) {
        return settings_.ReadText(session_.registry_root, session_.registry_key, name);
    }
    CLoginDlg& Start() {
        const PanelFactory panels = [this](CKorvaneDlg& main) {
            MainPanels p = MakeTemplatePanels(main);
            p.login = std::make_unique<CLoginDlg>(main, settings_, login_);
            return p;
        };
        main_ = std::make_unique<CKorvaneDlg>(host_, session_, ops_, deploy_, panels);
        main_->BeginModal(nullptr);
        main_->Show(ShowMode::Show);
        return static_cast<CLoginDlg&>(*main_->panels().login);
    }
    std::vector<std::string> Boxes() const {
        return korvane::testing::TranscriptLinesStartingWith(out_.str(), "box ");
    }

    std::filesystem::path folder_;
    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    SessionContext session_;
    MemorySettingsStore store_;
    CRegCtrl settings_{store_};
    RecordingLogin login_{session_};
    PendingOperations ops_;
    DeploySettings deploy_;
    std::unique_ptr<CKorvaneDlg> main_;
};

TEST_F(CLoginDlgTest, SendsTheCredentialsWithoutBlanksInLowerCase) {
    CLoginDlg& login = Start();
    login.Find(1005)->SetText(" Kim Min ");
    login.Find(1006)->SetText(" Pass Word1 ");
    main_->fields().day_warning_shown = 1;
    login.DispatchCommand(1007);
    EXPECT_EQ(login_.logins, std::vector<std::string>{"kimmin/password1/0/user"});
    EXPECT_EQ(main_->fields().day_warning_shown, 0);
    EXPECT_EQ(login_.completed, 1);
}

TEST_F(CLoginDlgTest, ARefusedLoginSkipsTheStepsAfterIt) {
    CLoginDlg& login = Start();
    login_.result = -1;
    login.Find(1005)->SetText("kim");
    login.Find(1006)->SetText("pw");
    login.DispatchCommand(1007);
    EXPECT_EQ(login_.logins.size(), 1u);
    EXPECT_EQ(login_.completed, 0);
}

TEST_F(CLoginDlgTest, EmptyFieldsAreRefusedWithTheirMessages) {
    CLoginDlg& login = Start();
    login.DispatchCommand(1007);
    EXPECT_EQ(login.focus_id(), 1005);
    login.Find(1005)->SetText("   ");  // only blanks pass, and go as an empty id
    login.DispatchCommand(1007);
    EXPECT_EQ(login.focus_id(), 1006);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{
                           "box caption=\"계정정보\" text=\" 아이디를 입력 해주세요. \" "
                           "buttons=ok answer=ok",
                           "box caption=\"계정정보\" text=\" 패스워드를 입력 해주세요. \" "
                           "buttons=ok answer=ok"}));
    EXPECT_TRUE(login_.logins.empty());
    login.Find(1006)->SetText("pw");
    login.DispatchCommand(1007);
    EXPECT_EQ(login_.logins, std::vector<std::string>{"/pw/0/user"});
}

TEST_F(CLoginDlgTest, RememberedCredentialsFillTheEditsAndTheSession) {
    Store("ui1", EncodeForWire("remembered"));
    Store("up2", EncodeForWire("pw1"));
    Store("uipchk", "1");
    session_.user_id = "fromlauncher";
    session_.password = "launcherpw";
    CLoginDlg& login = Start();
    EXPECT_TRUE(static_cast<CheckBox*>(login.Find(1008))->checked());
    EXPECT_EQ(login.Find(1005)->text(), "remembered");
    EXPECT_EQ(login.Find(1006)->text(), "pw1");
    EXPECT_EQ(session_.user_id, "remembered");
    EXPECT_EQ(session_.password, "pw1");
}

TEST_F(CLoginDlgTest, WithoutTheRememberMarkTheEditsStartEmpty) {
    Store("ui1", EncodeForWire("lastattempt"));
    Store("up2", EncodeForWire("pw1"));
    CLoginDlg& login = Start();
    EXPECT_FALSE(static_cast<CheckBox*>(login.Find(1008))->checked());
    EXPECT_EQ(login.Find(1005)->text(), "");
    EXPECT_EQ(login.Find(1006)->text(), "");
}

TEST_F(CLoginDlgTest, TheRememberBoxStoresAndDeletesItsMark) {
    CLoginDlg& login = Start();
    auto* remember = static_cast<CheckBox*>(login.Find(1008));
    remember->SetCheck(true);
    login.DispatchCommand(1008);
    EXPECT_EQ(Stored("uipchk"), "1");
    remember->SetCheck(false);
    login.DispatchCommand(1008);
    std::size_t length = 0;
    char buffer[8];
    EXPECT_EQ(settings_.ReadValue(session_.registry_root, session_.registry_key, "uipchk", buffer,
                                  sizeof buffer, &length),
              0)
        << "the value is gone";
}

TEST_F(CLoginDlgTest, TheTestBoxShowsOnlyWithTheMarkerFile) {
    EXPECT_FALSE(Start().Find(1052)->visible());
    main_.reset();
    std::ofstream(folder_ / "core_debug") << "";
    EXPECT_TRUE(Start().Find(1052)->visible());
}

TEST_F(CLoginDlgTest, EnterMovesFromIdToPasswordAndLogsInFromThere) {
    CLoginDlg& login = Start();
    login.Find(1005)->SetText("kim");
    login.Find(1006)->SetText("pw");
    login.SetFocus(1005);
    EXPECT_TRUE(login.DispatchKey({KeyMessage::KeyDown, kKeyReturn}));
    EXPECT_EQ(login.focus_id(), 1006);
    EXPECT_TRUE(login_.logins.empty());
    EXPECT_TRUE(login.DispatchKey({KeyMessage::KeyDown, kKeyReturn}));
    EXPECT_EQ(login_.logins, std::vector<std::string>{"kim/pw/0/user"});
    login.SetFocus(1008);
    EXPECT_TRUE(login.DispatchKey({KeyMessage::KeyDown, kKeyReturn}));
    EXPECT_TRUE(login.DispatchKey({KeyMessage::KeyDown, kKeyEscape}));
    EXPECT_TRUE(login.DispatchKey({KeyMessage::SysKeyDown, kKeyF4}));
    EXPECT_EQ(login_.logins.size(), 1u);
    EXPECT_FALSE(main_->ended());
}

TEST_F(CLoginDlgTest, JoinAndFindPasswordOpenTheWebHostsPages) {
    session_.web_host = "www.korvane.example";
    CLoginDlg& login = Start();
    login.DispatchCommand(1014);
    login.DispatchCommand(1015);
    EXPECT_EQ(host_.opened_urls(),
              (std::vector<std::string>{"http://www.korvane.example/member/join1.php",
                                        "http://www.korvane.example/member/idpw.php"}));
}

}  // namespace
}  // namespace korvane
