#include "ui/qt/DialogWindow.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "ui/CBitmapButton.h"
#include "ui/qt/ControlView.h"
#include "ui/qt/KeyRouter.h"
#include "ui/qt/QtColour.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/Skin.h"

namespace korvane {

namespace {

// A control the template does not place and the model did not move.
constexpr QSize kUnplacedSize(80, 22);
// A window without template entry or background.
constexpr QSize kUnsizedWindow(320, 200);

bool IsEmpty(const Rect& rect) {
    return rect.width <= 0 || rect.height <= 0;
}

QRect ToQRect(const Rect& rect) {
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

Qt::WindowFlags FlagsFor(const Dialog& dialog, QWidget* parent_window) {
    if (dialog.is_child && parent_window != nullptr) {
        return Qt::Widget;
    }
    // Every window of the system is skinned: no frame, no caption.
    const Qt::WindowFlags kind = parent_window != nullptr ? Qt::Dialog : Qt::Window;
    return kind | Qt::FramelessWindowHint;
}

}  // namespace

DialogWindow::DialogWindow(Dialog& dialog, QtHost& host, QWidget* parent_window)
    : QWidget(parent_window, FlagsFor(dialog, parent_window)), dialog_(dialog), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QString::fromStdString(dialog.name()));
    setWindowTitle(QString::fromStdString(dialog.title()));
    if (dialog.icon != 0) {
        setWindowIcon(skin().Icon(dialog.icon));
    }
    if (dialog.modal() && parent_window != nullptr) {
        setWindowModality(Qt::ApplicationModal);
    }
    // The model learns the size its template gives before it initialises,
    // so it can centre itself or its popups.
    if (IsEmpty(dialog.rect())) {
        ++applying_;
        dialog.Move(InitialRect());
        --applying_;
    }
    if (isWindow() && !host_.origin_set()) {
        host_.SetOriginFor(dialog.rect());
    }
    ApplyGeometry();
    SyncControls();
    QWidget::setVisible(false);
}

DialogWindow::~DialogWindow() = default;

const Skin& DialogWindow::skin() const {
    return host_.skin();
}

void DialogWindow::Deliver(const std::function<void()>& work) {
    host_.Deliver(work);
}

Rect DialogWindow::InitialRect() const {
    QSize size = kUnsizedWindow;
    if (const auto from_template = skin().layout().WindowRect(dialog_.template_id())) {
        size = QSize(from_template->width, from_template->height);
    } else if (const QPixmap bitmap = skin().Bitmap(dialog_.background_bitmap); !bitmap.isNull()) {
        size = bitmap.size();
    }
    Rect rect{0, 0, size.width(), size.height()};
    const Dialog* owner = dialog_.parent();
    if (owner != nullptr && !dialog_.is_child) {
        const Rect& o = owner->rect();
        rect.x = o.x + (o.width - rect.width) / 2;
        rect.y = o.y + (o.height - rect.height) / 2;
    }
    return rect;
}

QRect DialogWindow::WidgetRect() const {
    QRect rect = ToQRect(dialog_.rect());
    if (isWindow()) {
        rect.translate(host_.origin());
    }
    return rect;
}

void DialogWindow::ApplyGeometry() {
    const QRect target = WidgetRect();
    ++applying_;
    setFixedSize(target.size());
    if (pos() != target.topLeft()) {
        move(target.topLeft());
    }
    --applying_;
}

void DialogWindow::ApplyShow(ShowMode mode) {
    ++applying_;
    switch (mode) {
        case ShowMode::Hide:
            hide();
            break;
        case ShowMode::Normal:
            if (isWindow()) {
                showNormal();
                raise();
                activateWindow();
            } else {
                show();
            }
            break;
        case ShowMode::Show:
            if (!isMinimized()) {
                show();
            }
            break;
        case ShowMode::Minimize:
            if (isWindow()) {
                showMinimized();
            } else {
                show();
            }
            break;
    }
    --applying_;
    if (mode != ShowMode::Hide) {
        ApplyFocus();
    }
}

void DialogWindow::ApplyFocus() {
    if (QWidget* widget = WidgetOf(dialog_.focus_id())) {
        if (!widget->hasFocus()) {
            widget->setFocus(Qt::OtherFocusReason);
        }
    }
}

