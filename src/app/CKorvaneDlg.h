#pragma once

#include <string>

#include "app/DeploySettings.h"
#include "app/MainPanels.h"
#include "app/MainWindowOperations.h"
#include "app/MainWindowState.h"
#include "ui/CTrayIcon.h"
#include "ui/Dialog.h"

namespace korvane {

struct SessionContext;
class CVpnConnDlg;
class CLogoutDlg;

// The main window: owns the panels and the tray icon for its whole life,
// starts the session up, dispatches its timers and confirms the exit.
class CKorvaneDlg : public Dialog {
  public:
    static constexpr int kTemplate = 102;
    static constexpr const char* kTitle = "DIZidezod";
    static constexpr int kIcon = 128;
    static constexpr int kBackground = 147;

    // Controls.
    static constexpr int kUpdateButton = 1000;
    static constexpr int kMinimizeButton = 1002;
    static constexpr int kCloseButton = 1004;
    static constexpr int kOptionsButton = 1012;
    static constexpr int kHelpButton = 1014;
    static constexpr int kVersionLabel = 1039;

    // Messages.
    static constexpr int kMessageRasStatus = 1224;
    static constexpr int kMessageActivate = 1324;

    // Timers.
    static constexpr int kTimerTunnelCheck = 1;
    static constexpr int kTimerServiceTime = 3;
    static constexpr int kTimerRedial = 12;
    static constexpr int kTimerRedialWait = 13;
    static constexpr int kRedialWaitMs = 20000;

    static constexpr const char* kExitCaption = "Korvane 안내";
    static constexpr const char* kTrayExitCaption = "접속종료";
    static constexpr const char* kQuestionConnected =
        "★현재 서비스에 연결되어 있습니다.\n\n정말로 로그아웃(접속해제) 시킨 후 \n\n현재의 "
        "프로그램을 종료할까요?";
    static constexpr const char* kQuestionExit = "Korvane 매니저를 종료 하시겠습니까?";
    static constexpr const char* kSettingsKeyError = "RegCreateKeyEx 오류";

    CKorvaneDlg(Host& host, SessionContext& session, MainWindowOperations& operations,
                const DeploySettings& deploy, const PanelFactory& panels);
    ~CKorvaneDlg() override;

    void ToggleLayout();

    SessionContext& session() { return session_; }
    MainWindowState& fields() { return fields_; }
    CTrayIcon& tray() { return tray_; }
    MainPanels& panels() { return panels_; }
    const DeploySettings& deploy() const { return deploy_; }
    MainWindowOperations& operations() { return operations_; }
    // The real panel classes; null while template panels stand in.
    CVpnConnDlg* connecting_dialog() const;
    CLogoutDlg* status_panel() const;

    // Runs after a timer-12 event counted an attempt; the IP selection's redial.
    std::function<void()> on_redial_attempt;

  protected:
    bool OnInitDialog() override;
    bool PreTranslateKey(const KeyEvent& event) override;
    void OnTimer(int id) override;
    void OnEndSession() override;
    void OnSysCommand(SysCommand command) override;

  private:
    void AddControls();
    void MapHandlers();
    void SetUpUserInterface();
    void PlacePanels();
    void ShowVersionLabel();
    void ConfirmExitFromCloseButton();
    void ConfirmExitFromTrayMenu();
    void TearDownTunnel();
    long OnTrayCallback(long id, long mouse_message);
    void OnRedialTimer();

    SessionContext& session_;
    MainWindowOperations& operations_;
    DeploySettings deploy_;
    MainWindowState fields_;
    MainPanels panels_;
    CTrayIcon tray_;
    Rect client_rect_;
};

// The application message box: an OK box captioned with the program's name.
constexpr const char* kApplicationCaption = "Korvane";

}  // namespace korvane
