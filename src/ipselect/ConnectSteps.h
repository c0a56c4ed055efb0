#pragma once

#include <string>

namespace korvane {

// What choosing an exit address needs from the session and tunnel sides of
// the main window. The main window implements it over its own operations;
// tests use a recording fake.
class ConnectSteps {
  public:
    virtual ~ConnectSteps() = default;

    // The login procedure with the session's auth_mode as it stands: 0 logged
    // in, negative when refused or failed (its messages already shown).
    virtual int RunLogin() = 0;
    // The connect procedure: 1 when the tunnel was started, negative when it
    // could not be (its messages already shown).
    virtual int ConnectTunnel() = 0;
    // Ends the tunnel program if one still runs.
    virtual void StopTunnelProgram() = 0;
    // Stops the connecting dialog's progress and hides the dialog.
    virtual void StopConnectingDialog() = 0;

    // The logout request with mode "user" or "vpn".
    virtual int SendLogout(const std::string& mode) = 0;
    // OpenVPN tear-down; ends in Idle. Code 4 with an empty reason sends no
    // failure report.
    virtual int ReportTunnelEnd(int code, const std::string& reason) = 0;
    // Remote-access tear-down; ends in Idle.
    virtual int StopRasTunnel() = 0;

    // The status panel's IP line (static 1035), redrawn at once.
    virtual void ShowStatusIpLine(const std::string& text) = 0;
};

}  // namespace korvane
