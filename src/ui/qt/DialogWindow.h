#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <map>

#include "ui/Dialog.h"

namespace korvane {

class ControlView;
class QtHost;
class Skin;

// The widget of one dialog model: a frameless window (or a child panel of
// its parent's window) with the background bitmap at (0, 0) and one widget
// per control, kept in step with the model.
class DialogWindow : public QWidget {
  public:
    DialogWindow(Dialog& dialog, QtHost& host, QWidget* parent_window);
    ~DialogWindow() override;

    Dialog& dialog() const { return dialog_; }
    QtHost& host() const { return host_; }
    const Skin& skin() const;

    // Runs an input event's work (see QtHost::Deliver).
    void Deliver(const std::function<void()>& work);

    // From the model.
    void ApplyWindowChange(WindowChange change);
    void ApplyControlChange(Control& control, ControlChange change);
    // Every control's widget and state, for controls that came before the
    // window existed.
    void SyncControls();

    // The control's widget, created when it is not there yet.
    ControlView* ViewOf(Control& control);
    QWidget* WidgetOf(int control_id);
    // Where a control goes: the model's own rectangle once it has one, else
    // the template's; a bitmap button sized to its bitmap takes the bitmap's
    // size.
    QRect ControlGeometry(const Control& control) const;
    bool PaintedBySkin(const Control& control) const;
    // The model rectangle of a window that has none yet: the template's size
    // (or the background's), centred over its owner when it has one.
    Rect InitialRect() const;
    void ApplyGeometry();
    void ApplyShow(ShowMode mode);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void PlaceControl(ControlView& view);
    void ApplyFocus();
    // The model's rectangle of this window in widget coordinates.
    QRect WidgetRect() const;

    Dialog& dialog_;
    QtHost& host_;
    QPixmap background_;
    int background_number_ = 0;
    std::map<const Control*, ControlView*> views_;
    bool dragging_ = false;
    QPoint drag_offset_;
    // Set while the host itself moves or shows the window, so the resulting
    // Qt events are not taken for the user's.
    int applying_ = 0;
};

}  // namespace korvane
