#include "ui/CBitmapButton.h"

namespace korvane {

void CBitmapButton::LoadBitmaps(int normal, int pressed) {
    normal_ = normal;
    pressed_ = pressed;
    Notify({ChangeKind::Bitmaps});
}

void CBitmapButton::SizeToContent() {
    sized_to_bitmap_ = true;
}

int CBitmapButton::ShownBitmap(bool pressed) const {
    if (pressed && pressed_ != 0) {
        return pressed_;
    }
    return normal_;
}

}  // namespace korvane
