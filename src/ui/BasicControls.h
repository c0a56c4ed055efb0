#pragma once

#include <string>

#include "ui/Control.h"

namespace korvane {

// The plain controls: a static label, an edit, push button, check box and
// radio button. Their state is the text, the check mark and the radio group.

class StaticText : public Control {
  public:
    explicit StaticText(int id, std::string text = {})
        : Control(id, ControlKind::Static, std::move(text)) {}
};

class Edit : public Control {
  public:
    explicit Edit(int id, bool password = false)
        : Control(id, ControlKind::Edit), password_(password) {}
    // Password edits show bullets; the text itself is kept as typed.
    bool password() const { return password_; }

  private:
    bool password_;
};

class PushButton : public Control {
  public:
    explicit PushButton(int id, std::string text = {})
        : Control(id, ControlKind::PushButton, std::move(text)) {}
};

class CheckBox : public Control {
  public:
    explicit CheckBox(int id, std::string text = {})
        : Control(id, ControlKind::CheckBox, std::move(text)) {}

    bool checked() const { return checked_; }
    void SetCheck(bool checked);

  protected:
    CheckBox(int id, ControlKind kind, std::string text) : Control(id, kind, std::move(text)) {}

  private:
    bool checked_ = false;
};

// Radio buttons of one group exclude each other when the user clicks one;
// SetCheck from the program touches only the button it is called on.
class RadioButton : public CheckBox {
  public:
    RadioButton(int id, int group, std::string text = {})
        : CheckBox(id, ControlKind::Radio, std::move(text)), group_(group) {}
    int group() const { return group_; }

  private:
    int group_;
};

}  // namespace korvane
