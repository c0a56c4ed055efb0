#include "ui/CLogoutDlg.h"

#include "app/CKorvaneDlg.h"
#include "app/IpSelectionSteps.h"
#include "app/SessionContext.h"
#include "ui/CBitmapButton.h"
#include "ui/CExplorer1.h"
#include "ui/CFontStatic.h"

namespace korvane {

namespace {

struct LineStyle {
    int id;
    Colour colour;
};

constexpr LineStyle kLines[] = {
    {CLogoutDlg::kUserLine, 0xC0C000},    {CLogoutDlg::kPlanLine, 0xC0C000},
    {CLogoutDlg::kEndDateLine, 0xC0C000}, {CLogoutDlg::kTimeLine, 0xC0C000},
    {CLogoutDlg::kIpLine, 0x0080FF},
};

struct ButtonBitmaps {
    int id;
    int normal;
    int pressed;
};

constexpr ButtonBitmaps kButtons[] = {
    {CLogoutDlg::kLogoutButton, 175, 176},
    {CLogoutDlg::kPurchaseButton, 183, 184},
    {1031, 173, 174},
    {1032, 171, 172},
    {CLogoutDlg::kLayoutButton, 185, 186},
    {CLogoutDlg::kDisconnectButton, 177, 178},
};

}  // namespace

CLogoutDlg::CLogoutDlg(CKorvaneDlg& main, IpSelectionSteps& ip_selection)
    : Dialog(main.host(), "status", kTemplate), main_(main), ip_selection_(ip_selection) {
    background_bitmap = kBackground;
    for (const LineStyle& line : kLines) {
        Add<CFontStatic>(line.id);
    }
    for (const ButtonBitmaps& b : kButtons) {
        Add<CBitmapButton>(b.id);
    }
    // Hidden in the template; the disconnect button shows while connected.
    for (int id : {kDisconnectButton, 1031, 1032, kLayoutButton}) {
        Find(id)->Show(false);
    }
    Add<CExplorer1>(kBrowser);
    MapCommand(kLogoutButton, [this] { OnLogout(); });
    MapCommand(kPurchaseButton, [this] {
        host().OpenUrl("http://" + main_.session().web_host + "/customer/faq.php");
    });
    MapCommand(kDisconnectButton, [this] { OnDisconnect(); });
}

bool CLogoutDlg::OnInitDialog() {
    for (const LineStyle& line : kLines) {
        auto* text = Get<CFontStatic>(line.id);
        text->own_background = true;
        text->background_colour = 0xF9F9F9;
        text->SetFontStatic("굴림", 12, line.colour, 0x41);
    }
    for (const ButtonBitmaps& b : kButtons) {
        auto* button = Get<CBitmapButton>(b.id);
        button->LoadBitmaps(b.normal, b.pressed);
        button->SizeToContent();
    }
    Get<CExplorer1>(kBrowser)->Navigate2("http://" + main_.session().web_host +
                                         "/vpn_program/banner.php");
    return true;
}

bool CLogoutDlg::PreTranslateKey(const KeyEvent& event) {
    return MainWindowKeyFilter(event);
}

void CLogoutDlg::SetLine(int id, const std::string& text) {
    Control* line = Find(id);
    line->SetText(text);
    line->RedrawNow();
}

void CLogoutDlg::ShowConnectedLook() {
    auto* button = Get<CBitmapButton>(kDisconnectButton);
    button->Show(true);
    button->LoadBitmaps(179, 180);
    button->SizeToContent();
    button->RedrawNow();
}

void CLogoutDlg::StopReconnectTimers() {
    MainWindowState& fields = main_.fields();
    if (fields.reconnect_switch != 0) {
        main_.KillTimer(CKorvaneDlg::kTimerRedial);
        main_.KillTimer(CKorvaneDlg::kTimerRedialWait);
        fields.reconnect_switch = 0;
    }
}

void CLogoutDlg::TearDownTunnel() {
    if (main_.session().vpn_type == 4) {
        main_.operations().ReportTunnelEnd(4, "");
    } else {
        main_.operations().StopRasTunnel();
    }
}

void CLogoutDlg::OnLogout() {
    ip_selection_.ForgetRows();
    main_.operations().SendLogout("user");
    if (main_.session().state == SessionState::Connected) {
        StopReconnectTimers();
        TearDownTunnel();
    }
    main_.fields().narrow_layout = 0;
    main_.ToggleLayout();
    Show(ShowMode::Hide);
    if (main_.panels().login) {
        main_.panels().login->Show(ShowMode::Show);
    }
}

// The disconnect for an IP change: the tunnel session's logout, the
// tear-down and the prompt back on the IP line.
void CLogoutDlg::OnDisconnect() {
    if (main_.session().state != SessionState::Connected) {
        return;
    }
    StopReconnectTimers();
    main_.operations().SendLogout("vpn");
    TearDownTunnel();
    SetLine(kIpLine, kIpPrompt);
    ip_selection_.ClearCurrentRows();
    Find(kDisconnectButton)->Show(false);
}

}  // namespace korvane
