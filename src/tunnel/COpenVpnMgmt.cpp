#include "tunnel/COpenVpnMgmt.h"

#include "app/CKorvaneDlg.h"
#include "app/SessionContext.h"
#include "platform/ProcessPort.h"
#include "tunnel/OpenVpnLog.h"
#include "ui/MessageBoxPort.h"

namespace korvane {

std::string TunnelFilePath(const SessionContext& session, const std::string& name) {
    return session.program_dir.empty() ? name : session.program_dir + "/" + name;
}

COpenVpnMgmt::COpenVpnMgmt(SessionContext& session, ProcessPort& processes, MessageBoxPort& boxes)
    : session_(session), processes_(processes), boxes_(boxes), monitor_(processes) {}

int COpenVpnMgmt::Start() {
    LaunchRequest request;
    request.command_line = session_.tunnel_program + " --config " + session_.tunnel_config +
                           " --log " + session_.tunnel_log + " " + session_.auth_file;
    // The names are relative: the program runs where its files are.
    request.working_directory = session_.program_dir;
    request.hidden = true;
    int error = 0;
    if (processes_.Launch(request, error) < 0) {
        start_error_ = "CreateProcess failed! (" + std::to_string(error) + ")";
        return -1;
    }
    start_error_.clear();
    return 1;
}

int COpenVpnMgmt::CheckLog() {
    const bool running = monitor_.IsProcessRunning(session_.tunnel_program) == 1;
    return ScanLogFile(TunnelFilePath(session_, session_.tunnel_log), running);
}

int COpenVpnMgmt::Stop() {
    if (monitor_.KillByModuleName(session_.tunnel_program) == 0) {
        boxes_.ShowMessageBox(kStopFailed, kApplicationCaption, BoxButtons::Ok);
    }
    return 1;
}

}  // namespace korvane
