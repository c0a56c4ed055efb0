#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "HostFixture.h"
#include "app/SessionContext.h"
#include "platform/QuotedText.h"
#include "ui/BasicControls.h"
#include "ui/Dialog.h"
#include "ui/ListView.h"

namespace korvane {
namespace {

// Notes every timer event with the virtual time it arrived at.
class Ticker : public Dialog {
  public:
    Ticker(HeadlessHost& host, std::string name, std::vector<std::string>& log)
        : Dialog(host, std::move(name), 1), host_(host), log_(log) {}
    std::function<void(int)> on_timer;

  protected:
    void OnTimer(int id) override {
        log_.push_back(name() + ":" + std::to_string(id) + "@" +
                       std::to_string(host_.clock().MonotonicMilliseconds()));
        if (on_timer) {
            on_timer(id);
        }
    }

  private:
    HeadlessHost& host_;
    std::vector<std::string>& log_;
};

class HeadlessHostTest : public HostFixture {};

TEST_F(HeadlessHostTest, TimersFireInTimeOrderAndMayStopOrRestartThemselves) {
    std::vector<std::string> log;
    Ticker a(host_, "a", log);
    Ticker b(host_, "b", log);
    a.Create(nullptr);
    b.Create(nullptr);
    a.SetTimer(1, 1000);
    b.SetTimer(13, 1500);
    a.SetTimer(3, 1000);  // same due time as a:1, started later
    a.on_timer = [&](int id) {
        if (id == 3 && host_.clock().MonotonicMilliseconds() == 2000) {
            a.KillTimer(3);
        }
    };
    b.on_timer = [&](int id) {
        b.SetTimer(id, 2000);  // restarted from the moment it fired
    };
    host_.AdvanceMilliseconds(3600);
    EXPECT_EQ(log, (std::vector<std::string>{"a:1@1000", "a:3@1000", "b:13@1500", "a:1@2000",
                                             "a:3@2000", "a:1@3000", "b:13@3500"}));
    EXPECT_EQ(clock_.MonotonicMilliseconds(), 3600);
    EXPECT_FALSE(host_.FindTimer(a, 3).has_value());
    EXPECT_EQ(host_.FindTimer(b, 13)->period_ms, 2000);
}

TEST_F(HeadlessHostTest, TimerLinesShowOnlyRealStartsAndStops) {
    std::vector<std::string> log;
    Ticker a(host_, "main", log);
    a.Create(nullptr);
    a.SetTimer(12, 30000);
    EXPECT_FALSE(a.KillTimer(13));
    EXPECT_TRUE(a.KillTimer(12));
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"timer start main 12 30000", "timer stop main 12"}));
}

TEST_F(HeadlessHostTest, BoxesTakeQueuedAnswersOrTheirDefault) {
    struct Case {
        std::vector<BoxAnswer> queued;
        BoxButtons buttons;
        BoxAnswer expected;
        bool fault;
    };
    const Case cases[] = {
        {{}, BoxButtons::Ok, BoxAnswer::Ok, false},
        {{}, BoxButtons::YesNo, BoxAnswer::No, false},
        {{BoxAnswer::Yes}, BoxButtons::YesNo, BoxAnswer::Yes, false},
        {{BoxAnswer::Yes}, BoxButtons::Ok, BoxAnswer::Ok, true},
        {{BoxAnswer::Ok}, BoxButtons::YesNo, BoxAnswer::No, true},
    };
    for (const Case& c : cases) {
        for (BoxAnswer a : c.queued) {
            host_.QueueAnswer(a);
        }
        EXPECT_EQ(host_.ShowMessageBox("t", "c", c.buttons), c.expected);
        EXPECT_EQ(host_.queued_answers(), 0u);
        EXPECT_EQ(!host_.TakeError().empty(), c.fault);
    }
    NewLines();
    host_.QueueAnswer(BoxAnswer::Yes);
    host_.ShowMessageBox("정말로\n\"종료\"", "Korvane 안내", BoxButtons::YesNo);
    EXPECT_EQ(NewLines(), (std::vector<std::string>{
                              "box caption=\"Korvane 안내\" text=\"정말로\\n\\\"종료\\\"\" "
                              "buttons=yesno answer=yes"}));
}

