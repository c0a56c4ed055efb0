#pragma once

#include <string>

#include "ui/Host.h"

namespace korvane {

class Dialog;

// The program's icon in the notification area: its picture tells whether a
// tunnel is up, a click brings the main window back, and a small menu offers
// open and exit.
class CTrayIcon {
  public:
    static constexpr int kIconId = 129;
    static constexpr int kMenuResource = 129;
    static constexpr int kCallbackMessage = 1012;
    static constexpr int kIconDisconnected = 213;
    static constexpr int kIconConnected = 214;
    static constexpr int kCommandDefault = 32771;
    static constexpr int kCommandOpen = 32774;
    static constexpr int kCommandExit = 32775;
    static constexpr const char* kInitialTip = " Korvane 매니저 ";

    explicit CTrayIcon(Host& host) : host_(host) {}
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // 1 when the icon was added; 0 when there is no notification area or the
    // owner is not a window.
    int Create(Dialog* owner);
    void SetTooltip(const std::string& text);
    void SetIcon(int resource);
    void RemoveIcon();
    // The owner hands every callback here; 0 when it is not for this icon.
    int OnTrayNotification(long id, long mouse_message);

    bool enabled() const { return enabled_; }
    const TrayIconRecord& record() const { return record_; }

    // Menu resource 129.
    static PopupMenu Menu();

  private:
    Host& host_;
    bool enabled_ = false;
    TrayIconRecord record_;
};

// Cuts `text` to at most `limit` bytes without splitting a UTF-8 character.
std::string FitTipText(const std::string& text, std::size_t limit);

}  // namespace korvane
