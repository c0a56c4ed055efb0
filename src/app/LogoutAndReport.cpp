#include "app/LogoutAndReport.h"

#include <cstdio>

#include "app/CKorvaneDlg.h"
#include "app/SessionContext.h"
#include "app/SessionServices.h"
#include "app/TunnelOperations.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/RoutePlans.h"
#include "netenv/SystemInfo.h"
#include "protocol/CWebMgmt.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"
#include "settings/CFileMgmt.h"
#include "tunnel/CVpnConnDlg.h"
#include "ui/CLogoutDlg.h"
#include "ui/CTrayIcon.h"

namespace korvane {

LogoutAndReport::LogoutAndReport(SessionServices& services, CKorvaneDlg& main)
    : services_(services), main_(main) {}

int LogoutAndReport::SendLogout(const std::string& mode) {
    const SessionContext& s = services_.session;
    const std::string record = RequestRecord::Logout(s.ccver, s.user_id, s.client_code, mode);
    services_.web.PostForm("http://" + s.auth_host + "/ClientLogin/client_logout.php",
                           "bin=" + EncodeForWire(record));
    if (CLogoutDlg* status = main_.status_panel()) {
        status->SetLine(CLogoutDlg::kTimeLine, CLogoutDlg::kZeroTime);
        status->SetLine(CLogoutDlg::kIpLine, CLogoutDlg::kIpPrompt);
        status->Find(CLogoutDlg::kDisconnectButton)->Show(false);
    }
    return 0;
}

int LogoutAndReport::ReportTunnelEnd(int code, const std::string& reason) {
    main_.KillTimer(CKorvaneDlg::kTimerServiceTime);
    main_.KillTimer(CKorvaneDlg::kTimerTunnelCheck);
    services_.tunnel.StopTunnelProgram();
    services_.session.state = SessionState::Idle;
    MainWindowState& fields = main_.fields();
    RestoreBaseDefaultRoute(services_.network, fields.base_route, services_.session);
    fields.tunnel_routes_applied = 0;
    if (CVpnConnDlg* dialog = main_.connecting_dialog()) {
        dialog->ResetProgress();
        dialog->StopProgress();
        dialog->Show(ShowMode::Hide);
    }
    if (main_.panels().login) {
        if (Control* login = main_.panels().login->Find(1007)) {
            login->Enable(true);
        }
    }
    main_.tray().SetIcon(CTrayIcon::kIconDisconnected);
    if (code == 0) {
        SendFailureReport(reason);
    }
    // The log goes only now that it has been reported.
    services_.tunnel.DeleteTunnelFiles();
    services_.tunnel.RunProgramHook("OUT_START");
    services_.tunnel.RunProgramHook("OUT_STOP");
    return 1;
}

std::string LogoutAndReport::BuildEventText(const std::string& reason) const {
    const SessionContext& s = services_.session;
    std::string log;
    CFileMgmt().ReadAllLines(s.program_dir + "/" + s.tunnel_log, log);
    char version[128];
    std::snprintf(version, sizeof version, "<<<<<<  Version =  %d  ", s.ccver);
    return version + reason + " >>>>>>\r\n" +
           BuildSystemInfo(services_.network.network(), services_.network.system()) + "\r\n" + log;
}

void LogoutAndReport::SendFailureReport(const std::string& reason) {
    const SessionContext& s = services_.session;
    const std::string record =
        RequestRecord::EventReport(s.client_code, s.user_long_id, BuildEventText(reason));
    services_.web.PostForm("http://" + s.auth_host + "/ClientLogin/client_event_v1.php",
                           "bin=" + EncodeForWire(record));
}

}  // namespace korvane