TEST(QuotedText, EscapesAndReadsBack) {
    struct Case {
        std::string text;
        std::string quoted;
    };
    const Case cases[] = {
        {"", "\"\""},
        {"( Ver 1187 )", "\"( Ver 1187 )\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line\r\nnext\ttab", "\"line\\r\\nnext\\ttab\""},
        {std::string("\x01\x7f", 2), "\"\\x01\\x7F\""},
        {"접속오류", "\"접속오류\""},
        {"\xB0\xA1", "\"\\xB0\\xA1\""},           // a CP949 byte pair is not UTF-8
        {"\xED\xA0\x80", "\"\\xED\\xA0\\x80\""},  // a surrogate is refused
        {"\xE2\x82", "\"\\xE2\\x82\""},           // cut short
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Quote(c.text), c.quoted);
        std::size_t pos = 0;
        std::string back;
        std::string error;
        ASSERT_TRUE(ParseQuoted(c.quoted, pos, back, error)) << error;
        EXPECT_EQ(back, c.text);
        EXPECT_EQ(pos, c.quoted.size());
    }
    for (const char* bad : {"\"open", "\"bad \\q\"", "\"\\x4\"", "plain"}) {
        std::size_t pos = 0;
        std::string out;
        std::string error;
        EXPECT_FALSE(ParseQuoted(bad, pos, out, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(HeadlessHostTest, SendsFromAnotherThreadWaitUntilTheInterfaceThreadRunsThem) {
    std::atomic<bool> ran{false};
    std::atomic<bool> returned{false};
    std::thread sender([&] {
        EXPECT_TRUE(host_.SendToUiThread([&] { ran = true; }));
        returned = true;
    });
    ASSERT_TRUE(host_.WaitForSend(5000));
    sender.join();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(returned);

    // Served while time is advanced, too.
    std::atomic<int> count{0};
    std::thread second([&] { host_.SendToUiThread([&] { ++count; }); });
    while (count == 0) {
        host_.AdvanceMilliseconds(10);
        std::this_thread::yield();
    }
    second.join();
    EXPECT_EQ(count, 1);

    // On the interface thread the work runs at once.
    bool direct = false;
    EXPECT_TRUE(host_.SendToUiThread([&] { direct = true; }));
    EXPECT_TRUE(direct);
}

TEST_F(HeadlessHostTest, EndingSendsReleasesWaitingSenders) {
    std::atomic<int> result{-1};
    std::atomic<bool> ran{false};
    std::thread sender([&] { result = host_.SendToUiThread([&] { ran = true; }) ? 1 : 0; });
    while (host_.pending_sends() == 0) {
        std::this_thread::yield();
    }
    host_.EndSends();
    sender.join();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ran);

    std::thread late([&] { result = host_.SendToUiThread([&] { ran = true; }) ? 1 : 0; });
    late.join();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ran);
}

TEST_F(HeadlessHostTest, StateChangesShowBeforeTheEffectThatFollowsThem) {
    SessionContext session;
    host_.WatchSession(&session);
    Dialog d(host_, "status", 131);
    auto& line = d.Add<StaticText>(1035);
    d.Create(nullptr);
    session.state = SessionState::Connecting;
    session.state = SessionState::Connected;
    line.SetText("10.1.1.2");
    host_.CheckSession();
    session.state = SessionState::Idle;
    host_.CheckSession();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"state Connected", "text status.1035 \"10.1.1.2\"",
                                                 "state Idle"}));
}

TEST_F(HeadlessHostTest, RecordsShellEffectsAndHidesPasswords) {
    Dialog d(host_, "login", 133);
    auto& password = d.Add<Edit>(1006, true);
    auto& list = d.Add<ListView>(1020);
    d.Create(nullptr);
    host_.transcript().Mute("row");
    list.InsertRow(0, "hidden by mute");
    host_.transcript().Unmute("row");
    password.SetText("비밀pw");
    host_.OpenUrl("http://www.korvane.example/member/join1.php");
    host_.QueueFile(std::string("/opt/app/start.exe"));
    FileOpenRequest request;
    request.filter = "실행파일 (*.exe) | *.exe||";
    EXPECT_EQ(host_.ShowFileOpenDialog(request), "/opt/app/start.exe");
    request.filter = "x";
    EXPECT_EQ(host_.ShowFileOpenDialog(request), std::nullopt);
    d.Find(1006)->RedrawNow();
    EXPECT_EQ(host_.redraw_count(d, 1006), 1);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "text login.1006 \"****\"", "url \"http://www.korvane.example/member/join1.php\"",
                  "fileopen filter=\"실행파일 (*.exe) | *.exe||\" "
                  "result=\"/opt/app/start.exe\"",
                  "fileopen filter=\"x\" result=cancel", "redraw login.1006"}));
}

}  // namespace
}  // namespace korvane
