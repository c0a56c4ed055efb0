#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/ProcessPort.h"

namespace korvane {

// One launch of a simulated program, as the program sees it.
struct SimLaunch {
    int pid = 0;
    std::string command_line;
    // Split like the Linux backend splits it: blanks separate, quotes group.
    std::vector<std::string> arguments;
    std::string working_directory;
    bool hidden = true;
    // The local wall-clock second of the launch.
    std::int64_t local_seconds = 0;
};

// What one run of an outside program does over simulated time.
class SimProgram {
  public:
    static constexpr std::int64_t kForever = INT64_MAX / 4;

    virtual ~SimProgram() = default;
    // Brings the run up to `elapsed_ms` after its launch (called with
    // growing values, the same value possibly more than once). The exit code
    // once the program has ended, nothing while it runs.
    virtual std::optional<int> Advance(std::int64_t elapsed_ms) = 0;
    // The run is ended from outside.
    virtual void Ended() {}
};

using SimProgramFactory = std::function<std::unique_ptr<SimProgram>(const SimLaunch&)>;

// The processes of a simulated machine. Programs are installed by file name
// (compared without letter case, like the file names of the machine the
// client was made for); a launch of anything else fails as "not found".
// Every launch is recorded. Simulated time is the clock's: whenever the
// port is used, every running program is first brought up to the clock's
// present, so what a program writes or changes is there when the caller
// looks. A waited program runs to its end at once, since the caller blocks
// and time stands still.
class SimProcesses : public ProcessPort {
  public:
    struct Launched {
        std::string command_line;
        std::string working_directory;
        bool hidden = true;
        bool started = false;
        bool waited = false;
        int pid = -1;
    };

    explicit SimProcesses(const Clock& clock) : clock_(clock) {}

    // --- the machine ---
    // Replaces a program of the same name. `modules` are loaded besides the
    // executable itself.
    void Install(const std::string& file_name, SimProgramFactory factory,
                 std::vector<std::string> modules = {});
    void Uninstall(const std::string& file_name);
    bool Installed(const std::string& file_name) const;
    // A process that runs without having been launched through the port
    // (it runs until ended). Returns its pid.
    int AddRunning(const std::string& executable, std::vector<std::string> modules = {},
                   int parent_pid = 0);
    const Clock& clock() const { return clock_; }

    // --- failures ---
    void set_snapshot_fails(bool fails) { snapshot_fails_ = fails; }
    // Terminate reports the process as not to be opened.
    void MarkUnopenable(int pid) { unopenable_.push_back(pid); }
    void MarkModulesUnreadable(int pid) { modules_unreadable_.push_back(pid); }

    // --- inspection ---
    const std::vector<Launched>& launches() const { return launches_; }
    std::vector<std::string> CommandLines() const;
    // After bringing the programs up to now.
    bool IsRunning(int pid);
    int CountRunning(const std::string& executable);
    void CatchUp();

    // --- ProcessPort ---
    int Launch(const LaunchRequest& request, int& error) override;
    bool Wait(int pid, int& exit_code) override;
    bool ExitCode(int pid, int& exit_code) override;
    bool Snapshot(std::vector<ProcessEntry>& processes) override;
    bool Modules(int pid, std::vector<std::string>& modules) override;
    int Terminate(int pid) override;

  private:
    struct Program {
        SimProgramFactory factory;
        std::vector<std::string> modules;
    };
    struct Process {
        ProcessEntry entry;
        std::vector<std::string> modules;
        std::unique_ptr<SimProgram> program;
        std::int64_t started_ms = 0;
        std::optional<int> exit_code;
        int launch = -1;
    };

    Process* Find(int pid);
    void AdvanceOne(std::size_t index, std::int64_t elapsed_ms);
    static bool Listed(const std::vector<int>& pids, int pid);

    const Clock& clock_;
    std::map<std::string, Program> programs_;
    std::vector<Process> processes_;
    std::vector<Launched> launches_;
    std::vector<int> unopenable_;
    std::vector<int> modules_unreadable_;
    int next_pid_ = 1000;
    bool snapshot_fails_ = false;
    bool busy_ = false;
};

// Letter case folded the way the machine's file names compare.
std::string FoldFileName(const std::string& name);
// The file name of a program path: after the last "/" or "\".
std::string ProgramFileName(const std::string& path);

}  // namespace korvane
