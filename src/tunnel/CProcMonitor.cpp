#include "tunnel/CProcMonitor.h"

#include <algorithm>
#include <vector>

#include "platform/ProcessPort.h"

namespace korvane {

namespace {

// The process and its descendants, children before parents.
void CollectTree(const std::vector<ProcessEntry>& all, std::uint32_t pid,
                 std::vector<std::uint32_t>& out) {
    for (const ProcessEntry& entry : all) {
        if (entry.parent_pid == pid && entry.pid != pid &&
            std::find(out.begin(), out.end(), entry.pid) == out.end()) {
            CollectTree(all, entry.pid, out);
        }
    }
    if (std::find(out.begin(), out.end(), pid) == out.end()) {
        out.push_back(pid);
    }
}

}  // namespace

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

int CProcMonitor::IsProcessRunning(const std::string& name) {
    std::vector<ProcessEntry> processes;
    if (!processes_.Snapshot(processes)) {
        return 0;
    }
    const std::string wanted = LowerAscii(name);
    for (const ProcessEntry& entry : processes) {
        if (LowerAscii(entry.executable) == wanted) {
            return 1;
        }
    }
    return 0;
}

int CProcMonitor::KillByModuleName(const std::string& name) {
    std::vector<ProcessEntry> processes;
    if (!processes_.Snapshot(processes)) {
        return 0;
    }
    for (const ProcessEntry& entry : processes) {
        const int pid = static_cast<int>(entry.pid);
        if (HasModule(pid, name) == 1 && processes_.Terminate(pid) >= 0) {
            int exit_code = 0;
            processes_.ExitCode(pid, exit_code);
            break;
        }
    }
    return 1;
}

int CProcMonitor::HasModule(int pid, const std::string& name) {
    std::vector<std::string> modules;
    if (!processes_.Modules(pid, modules)) {
        return 0;
    }
    return std::find(modules.begin(), modules.end(), name) != modules.end() ? 1 : 0;
}

int CProcMonitor::TaskKill(const std::string& name) {
    LaunchRequest request;
    request.command_line = std::string(kTaskKill) + " " + name;
    request.hidden = true;
    int error = 0;
    const int pid = processes_.Launch(request, error);
    if (pid < 0) {
        return error == kProcessErrorNotFound ? EndProcessTrees(name) : 0;
    }
    int exit_code = 0;
    processes_.Wait(pid, exit_code);
    return 1;
}

int CProcMonitor::EndProcessTrees(const std::string& name) {
    std::vector<ProcessEntry> processes;
    if (!processes_.Snapshot(processes)) {
        return 0;
    }
    const std::string wanted = LowerAscii(name);
    std::vector<std::uint32_t> doomed;
    for (const ProcessEntry& entry : processes) {
        if (LowerAscii(entry.executable) == wanted) {
            CollectTree(processes, entry.pid, doomed);
        }
    }
    for (const std::uint32_t pid : doomed) {
        processes_.Terminate(static_cast<int>(pid));
    }
    return 1;
}

}  // namespace korvane
