#pragma once

#include <string>

namespace korvane {

class CProcMonitor;
class CRegCtrl;
class ProcessPort;
struct SessionContext;

// The user's programs around connecting and disconnecting: "IN_START" and
// "OUT_START" start the program registered for them, "IN_STOP" and
// "OUT_STOP" end it by its executable name. Each event reads its settings
// value afresh; nothing is tracked and nothing is reported.
class ProgramHooks {
  public:
    ProgramHooks(const SessionContext& session, const CRegCtrl& settings, ProcessPort& processes,
                 CProcMonitor& monitor)
        : session_(session), settings_(settings), processes_(processes), monitor_(monitor) {}

    // Returns 0. An unknown event does nothing.
    int RunProgramHook(const std::string& event);

  private:
    const SessionContext& session_;
    const CRegCtrl& settings_;
    ProcessPort& processes_;
    CProcMonitor& monitor_;
};

// The program's file name in a registered command line: the part after its
// last "\" (or "/", the separator of this system's paths); the whole text
// when it has neither.
std::string HookImageName(const std::string& command_line);

}  // namespace korvane
