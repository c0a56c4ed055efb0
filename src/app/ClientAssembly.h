#pragma once

#include <memory>
#include <string>

#include "app/IpSelectionSteps.h"
#include "app/MainPanels.h"
#include "app/MainWindowOperations.h"
#include "ipselect/ConnectSteps.h"
#include "tunnel/TunnelSide.h"

namespace korvane {

class CIpMgmtTab5Dlg;
class CKorvaneDlg;
class CNetworkMgmt;
class CRegCtrl;
class CUpdateMgmt;
class CWebMgmt;
class DynamicIpTabDlg;
class IpRequests;
class IpSelection;
class MessageBoxPort;
class Random;
class RasTunnel;
class RasWindowCalls;
class SessionOperations;
class TunnelProcedures;
struct AccountInfo;
struct Platform;
struct SessionContext;

// The program's tunnel and IP selection side joined to the session side: the
// tunnel objects that live as long as the program, and those that need the
// main window, built by the panel factory and dropped when the window goes.
class ClientAssembly : public MainWindowOperations, public ConnectSteps, public IpSelectionSteps {
  public:
    struct Parts {
        SessionContext& session;
        AccountInfo& account;
        const Platform& platform;
        CWebMgmt& web;
        CNetworkMgmt& network;
        CRegCtrl& settings;
        CUpdateMgmt& updates;
        Random& random;
        MessageBoxPort& boxes;
    };

    explicit ClientAssembly(Parts parts);
    ~ClientAssembly() override;
    ClientAssembly(const ClientAssembly&) = delete;
    ClientAssembly& operator=(const ClientAssembly&) = delete;

    TunnelSide& tunnel() { return tunnel_; }

    // The panel factory: the session panels, then the IP tabs and the
    // main-window objects of the tunnel side.
    MainPanels MakePanels(CKorvaneDlg& main, SessionOperations& operations);

    // --- MainWindowOperations: the tunnel side of the main window ---
    void AttachMainWindow(CKorvaneDlg* main) override;
    std::string ResolveAuthHost(const std::string&) override { return {}; }
    void AddFirewallExceptions() override {}
    bool CreateSettingsKey() override { return true; }
    void TickServiceTime() override {}
    void RunUpdateDialog() override {}
    void PrepareTunnelEnvironment() override;
    int StopRasTunnel() override;
    void OpenVpnTimerTick() override;
    void CheckRasLink() override;
    int OnRasStatus(int state, int error) override;
    void RunOptionsDialog() override;

    // --- ConnectSteps ---
    int RunLogin() override;
    int ConnectTunnel() override;
    void StopTunnelProgram() override;
    void StopConnectingDialog() override;
    int SendLogout(const std::string& mode) override;
    int ReportTunnelEnd(int code, const std::string& reason) override;
    void ShowStatusIpLine(const std::string& text) override;

    // --- IpSelectionSteps ---
    int RequestIpPool() override;
    void RefreshManagedIpList() override;
    void RefreshServiceIpList() override;
    void ForgetRows() override;
    void ClearCurrentRows() override;

  private:
    void DropWindowParts();

    Parts parts_;
    TunnelSide tunnel_;
    CKorvaneDlg* main_ = nullptr;
    SessionOperations* operations_ = nullptr;
    // Built with the main window's panels; the order is the order of
    // construction, torn down in reverse.
    std::unique_ptr<RasWindowCalls> window_calls_;
    std::unique_ptr<RasTunnel> ras_;
    std::unique_ptr<TunnelProcedures> procedures_;
    std::unique_ptr<IpRequests> requests_;
    std::unique_ptr<IpSelection> selection_;
    CIpMgmtTab5Dlg* managed_tab_ = nullptr;
    DynamicIpTabDlg* service_tab_ = nullptr;
};

}  // namespace korvane
