#pragma once

#include <string>

namespace korvane {

// Runs outside programs from a command line, with no window, stdin or
// output. The program is searched for in the client's own folder first, then
// on the search path. Exit codes are not reported: no caller examines them.
class CommandRunner {
  public:
    virtual ~CommandRunner() = default;
    // Starts the program and waits without limit for it to end; false when
    // it cannot be started.
    virtual bool RunHiddenAndWait(const std::string& command_line) = 0;
    // Starts the program and returns at once; false when it cannot be started.
    virtual bool StartHidden(const std::string& command_line) = 0;
};

}  // namespace korvane
