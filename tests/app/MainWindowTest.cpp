#include <gtest/gtest.h>

#include <sstream>

#include "app/CKorvaneDlg.h"
#include "app/MainPanels.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "platform/QuotedText.h"
#include "platform/sim/VirtualClock.h"
#include "ui/CBitmapButton.h"
#include "ui/CFontStatic.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session_.ccver = 1187;
        session_.web_host = "www.korvane.example";
        host_.WatchSession(&session_);
    }
    // Builds and initialises the main window as its modal run would.
    CKorvaneDlg& Start() {
        main_ = std::make_unique<CKorvaneDlg>(host_, session_, ops_, deploy_, MakeTemplatePanels);
        main_->BeginModal(nullptr);
        main_->Show(ShowMode::Show);
        return *main_;
    }
    std::vector<std::string> NewLines() {
        std::vector<std::string> lines;
        std::istringstream in(out_.str().substr(seen_));
        seen_ = out_.str().size();
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    Dialog& Panel(const std::string& name) { return *host_.FindDialog(name); }

    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    SessionContext session_;
    PendingOperations ops_;
    DeploySettings deploy_;
    std::unique_ptr<CKorvaneDlg> main_;
    std::size_t seen_ = 0;
};

TEST_F(MainWindowTest, StartsUpInItsFixedOrder) {
    CKorvaneDlg& main = Start();
    EXPECT_EQ(ops_.calls(), (std::vector<std::string>{
                                "ResolveAuthHost(auth.korvane.example)", "AddFirewallExceptions",
                                "PrepareTunnelEnvironment", "CreateSettingsKey"}));
    EXPECT_EQ(session_.auth_host, "0.0.0.0") << "an unresolved host";
    EXPECT_EQ(NewLines(), (std::vector<std::string>{
                              "bitmap main.1002 161 162",
                              "bitmap main.1004 157 158",
                              "bitmap main.1000 159 160",
                              "bitmap main.1012 181 182",
                              "bitmap main.1014 221 221",
                              "title main \"DIZidezod\"",
                              "tray add id=129 icon=0 tip=\" Korvane 매니저 \"",
                              "tray tip \" Korvane 매니저 \"",
                              "tray icon 213",
                              "move main.1002 387 10 25 22",
                              "move main.1004 417 10 25 22",
                              "bitmap status.1003 185 186",
                              "move main 0 0 450 400",
                              "move login 0 47 450 353",
                              "move status 0 47 450 353",
                              "show login",
                              "hide status",
                              "move managed_ip 460 47 428 353",
                              "hide managed_ip",
                              "move service_ip 460 47 428 353",
                              "hide service_ip",
                              "hide progupdate",
                              "move progupdate 95 136 260 128",
                              "hide connecting",
                              "move connecting 95 136 260 128",
                              "focus login.1005",
                              "text main.1039 \"( Ver 1187 )\"",
                              "redraw main.1039",
                              "show main",
                          }));
    EXPECT_EQ(main.fields().narrow_layout, 1);
    const auto* label = main.Get<CFontStatic>(1039);
    EXPECT_EQ(label->face_name(), "굴림");
    EXPECT_EQ(label->height(), 11);
    EXPECT_EQ(label->text_colour(), 0xEAEAEAu);
    EXPECT_EQ(label->FillColour(), 0x292929u);
    EXPECT_EQ(label->alignment(), TextAlignment::Centre);
    EXPECT_TRUE(Panel("login").is_child);
    EXPECT_FALSE(Panel("connecting").is_child);
}

TEST_F(MainWindowTest, UsesTheResolvedHostAndReportsASettingsKeyFailure) {
    ops_.resolved_auth_host = "10.20.30.40";
    ops_.settings_key_created = false;
    Start();
    EXPECT_EQ(session_.auth_host, "10.20.30.40");
    const auto lines = NewLines();
    const auto box = std::find(lines.begin(), lines.end(),
                               "box caption=\"Korvane\" text=\"RegCreateKeyEx 오류\" "
                               "buttons=ok answer=ok");
    ASSERT_NE(box, lines.end());
    EXPECT_EQ(*(box + 1), "text main.1039 \"( Ver 1187 )\"") << "start-up goes on";
}

