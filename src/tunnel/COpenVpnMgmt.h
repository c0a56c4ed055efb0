#pragma once

#include <string>

#include "tunnel/CProcMonitor.h"

namespace korvane {

class MessageBoxPort;
class ProcessPort;
struct SessionContext;

// The tunnel program: its start, the look at its log, its end. It keeps
// nothing its operations use; the file names come from the session.
class COpenVpnMgmt {
  public:
    static constexpr const char* kStopFailed = " 프로그램 종료 실패 ";

    COpenVpnMgmt(SessionContext& session, ProcessPort& processes, MessageBoxPort& boxes);
    virtual ~COpenVpnMgmt() = default;

    // "<program> --config <config> --log <log> <token>", hidden, in the
    // program folder. 1 when the process was created, -1 otherwise.
    int Start();
    // One of the log results (tunnel/OpenVpnLog.h): markers, or how long the
    // log is and whether the program still runs.
    int CheckLog();
    // Ends the tunnel program; a process list that cannot be read shows
    // " 프로그램 종료 실패 ". Returns 1.
    int Stop();

    CProcMonitor& monitor() { return monitor_; }
    ProcessPort& processes() { return processes_; }
    // "CreateProcess failed! (<error>)" after a failed Start; nobody shows it.
    const std::string& start_error() const { return start_error_; }

  private:
    SessionContext& session_;
    ProcessPort& processes_;
    MessageBoxPort& boxes_;
    CProcMonitor monitor_;
    std::string start_error_;
};

// A tunnel file's path: in the program folder (the current directory the
// tunnel program also runs in), or the bare name while no folder is known.
std::string TunnelFilePath(const SessionContext& session, const std::string& name);

}  // namespace korvane
