#include "DesktopDirector.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <algorithm>

#include "ui/Dialog.h"
#include "ui/qt/DialogWindow.h"

namespace korvane::screenshots {

namespace {

constexpr int kPollMs = 40;

}  // namespace

Dialog* NamedDialogsHost::Find(const std::string& name) const {
    for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
        if ((*it)->name() == name) {
            return *it;
        }
    }
    return nullptr;
}

bool NamedDialogsHost::Showing(const std::string& name) const {
    const Dialog* dialog = Find(name);
    const QWidget* window = dialog != nullptr ? WindowOf(*dialog) : nullptr;
    return window != nullptr && window->isVisible();
}

QWidget* NamedDialogsHost::Widget(const std::string& name, int control_id) const {
    const Dialog* dialog = Find(name);
    return dialog != nullptr ? ControlWidget(*dialog, control_id) : nullptr;
}

void NamedDialogsHost::Register(Dialog& dialog) {
    QtHost::Register(dialog);
    if (std::find(dialogs_.begin(), dialogs_.end(), &dialog) == dialogs_.end()) {
        dialogs_.push_back(&dialog);
    }
}

void NamedDialogsHost::Unregister(Dialog& dialog) {
    dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), &dialog), dialogs_.end());
    QtHost::Unregister(dialog);
}

Director::Director(NamedDialogsHost& host) : host_(host) {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
}

void Director::Add(std::string what, std::function<bool()> ready, std::function<void()> act,
                   int timeout_ms) {
    steps_.push_back({std::move(what), std::move(ready), std::move(act), timeout_ms});
}

void Director::Start() {
    step_started_ms_ = QDateTime::currentMSecsSinceEpoch();
    timer_.start();
}

void Director::Poll() {
    if (failed_ || next_ == steps_.size()) {
        timer_.stop();
        return;
    }
    if (acting_) {
        return;
    }
    Step& step = steps_[next_];
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!step.ready()) {
        if (now - step_started_ms_ > step.timeout_ms) {
            Abandon("timed out waiting to " + step.what);
        }
        return;
    }
    ++next_;
    step_started_ms_ = now;
    // Its own event: an act that opens a modal window runs that window's
    // loop there, and polling goes on inside it.
    QTimer::singleShot(0, this, [this, act = step.act] {
        if (act) {
            acting_ = true;
            act();
            acting_ = false;
        }
    });
}

void Director::Abandon(const std::string& why) {
    if (failed_) {
        return;
    }
    failed_ = true;
    error_ = why;
    timer_.stop();
    if (!failure_folder_.empty()) {
        int n = 0;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) {
                const QString file =
                    QString::fromStdString(failure_folder_) + QString("/failure-%1.png").arg(++n);
                window->grab().save(file, "PNG");
            }
        }
    }
    std::string box_text;
    for (int boxes = 0; boxes < 8 && AnswerMessageBox(false, &box_text); ++boxes) {
        error_ += " (a message box said: " + box_text + ")";
    }
    // Modal windows first, the main window last.
    std::vector<Dialog*> dialogs = host_.dialogs();
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it) {
        Dialog* dialog = *it;
        host_.Deliver([dialog] { dialog->EndDialog(kIdCancel); });
    }
}

void TypeInto(QWidget* edit, const std::string& text) {
    if (edit == nullptr) {
        return;
    }
    edit->activateWindow();
    edit->setFocus(Qt::OtherFocusReason);
    // What was there goes first, as a user selecting it all would type over it.
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->selectAll();
    }
    QTest::keyClicks(edit, QString::fromStdString(text));
}

void ClickOn(QWidget* widget) {
    if (widget != nullptr) {
        QTest::mouseClick(widget, Qt::LeftButton);
    }
}

void ClickLater(QWidget* widget) {
    QTimer::singleShot(0, [target = QPointer<QWidget>(widget)] { ClickOn(target.data()); });
}

int RowCount(QWidget* list) {
    auto* table = qobject_cast<QTableView*>(list);
    return table != nullptr && table->model() != nullptr ? table->model()->rowCount() : 0;
}

namespace {

// The centre of the row in the view's viewport, scrolled into sight; false
// without that row.
bool RowCentre(QTableView* table, int row, QPoint& centre) {
    if (table == nullptr || row >= RowCount(table)) {
        return false;
    }
    const QModelIndex index = table->model()->index(row, 0);
    table->scrollTo(index);
    centre = table->visualRect(index).center();
    return true;
}

}  // namespace

bool ClickRow(QWidget* list, int row) {
    auto* table = qobject_cast<QTableView*>(list);
    QPoint centre;
    if (!RowCentre(table, row, centre)) {
        return false;
    }
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centre);
    return true;
}

bool DoubleClickRow(QWidget* list, int row) {
    auto* table = qobject_cast<QTableView*>(list);
    QPoint centre;
    if (!RowCentre(table, row, centre)) {
        return false;
    }
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centre);
    return true;
}

bool MessageBoxShowing() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
}

bool AnswerMessageBox(bool yes, std::string* text) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
        return false;
    }
    if (text != nullptr) {
        *text = box->text().toStdString();
    }
    QAbstractButton* button = nullptr;
    for (QAbstractButton* candidate : box->buttons()) {
        const QMessageBox::ButtonRole role = box->buttonRole(candidate);
        const bool positive = role == QMessageBox::YesRole || role == QMessageBox::AcceptRole;
        if (positive == yes || button == nullptr) {
            button = candidate;
        }
        if (positive == yes) {
            break;
        }
    }
    if (button != nullptr) {
        button->click();
    }
    return button != nullptr;
}

}  // namespace korvane::screenshots