TEST_F(MainWindowTest, PutsLauncherCredentialsIntoTheLoginPanelOnlyWhenBothCame) {
    struct Case {
        std::string id;
        std::string password;
        bool filled;
    };
    for (const Case& c :
         {Case{"user1", "pw", true}, Case{"user1", "", false}, Case{"", "pw", false}}) {
        session_.user_id = c.id;
        session_.password = c.password;
        Start();
        EXPECT_EQ(Panel("login").Find(1005)->text(), c.filled ? c.id : "");
        EXPECT_EQ(Panel("login").Find(1006)->text(), c.filled ? c.password : "");
        main_.reset();
    }
}

TEST_F(MainWindowTest, WithoutANotificationAreaTheWindowStillShowsItsPanels) {
    host_.SetTrayAvailable(false);
    CKorvaneDlg& main = Start();
    EXPECT_FALSE(main.tray().enabled());
    EXPECT_FALSE(host_.tray().present);
    EXPECT_TRUE(Panel("login").visible());
    EXPECT_EQ(main.rect().width, 450);
    EXPECT_EQ(Panel("login").focus_id(), 1005);
    EXPECT_EQ(main.Find(1039)->text(), "( Ver 1187 )");
}

TEST_F(MainWindowTest, ToggleLayoutSwitchesBetweenHalfAndFullWidth) {
    CKorvaneDlg& main = Start();
    main.Move({100, 50, 450, 400});
    main.ToggleLayout();
    EXPECT_EQ(main.rect(), (Rect{100, 50, 900, 400}));
    EXPECT_EQ(main.Find(1002)->rect(), (Rect{835, 10, 25, 22}));
    EXPECT_EQ(main.Find(1004)->rect(), (Rect{865, 10, 25, 22}));
    EXPECT_EQ(Panel("status").Get<CBitmapButton>(1003)->normal_bitmap(), 187);
    EXPECT_EQ(main.fields().narrow_layout, 0);
    main.fields().narrow_layout = 0;  // a caller forcing the narrow direction
    main.ToggleLayout();
    EXPECT_EQ(main.rect(), (Rect{100, 50, 450, 400}));
    EXPECT_EQ(Panel("status").Get<CBitmapButton>(1003)->pressed_bitmap(), 186);
}

struct ExitCase {
    int command;  // close button or the tray menu's exit
    SessionState state;
    int vpn_type;
    BoxAnswer answer;
    std::string caption;
    std::string question;
    std::vector<std::string> calls;
    bool ends;
    bool removes_tray;
};

TEST_F(MainWindowTest, ExitConfirmationsAskByStateAndActOnYes) {
    const std::string connected =
        "★현재 서비스에 연결되어 있습니다.\n\n정말로 로그아웃(접속해제) 시킨 후 \n\n현재의 "
        "프로그램을 종료할까요?";
    const std::string plain = "Korvane 매니저를 종료 하시겠습니까?";
    const std::string close_caption = "Korvane 안내";
    const std::string tray_caption = "접속종료";
    using S = SessionState;
    const std::vector<std::string> none;
    const ExitCase cases[] = {
        {1004,
         S::Connected,
         4,
         BoxAnswer::Yes,
         close_caption,
         connected,
         {"SendLogout(user)", "ReportTunnelEnd(4,)"},
         true,
         true},
        {1004,
         S::Connecting,
         1,
         BoxAnswer::Yes,
         close_caption,
         connected,
         {"SendLogout(user)", "StopRasTunnel"},
         true,
         true},
        {1004, S::Connected, 4, BoxAnswer::No, close_caption, connected, none, false, false},
        {1004,
         S::LoggedIn,
         4,
         BoxAnswer::Yes,
         close_caption,
         plain,
         {"SendLogout(user)"},
         true,
         true},
        {1004, S::Idle, 4, BoxAnswer::Yes, close_caption, plain, none, true, true},
        {1004, S::LoggedIn, 4, BoxAnswer::No, close_caption, plain, none, false, false},
        {32775,
         S::Connected,
         3,
         BoxAnswer::Yes,
         tray_caption,
         connected,
         {"SendLogout(user)", "StopRasTunnel"},
         true,
         false},
        {32775, S::Connected, 4, BoxAnswer::No, tray_caption, connected, none, false, false},
        {32775, S::Idle, 4, BoxAnswer::Yes, tray_caption, plain, {"SendLogout(user)"}, true, false},
        {32775, S::LoggedIn, 4, BoxAnswer::No, tray_caption, plain, none, false, false},
        // A tunnel still starting is torn down too, or it would outlive the program.
        {32775,
         S::Connecting,
         4,
         BoxAnswer::Yes,
         tray_caption,
         plain,
         {"SendLogout(user)", "ReportTunnelEnd(4,)"},
         true,
         false},
    };
    for (const ExitCase& c : cases) {
        CKorvaneDlg& main = Start();
        session_.state = c.state;
        session_.vpn_type = c.vpn_type;
        host_.CheckSession();
        const std::size_t calls_before = ops_.calls().size();
        NewLines();
        host_.QueueAnswer(c.answer);
        main.DispatchCommand(c.command);
        const auto lines = NewLines();
        const std::string label = std::to_string(c.command) + " " + SessionStateName(c.state);
        ASSERT_FALSE(lines.empty()) << label;
        EXPECT_EQ(lines.front(), "box caption=" + Quote(c.caption) + " text=" + Quote(c.question) +
                                     " buttons=yesno answer=" + BoxAnswerName(c.answer))
            << label;
        const std::vector<std::string> calls(ops_.calls().begin() + calls_before,
                                             ops_.calls().end());
        EXPECT_EQ(calls, c.calls) << label;
        EXPECT_EQ(main.ended(), c.ends) << label;
        EXPECT_EQ(host_.tray().present, !c.removes_tray) << label;
        main_.reset();
    }
}

