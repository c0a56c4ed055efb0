#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Geometry.h"
#include "ui/MessageBoxPort.h"

namespace korvane {

class Dialog;

enum class WindowChangeKind { Shown, Moved, Titled, Redrawn, Focus };

struct WindowChange {
    WindowChangeKind kind;
    ShowMode mode = ShowMode::Show;  // for Shown
};

struct FileOpenRequest {
    std::string filter;  // "text (*.ext) | *.ext||" as the dialogs write it
    bool hide_read_only = true;
    std::string default_extension;
};

// The notification-area icon as the tray icon object keeps it.
struct TrayIconRecord {
    static constexpr int kFlagMessage = 0x1;
    static constexpr int kFlagIcon = 0x2;
    static constexpr int kFlagTip = 0x4;
    // Room for the tip text, without its terminating zero.
    static constexpr int kTipLimit = 127;

    Dialog* owner = nullptr;
    int id = 0;
    int flags = 0;
    int callback_message = 0;
    int icon = 0;  // icon resource number, 0 for none
    std::string tip;
};

struct MenuItem {
    int id = 0;
    std::string text;
    bool separator = false;
    bool is_default = false;
};

struct PopupMenu {
    int resource = 0;
    std::vector<MenuItem> items;
};

// Everything a dialog needs from the desktop. The desktop host draws the
// models as widgets; the headless host records every visible effect and is
// driven by a script or a test.
class Host : public MessageBoxPort {
  public:
    // Windows. A dialog registers when it is created and leaves when it is
    // destroyed; RunModal creates, shows and runs one until it ends.
    virtual void Register(Dialog& dialog) = 0;
    virtual void Unregister(Dialog& dialog) = 0;
    virtual int RunModal(Dialog& dialog, Dialog* parent) = 0;
    virtual void WindowChanged(Dialog& dialog, WindowChange change) = 0;
    virtual void ControlChanged(Dialog& dialog, Control& control, ControlChange change) = 0;
    virtual void SetForegroundWindow(Dialog& dialog) = 0;

    // Timers per window and id; setting a running timer restarts it. The
    // window's OnTimer runs on the user-interface thread.
    virtual void SetTimer(Dialog& dialog, int id, int period_ms) = 0;
    // False when no such timer ran.
    virtual bool KillTimer(Dialog& dialog, int id) = 0;
    virtual void KillTimers(Dialog& dialog) = 0;

    // Shell.
    virtual void OpenUrl(const std::string& url) = 0;
    // The chosen full path, or nothing when the user cancelled.
    virtual std::optional<std::string> ShowFileOpenDialog(const FileOpenRequest& request) = 0;

    // Runs `work` on the user-interface thread and returns when it has run:
    // directly when called there, otherwise the caller blocks until the
    // interface thread picks it up. False when the host has shut down and the
    // work did not run.
    virtual bool SendToUiThread(std::function<void()> work) = 0;
    // Called once the windows are gone: refuses further sends and releases
    // every sender still waiting (their work does not run).
    virtual void EndSends() = 0;

    // Notification area.
    virtual bool TrayAvailable() const = 0;
    virtual bool AddTrayIcon(const TrayIconRecord& record) = 0;
    virtual bool ModifyTrayIcon(const TrayIconRecord& record) = 0;
    virtual bool DeleteTrayIcon(const TrayIconRecord& record) = 0;
    // Shows the menu at the cursor; the chosen command id, 0 when dismissed.
    virtual int TrackPopupMenu(const PopupMenu& menu, Dialog& owner) = 0;
};

}  // namespace korvane
