#include <gtest/gtest.h>

#include <sstream>

#include "app/SessionContext.h"
#include "platform/sim/VirtualClock.h"
#include "tunnel/CVpnConnDlg.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

class CVpnConnDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session_.login_delay = 30;
        dialog_.Create(nullptr);
        dialog_.Show(ShowMode::Show);
    }
    CProgressEx& Bar() { return *dialog_.Get<CProgressEx>(CVpnConnDlg::kProgressBar); }
    std::string Status() { return dialog_.Find(CVpnConnDlg::kStatusLine)->text(); }

    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    SessionContext session_;
    CVpnConnDlg dialog_{host_, session_};
};

TEST_F(CVpnConnDlgTest, InitialisesItsControls) {
    EXPECT_EQ(Status(), "준비중...");
    EXPECT_EQ(Bar().caption(), " Please wait... ");
    EXPECT_EQ(Bar().draw_style, CProgressEx::kTwoColourStyle);
    auto* line = dialog_.Get<CFontStatic>(CVpnConnDlg::kStatusLine);
    EXPECT_EQ(line->face_name(), "굴림");
    EXPECT_EQ(line->text_colour(), 0x7AFCu);
    EXPECT_TRUE(line->own_background);
}

TEST_F(CVpnConnDlgTest, TheFirstTimerEventAfterResetAndStartShowsOnePercent) {
    dialog_.ResetProgress();
    EXPECT_EQ(dialog_.tick_counter(), 3);
    EXPECT_EQ(Bar().upper(), 300);
    dialog_.StartProgress();
    EXPECT_EQ(Status(), "접속중....");
    const int redraws = host_.redraw_count(dialog_, 0);
    host_.AdvanceMilliseconds(100);
    EXPECT_EQ(Bar().caption(), "  1 %");
    EXPECT_EQ(Bar().position(), 3);
    EXPECT_EQ(dialog_.tick_counter(), 4);
    EXPECT_GT(host_.redraw_count(dialog_, 0), redraws) << "4 is even: the window redraws";
}

TEST_F(CVpnConnDlgTest, TheBarStartsOverAtTheEndOfItsRange) {
    dialog_.ResetProgress();
    dialog_.StartProgress();
    host_.AdvanceMilliseconds(296 * 100);  // ticks 3 .. 298
    host_.AdvanceMilliseconds(100);
    EXPECT_EQ(Bar().caption(), " 99 %");
    host_.AdvanceMilliseconds(100);
    EXPECT_EQ(Bar().position(), 0);
    EXPECT_EQ(dialog_.tick_counter(), 1);
}

TEST_F(CVpnConnDlgTest, WithoutStartNothingMoves) {
    dialog_.ResetProgress();
    host_.AdvanceMilliseconds(1000);
    EXPECT_EQ(Bar().position(), 0);
    EXPECT_EQ(Bar().caption(), " Please wait... ");
}

TEST_F(CVpnConnDlgTest, StopResetsTheBarAndStopsTheTimer) {
    dialog_.ResetProgress();
    dialog_.StartProgress();
    host_.AdvanceMilliseconds(500);
    dialog_.StopProgress();
    EXPECT_EQ(Bar().position(), 0);
    EXPECT_EQ(Bar().caption(), " Please wait... ");
    EXPECT_FALSE(host_.FindTimer(dialog_, CVpnConnDlg::kProgressTimer).has_value());
}

TEST_F(CVpnConnDlgTest, StepsBeyondTheDelayOnlyChangeTheStatusLine) {
    dialog_.ResetProgress();
    dialog_.StepProgress("연결 중", 0);
    EXPECT_EQ(Bar().caption(), "  0 %");
    EXPECT_EQ(Bar().position(), 3);
    dialog_.StepProgress("인증 중", 1);
    EXPECT_EQ(Status(), "인증 중");
    EXPECT_EQ(Bar().caption(), "  0 %");
    EXPECT_EQ(dialog_.tick_counter(), 4);
}

TEST_F(CVpnConnDlgTest, AShortDelayCountsItsPercentAlongTheBar) {
    session_.login_delay = 5;
    dialog_.ResetProgress();
    dialog_.StartProgress();
    host_.AdvanceMilliseconds(300);
    EXPECT_EQ(Bar().position(), 2);
    EXPECT_EQ(Bar().caption(), "  4 %");
    host_.AdvanceMilliseconds(4600);
    EXPECT_EQ(Bar().position(), 48);
    EXPECT_EQ(Bar().caption(), " 96 %");
}

TEST_F(CVpnConnDlgTest, NoKeyEndsTheDialog) {
    for (const KeyEvent& key :
         {KeyEvent{KeyMessage::KeyDown, kKeyReturn}, KeyEvent{KeyMessage::SysKeyDown, kKeyF4},
          KeyEvent{KeyMessage::KeyDown, kKeyEscape}, KeyEvent{KeyMessage::Char, kKeyEscape}}) {
        EXPECT_TRUE(dialog_.DispatchKey(key));
    }
    EXPECT_FALSE(dialog_.ended());
    EXPECT_TRUE(dialog_.visible());
}

}  // namespace
}  // namespace korvane
