#pragma once

#include <string>

#include "ui/Dialog.h"

namespace korvane {

class CKorvaneDlg;
class IpSelectionSteps;

// The status panel: who is logged in, the end date, the connected time and
// the exit address, a banner, and the logout, extend/purchase and
// disconnect buttons. Its lines are written by the procedures that own the
// values.
class CLogoutDlg : public Dialog {
  public:
    static constexpr int kTemplate = 131;
    static constexpr int kBackground = 149;

    static constexpr int kUserLine = 1038;
    static constexpr int kPlanLine = 1037;
    static constexpr int kEndDateLine = 1036;
    static constexpr int kTimeLine = 1034;
    static constexpr int kIpLine = 1035;
    static constexpr int kLogoutButton = 1029;
    static constexpr int kPurchaseButton = 1030;
    static constexpr int kDisconnectButton = 1012;
    static constexpr int kLayoutButton = 1003;
    static constexpr int kBrowser = 1010;

    static constexpr const char* kIpPrompt = "사용하실 아이피를 선택후 더블클릭 해주세요";
    static constexpr const char* kZeroTime = "0:00:00";

    CLogoutDlg(CKorvaneDlg& main, IpSelectionSteps& ip_selection);

    // Sets a line's text and repaints it at once.
    void SetLine(int id, const std::string& text);
    // The tunnel is up: the disconnect button appears with its own pictures.
    void ShowConnectedLook();

  protected:
    bool OnInitDialog() override;
    bool PreTranslateKey(const KeyEvent& event) override;

  private:
    void OnLogout();
    void OnDisconnect();
    void StopReconnectTimers();
    void TearDownTunnel();

    CKorvaneDlg& main_;
    IpSelectionSteps& ip_selection_;
};

}  // namespace korvane
