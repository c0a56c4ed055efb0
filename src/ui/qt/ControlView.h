#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "ui/Control.h"

namespace korvane {

class DialogWindow;

// The widget of one control. It shows the model's state and turns what the
// user does into the same calls a script makes (set the text, toggle, check
// the radio, choose, select, then the dialog's command or notification).
// Geometry, visibility and the enabled state are the window's business.
class ControlView {
  public:
    ControlView(Control& control, DialogWindow& window) : control_(control), window_(window) {}
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    Control& control() const { return control_; }
    virtual QWidget* widget() = 0;
    // Brings the widget to the model's state after `change`.
    virtual void Refresh(ControlChange change) = 0;

  protected:
    DialogWindow& dialog_window() const { return window_; }
    // Runs the user's action as input of the window.
    void Deliver(const std::function<void()>& action) const;

  private:
    Control& control_;
    DialogWindow& window_;
};

// The widget for a control of any kind, a child of `window`.
ControlView* CreateControlView(Control& control, DialogWindow& window);

}  // namespace korvane
