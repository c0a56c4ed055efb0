#include "app/CKorvaneDlg.h"

#include <cstdio>

#include "app/SessionContext.h"
#include "protocol/HttpHeaders.h"
#include "tunnel/CVpnConnDlg.h"
#include "ui/CBitmapButton.h"
#include "ui/CFontStatic.h"
#include "ui/CLogoutDlg.h"

namespace korvane {

namespace {

// Template 102 places the panels below the title strip of the background.
constexpr Rect kWindowRect{0, 0, 900, 400};
constexpr Rect kLeftPanelRect{0, 47, 450, 353};
constexpr Rect kRightPanelRect{460, 47, 428, 353};
constexpr int kCaptionButtonWidth = 25;
constexpr int kCaptionButtonHeight = 22;

struct ButtonBitmaps {
    int id;
    int normal;
    int pressed;
};

constexpr ButtonBitmaps kButtonBitmaps[] = {
    {CKorvaneDlg::kMinimizeButton, 161, 162}, {CKorvaneDlg::kCloseButton, 157, 158},
    {CKorvaneDlg::kUpdateButton, 159, 160},   {CKorvaneDlg::kOptionsButton, 181, 182},
    {CKorvaneDlg::kHelpButton, 221, 221},
};

}  // namespace

CKorvaneDlg::CKorvaneDlg(Host& host, SessionContext& session, MainWindowOperations& operations,
                         const DeploySettings& deploy, const PanelFactory& panels)
    : Dialog(host, "main", kTemplate),
      session_(session),
      operations_(operations),
      deploy_(deploy),
      tray_(host) {
    icon = kIcon;
    background_bitmap = kBackground;
    drags_anywhere = true;
    Move(kWindowRect);
    AddControls();
    MapHandlers();
    operations_.AttachMainWindow(this);
    panels_ = panels(*this);
}

// The panels go before the tray icon and the main window's own controls.
CKorvaneDlg::~CKorvaneDlg() {
    tray_.RemoveIcon();
    panels_ = MainPanels{};
    operations_.AttachMainWindow(nullptr);
}

CVpnConnDlg* CKorvaneDlg::connecting_dialog() const {
    return dynamic_cast<CVpnConnDlg*>(panels_.connecting.get());
}

CLogoutDlg* CKorvaneDlg::status_panel() const {
    return dynamic_cast<CLogoutDlg*>(panels_.status.get());
}

void CKorvaneDlg::AddControls() {
    for (const ButtonBitmaps& b : kButtonBitmaps) {
        Add<CBitmapButton>(b.id);
    }
    Add<CFontStatic>(kVersionLabel);
}

void CKorvaneDlg::MapHandlers() {
    MapMessage(CTrayIcon::kCallbackMessage,
               [this](long wparam, long lparam) { return OnTrayCallback(wparam, lparam); });
    MapMessage(kMessageRasStatus, [this](long wparam, long lparam) {
        return static_cast<long>(
            operations_.OnRasStatus(static_cast<int>(wparam), static_cast<int>(lparam)));
    });
    MapMessage(kMessageActivate, [this](long, long) {
        Show(ShowMode::Normal);
        return 0L;
    });
    MapCommand(kCloseButton, [this] { ConfirmExitFromCloseButton(); });
    MapCommand(kMinimizeButton, [this] { DispatchSysCommand(SysCommand::Minimize); });
    MapCommand(kUpdateButton, [this] { operations_.RunUpdateDialog(); });
    MapCommand(kOptionsButton, [this] { operations_.RunOptionsDialog(); });
    MapCommand(kHelpButton,
               [this] { host().OpenUrl("http://" + session_.web_host + "/customer/faq.php"); });
    MapCommand(CTrayIcon::kCommandOpen, [this] { Show(ShowMode::Show); });
    MapCommand(CTrayIcon::kCommandExit, [this] { ConfirmExitFromTrayMenu(); });
}

bool CKorvaneDlg::OnInitDialog() {
    // The application object sets the header block; a main window built
    // without it (tests, other launchers) must not send requests without one.
    if (session_.http_headers.empty()) {
        session_.http_headers = std::string(kHttpHeaderBlock);
    }
    session_.auth_host = operations_.ResolveAuthHost(deploy_.auth_host_name);
    if (session_.auth_host.empty()) {
        session_.auth_host = "0.0.0.0";
    }
    for (const ButtonBitmaps& b : kButtonBitmaps) {
        auto* button = Get<CBitmapButton>(b.id);
        button->LoadBitmaps(b.normal, b.pressed);
        button->SizeToContent();
    }
    operations_.AddFirewallExceptions();
    operations_.PrepareTunnelEnvironment();
    SetUpUserInterface();
    if (panels_.login) {
        panels_.login->SetFocus(1005);
    }
    if (!operations_.CreateSettingsKey()) {
        host().ShowMessageBox(kSettingsKeyError, kApplicationCaption, BoxButtons::Ok);
    }
    ShowVersionLabel();
    if (!session_.user_id.empty() && !session_.password.empty() && panels_.login) {
        if (Control* id = panels_.login->Find(1005)) {
            id->SetText(session_.user_id);
        }
        if (Control* password = panels_.login->Find(1006)) {
            password->SetText(session_.password);
        }
    }
    // The focus is already on the login panel.
    return false;
}

void CKorvaneDlg::SetUpUserInterface() {
    for (Dialog* child : {panels_.login.get(), panels_.status.get(), panels_.managed_ip.get(),
                          panels_.service_ip.get()}) {
        if (child != nullptr) {
            child->is_child = true;
            child->Create(this);
        }
    }
    for (Dialog* popup : {panels_.connecting.get(), panels_.update_progress.get()}) {
        if (popup != nullptr) {
            popup->Create(this);
        }
    }
    SetTitle(kTitle);
    // Without a notification area only the icon's own set-up is skipped: the
    // panels are still placed, or the window would start empty.
    if (tray_.Create(this) == 1) {
        tray_.SetTooltip(CTrayIcon::kInitialTip);
        tray_.SetIcon(CTrayIcon::kIconDisconnected);
    }
    client_rect_ = rect();
    ToggleLayout();
    PlacePanels();
}

void CKorvaneDlg::PlacePanels() {
    for (Dialog* left : {panels_.login.get(), panels_.status.get()}) {
        if (left != nullptr) {
            left->Move(kLeftPanelRect);
        }
    }
    if (panels_.login) {
        panels_.login->Show(ShowMode::Show);
    }
    if (panels_.status) {
        panels_.status->Show(ShowMode::Hide);
    }
    for (Dialog* right : {panels_.managed_ip.get(), panels_.service_ip.get()}) {
        if (right != nullptr) {
            right->Move(kRightPanelRect);
            right->Show(ShowMode::Hide);
        }
    }
    for (Dialog* popup : {panels_.update_progress.get(), panels_.connecting.get()}) {
        if (popup != nullptr) {
            popup->Show(ShowMode::Hide);
            popup->CenterOver(*this);
        }
    }
}

void CKorvaneDlg::ShowVersionLabel() {
    auto* label = Get<CFontStatic>(kVersionLabel);
    label->own_background = true;
    label->background_colour = 0x292929;
    label->SetFontStatic("굴림", 11, 0xEAEAEA, CFontStatic::kCentre);
    char text[32];
    std::snprintf(text, sizeof text, "( Ver %d )", session_.ccver);
    label->SetText(text);
    label->RedrawNow();
}

void CKorvaneDlg::ToggleLayout() {
    const bool to_narrow = fields_.narrow_layout == 0;
    const int minimize_x = to_narrow ? 387 : 835;
    const int close_x = to_narrow ? 417 : 865;
    Find(kMinimizeButton)->Move({minimize_x, 10, kCaptionButtonWidth, kCaptionButtonHeight});
    Find(kCloseButton)->Move({close_x, 10, kCaptionButtonWidth, kCaptionButtonHeight});
    if (panels_.status) {
        if (auto* layout = panels_.status->Get<CBitmapButton>(1003)) {
            layout->LoadBitmaps(to_narrow ? 185 : 187, to_narrow ? 186 : 188);
        }
    }
    const int width = to_narrow ? client_rect_.width / 2 : client_rect_.width;
    const Rect now = rect();
    // The left edge, the bottom edge and the height stay.
    Move({now.x, now.bottom() - client_rect_.height, width, client_rect_.height});
    fields_.narrow_layout = to_narrow ? 1 : 0;
}

bool CKorvaneDlg::PreTranslateKey(const KeyEvent& event) {
    return MainWindowKeyFilter(event);
}

void CKorvaneDlg::OnSysCommand(SysCommand command) {
    if (command == SysCommand::Minimize) {
        Show(ShowMode::Show);
    } else if (command == SysCommand::Close) {
        // Closing from outside (the task bar) ends at once: no question, no
        // logout, no tear-down.
        Show(ShowMode::Hide);
    }
    DefaultSysCommand(command);
}

long CKorvaneDlg::OnTrayCallback(long id, long mouse_message) {
    if (LowWord(mouse_message) == kMouseLeftUp) {
        Show(ShowMode::Normal);
    }
    return tray_.OnTrayNotification(id, mouse_message);
}

void CKorvaneDlg::TearDownTunnel() {
    if (session_.vpn_type == 4) {
        operations_.ReportTunnelEnd(4, "");
    } else {
        operations_.StopRasTunnel();
    }
}

void CKorvaneDlg::ConfirmExitFromCloseButton() {
    const SessionState state = session_.state;
    if (state == SessionState::Connected || state == SessionState::Connecting) {
        if (host().ShowMessageBox(kQuestionConnected, kExitCaption, BoxButtons::YesNo) !=
            BoxAnswer::Yes) {
            return;
        }
        operations_.SendLogout("user");
        TearDownTunnel();
    } else {
        if (host().ShowMessageBox(kQuestionExit, kExitCaption, BoxButtons::YesNo) !=
            BoxAnswer::Yes) {
            return;
        }
        if (state == SessionState::LoggedIn) {
            operations_.SendLogout("user");
        }
    }
    tray_.RemoveIcon();
    Close();
}

void CKorvaneDlg::OnEndSession() {
    // Nobody is there to answer: the exit goes as if confirmed, and a tunnel
    // (its program, routes and credential file) must not outlive it.
    const SessionState state = session_.state;
    if (state == SessionState::Connected || state == SessionState::Connecting) {
        operations_.SendLogout("user");
        TearDownTunnel();
    } else if (state == SessionState::LoggedIn && panels_.status && panels_.status->visible()) {
        // The login panel back on screen means the user has logged out.
        operations_.SendLogout("user");
    }
    tray_.RemoveIcon();
    Close();
}

void CKorvaneDlg::ConfirmExitFromTrayMenu() {
    const SessionState state = session_.state;
    if (state == SessionState::Connected) {
        if (host().ShowMessageBox(kQuestionConnected, kTrayExitCaption, BoxButtons::YesNo) !=
            BoxAnswer::Yes) {
            return;
        }
        operations_.SendLogout("user");
        TearDownTunnel();
        Close();
        return;
    }
    if (host().ShowMessageBox(kQuestionExit, kTrayExitCaption, BoxButtons::YesNo) !=
        BoxAnswer::Yes) {
        return;
    }
    operations_.SendLogout("user");
    // A tunnel still being started would outlive the program and keep its
    // routes; it is torn down like a connected one.
    if (state == SessionState::Connecting) {
        TearDownTunnel();
    }
    Close();
}

void CKorvaneDlg::OnTimer(int id) {
    switch (id) {
        case kTimerTunnelCheck:
            if (session_.vpn_type == 4) {
                operations_.OpenVpnTimerTick();
            }
            if (session_.vpn_type == 1 || session_.vpn_type == 3) {
                operations_.CheckRasLink();
            }
            break;
        case kTimerServiceTime:
            operations_.TickServiceTime();
            break;
        case kTimerRedial:
            OnRedialTimer();
            break;
        case kTimerRedialWait:
            KillTimer(kTimerRedialWait);
            break;
        default:
            break;
    }
}

void CKorvaneDlg::OnRedialTimer() {
    if (session_.state == SessionState::Connected) {
        return;
    }
    ++fields_.redial_attempts;
    KillTimer(kTimerRedialWait);
    SetTimer(kTimerRedialWait, kRedialWaitMs);
    if (fields_.redial_attempts > fields_.redial_count) {
        KillTimer(kTimerRedial);
    }
    if (on_redial_attempt) {
        on_redial_attempt();
    }
}

}  // namespace korvane
