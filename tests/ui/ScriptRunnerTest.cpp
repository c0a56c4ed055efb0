#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "HostFixture.h"
#include "app/SessionContext.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/Dialog.h"
#include "ui/DropList.h"
#include "ui/ListView.h"
#include "ui/headless/ScriptRunner.h"

namespace korvane {
namespace {

class Options : public Dialog {
  public:
    explicit Options(Host& host) : Dialog(host, "options", 145) {
        Add<CBitmapButton>(1012);
        MapCommand(1012, [this] { EndDialog(kIdOk); });
    }
};

// A window with one control of each kind the script drives, noting what its
// handlers saw.
class Window : public Dialog {
  public:
    explicit Window(Host& host) : Dialog(host, "main", 102) {
        Add<Edit>(1005);
        Add<CBitmapButton>(1004);
        Add<CBitmapButton>(1012);
        Add<CheckBox>(1008);
        Add<RadioButton>(1021, 1);
        Add<RadioButton>(1022, 1);
        auto& list = Add<ListView>(1020);
        for (const char* row : {"10.1.1.1", "10.1.1.2", "10.1.1.3"}) {
            list.InsertRow(list.RowCount(), row);
        }
        Add<ListView>(1059, true).InsertRow(0, "band");
        auto& drop = Add<DropList>(1026);
        for (const char* s : {"60", "90", "120"}) {
            drop.AddString(s);
        }
        Add<CBitmapButton>(1013);
        Add<CBitmapButton>(1030).Show(false);
        Add<CBitmapButton>(1031).Enable(false);
        MapCommand(1004, [this] {
            log.push_back("options " + std::to_string(Options(this->host()).DoModal(this)));
        });
        MapCommand(1008, [this] {
            log.push_back("tick " + std::to_string(Get<CheckBox>(1008)->checked()));
        });
        MapCommand(1022, [this] { log.push_back("radio 1022"); });
        MapCommand(1013, [this] { this->host().ShowMessageBox("t", "c", BoxButtons::Ok); });
        MapNotify(1020, Notification::DoubleClick, [this] {
            log.push_back("dblclick " + std::to_string(Get<ListView>(1020)->NextSelected()));
        });
        MapNotify(1026, Notification::SelectionChange,
                  [this] { log.push_back("chose " + Get<DropList>(1026)->SelectedText()); });
    }
    std::vector<std::string> log;

  protected:
    void OnTimer(int id) override {
        log.push_back("timer " + std::to_string(id));
        if (id == 4) {
            Find(1005)->SetText("ready");
        }
    }
};

class ScriptRunnerTest : public HostFixture {
  protected:
    void SetUp() override {
        host_.WatchSession(&session_);
        window_.Create(nullptr);
        window_.Show(ShowMode::Show);
        status_.Add<CBitmapButton>(1012);
        status_.Create(&window_);
        NewLines();
    }
    // Runs a whole script as the main window's modal loop would.
    std::string Run(const std::string& script) {
        std::istringstream in(script);
        ScriptRunner runner(host_, in, "t.txt");
        host_.SetLoop(&runner);
        runner.RunUntil([] { return false; });
        host_.SetLoop(nullptr);
        return runner.error();
    }