TEST_F(MainWindowTest, TheSystemCloseEndsAtOnceWithoutQuestions) {
    CKorvaneDlg& main = Start();
    session_.state = SessionState::Connected;
    session_.vpn_type = 4;
    const std::size_t calls = ops_.calls().size();
    NewLines();
    main.DispatchSysCommand(SysCommand::Close);
    EXPECT_TRUE(main.ended());
    EXPECT_EQ(ops_.calls().size(), calls) << "no logout, no tear-down";
    EXPECT_EQ(NewLines(), (std::vector<std::string>{"state Connected", "hide main"}));
    EXPECT_EQ(host_.queued_answers(), 0u);
}

TEST_F(MainWindowTest, MinimisingShowsFirstAndTheSecondCopysMessageRestores) {
    CKorvaneDlg& main = Start();
    NewLines();
    main.DispatchCommand(CKorvaneDlg::kMinimizeButton);
    EXPECT_TRUE(main.minimized());
    EXPECT_EQ(main.SendMessage(CKorvaneDlg::kMessageActivate, 0, 0), 0);
    EXPECT_FALSE(main.minimized());
    main.Show(ShowMode::Hide);
    main.DispatchCommand(CTrayIcon::kCommandOpen);
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(NewLines(), (std::vector<std::string>{"show main", "minimize main",
                                                    "show main normal", "hide main", "show main"}));
}

TEST_F(MainWindowTest, EnterEscapeAndAltF4DoNothing) {
    CKorvaneDlg& main = Start();
    const KeyEvent keys[] = {{KeyMessage::KeyDown, kKeyReturn},
                             {KeyMessage::KeyDown, kKeyEscape},
                             {KeyMessage::Char, kKeyEscape},
                             {KeyMessage::KeyUp, kKeyEscape},
                             {KeyMessage::SysKeyDown, kKeyF4}};
    for (const KeyEvent& key : keys) {
        EXPECT_TRUE(main.DispatchKey(key));
        // A panel without a filter of its own is covered by the main window's.
        EXPECT_TRUE(Panel("status").DispatchKey(key));
    }
    EXPECT_FALSE(main.ended());
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(main.DispatchKey({KeyMessage::KeyDown, kKeyTab}));
}

