#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessPort.h"

namespace korvane {

// Processes of this machine, over posix_spawn, /proc and signals.
//
// What the port's words mean here:
// - a process's executable file name is the file name of the file it runs
//   (the target of /proc/PID/exe, without its folder); where that link
//   cannot be read (another user's process, a kernel thread) it is the
//   kernel's short name of the process (/proc/PID/comm);
// - its modules are the files mapped into it (/proc/PID/maps), by file
//   name, each once: the executable first, then its libraries;
// - ending a process sends it SIGTERM and, when it has not gone after a few
//   seconds, SIGKILL; it "cannot be opened" when no signal may be sent to it.
// A launch gets a session of its own (setsid), so a terminal's Ctrl+C does
// not reach it; its standard handles are /dev/null, hidden or not. Every
// process it launched and nobody waited for is reaped on the next call, so
// ended children never linger as zombies.
class LinuxProcesses : public ProcessPort {
  public:
    // Bare program names are looked for in program_folder first (empty: the
    // folder of the running executable).
    explicit LinuxProcesses(std::string program_folder = {});

    int Launch(const LaunchRequest& request, int& error) override;
    bool Wait(int pid, int& exit_code) override;
    bool ExitCode(int pid, int& exit_code) override;
    bool Snapshot(std::vector<ProcessEntry>& processes) override;
    bool Modules(int pid, std::vector<std::string>& modules) override;
    int Terminate(int pid) override;

    // How long an ended process is given to go after SIGTERM.
    void set_term_grace_ms(int ms) { term_grace_ms_ = ms; }

  private:
    std::string FindProgram(const std::string& program, const std::string& working_directory) const;
    void ReapChildren();
    bool Gone(int pid);

    std::string program_folder_;
    // Launched processes; the exit code once reaped.
    std::map<int, std::optional<int>> children_;
    int term_grace_ms_ = 3000;
};

// Exit code of a wait status: the program's own, or 128 + the signal that
// ended it.
int ExitCodeOfStatus(int status);

}  // namespace korvane