void DialogWindow::ApplyWindowChange(WindowChange change) {
    switch (change.kind) {
        case WindowChangeKind::Shown:
            ApplyShow(change.mode);
            break;
        case WindowChangeKind::Moved:
            if (applying_ == 0) {
                ApplyGeometry();
            }
            break;
        case WindowChangeKind::Titled:
            setWindowTitle(QString::fromStdString(dialog_.title()));
            break;
        case WindowChangeKind::Redrawn:
            repaint();
            break;
        case WindowChangeKind::Focus:
            ApplyFocus();
            break;
    }
}

ControlView* DialogWindow::ViewOf(Control& control) {
    const auto it = views_.find(&control);
    if (it != views_.end()) {
        return it->second;
    }
    ControlView* view = CreateControlView(control, *this);
    view->widget()->setProperty(kControlIdProperty, control.id());
    views_.emplace(&control, view);
    PlaceControl(*view);
    view->Refresh({ChangeKind::Redraw});
    return view;
}

QWidget* DialogWindow::WidgetOf(int control_id) {
    Control* control = dialog_.Find(control_id);
    return control == nullptr ? nullptr : ViewOf(*control)->widget();
}

void DialogWindow::SyncControls() {
    for (const auto& control : dialog_.controls()) {
        ViewOf(*control);
    }
}

QRect DialogWindow::ControlGeometry(const Control& control) const {
    if (!IsEmpty(control.rect())) {
        return ToQRect(control.rect());
    }
    QRect rect(QPoint(0, 0), kUnplacedSize);
    if (const auto placed = skin().layout().ControlRect(dialog_.template_id(), control.id())) {
        rect = ToQRect(*placed);
    }
    if (const auto* button = dynamic_cast<const CBitmapButton*>(&control);
        button != nullptr && button->sized_to_bitmap()) {
        const QPixmap bitmap = skin().Bitmap(button->normal_bitmap());
        if (!bitmap.isNull()) {
            rect.setSize(bitmap.size());
        }
    }
    return rect;
}

bool DialogWindow::PaintedBySkin(const Control& control) const {
    // A caption without an id and without a place of its own is drawn into
    // the window's background bitmap.
    return control.id() < 0 && control.kind() == ControlKind::Static && IsEmpty(control.rect()) &&
           dialog_.background_bitmap != 0;
}

void DialogWindow::PlaceControl(ControlView& view) {
    const Control& control = view.control();
    QWidget* widget = view.widget();
    widget->setGeometry(ControlGeometry(control));
    widget->setVisible(control.visible() && !PaintedBySkin(control));
    widget->setEnabled(control.enabled());
}

void DialogWindow::ApplyControlChange(Control& control, ControlChange change) {
    ControlView* view = ViewOf(control);
    // Some state changes without notice (a button sized to its bitmap after
    // the bitmaps came): every change places the control anew.
    PlaceControl(*view);
    view->Refresh(change);
    if (change.kind == ChangeKind::Redraw) {
        view->widget()->repaint();
    }
}

void DialogWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (background_number_ != dialog_.background_bitmap) {
        background_number_ = dialog_.background_bitmap;
        background_ = skin().Bitmap(background_number_);
    }
    if (background_.isNull()) {
        painter.fillRect(rect(), ToQColor(kSystemButtonFace));
        return;
    }
    painter.drawPixmap(0, 0, background_);
}

void DialogWindow::mousePressEvent(QMouseEvent* event) {
    // Only points that are not on a control reach the window itself.
    if (!dialog_.drags_anywhere || !isWindow() || event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    dragging_ = true;
    drag_offset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void DialogWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - drag_offset_);
    }
    event->accept();
}

void DialogWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    event->accept();
}

void DialogWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (applying_ != 0 || !isWindow()) {
        return;
    }
    // The user (or the window manager) moved the window: the model follows.
    const QPoint model = pos() - host_.origin();
    const Rect& now = dialog_.rect();
    if (model.x() != now.x || model.y() != now.y) {
        ++applying_;
        Deliver([&] { dialog_.Move({model.x(), model.y(), now.width, now.height}); });
        --applying_;
    }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // A close from outside (the window manager, the task bar) is the
    // window's system command; the model decides whether the window goes.
    event->ignore();
    if (dialog_.created()) {
        Deliver([this] { dialog_.DispatchSysCommand(SysCommand::Close); });
    }
}

void DialogWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || applying_ != 0 || !isWindow() ||
        !dialog_.created()) {
        return;
    }
    if (isMinimized() && !dialog_.minimized()) {
        Deliver([this] { dialog_.DispatchSysCommand(SysCommand::Minimize); });
    } else if (!isMinimized() && dialog_.minimized()) {
        Deliver([this] { dialog_.DispatchSysCommand(SysCommand::Restore); });
    }
}

}  // namespace korvane
