#pragma once

#include <string>

namespace korvane {

class CKorvaneDlg;
struct SessionServices;

// The two operations that end things: the logout sent to the service, and
// the OpenVPN tear-down with its failure report.
class LogoutAndReport {
  public:
    LogoutAndReport(SessionServices& services, CKorvaneDlg& main);

    // Tells the service the session (mode "user") or the tunnel session
    // ("vpn") is over and resets the status panel's time and IP lines.
    // Changes no state. Returns 0.
    int SendLogout(const std::string& mode);

    // Tears the OpenVPN tunnel down and ends in Idle; code 0 (a failure)
    // also reports the reason with the tunnel log before the log goes.
    // Returns 1.
    int ReportTunnelEnd(int code, const std::string& reason);

    // The event text of a failure report.
    std::string BuildEventText(const std::string& reason) const;

  private:
    void SendFailureReport(const std::string& reason);

    SessionServices& services_;
    CKorvaneDlg& main_;
};

}  // namespace korvane
