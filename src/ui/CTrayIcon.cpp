#include "ui/CTrayIcon.h"

#include "ui/Dialog.h"
#include "ui/WindowMessages.h"

namespace korvane {

std::string FitTipText(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    std::size_t end = limit;
    // Step back over continuation bytes to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

PopupMenu CTrayIcon::Menu() {
    PopupMenu menu;
    menu.resource = kMenuResource;
    menu.items = {{kCommandDefault, "zivevo", false, false},
                  {0, "", true, false},
                  {kCommandOpen, "열기", false, false},
                  {kCommandExit, "끝내기", false, false}};
    return menu;
}

CTrayIcon::~CTrayIcon() {
    RemoveIcon();
}

int CTrayIcon::Create(Dialog* owner) {
    enabled_ = false;
    if (owner == nullptr || !owner->created() || !host_.TrayAvailable()) {
        return 0;
    }
    record_ = TrayIconRecord{};
    record_.owner = owner;
    record_.id = kIconId;
    record_.flags =
        TrayIconRecord::kFlagMessage | TrayIconRecord::kFlagIcon | TrayIconRecord::kFlagTip;
    record_.callback_message = kCallbackMessage;
    record_.icon = 0;
    record_.tip = kInitialTip;
    enabled_ = host_.AddTrayIcon(record_);
    return enabled_ ? 1 : 0;
}

void CTrayIcon::SetTooltip(const std::string& text) {
    if (!enabled_) {
        return;
    }
    record_.flags = TrayIconRecord::kFlagTip;
    record_.tip = FitTipText(text, TrayIconRecord::kTipLimit);
    host_.ModifyTrayIcon(record_);
}

void CTrayIcon::SetIcon(int resource) {
    if (!enabled_) {
        return;
    }
    record_.flags = TrayIconRecord::kFlagIcon;
    record_.icon = resource;
    host_.ModifyTrayIcon(record_);
}

void CTrayIcon::RemoveIcon() {
    if (!enabled_) {
        return;
    }
    record_.flags = 0;
    host_.DeleteTrayIcon(record_);
    enabled_ = false;
}

int CTrayIcon::OnTrayNotification(long id, long mouse_message) {
    if (id != kIconId) {
        return 0;
    }
    Dialog* owner = record_.owner;
    if (owner == nullptr) {
        return 1;
    }
    if (mouse_message == kMouseRightUp) {
        PopupMenu menu = Menu();
        menu.items.front().is_default = true;
        host_.SetForegroundWindow(*owner);
        const int command = host_.TrackPopupMenu(menu, *owner);
        if (command != 0) {
            owner->DispatchCommand(command);
        }
        // The menu closes properly when the user clicks elsewhere only after
        // the owner has seen one more message; that message has no handler.
        owner->SendMessage(kUserMessage, 0, 0);
        return 1;
    }
    if (mouse_message == kMouseLeftDoubleClick) {
        host_.SetForegroundWindow(*owner);
        owner->DispatchCommand(Menu().items.front().id);
        return 1;
    }
    return 1;
}

}  // namespace korvane
