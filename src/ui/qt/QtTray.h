#pragma once

#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <vector>

#include "ui/Host.h"

namespace korvane {

class Skin;

// The notification-area icon on QSystemTrayIcon. Mouse activity reaches the
// owner window as its callback message with the icon id and the mouse
// message, as the tray object expects.
class QtTray {
  public:
    using Deliver = std::function<void(const std::function<void()>&)>;

    QtTray(const Skin& skin, Deliver deliver);
    ~QtTray();

    // False when forced off (no notification area wanted) or there is none.
    bool available() const;
    void ForceUnavailable(bool off) { forced_off_ = off; }

    bool Add(const TrayIconRecord& record);
    bool Modify(const TrayIconRecord& record);
    bool Remove();
    bool present() const { return icon_ != nullptr; }
    QSystemTrayIcon* icon() const { return icon_.get(); }
    Dialog* owner() const { return owner_; }
    void ForgetOwner(const Dialog& dialog);

    // The mouse messages one activation stands for, in order.
    static std::vector<long> MouseMessages(QSystemTrayIcon::ActivationReason reason);

  private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void SetPicture(int number);

    const Skin& skin_;
    Deliver deliver_;
    bool forced_off_ = false;
    std::unique_ptr<QSystemTrayIcon> icon_;
    Dialog* owner_ = nullptr;
    int id_ = 0;
    int callback_message_ = 0;
};

}  // namespace korvane
