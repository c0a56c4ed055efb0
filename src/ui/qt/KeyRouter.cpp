#include "ui/qt/KeyRouter.h"

#include <QApplication>
#include <QKeyEvent>

#include "ui/qt/DialogWindow.h"
#include "ui/qt/KeyTranslation.h"
#include "ui/qt/QtHost.h"

namespace korvane {

KeyRouter::KeyRouter(QtHost& host) : host_(host) {
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

KeyRouter::~KeyRouter() {
    qApp->removeEventFilter(this);
}

DialogWindow* KeyRouter::OwningWindow(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* window = dynamic_cast<DialogWindow*>(w)) {
            return window;
        }
    }
    return nullptr;
}

int KeyRouter::ControlIdOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (dynamic_cast<DialogWindow*>(w) != nullptr) {
            return 0;
        }
        const QVariant id = w->property(kControlIdProperty);
        if (id.isValid()) {
            return id.toInt();
        }
    }
    return 0;
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return false;
    }
    // A key the focused widget leaves goes on to its parents; the filters
    // have seen it once already.
    QWidget* focus = QApplication::focusWidget();
    if (widget != focus && !(focus == nullptr && widget->isWindow())) {
        return false;
    }
    DialogWindow* window = OwningWindow(widget);
    if (window == nullptr) {
        return false;
    }
    Dialog& dialog = window->dialog();
    const bool ended_before = dialog.ended();
    bool swallowed = false;
    host_.Deliver([&] {
        for (const KeyEvent& message : KeyMessagesFor(*static_cast<QKeyEvent*>(event))) {
            swallowed = dialog.DispatchKey(message);
            // A key that ended the window leaves nothing for the widget.
            if (swallowed || !dialog.created() || (dialog.ended() && !ended_before)) {
                swallowed = true;
                break;
            }
        }
    });
    return swallowed;
}

void KeyRouter::OnFocusChanged(QWidget* now) {
    DialogWindow* window = OwningWindow(now);
    if (window == nullptr) {
        return;
    }
    const int id = ControlIdOf(now);
    Dialog& dialog = window->dialog();
    if (id != 0 && dialog.focus_id() != id) {
        host_.Deliver([&dialog, id] { dialog.SetFocus(id); });
    }
}

}  // namespace korvane
