#pragma once

#include <memory>
#include <string>

#include "app/LoginPanelActions.h"
#include "app/MainWindowOperations.h"
#include "app/SessionServices.h"

namespace korvane {

class LoginProcedure;
class LogoutAndReport;
class ServiceTime;

// The main window's operations, done for real on the session side: start-up
// (host, firewall, settings key), login, service time, logout, report and the
// update dialog. The calls the tunnel and remote-access side owns go to a
// delegate, which the program replaces when that side is wired in.
class SessionOperations : public MainWindowOperations, public LoginPanelActions {
  public:
    SessionOperations(SessionServices services, MainWindowOperations& tunnel_side);
    ~SessionOperations() override;

    void SetTunnelSide(MainWindowOperations& tunnel_side) { tunnel_side_ = &tunnel_side; }
    void AttachMainWindow(CKorvaneDlg* main) override;
    CKorvaneDlg* main_window() const { return main_; }
    SessionServices& services() { return services_; }

    // Session side.
    std::string ResolveAuthHost(const std::string& host_name) override;
    void AddFirewallExceptions() override;
    bool CreateSettingsKey() override;
    int SendLogout(const std::string& mode) override;
    int ReportTunnelEnd(int code, const std::string& reason) override;
    void TickServiceTime() override;
    void RunUpdateDialog() override;
    int RunLogin() override;
    void CompletePanelLogin() override;
    int SendLoginRequest();
    int RefreshAccountInfo();

    // Tunnel and remote-access side, forwarded.
    void PrepareTunnelEnvironment() override;
    int StopRasTunnel() override;
    void OpenVpnTimerTick() override;
    void CheckRasLink() override;
    int OnRasStatus(int state, int error) override;
    void RunOptionsDialog() override;

  private:
    SessionServices services_;
    MainWindowOperations* tunnel_side_;
    CKorvaneDlg* main_ = nullptr;
    std::unique_ptr<LoginProcedure> login_;
    std::unique_ptr<ServiceTime> service_time_;
    std::unique_ptr<LogoutAndReport> logout_;
};

}  // namespace korvane
