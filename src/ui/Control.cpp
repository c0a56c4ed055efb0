#include "ui/Control.h"

#include <utility>

#include "ui/Dialog.h"

namespace korvane {

const char* ControlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Static:
            return "static";
        case ControlKind::FontStatic:
            return "fontstatic";
        case ControlKind::Edit:
            return "edit";
        case ControlKind::CheckBox:
            return "checkbox";
        case ControlKind::Radio:
            return "radio";
        case ControlKind::PushButton:
            return "button";
        case ControlKind::BitmapButton:
            return "bitmapbutton";
        case ControlKind::ListView:
            return "listview";
        case ControlKind::DropList:
            return "droplist";
        case ControlKind::Progress:
            return "progress";
        case ControlKind::Browser:
            return "browser";
    }
    return "control";
}

Control::Control(int id, ControlKind kind, std::string text)
    : id_(id), kind_(kind), text_(std::move(text)) {}

void Control::SetText(std::string text) {
    text_ = std::move(text);
    Notify({ChangeKind::Text});
}

void Control::Show(bool visible) {
    visible_ = visible;
    Notify({ChangeKind::Visible});
}

void Control::Enable(bool enabled) {
    enabled_ = enabled;
    Notify({ChangeKind::Enabled});
}

void Control::Move(const Rect& rect) {
    rect_ = rect;
    Notify({ChangeKind::Moved});
}

void Control::RedrawNow() {
    Notify({ChangeKind::Redraw});
}

void Control::Notify(ControlChange change) {
    if (owner_ != nullptr) {
        owner_->ControlChanged(*this, change);
    }
}

void Control::AttachTo(Dialog* owner) {
    owner_ = owner;
    OnAttached();
}

}  // namespace korvane
