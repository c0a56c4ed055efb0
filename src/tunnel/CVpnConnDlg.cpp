#include "tunnel/CVpnConnDlg.h"

#include <cstdio>

#include "app/SessionContext.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"

namespace korvane {

namespace {

constexpr const char* kWaitCaption = " Please wait... ";

}  // namespace

CVpnConnDlg::CVpnConnDlg(Host& host, const SessionContext& session)
    : Dialog(host, "connecting", kTemplate), session_(session) {
    background_bitmap = kBackground;
    drags_anywhere = true;
    // 171 x 83 dialog units.
    Move({0, 0, 260, 128});
    Add<CProgressEx>(kProgressBar);
    Add<CFontStatic>(kStatusLine, "준비중...");
}

CProgressEx& CVpnConnDlg::bar() const {
    return *Get<CProgressEx>(kProgressBar);
}

CFontStatic& CVpnConnDlg::status_line() const {
    return *Get<CFontStatic>(kStatusLine);
}

bool CVpnConnDlg::OnInitDialog() {
    CProgressEx& b = bar();
    b.draw_style = CProgressEx::kTwoColourStyle;
    b.background_colour = 0xF3F3F3;
    b.bar_colour = 0x0096FF;
    b.text_colour = 0;
    b.SetPos(0);
    b.SetCaption(kWaitCaption);
    CFontStatic& line = status_line();
    line.SetFontStatic("굴림", 11, 0x7AFC, 0x40);
    line.background_colour = 0xF9F9F9;
    line.own_background = true;
    return true;
}

void CVpnConnDlg::SetStatus(const std::string& text) {
    status_line().SetText(text);
    status_line().RedrawNow();
}

void CVpnConnDlg::SetPercentCaption(int percent) {
    char caption[16];
    std::snprintf(caption, sizeof caption, "%3d %%", percent);
    bar().SetCaption(caption);
}

void CVpnConnDlg::StartProgress() {
    SetStatus("접속중....");
    bar().SetPos(0);
    SetTimer(kProgressTimer, kProgressPeriodMs);
}

void CVpnConnDlg::StopProgress() {
    bar().SetPos(0);
    bar().SetCaption(kWaitCaption);
    bar().RedrawNow();
    KillTimer(kProgressTimer);
}

void CVpnConnDlg::ResetProgress() {
    const int delay = session_.login_delay;
    tick_counter_ = delay / 10;
    const long upper = static_cast<long>(delay) * 10;
    if (upper >= 0) {
        bar().SetRange(0, static_cast<int>(upper));
    }
    bar().SetPos(0);
    bar().SetCaption(kWaitCaption);
    RedrawNow();
}

void CVpnConnDlg::StepProgress(const std::string& text, int step) {
    SetStatus(text);
    const int per_step = session_.login_delay / 1000;
    if (step <= per_step) {
        SetPercentCaption(per_step * step);
        bar().SetPos(tick_counter_);
        ++tick_counter_;
    }
}

void CVpnConnDlg::OnTimer(int) {
    const int delay = session_.login_delay;
    if (tick_counter_ == delay * 10) {
        tick_counter_ = 0;
    }
    // A delay below 10 s has no tenth to divide by; its caption follows the
    // bar instead (ticks of the delay * 10).
    const int divisor = delay / 10;
    int percent = 0;
    if (divisor != 0) {
        percent = tick_counter_ / divisor;
    } else if (delay > 0) {
        percent = static_cast<int>(static_cast<long long>(tick_counter_) * 10 / delay);
    }
    SetPercentCaption(percent);
    bar().SetPos(tick_counter_);
    ++tick_counter_;
    if (tick_counter_ % 2 == 0) {
        RedrawNow();
    }
}

// Enter, Alt+F4 and anything carrying the Escape code never end the dialog.
bool CVpnConnDlg::PreTranslateKey(const KeyEvent& event) {
    return IsEnterDown(event) || IsAltF4(event) || event.key == kKeyEscape;
}

}  // namespace korvane
