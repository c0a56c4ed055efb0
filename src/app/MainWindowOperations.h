#pragma once

#include <string>

namespace korvane {

class CKorvaneDlg;

// The main window's operations that other subsystems own. The main window
// calls them in the order its start-up, message map, timers and exit paths
// fix; each subsystem supplies its part when it is wired in. Until then
// PendingOperations stands in.
class MainWindowOperations {
  public:
    virtual ~MainWindowOperations() = default;

    // The main window announces itself when it is constructed (before its
    // panels are built) and with null when it goes; the operations that
    // write to its panels reach it through this.
    virtual void AttachMainWindow(CKorvaneDlg* /*main*/) {}

    // Start-up.
    // The authentication host's dotted address, empty when it cannot be
    // resolved (network environment).
    virtual std::string ResolveAuthHost(const std::string& host_name) = 0;
    // Firewall exceptions for the program and the tunnel (network environment).
    virtual void AddFirewallExceptions() = 0;
    // Folders, tunnel file names, tunnel kind and session defaults (tunnels).
    virtual void PrepareTunnelEnvironment() = 0;
    // Creates (or opens) the settings key and closes it; false on failure
    // (settings).
    virtual bool CreateSettingsKey() = 0;

    // Session.
    virtual int SendLogout(const std::string& mode) = 0;
    virtual int ReportTunnelEnd(int code, const std::string& reason) = 0;
    virtual int StopRasTunnel() = 0;
    // Timer 1 with an OpenVPN tunnel: OnOpenVpnTick with the log check result.
    virtual void OpenVpnTimerTick() = 0;
    // Timer 1 with a remote-access tunnel.
    virtual void CheckRasLink() = 0;
    // Timer 3.
    virtual void TickServiceTime() = 0;
    // Message 1224: a remote-access status notification.
    virtual int OnRasStatus(int state, int error) = 0;

    // Commands of the main window's buttons that open dialogs.
    virtual void RunUpdateDialog() = 0;
    virtual void RunOptionsDialog() = 0;
};

}  // namespace korvane
