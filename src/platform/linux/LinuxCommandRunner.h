#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/CommandRunner.h"

namespace korvane {

// Runs command lines as processes with stdin, stdout and stderr on
// /dev/null. The program is looked for in program_dir first (the client's
// own folder; empty: the folder of the running executable), then on PATH;
// a program found in neither is not started.
class LinuxCommandRunner : public CommandRunner {
  public:
    explicit LinuxCommandRunner(std::string program_dir = {});

    bool RunHiddenAndWait(const std::string& command_line) override;
    bool StartHidden(const std::string& command_line) override;

    // Full path of the program, empty when it is not found.
    std::string FindProgram(const std::string& program) const;

  private:
    // The child's pid, or -1. A detached run is reaped by an intermediate
    // process so that it leaves no zombie behind.
    int Spawn(const std::string& command_line, bool detached) const;

    std::string program_dir_;
};

// Splits a command line the way the command lines of the client are
// written: blanks separate arguments, double quotes group, a backslash
// before a double quote makes it literal, other backslashes stay as they are.
std::vector<std::string> SplitCommandLine(std::string_view line);

// True when the file exists and may be executed by this process.
bool IsExecutableFile(const std::string& path);
// The executable file named `program` in a folder of PATH, empty when none.
std::string FindOnPath(const std::string& program);
// The folder of the running executable, empty when it cannot be read.
std::string ExecutableFolder();

}  // namespace korvane
