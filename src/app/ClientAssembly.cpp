#include "app/ClientAssembly.h"

#include <functional>

#include "app/CKorvaneDlg.h"
#include "app/SessionOperations.h"
#include "app/SessionPanels.h"
#include "ipselect/CIpMgmtTab5Dlg.h"
#include "ipselect/DynamicIpTabDlg.h"
#include "ipselect/IpRequests.h"
#include "ipselect/IpSelection.h"
#include "platform/Platform.h"
#include "settings/CIPTabSetOptionDlg.h"
#include "tunnel/CVpnConnDlg.h"
#include "tunnel/RasTunnel.h"
#include "tunnel/RasWindowCalls.h"
#include "tunnel/TunnelProcedures.h"
#include "ui/CLogoutDlg.h"
#include "update/CUpdateMgmt.h"

namespace korvane {

namespace {

using IpChangeRequest = std::function<void(const std::string&)>;
using WindowCalls = RasWindowCallsOf<CVpnConnDlg, CLogoutDlg, IpChangeRequest>;

}  // namespace

// The phonebook writer needs the remote-access dialler, which needs the main
// window: until both exist the writer fails, as a dial without one would.
ClientAssembly::ClientAssembly(Parts parts)
    : parts_(parts),
      tunnel_(parts.session, parts.account, parts.platform, parts.network, parts.boxes,
              [this](int vpn_type, int has_zero_address) {
                  return ras_ ? ras_->WritePhonebook(vpn_type, has_zero_address) : -1;
              }) {}

ClientAssembly::~ClientAssembly() {
    DropWindowParts();
}

MainPanels ClientAssembly::MakePanels(CKorvaneDlg& main, SessionOperations& operations) {
    DropWindowParts();
    main_ = &main;
    operations_ = &operations;
    MainPanels panels = MakeSessionPanels(main, operations);

    // The main window takes the panels only once this returns.
    auto* connecting = dynamic_cast<CVpnConnDlg*>(panels.connecting.get());
    auto* status = dynamic_cast<CLogoutDlg*>(panels.status.get());
    requests_ = std::make_unique<IpRequests>(parts_.session, parts_.account, parts_.web, *this);
    IpChangeRequest request_change = [this](const std::string& code) {
        if (main_ != nullptr && requests_) {
            requests_->RequestIpChange(main_->host(), code);
        }
    };
    window_calls_ = std::make_unique<WindowCalls>(*connecting, *status, request_change);
    ras_ = std::make_unique<RasTunnel>(*parts_.platform.ras, *parts_.platform.environment, main,
                                       parts_.session, parts_.account, operations, tunnel_,
                                       *window_calls_);
    TunnelSeams seams;
    seams.run_login = [this] { return RunLogin(); };
    seams.dial_ras = [this] { return ras_->DialRasTunnel(); };
    seams.request_ip_change = request_change;
    seams.download = parts_.updates.AsDownloadFunction();
    procedures_ = std::make_unique<TunnelProcedures>(main, parts_.account, tunnel_, parts_.network,
                                                     operations, seams);
    selection_ = std::make_unique<IpSelection>(main, *this, *requests_, parts_.network);

    auto managed = std::make_unique<CIpMgmtTab5Dlg>(*selection_, parts_.account, parts_.settings,
                                                    parts_.random);
    auto service = std::make_unique<DynamicIpTabDlg>(*selection_, parts_.account, parts_.settings,
                                                     parts_.random);
    managed_tab_ = managed.get();
    service_tab_ = service.get();
    panels.managed_ip = std::move(managed);
    panels.service_ip = std::move(service);
    return panels;
}

// The main window drops its panels before it says it goes; what refers to
// the window goes with it.
void ClientAssembly::AttachMainWindow(CKorvaneDlg* main) {
    if (main == nullptr) {
        DropWindowParts();
        main_ = nullptr;
    }
}

void ClientAssembly::DropWindowParts() {
    managed_tab_ = nullptr;
    service_tab_ = nullptr;
    selection_.reset();
    procedures_.reset();
    ras_.reset();
    window_calls_.reset();
    requests_.reset();
}

void ClientAssembly::PrepareTunnelEnvironment() {
    tunnel_.PrepareTunnelEnvironment();
}

int ClientAssembly::StopRasTunnel() {
    return ras_ ? ras_->StopRasTunnel() : 1;
}

void ClientAssembly::OpenVpnTimerTick() {
    if (procedures_) {
        procedures_->OpenVpnTimerTick();
    }
}

void ClientAssembly::CheckRasLink() {
    if (ras_) {
        ras_->CheckRasLink();
    }
}

int ClientAssembly::OnRasStatus(int state, int error) {
    return ras_ ? ras_->OnRasStatus(state, error) : -1;
}

void ClientAssembly::RunOptionsDialog() {
    if (main_ == nullptr) {
        return;
    }
    CIPTabSetOptionDlg options(*main_, parts_.account, parts_.settings, parts_.network);
    options.DoModal(main_);
}

int ClientAssembly::RunLogin() {
    return operations_ ? operations_->RunLogin() : -1;
}

int ClientAssembly::ConnectTunnel() {
    return procedures_ ? procedures_->ConnectTunnel() : -1;
}

void ClientAssembly::StopTunnelProgram() {
    tunnel_.StopTunnelProgram();
}

void ClientAssembly::StopConnectingDialog() {
    if (main_ == nullptr) {
        return;
    }
    if (CVpnConnDlg* connecting = main_->connecting_dialog()) {
        connecting->StopProgress();
        connecting->Show(ShowMode::Hide);
    }
}

int ClientAssembly::SendLogout(const std::string& mode) {
    return operations_ ? operations_->SendLogout(mode) : -1;
}

int ClientAssembly::ReportTunnelEnd(int code, const std::string& reason) {
    return operations_ ? operations_->ReportTunnelEnd(code, reason) : -1;
}

void ClientAssembly::ShowStatusIpLine(const std::string& text) {
    if (main_ == nullptr) {
        return;
    }
    if (CLogoutDlg* status = main_->status_panel()) {
        status->SetLine(CLogoutDlg::kIpLine, text);
    }
}

int ClientAssembly::RequestIpPool() {
    return requests_ && main_ ? requests_->RequestIpPool(main_->host()) : -1;
}

void ClientAssembly::RefreshManagedIpList() {
    if (managed_tab_ != nullptr) {
        managed_tab_->FillIpLists();
    }
}

void ClientAssembly::RefreshServiceIpList() {
    if (service_tab_ != nullptr) {
        service_tab_->FillBandList();
    }
}

void ClientAssembly::ForgetRows() {
    for (IpListTab* tab :
         {static_cast<IpListTab*>(managed_tab_), static_cast<IpListTab*>(service_tab_)}) {
        if (tab != nullptr) {
            tab->ForgetChoices();
        }
    }
}

void ClientAssembly::ClearCurrentRows() {
    for (IpListTab* tab :
         {static_cast<IpListTab*>(managed_tab_), static_cast<IpListTab*>(service_tab_)}) {
        if (tab != nullptr) {
            tab->ClearCurrentRow();
        }
    }
}

}  // namespace korvane
