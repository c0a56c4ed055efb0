#include "platform/linux/LinuxProcesses.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <thread>

#include "platform/linux/LinuxCommandRunner.h"

extern char** environ;

namespace korvane {

namespace {

std::string CurrentFolder() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) != nullptr ? std::string(path) : std::string(".");
}

std::string FileNameOf(std::string path) {
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() &&
        path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0) {
        path.resize(path.size() - kDeleted.size());
    }
    return path.substr(path.rfind('/') + 1);
}

// The fields of /proc/PID/stat the snapshot needs; false when the process
// has gone.
struct StatLine {
    std::string comm;
    char state = '?';
    std::uint32_t parent_pid = 0;
};

bool ReadStat(int pid, StatLine& stat) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) {
        return false;
    }
    // The name may hold blanks and parentheses: it ends at the last ')'.
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close + 4 > line.size()) {
        return false;
    }
    stat.comm = line.substr(open + 1, close - open - 1);
    stat.state = line[close + 2];
    stat.parent_pid =
        static_cast<std::uint32_t>(std::strtoul(line.c_str() + close + 4, nullptr, 10));
    return true;
}

bool Ended(char state) {
    return state == 'Z' || state == 'X';
}

std::string ExecutableName(int pid, const std::string& comm) {
    char target[PATH_MAX];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t size = readlink(link.c_str(), target, sizeof target - 1);
    if (size <= 0) {
        return comm;
    }
    return FileNameOf(std::string(target, static_cast<std::size_t>(size)));
}

struct SpawnActions {
    posix_spawn_file_actions_t actions;
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
};

struct SpawnAttributes {
    posix_spawnattr_t attributes;
    SpawnAttributes() { posix_spawnattr_init(&attributes); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
};

// A new session, no blocked signals and every signal at its default, so an
// ignored SIGPIPE of the client does not pass to the program.
void SetUpAttributes(posix_spawnattr_t& attributes) {
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
}

}  // namespace

int ExitCodeOfStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

LinuxProcesses::LinuxProcesses(std::string program_folder)
    : program_folder_(program_folder.empty() ? ExecutableFolder() : std::move(program_folder)) {}

std::string LinuxProcesses::FindProgram(const std::string& program,
                                        const std::string& working_directory) const {
    if (program.empty()) {
        return {};
    }
    const std::string base = working_directory.empty() ? CurrentFolder() : working_directory;
    if (program.find('/') != std::string::npos) {
        const std::string path = program[0] == '/' ? program : base + "/" + program;
        return IsExecutableFile(path) ? path : std::string();
    }
    for (const std::string& folder : {program_folder_, base}) {
        if (!folder.empty() && IsExecutableFile(folder + "/" + program)) {
            return folder + "/" + program;
        }
    }
    return FindOnPath(program);
}

int LinuxProcesses::Launch(const LaunchRequest& request, int& error) {
    ReapChildren();
    std::vector<std::string> arguments = SplitCommandLine(request.command_line);
    const std::string path =
        arguments.empty() ? std::string() : FindProgram(arguments[0], request.working_directory);
    if (path.empty()) {
        error = kProcessErrorNotFound;
        return -1;
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    SpawnActions actions;
    if (!request.working_directory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions.actions, request.working_directory.c_str());
    }
    for (int fd = 0; fd <= 2; ++fd) {
        posix_spawn_file_actions_addopen(&actions.actions, fd, "/dev/null", O_RDWR, 0);
    }
    SpawnAttributes attributes;
    SetUpAttributes(attributes.attributes);
    pid_t pid = -1;
    const int result = posix_spawn(&pid, path.c_str(), &actions.actions, &attributes.attributes,
                                   argv.data(), environ);
    if (result != 0) {
        error = result == ENOENT ? kProcessErrorNotFound : result;
        return -1;
    }
    children_[pid] = std::nullopt;
    error = 0;
    return pid;
}

void LinuxProcesses::ReapChildren() {
    for (auto& [pid, code] : children_) {
        int status = 0;
        if (!code && waitpid(pid, &status, WNOHANG) == pid) {
            code = ExitCodeOfStatus(status);
        }
    }
}

bool LinuxProcesses::Wait(int pid, int& exit_code) {
    const auto child = children_.find(pid);
    if (child == children_.end()) {
        return false;
    }
    if (!child->second) {
        int status = 0;
        pid_t got = -1;
        while ((got = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
        }
        if (got != pid) {
            return false;
        }
        child->second = ExitCodeOfStatus(status);
    }
    exit_code = *child->second;
    return true;
}

bool LinuxProcesses::ExitCode(int pid, int& exit_code) {
    ReapChildren();
    if (const auto child = children_.find(pid); child != children_.end()) {
        exit_code = child->second.value_or(kProcessStillActive);
        return true;
    }
    StatLine stat;
    if (!ReadStat(pid, stat) || Ended(stat.state)) {
        return false;
    }
    exit_code = kProcessStillActive;
    return true;
}

bool LinuxProcesses::Snapshot(std::vector<ProcessEntry>& processes) {
    ReapChildren();
    processes.clear();
    std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
    if (!proc) {
        return false;
    }
    std::set<int> pids;
    while (const dirent* entry = readdir(proc.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid > 0 && *end == '\0') {
            pids.insert(static_cast<int>(pid));
        }
    }
    for (const int pid : pids) {
        StatLine stat;
        if (ReadStat(pid, stat) && !Ended(stat.state)) {
            processes.push_back(
                {static_cast<std::uint32_t>(pid), stat.parent_pid, ExecutableName(pid, stat.comm)});
        }
    }
    return true;
}

bool LinuxProcesses::Modules(int pid, std::vector<std::string>& modules) {
    modules.clear();
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    if (!maps) {
        return false;
    }
    std::set<std::string> seen;
    for (std::string line; std::getline(maps, line);) {
        const std::size_t path = line.find('/');
        if (path == std::string::npos) {
            continue;
        }
        std::string name = FileNameOf(line.substr(path));
        if (seen.insert(name).second) {
            modules.push_back(std::move(name));
        }
    }
    // A process that is not ours reads as an empty file.
    return !modules.empty();
}

bool LinuxProcesses::Gone(int pid) {
    if (const auto child = children_.find(pid); child != children_.end()) {
        int status = 0;
        if (!child->second && waitpid(pid, &status, WNOHANG) == pid) {
            child->second = ExitCodeOfStatus(status);
        }
        return child->second.has_value();
    }
    StatLine stat;
    return !ReadStat(pid, stat) || Ended(stat.state);
}

int LinuxProcesses::Terminate(int pid) {
    ReapChildren();
    if (pid <= 0 || Gone(pid) || kill(pid, 0) != 0) {
        return -1;
    }
    if (kill(pid, SIGTERM) != 0) {
        return 0;
    }
    using Clock = std::chrono::steady_clock;
    const auto wait_until_gone = [&](int ms) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
        while (!Gone(pid)) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    };
    if (wait_until_gone(term_grace_ms_)) {
        return 1;
    }
    kill(pid, SIGKILL);
    return wait_until_gone(2000) ? 1 : 0;
}

}  // namespace korvane
