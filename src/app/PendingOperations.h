#pragma once

#include <string>
#include <vector>

#include "app/MainWindowOperations.h"

namespace korvane {

// Stands in for the operations of subsystems not wired in yet: each does
// nothing visible and only notes its call, so the main window's order of
// calls can be checked. Replaced piece by piece as the network environment,
// tunnel, settings, logout and update work lands.
class PendingOperations : public MainWindowOperations {
  public:
    std::string ResolveAuthHost(const std::string& host_name) override;
    void AddFirewallExceptions() override;
    void PrepareTunnelEnvironment() override;
    bool CreateSettingsKey() override;
    int SendLogout(const std::string& mode) override;
    int ReportTunnelEnd(int code, const std::string& reason) override;
    int StopRasTunnel() override;
    void OpenVpnTimerTick() override;
    void CheckRasLink() override;
    void TickServiceTime() override;
    int OnRasStatus(int state, int error) override;
    void RunUpdateDialog() override;
    void RunOptionsDialog() override;

    // Every call so far, e.g. "SendLogout(user)".
    const std::vector<std::string>& calls() const { return calls_; }

    // What the stand-ins answer.
    std::string resolved_auth_host;
    bool settings_key_created = true;

  private:
    std::vector<std::string> calls_;
};

}  // namespace korvane
