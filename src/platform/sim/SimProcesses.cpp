#include "platform/sim/SimProcesses.h"

#include <algorithm>
#include <cctype>

#include "platform/linux/LinuxCommandRunner.h"

namespace korvane {

std::string FoldFileName(const std::string& name) {
    std::string folded = name;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

std::string ProgramFileName(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

void SimProcesses::Install(const std::string& file_name, SimProgramFactory factory,
                           std::vector<std::string> modules) {
    programs_[FoldFileName(file_name)] = {std::move(factory), std::move(modules)};
}

void SimProcesses::Uninstall(const std::string& file_name) {
    programs_.erase(FoldFileName(file_name));
}

bool SimProcesses::Installed(const std::string& file_name) const {
    return programs_.count(FoldFileName(file_name)) != 0;
}

int SimProcesses::AddRunning(const std::string& executable, std::vector<std::string> modules,
                             int parent_pid) {
    Process process;
    process.entry = {static_cast<std::uint32_t>(next_pid_), static_cast<std::uint32_t>(parent_pid),
                     executable};
    next_pid_ += 4;
    process.modules.push_back(executable);
    process.modules.insert(process.modules.end(), modules.begin(), modules.end());
    process.started_ms = clock_.MonotonicMilliseconds();
    processes_.push_back(std::move(process));
    return static_cast<int>(processes_.back().entry.pid);
}

std::vector<std::string> SimProcesses::CommandLines() const {
    std::vector<std::string> lines;
    for (const Launched& launch : launches_) {
        lines.push_back(launch.command_line);
    }
    return lines;
}

SimProcesses::Process* SimProcesses::Find(int pid) {
    for (Process& process : processes_) {
        if (static_cast<int>(process.entry.pid) == pid) {
            return &process;
        }
    }
    return nullptr;
}

bool SimProcesses::Listed(const std::vector<int>& pids, int pid) {
    return std::find(pids.begin(), pids.end(), pid) != pids.end();
}

void SimProcesses::AdvanceOne(std::size_t index, std::int64_t elapsed_ms) {
    // A program may launch or end others while it runs: look it up again
    // by index afterwards, the vector may have grown.
    if (processes_[index].exit_code || !processes_[index].program) {
        return;
    }
    const std::optional<int> code = processes_[index].program->Advance(elapsed_ms);
    if (code) {
        processes_[index].exit_code = code;
    }
}

void SimProcesses::CatchUp() {
    if (busy_) {
        return;
    }
    busy_ = true;
    const std::int64_t now = clock_.MonotonicMilliseconds();
    for (std::size_t i = 0; i < processes_.size(); ++i) {
        AdvanceOne(i, now - processes_[i].started_ms);
    }
    busy_ = false;
}

bool SimProcesses::IsRunning(int pid) {
    CatchUp();
    const Process* process = Find(pid);
    return process != nullptr && !process->exit_code;
}

int SimProcesses::CountRunning(const std::string& executable) {
    CatchUp();
    return static_cast<int>(
        std::count_if(processes_.begin(), processes_.end(), [&](const Process& p) {
            return !p.exit_code && FoldFileName(p.entry.executable) == FoldFileName(executable);
        }));
}

int SimProcesses::Launch(const LaunchRequest& request, int& error) {
    CatchUp();
    Launched record{request.command_line, request.working_directory, request.hidden};
    SimLaunch launch;
    launch.command_line = request.command_line;
    launch.arguments = SplitCommandLine(request.command_line);
    launch.working_directory = request.working_directory;
    launch.hidden = request.hidden;
    launch.local_seconds = clock_.LocalSecondsNow();
    const std::string file =
        launch.arguments.empty() ? std::string() : ProgramFileName(launch.arguments[0]);
    const auto program = programs_.find(FoldFileName(file));
    if (program == programs_.end()) {
        launches_.push_back(record);
        error = kProcessErrorNotFound;
        return -1;
    }
    launch.pid = next_pid_;
    next_pid_ += 4;
    Process process;
    process.entry = {static_cast<std::uint32_t>(launch.pid), 0, file};
    process.modules.push_back(file);
    process.modules.insert(process.modules.end(), program->second.modules.begin(),
                           program->second.modules.end());
    process.started_ms = clock_.MonotonicMilliseconds();
    process.program = program->second.factory(launch);
    process.launch = static_cast<int>(launches_.size());
    record.started = true;
    record.pid = launch.pid;
    launches_.push_back(record);
    processes_.push_back(std::move(process));
    // The program's first moment happens at its launch.
    busy_ = true;
    AdvanceOne(processes_.size() - 1, 0);
    busy_ = false;
    error = 0;
    return launch.pid;
}

bool SimProcesses::Wait(int pid, int& exit_code) {
    CatchUp();
    Process* process = Find(pid);
    if (process == nullptr || process->launch < 0) {
        return false;
    }
    launches_[static_cast<std::size_t>(process->launch)].waited = true;
    if (!process->exit_code) {
        const std::size_t index = static_cast<std::size_t>(process - processes_.data());
        busy_ = true;
        AdvanceOne(index, SimProgram::kForever);
        busy_ = false;
        process = &processes_[index];
    }
    if (!process->exit_code) {
        // It would never end: the caller would block for ever.
        return false;
    }
    exit_code = *process->exit_code;
    return true;
}

bool SimProcesses::ExitCode(int pid, int& exit_code) {
    CatchUp();
    const Process* process = Find(pid);
    if (process == nullptr) {
        return false;
    }
    exit_code = process->exit_code.value_or(kProcessStillActive);
    return true;
}

bool SimProcesses::Snapshot(std::vector<ProcessEntry>& processes) {
    CatchUp();
    processes.clear();
    if (snapshot_fails_) {
        return false;
    }
    for (const Process& process : processes_) {
        if (!process.exit_code) {
            processes.push_back(process.entry);
        }
    }
    return true;
}

bool SimProcesses::Modules(int pid, std::vector<std::string>& modules) {
    CatchUp();
    modules.clear();
    const Process* process = Find(pid);
    if (process == nullptr || process->exit_code || Listed(modules_unreadable_, pid)) {
        return false;
    }
    modules = process->modules;
    return true;
}

int SimProcesses::Terminate(int pid) {
    CatchUp();
    Process* process = Find(pid);
    if (process == nullptr || process->exit_code || Listed(unopenable_, pid)) {
        return -1;
    }
    process->exit_code = 0;
    if (process->program) {
        process->program->Ended();
    }
    return 1;
}

}  // namespace korvane
