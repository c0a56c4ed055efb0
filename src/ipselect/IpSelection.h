#pragma once

#include <string>

namespace korvane {

class CKorvaneDlg;
class CNetworkMgmt;
class ConnectSteps;
class IpRequests;

// The status panel's IP line while no tunnel is up.
inline constexpr char kChooseAddressPrompt[] = "사용하실 아이피를 선택후 더블클릭 해주세요";

// What both IP tabs do once the user has picked an address and ip_code names
// it: move the running tunnel, or connect (again) through a login that names
// the address. Also the main window's redial on timer 12, which it hooks in
// for the object's life.
class IpSelection {
  public:
    IpSelection(CKorvaneDlg& main, ConnectSteps& steps, IpRequests& requests,
                CNetworkMgmt& network);
    ~IpSelection();
    IpSelection(const IpSelection&) = delete;
    IpSelection& operator=(const IpSelection&) = delete;

    // Not connected: connect, and start timer 12 when reconnection is on.
    // Connected with one-click change on: ask the service to move the tunnel.
    // Otherwise: tear the tunnel down and connect again (no timer 12).
    void ApplyChosenIp();
    // Connected: logout "vpn" and the tunnel's tear-down. Always: the IP line
    // back to the prompt.
    void DisconnectForIpChange();
    // The connect step: -2 when the login failed, otherwise 1.
    int ConnectToChosenIp();

    // A timer-12 event that counted an attempt: with attempts left and no
    // tunnel up or being started, connect again to the last chosen address.
    void OnRedialAttempt();

    CKorvaneDlg& main_window() { return main_; }
    IpRequests& requests() { return requests_; }

  private:
    CKorvaneDlg& main_;
    ConnectSteps& steps_;
    IpRequests& requests_;
    CNetworkMgmt& network_;
};

}  // namespace korvane
