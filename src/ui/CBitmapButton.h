#pragma once

#include <string>

#include "ui/Control.h"

namespace korvane {

// An owner-drawn push button showing one bitmap resource normally and another
// while pressed. Bitmaps are resource numbers of the skin; 0 means none.
class CBitmapButton : public Control {
  public:
    explicit CBitmapButton(int id, std::string text = {})
        : Control(id, ControlKind::BitmapButton, std::move(text)) {}

    void LoadBitmaps(int normal, int pressed);
    // The button takes the size of its normal bitmap when the host draws it.
    void SizeToContent();

    int normal_bitmap() const { return normal_; }
    int pressed_bitmap() const { return pressed_; }
    bool sized_to_bitmap() const { return sized_to_bitmap_; }

    // The bitmap to draw. A missing pressed image shows the normal one, so a
    // press never blanks the button.
    int ShownBitmap(bool pressed) const;

  private:
    int normal_ = 0;
    int pressed_ = 0;
    bool sized_to_bitmap_ = false;
};

}  // namespace korvane
