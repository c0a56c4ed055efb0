#include "ui/Dialog.h"

#include "ui/BasicControls.h"
#include "ui/Host.h"

namespace korvane {

Dialog::Dialog(Host& host, std::string name, int template_id)
    : host_(host), name_(std::move(name)), template_id_(template_id) {}

Dialog::~Dialog() {
    Destroy();
}

void Dialog::Create(Dialog* parent) {
    parent_ = parent;
    created_ = true;
    ended_ = false;
    host_.Register(*this);
    OnInitDialog();
}

int Dialog::DoModal(Dialog* parent) {
    return host_.RunModal(*this, parent);
}

void Dialog::BeginModal(Dialog* parent) {
    modal_ = true;
    Create(parent);
}

int Dialog::FinishModal() {
    const int result = ended_ ? result_ : kModalAbandoned;
    modal_ = false;
    Destroy();
    return result;
}

void Dialog::EndDialog(int result) {
    ended_ = true;
    result_ = result;
    // A modeless window only hides; a modal run ends in its host.
    if (!modal_) {
        Show(ShowMode::Hide);
    }
}

void Dialog::Destroy() {
    if (!created_) {
        return;
    }
    host_.KillTimers(*this);
    host_.Unregister(*this);
    created_ = false;
    visible_ = false;
}

void Dialog::Show(ShowMode mode) {
    switch (mode) {
        case ShowMode::Hide:
            visible_ = false;
            break;
        case ShowMode::Normal:
            visible_ = true;
            minimized_ = false;
            break;
        case ShowMode::Show:
            visible_ = true;
            break;
        case ShowMode::Minimize:
            visible_ = true;
            minimized_ = true;
            break;
    }
    NotifyWindow({WindowChangeKind::Shown, mode});
}

void Dialog::Move(const Rect& rect) {
    rect_ = rect;
    NotifyWindow({WindowChangeKind::Moved});
}

void Dialog::CenterOver(const Dialog& other) {
    const Rect& o = other.rect();
    Move({o.x + (o.width - rect_.width) / 2, o.y + (o.height - rect_.height) / 2, rect_.width,
          rect_.height});
}

void Dialog::SetTitle(std::string title) {
    title_ = std::move(title);
    NotifyWindow({WindowChangeKind::Titled});
}

void Dialog::RedrawNow() {
    NotifyWindow({WindowChangeKind::Redrawn});
}

Control* Dialog::Find(int id) const {
    for (const auto& control : controls_) {
        if (control->id() == id) {
            return control.get();
        }
    }
    return nullptr;
}

void Dialog::CheckRadioButton(int id) {
    const auto* chosen = Get<RadioButton>(id);
    if (chosen == nullptr) {
        return;
    }
    for (const auto& control : controls_) {
        auto* radio = dynamic_cast<RadioButton*>(control.get());
        if (radio != nullptr && radio->group() == chosen->group()) {
            radio->SetCheck(radio->id() == id);
        }
    }
}

void Dialog::SetFocus(int id) {
    focus_id_ = id;
    NotifyWindow({WindowChangeKind::Focus});
}

void Dialog::SetTimer(int id, int period_ms) {
    host_.SetTimer(*this, id, period_ms);
}

bool Dialog::KillTimer(int id) {
    return host_.KillTimer(*this, id);
}

void Dialog::DispatchCommand(int id) {
    const auto it = commands_.find(id);
    if (it != commands_.end()) {
        it->second();
    } else if (id == kIdOk) {
        OnOK();
    } else if (id == kIdCancel) {
        OnCancel();
    }
}

void Dialog::DispatchNotify(int id, Notification code) {
    const auto it = notifications_.find({id, code});
    if (it != notifications_.end()) {
        it->second();
    }
}

long Dialog::SendMessage(int message, long wparam, long lparam) {
    const auto it = messages_.find(message);
    return it != messages_.end() ? it->second(wparam, lparam) : 0;
}

bool Dialog::DispatchKey(const KeyEvent& event) {
    for (Dialog* d = this; d != nullptr; d = d->parent_) {
        if (d->PreTranslateKey(event)) {
            return true;
        }
    }
    DefaultKey(event);
    return false;
}

Dialog& Dialog::TopLevel() {
    Dialog* d = this;
    while (d->is_child && d->parent_ != nullptr) {
        d = d->parent_;
    }
    return *d;
}

void Dialog::DefaultKey(const KeyEvent& event) {
    Dialog& top = TopLevel();
    if (IsEnterDown(event)) {
        top.DispatchCommand(kIdOk);
    } else if (IsEscapeDown(event)) {
        top.DispatchCommand(kIdCancel);
    } else if (IsAltF4(event)) {
        top.DispatchSysCommand(SysCommand::Close);
    }
}

void Dialog::DefaultSysCommand(SysCommand command) {
    switch (command) {
        case SysCommand::Minimize:
            Show(ShowMode::Minimize);
            break;
        case SysCommand::Restore:
            Show(ShowMode::Normal);
            break;
        case SysCommand::Close:
            Close();
            break;
    }
}

void Dialog::MapCommand(int id, std::function<void()> handler) {
    commands_[id] = std::move(handler);
}

void Dialog::MapNotify(int id, Notification code, std::function<void()> handler) {
    notifications_[{id, code}] = std::move(handler);
}

void Dialog::MapMessage(int message, MessageHandler handler) {
    messages_[message] = std::move(handler);
}

void Dialog::ControlChanged(Control& control, ControlChange change) {
    // The template's own set-up before the window exists is not an event.
    if (created_) {
        host_.ControlChanged(*this, control, change);
    }
}

void Dialog::NotifyWindow(WindowChange change) {
    if (created_) {
        host_.WindowChanged(*this, change);
    }
}

void Dialog::AddControl(std::unique_ptr<Control> control) {
    control->AttachTo(this);
    controls_.push_back(std::move(control));
}

}  // namespace korvane
