#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// The program file of a launch does not exist.
inline constexpr int kProcessErrorNotFound = 2;
// The exit code a process reports while it still runs.
inline constexpr int kProcessStillActive = 259;

struct LaunchRequest {
    // The program and its arguments as one line; the first word (or quoted
    // group) names the program. A bare name is looked for in the client's
    // own folder, then in the working directory, then on the search path.
    std::string command_line;
    // Empty: the caller's current directory.
    std::string working_directory;
    // Hidden (no window, standard handles closed) or shown normally.
    bool hidden = true;
};

// One entry of a process snapshot.
struct ProcessEntry {
    std::uint32_t pid = 0;
    std::uint32_t parent_pid = 0;
    // The executable's file name without its folder.
    std::string executable;
};

// Outside programs: start them, wait for them, list what runs and end it.
// Every list is one snapshot; nothing is cached between calls.
class ProcessPort {
  public:
    virtual ~ProcessPort() = default;

    // Starts the program in a new session of its own and returns its pid;
    // -1 with `error` set (kProcessErrorNotFound or a system error number)
    // when it cannot be started.
    virtual int Launch(const LaunchRequest& request, int& error) = 0;
    // Waits without limit for a process this port launched; false when the
    // pid is not one of them.
    virtual bool Wait(int pid, int& exit_code) = 0;
    // kProcessStillActive while it runs; false when nothing is known of it.
    virtual bool ExitCode(int pid, int& exit_code) = 0;

    // The processes that run now (ended ones are left out); false when the
    // list cannot be read.
    virtual bool Snapshot(std::vector<ProcessEntry>& processes) = 0;
    // File names (no folders) of the files the process has loaded, the
    // executable among them, each once, in load order; false when they
    // cannot be read (gone, or not ours to look into).
    virtual bool Modules(int pid, std::vector<std::string>& modules) = 0;
    // Ends the process: -1 when it cannot be opened (gone, or not ours to
    // end), 0 when the ending failed, 1 when it has ended.
    virtual int Terminate(int pid) = 0;
};

}  // namespace korvane
