#include "app/SessionOperations.h"

#include "app/CKorvaneDlg.h"
#include "app/LoginProcedure.h"
#include "app/LogoutAndReport.h"
#include "app/ServiceTime.h"
#include "app/SessionContext.h"
#include "netenv/AddressText.h"
#include "netenv/CNetworkMgmt.h"
#include "platform/Environment.h"
#include "settings/CRegCtrl.h"
#include "update/CUpdateDlg.h"

namespace korvane {

SessionOperations::SessionOperations(SessionServices services, MainWindowOperations& tunnel_side)
    : services_(services), tunnel_side_(&tunnel_side) {}

SessionOperations::~SessionOperations() = default;

void SessionOperations::AttachMainWindow(CKorvaneDlg* main) {
    main_ = main;
    login_.reset();
    service_time_.reset();
    logout_.reset();
    if (main != nullptr) {
        login_ = std::make_unique<LoginProcedure>(services_, *main, *this);
        service_time_ = std::make_unique<ServiceTime>(services_, *main, *this);
        logout_ = std::make_unique<LogoutAndReport>(services_, *main);
    }
    tunnel_side_->AttachMainWindow(main);
}

// A dotted address names itself; only names go to the resolver.
std::string SessionOperations::ResolveAuthHost(const std::string& host_name) {
    Ipv4 address = 0;
    if (ParseDottedAddress(host_name, address)) {
        return FormatDottedAddress(address);
    }
    return services_.network.ResolveAuthHost(host_name);
}

// Runs before the tunnel environment names program_dir, so the folder comes
// from the environment itself.
void SessionOperations::AddFirewallExceptions() {
    services_.network.AddFirewallExceptions(services_.environment.ProgramFolder());
}

bool SessionOperations::CreateSettingsKey() {
    const SessionContext& s = services_.session;
    return services_.settings.CreateKey(s.registry_root, s.registry_key) == 1;
}

int SessionOperations::SendLogout(const std::string& mode) {
    return logout_ ? logout_->SendLogout(mode) : 0;
}

int SessionOperations::ReportTunnelEnd(int code, const std::string& reason) {
    return logout_ ? logout_->ReportTunnelEnd(code, reason) : 1;
}

void SessionOperations::TickServiceTime() {
    if (service_time_) {
        service_time_->TickServiceTime();
    }
}

int SessionOperations::RefreshAccountInfo() {
    return service_time_ ? service_time_->RefreshAccountInfo() : -1;
}

int SessionOperations::RunLogin() {
    return login_ ? login_->RunLogin() : -1;
}

int SessionOperations::SendLoginRequest() {
    return login_ ? login_->SendLoginRequest() : -1;
}

void SessionOperations::CompletePanelLogin() {
    if (login_) {
        login_->CompletePanelLogin();
    }
}

void SessionOperations::RunUpdateDialog() {
    if (main_ == nullptr) {
        return;
    }
    CKorvaneDlg& main = *main_;
    UpdateDialogServices update{services_.session,
                                services_.account,
                                services_.web,
                                services_.updates,
                                services_.commands,
                                main.panels().update_progress.get(),
                                [&main] {
                                    main.tray().RemoveIcon();
                                    main.Close();
                                }};
    CUpdateDlg dialog(main.host(), std::move(update));
    dialog.DoModal(&main);
}

void SessionOperations::PrepareTunnelEnvironment() {
    tunnel_side_->PrepareTunnelEnvironment();
}

int SessionOperations::StopRasTunnel() {
    return tunnel_side_->StopRasTunnel();
}

void SessionOperations::OpenVpnTimerTick() {
    tunnel_side_->OpenVpnTimerTick();
}

void SessionOperations::CheckRasLink() {
    tunnel_side_->CheckRasLink();
}

int SessionOperations::OnRasStatus(int state, int error) {
    return tunnel_side_->OnRasStatus(state, error);
}

void SessionOperations::RunOptionsDialog() {
    tunnel_side_->RunOptionsDialog();
}

}  // namespace korvane
