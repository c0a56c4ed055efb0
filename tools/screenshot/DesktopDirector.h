#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/qt/QtHost.h"

class QWidget;

namespace korvane {

class Dialog;

namespace screenshots {

// The desktop host that also knows the program's windows by name, so a
// director can find what the program opened.
class NamedDialogsHost : public QtHost {
  public:
    using QtHost::QtHost;

    // The newest live window of that name, or null.
    Dialog* Find(const std::string& name) const;
    // Shown as a window on the screen.
    bool Showing(const std::string& name) const;
    QWidget* Widget(const std::string& name, int control_id) const;
    const std::vector<Dialog*>& dialogs() const { return dialogs_; }

    void Register(Dialog& dialog) override;
    void Unregister(Dialog& dialog) override;

  private:
    std::vector<Dialog*> dialogs_;
};

// Plays a user's steps against the running program: each step waits until
// what it needs is on the screen, then acts as a user would. Acts run as
// their own events, so a step that opens a modal window does not hold up
// the steps that work inside it.
class Director : public QObject {
  public:
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
        int timeout_ms = 20000;
    };

    explicit Director(NamedDialogsHost& host);

    void Add(std::string what, std::function<bool()> ready, std::function<void()> act,
             int timeout_ms = 20000);
    void Start();
    // Where the windows on the screen are saved when a step fails.
    void SetFailureFolder(std::string folder) { failure_folder_ = std::move(folder); }

    bool finished() const { return next_ == steps_.size() && !failed_; }
    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }

    // A step that failed or timed out calls this: every window is ended so
    // the program returns.
    void Abandon(const std::string& why);

  private:
    void Poll();

    NamedDialogsHost& host_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    qint64 step_started_ms_ = 0;
    QTimer timer_;
    // An act runs its own events (a shot waits for pages); no step starts
    // meanwhile.
    bool acting_ = false;
    bool failed_ = false;
    std::string error_;
    std::string failure_folder_;
};

// What a user does, on the widgets of the program's windows.
void TypeInto(QWidget* edit, const std::string& text);
void ClickOn(QWidget* widget);
// A click that may open a modal window: posted, so the steps go on while
// that window runs.
void ClickLater(QWidget* widget);
// Clicks or double-clicks row `row` of a list view's widget; false without
// that row.
bool ClickRow(QWidget* list, int row);
bool DoubleClickRow(QWidget* list, int row);
int RowCount(QWidget* list);
// The message box on the screen, answered by its button of that role; false
// when none is up. Its text is handed to `text` first.
bool AnswerMessageBox(bool yes, std::string* text = nullptr);
bool MessageBoxShowing();

}  // namespace screenshots
}  // namespace korvane