    SessionContext session_;
    Window window_{host_};
    Dialog status_{host_, "status", 131};
};

TEST_F(ScriptRunnerTest, CommandsReachTheHandlers) {
    EXPECT_EQ(Run("# a comment\n"
                  "type 1005 \"user1\"\n"
                  "tick 1008\n"
                  "tick 1008   # already ticked: no click\n"
                  "untick 1008\n"
                  "click 1022\n"
                  "dblclick 1020 2\n"
                  "choose 1026 \"90\"\n"
                  "choose 1026 #2\n"
                  "select 1020 0 2\n"
                  "answer yes no\n"),
              "");
    EXPECT_EQ(window_.Find(1005)->text(), "user1");
    EXPECT_EQ(window_.log, (std::vector<std::string>{"tick 1", "tick 0", "radio 1022", "dblclick 2",
                                                     "chose 90", "chose 120"}));
    EXPECT_EQ(window_.Get<ListView>(1020)->SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_TRUE(window_.Get<RadioButton>(1022)->checked());
    EXPECT_EQ(host_.queued_answers(), 2u);
    const auto lines = NewLines();
    EXPECT_EQ(lines.front(), "focus main.1005");
    EXPECT_EQ(lines[1], "text main.1005 \"user1\"");
}

TEST_F(ScriptRunnerTest, ExpectationsThatHoldPassAndListsPrintTheirRows) {
    window_.Get<CBitmapButton>(1004)->LoadBitmaps(157, 158);
    window_.Get<ListView>(1020)->SetRowStyle([](int row) {
        return row == 1 ? RowStyle{0x31D729, 0xFFFFFF} : RowStyle{};
    });
    EXPECT_EQ(Run("dblclick 1020 1\n"
                  "expect 1020 rows 3\n"
                  "expect 1020 row 2 \"10.1.1.3\"\n"
                  "expect 1020 selected 1\n"
                  "dblclick 1020 -1\n"
                  "expect 1020 selected none\n"
                  "choose 1026 \"90\"\n"
                  "expect 1026 chosen \"90\"\n"
                  "expect main.1004 bitmap 157 158\n"
                  "expect 1030 hidden\n"
                  "expect 1031 disabled\n"
                  "expect main visible\n"
                  "expect main normal\n"
                  "expect tray none\n"
                  "expect state Idle\n"
                  "mute item row\n"
                  "print 1020\n"),
              "");
    EXPECT_EQ(window_.log, (std::vector<std::string>{"dblclick 1", "dblclick -1", "chose 90"}));
    const auto lines = NewLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[lines.size() - 2],
              "print main.1020 row 1 \"10.1.1.2\" colour=0x31D729 background=0xFFFFFF");
}

TEST_F(ScriptRunnerTest, FaultsNameTheLine) {
    struct Case {
        std::string script;
        std::string error;
    };
    const Case cases[] = {
        {"\nfly 1005\n", "t.txt:2: unknown command \"fly\""},
        {"type 1005 \"open\n", "t.txt:1: the quoted text has no closing \""},
        {"type 1005\n", "t.txt:1: usage: type CONTROL \"text\""},
        {"click 1012\n",
         "t.txt:1: control 1012 is in several windows (main, status); write WINDOW.1012"},
        {"click 1030\n", "t.txt:1: main.1030 is hidden"},
        {"click main.1031\n", "t.txt:1: main.1031 is disabled"},
        {"click 1005\n", "t.txt:1: main.1005 is not a button"},
        {"click nowhere.1\n", "t.txt:1: no window named \"nowhere\""},
        {"click main.9999\n", "t.txt:1: main has no control 9999"},
        {"dblclick 1020 3\n", "t.txt:1: row 3 does not exist (3 rows)"},
        {"select 1059 0 0\n", "t.txt:1: main.1059 allows one selected row"},
        {"choose 1026 \"45\"\n", "t.txt:1: main.1026 has no entry \"45\""},
        {"answer maybe\n", "t.txt:1: an answer is yes, no or ok, not \"maybe\""},
        {"expect 1005 \"x\"\n", "t.txt:1: main.1005: expected \"x\", got \"\""},
        {"expect state Connected\n", "t.txt:1: expected state Connected, got Idle"},
        {"expect main hidden\n", "t.txt:1: main: expected hidden, got normal"},
        {"expect 1020 rows 4\n", "t.txt:1: main.1020: expected 4 rows, got 3"},
        {"advance -1\n", "t.txt:1: time moves forward only"},
        {"expect state Idle within soon\n", "t.txt:1: not a number: \"soon\""},
        {"key main nokey\n", "t.txt:1: unknown key \"nokey\""},
        {"expect 1008 \"\"\nexpect 1008 checked\n",
         "t.txt:2: main.1008: expected checked, got unchecked"},
        // A wrong answer is found when its box comes up.
        {"answer yes\nclick 1013\n",
         "t.txt:2: the queued answer yes does not fit the ok box \"t\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.script), c.error) << c.script;
    }
}

TEST_F(ScriptRunnerTest, AModalDialogTakesTheCommandsThatFollowItsOpening) {
    EXPECT_EQ(Run("click main.1004\n"
                  "click main.1005\n"),
              "t.txt:2: main takes no input while options is open");
    window_.log.clear();
    EXPECT_EQ(Run("click main.1004\n"
                  "expect options visible\n"
                  "click 1012   # the open dialog's own ids come first\n"
                  "expect 1005 \"\"\n"),
              "");
    EXPECT_EQ(window_.log, (std::vector<std::string>{"options 1"}));
}

TEST_F(ScriptRunnerTest, AdvanceFiresTimersAndPrintDescribes) {
    window_.SetTimer(3, 1000);
    NewLines();
    EXPECT_EQ(Run("advance 2\n"
                  "advance 500ms\n"
                  "expect timer main 3 1000\n"
                  "expect timer main 1 off\n"
                  "print 1026\n"
                  "print main\n"),
              "");
    EXPECT_EQ(window_.log, (std::vector<std::string>{"timer 3", "timer 3"}));
    EXPECT_EQ(clock_.MonotonicMilliseconds(), 2500);
    const auto lines = NewLines();
    EXPECT_EQ(lines[0], "print main.1026 droplist \"\" visible enabled chosen=-1 rect=0 0 0 0");
    EXPECT_EQ(lines[1], "print main.1026 item 0 \"60\"");
    EXPECT_EQ(lines.back(), "print main window normal rect=0 0 0 0 title=\"\" focus=0");
}

// Real seconds pass while waiting, one virtual second for each.
TEST_F(ScriptRunnerTest, AnExpectationWithinSecondsWaitsInRealTimeUntilItHolds) {
    using RealClock = std::chrono::steady_clock;
    window_.SetTimer(4, 2000);
    const auto started = RealClock::now();
    EXPECT_EQ(Run("expect 1005 \"ready\" within 30\n"), "");
    const auto waited = RealClock::now() - started;
    EXPECT_EQ(clock_.MonotonicMilliseconds(), 2000) << "it stops once the expectation holds";
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_LT(waited, std::chrono::seconds(10));

    const auto again = RealClock::now();
    EXPECT_EQ(Run("expect 1005 \"ready\" within 30s\n"), "");
    EXPECT_LT(RealClock::now() - again, std::chrono::milliseconds(500)) << "it held at once";
    EXPECT_EQ(clock_.MonotonicMilliseconds(), 2000);

    EXPECT_EQ(Run("expect state Connected within 1\n"),
              "t.txt:1: expected state Connected, got Idle (after 1 s)");
    EXPECT_EQ(clock_.MonotonicMilliseconds(), 3000);
}

TEST_F(ScriptRunnerTest, CommandsLeftAfterTheProgramEndedAreAnError) {
    int looks = 0;
    const auto ends_after_one_command = [&] { return ++looks > 1; };
    std::istringstream in("note \"one\"\n\n# only a comment\nnote \"late\"\n");
    ScriptRunner runner(host_, in, "t.txt");
    runner.RunUntil(ends_after_one_command);
    runner.Finish();
    EXPECT_EQ(runner.error(), "t.txt:4: the program has ended before this command");

    looks = 0;
    std::istringstream clean_tail("note \"one\"\n\n# only a comment\n");
    ScriptRunner clean(host_, clean_tail, "t.txt");
    clean.RunUntil(ends_after_one_command);
    clean.Finish();
    EXPECT_FALSE(clean.failed());
}

}  // namespace
}  // namespace korvane
