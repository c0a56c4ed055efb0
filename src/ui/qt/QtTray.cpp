#include "ui/qt/QtTray.h"

#include "ui/Dialog.h"
#include "ui/WindowMessages.h"
#include "ui/qt/Skin.h"

namespace korvane {

QtTray::QtTray(const Skin& skin, Deliver deliver) : skin_(skin), deliver_(std::move(deliver)) {}

QtTray::~QtTray() = default;

bool QtTray::available() const {
    return !forced_off_ && QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTray::Add(const TrayIconRecord& record) {
    if (!available() || icon_ != nullptr || record.owner == nullptr) {
        return false;
    }
    icon_ = std::make_unique<QSystemTrayIcon>();
    owner_ = record.owner;
    id_ = record.id;
    callback_message_ = record.callback_message;
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
    if ((record.flags & TrayIconRecord::kFlagIcon) != 0) {
        SetPicture(record.icon);
    }
    if ((record.flags & TrayIconRecord::kFlagTip) != 0) {
        icon_->setToolTip(QString::fromStdString(record.tip));
    }
    return true;
}

bool QtTray::Modify(const TrayIconRecord& record) {
    if (icon_ == nullptr) {
        return false;
    }
    if ((record.flags & TrayIconRecord::kFlagTip) != 0) {
        icon_->setToolTip(QString::fromStdString(record.tip));
    }
    if ((record.flags & TrayIconRecord::kFlagIcon) != 0) {
        SetPicture(record.icon);
    }
    return true;
}

bool QtTray::Remove() {
    if (icon_ == nullptr) {
        return false;
    }
    icon_->hide();
    icon_.reset();
    owner_ = nullptr;
    return true;
}

void QtTray::ForgetOwner(const Dialog& dialog) {
    if (owner_ == &dialog) {
        Remove();
    }
}

// The notification area refuses an icon without a picture; it appears with
// its first one.
void QtTray::SetPicture(int number) {
    icon_->setIcon(skin_.Icon(number));
    if (!icon_->isVisible() && !icon_->icon().isNull()) {
        icon_->show();
    }
}

std::vector<long> QtTray::MouseMessages(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return {kMouseLeftDown, kMouseLeftUp};
        // The first click of a double-click has come as a trigger already.
        case QSystemTrayIcon::DoubleClick:
            return {kMouseLeftDoubleClick, kMouseLeftUp};
        case QSystemTrayIcon::Context:
            return {kMouseRightDown, kMouseRightUp};
        default:
            return {};
    }
}

void QtTray::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    for (long mouse : MouseMessages(reason)) {
        deliver_([this, mouse] {
            // A window message of an earlier click may have removed the icon.
            if (owner_ != nullptr) {
                owner_->SendMessage(callback_message_, id_, mouse);
            }
        });
    }
}

}  // namespace korvane