TEST_F(MainWindowTest, TrayClicksShowTheWindowAndTheMenuReachesItsCommands) {
    CKorvaneDlg& main = Start();
    main.Show(ShowMode::Hide);
    const std::size_t calls = ops_.calls().size();
    // A double-click: down, up (shows), double-click (the default item, which
    // does nothing), up.
    for (long mouse : {kMouseLeftDown, kMouseLeftUp, kMouseLeftDoubleClick, kMouseLeftUp}) {
        main.SendMessage(CTrayIcon::kCallbackMessage, CTrayIcon::kIconId, mouse);
    }
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(main.ended());
    EXPECT_EQ(ops_.calls().size(), calls);

    host_.QueueMenuChoice(CTrayIcon::kCommandExit);
    host_.QueueAnswer(BoxAnswer::Yes);
    main.SendMessage(CTrayIcon::kCallbackMessage, CTrayIcon::kIconId, kMouseRightUp);
    EXPECT_TRUE(main.ended());
}

TEST_F(MainWindowTest, ButtonsOpenThePagesAndDialogsTheyNameAndRelayTheDialler) {
    CKorvaneDlg& main = Start();
    main.DispatchCommand(CKorvaneDlg::kHelpButton);
    EXPECT_EQ(host_.opened_urls(),
              (std::vector<std::string>{"http://www.korvane.example/customer/faq.php"}));
    main.DispatchCommand(CKorvaneDlg::kUpdateButton);
    main.DispatchCommand(CKorvaneDlg::kOptionsButton);
    EXPECT_EQ(main.SendMessage(CKorvaneDlg::kMessageRasStatus, 8, 0), 1);
    const std::vector<std::string> tail(ops_.calls().end() - 3, ops_.calls().end());
    EXPECT_EQ(tail, (std::vector<std::string>{"RunUpdateDialog", "RunOptionsDialog",
                                              "OnRasStatus(8,0)"}));
}

TEST_F(MainWindowTest, TimerOneChecksTheTunnelOfItsKindAndTimerThreeTicks) {
    struct Case {
        int id;
        int vpn_type;
        std::vector<std::string> calls;
    };
    const Case cases[] = {{1, 4, {"OpenVpnTimerTick"}},
                          {1, 1, {"CheckRasLink"}},
                          {1, 3, {"CheckRasLink"}},
                          {1, 0, {}},
                          {3, 4, {"TickServiceTime"}},
                          {2, 4, {}},
                          {99, 1, {}}};
    CKorvaneDlg& main = Start();
    for (const Case& c : cases) {
        session_.vpn_type = c.vpn_type;
        const std::size_t before = ops_.calls().size();
        NewLines();
        main.DispatchTimer(c.id);
        const std::vector<std::string> calls(ops_.calls().begin() + before, ops_.calls().end());
        EXPECT_EQ(calls, c.calls) << c.id << "/" << c.vpn_type;
        EXPECT_TRUE(NewLines().empty());
    }
}

TEST_F(MainWindowTest, RedialTimerCountsAttemptsUntilTheRedialCount) {
    CKorvaneDlg& main = Start();
    main.fields().reconnect_switch = 1;
    main.fields().redial_count = 3;
    main.SetTimer(CKorvaneDlg::kTimerRedial, 10000);
    NewLines();
    host_.AdvanceMilliseconds(45000);
    EXPECT_EQ(main.fields().redial_attempts, 4);
    EXPECT_FALSE(host_.FindTimer(main, 12).has_value());
    EXPECT_EQ(host_.FindTimer(main, 13)->period_ms, 20000);
    EXPECT_EQ(NewLines(),
              (std::vector<std::string>{"timer start main 13 20000", "timer stop main 13",
                                        "timer start main 13 20000", "timer stop main 13",
                                        "timer start main 13 20000", "timer stop main 13",
                                        "timer start main 13 20000", "timer stop main 12"}));
    // Timer 13 ends itself.
    host_.AdvanceMilliseconds(20000);
    EXPECT_TRUE(host_.timers().empty());
}

TEST_F(MainWindowTest, RedialTimerChangesNothingWhileConnected) {
    CKorvaneDlg& main = Start();
    main.fields().redial_count = 3;
    session_.state = SessionState::Connected;
    host_.CheckSession();
    main.SetTimer(CKorvaneDlg::kTimerRedial, 10000);
    NewLines();
    host_.AdvanceMilliseconds(50000);
    EXPECT_EQ(main.fields().redial_attempts, 0);
    EXPECT_EQ(host_.FindTimer(main, 12)->period_ms, 10000);
    EXPECT_FALSE(host_.FindTimer(main, 13).has_value());
    EXPECT_TRUE(NewLines().empty());
}

}  // namespace
}  // namespace korvane
