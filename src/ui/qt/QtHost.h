#pragma once

#include <QEventLoop>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Host.h"
#include "ui/qt/QtTimers.h"
#include "ui/qt/QtTray.h"
#include "ui/qt/UiThreadSends.h"

class QWidget;

namespace korvane {

class DialogWindow;
class KeyRouter;
class Skin;

// The desktop host: every dialog model becomes a widget window drawn from the
// skin, every control a widget, and what the user does reaches the models as
// the same calls a script makes. A QApplication must exist; everything runs
// on its thread.
class QtHost : public Host {
  public:
    explicit QtHost(const Skin& skin);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    const Skin& skin() const { return skin_; }
    // Off: behave as on a desktop without a notification area.
    void SetTrayAvailable(bool available) { tray_.ForceUnavailable(!available); }
    // Where OpenUrl sends pages; the desktop's default browser unless set.
    void SetUrlOpener(std::function<void(const std::string&)> opener) {
        url_opener_ = std::move(opener);
    }

    // Runs one piece of input (a click, a key, a timer, a sent work) and then
    // ends every modal run whose dialog has ended.
    void Deliver(const std::function<void()>& work);
    // The session ends: message boxes and file choices on the screen are
    // declined, then every modal window, innermost first, ends its session.
    void EndSession();

    DialogWindow* WindowOf(const Dialog& dialog) const;
    QWidget* ControlWidget(const Dialog& dialog, int control_id) const;
    const QtTray& tray() const { return tray_; }
    const QtTimers& timers() const { return timers_; }
    // Model coordinates of top-level windows are screen coordinates less this.
    QPoint origin() const { return origin_; }
    void SetOriginFor(const Rect& first_window);
    bool origin_set() const { return origin_set_; }
    // The window message boxes and file dialogs belong to.
    QWidget* ActiveWindowWidget() const;

    // Host.
    BoxAnswer ShowMessageBox(const std::string& text, const std::string& caption,
                             BoxButtons buttons) override;
    void Register(Dialog& dialog) override;
    void Unregister(Dialog& dialog) override;
    int RunModal(Dialog& dialog, Dialog* parent) override;
    void WindowChanged(Dialog& dialog, WindowChange change) override;
    void ControlChanged(Dialog& dialog, Control& control, ControlChange change) override;
    void SetForegroundWindow(Dialog& dialog) override;
    void SetTimer(Dialog& dialog, int id, int period_ms) override;
    bool KillTimer(Dialog& dialog, int id) override;
    void KillTimers(Dialog& dialog) override;
    void OpenUrl(const std::string& url) override;
    std::optional<std::string> ShowFileOpenDialog(const FileOpenRequest& request) override;
    bool SendToUiThread(std::function<void()> work) override;
    void EndSends() override;
    bool TrayAvailable() const override { return tray_.available(); }
    bool AddTrayIcon(const TrayIconRecord& record) override;
    bool ModifyTrayIcon(const TrayIconRecord& record) override;
    bool DeleteTrayIcon(const TrayIconRecord& record) override;
    int TrackPopupMenu(const PopupMenu& menu, Dialog& owner) override;

  private:
    struct ModalRun {
        Dialog* dialog;
        QEventLoop* loop;
    };
    void EndFinishedModalRuns();

    const Skin& skin_;
    std::map<const Dialog*, QPointer<DialogWindow>> windows_;
    std::vector<ModalRun> modal_runs_;
    QtTimers timers_;
    QtTray tray_;
    UiThreadSends sends_;
    std::unique_ptr<KeyRouter> keys_;
    std::function<void(const std::string&)> url_opener_;
    QPoint origin_;
    bool origin_set_ = false;
};

}  // namespace korvane
