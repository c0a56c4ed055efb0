#include "ui/qt/QtHost.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QScreen>
#include <QUrl>

#include "ui/Dialog.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/KeyRouter.h"
#include "ui/qt/PopupMenus.h"
#include "ui/qt/ShellDialogs.h"
#include "ui/qt/Skin.h"
#include "ui/qt/SkinFonts.h"

namespace korvane {

QtHost::QtHost(const Skin& skin)
    : skin_(skin),
      timers_(
          [this](Dialog& dialog, int id) { Deliver([&dialog, id] { dialog.DispatchTimer(id); }); }),
      tray_(skin, [this](const std::function<void()>& work) { Deliver(work); }),
      sends_([this](const std::function<void()>& work) { Deliver(work); }),
      keys_(std::make_unique<KeyRouter>(*this)),
      url_opener_([](const std::string& url) {
          QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
      }) {
    InstallFaceSubstitutes();
    QApplication::setFont(ControlFont());
}

QtHost::~QtHost() {
    sends_.Shut();
    tray_.Remove();
    for (auto& [dialog, window] : windows_) {
        delete window.data();
    }
}

void QtHost::Deliver(const std::function<void()>& work) {
    work();
    EndFinishedModalRuns();
}

void QtHost::EndFinishedModalRuns() {
    for (const ModalRun& run : modal_runs_) {
        if (run.dialog->ended()) {
            run.loop->quit();
        }
    }
}

DialogWindow* QtHost::WindowOf(const Dialog& dialog) const {
    const auto it = windows_.find(&dialog);
    return it == windows_.end() ? nullptr : it->second.data();
}

QWidget* QtHost::ControlWidget(const Dialog& dialog, int control_id) const {
    DialogWindow* window = WindowOf(dialog);
    return window == nullptr ? nullptr : window->WidgetOf(control_id);
}

void QtHost::SetOriginFor(const Rect& first_window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint centre = screen != nullptr ? screen->availableGeometry().center() : QPoint();
    origin_ = centre - QPoint(first_window.x + first_window.width / 2,
                              first_window.y + first_window.height / 2);
    origin_set_ = true;
}

QWidget* QtHost::ActiveWindowWidget() const {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    for (auto it = modal_runs_.rbegin(); it != modal_runs_.rend(); ++it) {
        if (DialogWindow* window = WindowOf(*it->dialog)) {
            return window;
        }
    }
    return QApplication::activeWindow();
}

BoxAnswer QtHost::ShowMessageBox(const std::string& text, const std::string& caption,
                                 BoxButtons buttons) {
    return RunMessageBox(ActiveWindowWidget(), text, caption, buttons);
}

void QtHost::Register(Dialog& dialog) {
    if (WindowOf(dialog) != nullptr) {
        return;
    }
    QWidget* parent = dialog.parent() != nullptr ? WindowOf(*dialog.parent()) : nullptr;
    windows_[&dialog] = new DialogWindow(dialog, *this, parent);
}

void QtHost::Unregister(Dialog& dialog) {
    timers_.KillAll(dialog);
    tray_.ForgetOwner(dialog);
    const auto it = windows_.find(&dialog);
    if (it == windows_.end()) {
        return;
    }
    // Child panels go with their parent's window; their own entries then
    // hold a null pointer.
    delete it->second.data();
    windows_.erase(it);
}

void QtHost::EndSession() {
    if (QWidget* menu = QApplication::activePopupWidget()) {
        menu->close();
    }
    for (int boxes = 0; boxes < 8; ++boxes) {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            break;
        }
        box->reject();
    }
    std::vector<Dialog*> running;
    for (auto it = modal_runs_.rbegin(); it != modal_runs_.rend(); ++it) {
        running.push_back(it->dialog);
    }
    for (Dialog* dialog : running) {
        Deliver([dialog] { dialog->EndSession(); });
    }
}

int QtHost::RunModal(Dialog& dialog, Dialog* parent) {
    QEventLoop loop;
    modal_runs_.push_back({&dialog, &loop});
    dialog.BeginModal(parent);
    if (!dialog.ended()) {
        dialog.Show(ShowMode::Show);
    }
    if (!dialog.ended()) {
        loop.exec();
    }
    modal_runs_.pop_back();
    return dialog.FinishModal();
}

void QtHost::WindowChanged(Dialog& dialog, WindowChange change) {
    if (DialogWindow* window = WindowOf(dialog)) {
        window->ApplyWindowChange(change);
    }
}

void QtHost::ControlChanged(Dialog& dialog, Control& control, ControlChange change) {
    if (DialogWindow* window = WindowOf(dialog)) {
        window->ApplyControlChange(control, change);
    }
}

void QtHost::SetForegroundWindow(Dialog& dialog) {
    if (DialogWindow* window = WindowOf(dialog)) {
        window->window()->raise();
        window->window()->activateWindow();
    }
}

void QtHost::SetTimer(Dialog& dialog, int id, int period_ms) {
    timers_.Set(dialog, id, period_ms);
}

bool QtHost::KillTimer(Dialog& dialog, int id) {
    return timers_.Kill(dialog, id);
}

void QtHost::KillTimers(Dialog& dialog) {
    timers_.KillAll(dialog);
}

void QtHost::OpenUrl(const std::string& url) {
    url_opener_(url);
}

std::optional<std::string> QtHost::ShowFileOpenDialog(const FileOpenRequest& request) {
    return RunFileOpenDialog(ActiveWindowWidget(), request);
}

bool QtHost::SendToUiThread(std::function<void()> work) {
    return sends_.Send(std::move(work));
}

void QtHost::EndSends() {
    sends_.Shut();
}

bool QtHost::AddTrayIcon(const TrayIconRecord& record) {
    return tray_.Add(record);
}

bool QtHost::ModifyTrayIcon(const TrayIconRecord& record) {
    return tray_.Modify(record);
}

bool QtHost::DeleteTrayIcon(const TrayIconRecord&) {
    return tray_.Remove();
}

int QtHost::TrackPopupMenu(const PopupMenu& menu, Dialog&) {
    std::unique_ptr<QMenu> qmenu = BuildPopupMenu(menu);
    return TrackMenu(*qmenu, QCursor::pos());
}

}  // namespace korvane
