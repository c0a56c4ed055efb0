// The IP tabs' connect step and the connect procedure.
#include "tunnel/TunnelProcedures.h"

#include "app/CKorvaneDlg.h"
#include "app/MainWindowOperations.h"
#include "app/SessionContext.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/TapHardwareAddress.h"
#include "protocol/AccountInfo.h"
#include "tunnel/ConnectProgress.h"
#include "tunnel/TunnelSide.h"

namespace korvane {

TunnelProcedures::TunnelProcedures(CKorvaneDlg& main, AccountInfo& account, TunnelSide& tunnel,
                                   CNetworkMgmt& network, MainWindowOperations& operations,
                                   TunnelSeams seams)
    : main_(main),
      session_(main.session()),
      account_(account),
      tunnel_(tunnel),
      network_(network),
      operations_(operations),
      seams_(std::move(seams)) {
    if (!seams_.write_setting) {
        seams_.write_setting = [this](const std::string& name, const std::string& value) {
            tunnel_.settings().WriteValue(session_.registry_root, session_.registry_key, name, 1,
                                          value);
        };
    }
}

ConnectProgress* TunnelProcedures::progress() const {
    return dynamic_cast<ConnectProgress*>(main_.panels().connecting.get());
}

void TunnelProcedures::StopConnectingDialog() {
    if (ConnectProgress* p = progress()) {
        p->StopProgress();
    }
    if (Dialog* connecting = main_.panels().connecting.get()) {
        connecting->Show(ShowMode::Hide);
    }
}

int TunnelProcedures::ConnectToChosenIp() {
    if (session_.vpn_type == 1) {
        network_.SetConnectionEnabled(session_.tap_adapter_description, false);
    }
    session_.auth_mode = "vpn";
    if (!seams_.run_login || seams_.run_login() != 0) {
        return -2;
    }
    session_.state = SessionState::ConnectRequested;
    if (ConnectTunnel() < 0) {
        tunnel_.openvpn().Stop();
        StopConnectingDialog();
    }
    return 1;
}

int TunnelProcedures::ConnectTunnel() {
    tunnel_.RunProgramHook("IN_STOP");
    session_.state = SessionState::Connecting;
    if (ConnectProgress* p = progress()) {
        p->StartProgress();
    }
    switch (session_.vpn_type) {
        case 4:
            return ConnectOpenVpn();
        case 1:
        case 3:
            return ConnectRemoteAccess();
        default:
            return 1;
    }
}

int TunnelProcedures::ConnectOpenVpn() {
    const std::string& tap = session_.tap_adapter_description;
    network_.UnbindTapProtocols(tap);
    RefreshCertificate(session_, account_, tunnel_.file(), tunnel_.files(), seams_.download,
                       main_.panels().update_progress.get());
    if (tunnel_.files().WriteOpenVpnConfig() < 0 || tunnel_.files().WriteCredentialFile() < 0) {
        tunnel_.DeleteTunnelFiles();
        return -1;
    }
    ApplyTapHardwareAddress(network_, tap, account_.mac_addr);
    if (StartOpenVpnTunnel() < 0) {
        tunnel_.DeleteTunnelFiles();
        return -1;
    }
    return 1;
}

int TunnelProcedures::ConnectRemoteAccess() {
    if (tunnel_.WritePhonebook(session_.vpn_type, account_.has_zero_address) < 0) {
        return -1;
    }
    if (seams_.dial_ras && seams_.dial_ras() >= 0) {
        return 1;
    }
    operations_.StopRasTunnel();
    return -1;
}

}  // namespace korvane
