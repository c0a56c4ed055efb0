#include "ipselect/IpSelection.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "app/CKorvaneDlg.h"
#include "app/SessionContext.h"
#include "ipselect/ConnectSteps.h"
#include "ipselect/IpRequests.h"
#include "netenv/CNetworkMgmt.h"

namespace korvane {

IpSelection::IpSelection(CKorvaneDlg& main, ConnectSteps& steps, IpRequests& requests,
                         CNetworkMgmt& network)
    : main_(main), steps_(steps), requests_(requests), network_(network) {
    main_.on_redial_attempt = [this] { OnRedialAttempt(); };
}

IpSelection::~IpSelection() {
    main_.on_redial_attempt = nullptr;
}

void IpSelection::ApplyChosenIp() {
    SessionContext& session = main_.session();
    if (session.state != SessionState::Connected) {
        ConnectToChosenIp();
        // Whatever the connect step gave: a failed first attempt is what the
        // redials are for.
        const MainWindowState& fields = main_.fields();
        if (fields.reconnect_switch == 1 && fields.redial_interval_seconds > 0) {
            const std::int64_t period = std::min<std::int64_t>(
                std::int64_t{fields.redial_interval_seconds} * 1000, INT_MAX);
            main_.SetTimer(CKorvaneDlg::kTimerRedial, static_cast<int>(period));
        }
        return;
    }
    if (session.ip_change_type == 1) {
        requests_.RequestIpChange(main_.host(), session.ip_code);
        return;
    }
    DisconnectForIpChange();
    ConnectToChosenIp();
}

void IpSelection::DisconnectForIpChange() {
    SessionContext& session = main_.session();
    if (session.state == SessionState::Connected) {
        steps_.SendLogout("vpn");
        if (session.vpn_type == 4) {
            steps_.ReportTunnelEnd(4, "");
        } else {
            steps_.StopRasTunnel();
        }
    }
    steps_.ShowStatusIpLine(kChooseAddressPrompt);
}

int IpSelection::ConnectToChosenIp() {
    SessionContext& session = main_.session();
    if (session.vpn_type == 1) {
        network_.SetConnectionEnabled(session.tap_adapter_description, false);
    }
    session.auth_mode = "vpn";
    if (steps_.RunLogin() < 0) {
        return -2;
    }
    session.state = SessionState::ConnectRequested;
    if (steps_.ConnectTunnel() < 0) {
        steps_.StopTunnelProgram();
        steps_.StopConnectingDialog();
        // A start that failed while preparing leaves nothing running; left in
        // Connecting the session would refuse every later login.
        if (session.state == SessionState::Connecting) {
            session.state = SessionState::Idle;
        }
    }
    return 1;
}

void IpSelection::OnRedialAttempt() {
    const MainWindowState& fields = main_.fields();
    // The event that went over the count only stopped the timer.
    if (fields.reconnect_switch != 1 || fields.redial_attempts > fields.redial_count) {
        return;
    }
    // An attempt still under way is left to its own monitor.
    const SessionState state = main_.session().state;
    if (state != SessionState::Idle && state != SessionState::LoggedIn) {
        return;
    }
    ConnectToChosenIp();
}

}  // namespace korvane
