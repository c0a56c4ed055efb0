#include "platform/linux/LinuxCommandRunner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace korvane {

namespace {

int WaitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return status;
}

// Runs in the forked child: only async-signal-safe calls.
[[noreturn]] void ExecHidden(const char* path, char* const* argv) {
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
    }
    execv(path, argv);
    _exit(127);
}

}  // namespace

bool IsExecutableFile(const std::string& path) {
    return access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string folder(folders.substr(0, colon));
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
    }
    return {};
}

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
    if (size <= 0) {
        return {};
    }
    const std::string full(path, static_cast<std::size_t>(size));
    return full.substr(0, full.rfind('/'));
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::string current;
    bool in_argument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
            current += '"';
            in_argument = true;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
            in_argument = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (in_argument) {
                arguments.push_back(current);
                current.clear();
                in_argument = false;
            }
        } else {
            current += c;
            in_argument = true;
        }
    }
    if (in_argument) {
        arguments.push_back(current);
    }
    return arguments;
}

LinuxCommandRunner::LinuxCommandRunner(std::string program_dir)
    : program_dir_(program_dir.empty() ? ExecutableFolder() : std::move(program_dir)) {}

std::string LinuxCommandRunner::FindProgram(const std::string& program) const {
    if (program.empty()) {
        return {};
    }
    if (program.find('/') != std::string::npos) {
        return IsExecutableFile(program) ? program : std::string();
    }
    if (!program_dir_.empty() && IsExecutableFile(program_dir_ + "/" + program)) {
        return program_dir_ + "/" + program;
    }
    return FindOnPath(program);
}

int LinuxCommandRunner::Spawn(const std::string& command_line, bool detached) const {
    std::vector<std::string> arguments = SplitCommandLine(command_line);
    if (arguments.empty()) {
        return -1;
    }
    const std::string path = FindProgram(arguments[0]);
    if (path.empty()) {
        return -1;
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        if (detached) {
            const pid_t grandchild = fork();
            if (grandchild != 0) {
                _exit(grandchild < 0 ? 127 : 0);
            }
        }
        ExecHidden(path.c_str(), argv.data());
    }
    return child;
}

bool LinuxCommandRunner::RunHiddenAndWait(const std::string& command_line) {
    const int pid = Spawn(command_line, false);
    return pid > 0 && WaitFor(pid) >= 0;
}

bool LinuxCommandRunner::StartHidden(const std::string& command_line) {
    const int pid = Spawn(command_line, true);
    // The intermediate process ends at once; its status says whether the
    // second fork worked.
    if (pid <= 0) {
        return false;
    }
    const int status = WaitFor(pid);
    return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace korvane
