#pragma once

#include <QObject>
#include <QWidget>

namespace korvane {

class DialogWindow;
class QtHost;

// Sends every key the user presses through the windows' keyboard filters
// before the focused widget sees it (a swallowed key never reaches it), and
// keeps each dialog's focus id on the control that has the focus.
class KeyRouter : public QObject {
  public:
    explicit KeyRouter(QtHost& host);
    ~KeyRouter() override;

    // The dialog window a widget belongs to, or null.
    static DialogWindow* OwningWindow(QWidget* widget);
    // The control id a widget (or one of its parents inside the window)
    // stands for; 0 when it is the window itself.
    static int ControlIdOf(QWidget* widget);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OnFocusChanged(QWidget* now);

    QtHost& host_;
};

// The property that marks a control's widget with its control id.
constexpr const char* kControlIdProperty = "korvaneControlId";

}  // namespace korvane
