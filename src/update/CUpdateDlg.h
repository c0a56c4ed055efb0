#pragma once

#include <functional>

#include "ui/Colour.h"
#include "ui/Dialog.h"

namespace korvane {

struct SessionContext;
struct AccountInfo;
class CWebMgmt;
class CUpdateMgmt;
class CommandRunner;

// What the update dialog reads and uses.
struct UpdateDialogServices {
    SessionContext& session;
    AccountInfo& account;
    CWebMgmt& web;
    CUpdateMgmt& updates;
    CommandRunner& commands;
    // The update progress window shown while a missing installer downloads.
    Dialog* progress_window = nullptr;
    // Removes the tray icon and closes the main window, ending the program.
    std::function<void()> close_program;
};

// The modal update dialog of the main window's update button: the service's
// update page, whether a newer client exists, and a button that starts it.
class CUpdateDlg : public Dialog {
  public:
    static constexpr int kTemplate = 141;
    static constexpr int kBackground = 199;
    static constexpr int kBrowser = 1010;
    static constexpr int kLabel = 1040;
    static constexpr int kUpdateButton = 1000;
    static constexpr int kCancelButton = 1026;
    static constexpr int kCloseButton = 1004;
    static constexpr Colour kLabelBackground = 0x292929;

    static constexpr const char* kCurrentText = "현재 최신 버전을 사용하고 계십니다.";
    static constexpr const char* kInfoCaption = "업데이트 정보";

    CUpdateDlg(Host& host, UpdateDialogServices services);

  protected:
    bool OnInitDialog() override;

  private:
    void ShowVersionLabel();
    void OnUpdate();
    bool EnsureInstallerDownloaded();

    UpdateDialogServices services_;
};

}  // namespace korvane
