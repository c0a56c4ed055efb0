#include "ServiceFixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace korvane::testing {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kStartTimeoutMs = 20000;
// A clean stop takes milliseconds; a sanitizer build on a loaded machine
// needs seconds for its exit checks, and only a hung service should be killed.
constexpr int kStopTimeoutMs = 20000;

std::string MakeTempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/korvane-service-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        return "";
    }
    return pattern;
}

bool WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

// Waits up to the timeout for the child to end; its exit code, or -1.
int WaitForExit(pid_t pid, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (true) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return ExitCodeOf(status);
        }
        if (done < 0 || Clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// SIGTERM, then SIGKILL; the exit code.
int EndChild(pid_t pid) {
    kill(pid, SIGTERM);
    int code = WaitForExit(pid, kStopTimeoutMs);
    if (code == -1) {
        kill(pid, SIGKILL);
        code = WaitForExit(pid, kStopTimeoutMs);
    }
    return code;
}

// Starts the binary with stdout on a pipe (read end returned) and stderr in
// a file.
pid_t Spawn(const std::vector<std::string>& args, const std::string& stderr_path, int& stdout_fd) {
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderr_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    const std::string binary = ServiceFixture::BinaryPath();
    argv.push_back(const_cast<char*>(binary.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    if (pid < 0) {
        close(pipe_fds[0]);
        return -1;
    }
    stdout_fd = pipe_fds[0];
    return pid;
}

// Reads from the pipe until a full line arrives, the pipe closes or the
// deadline passes.
std::string ReadLine(int fd, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    std::string text;
    while (text.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) {
            break;
        }
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

std::string ReadAll(int fd, int timeout_ms) {
    std::string text;
    while (true) {
        std::string chunk = ReadLine(fd, timeout_ms);
        if (chunk.empty()) {
            return text;
        }
        text += chunk;
    }
}

}  // namespace

ServiceFixture::ServiceFixture() : dir_(MakeTempDir()) {}

ServiceFixture::~ServiceFixture() {
    // A service that does not end cleanly (a sanitizer's report, a hang)
    // fails the test that ran it.
    const int code = Stop();
    if (code != -1 && code != 0) {
        ADD_FAILURE() << "korvane-service ended with " << code << ": " << StderrText();
    }
    if (!dir_.empty()) {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
}

std::string ServiceFixture::BinaryPath() {
    return KORVANE_SERVICE_BINARY;
}

::testing::AssertionResult ServiceFixture::Start(std::string_view config_text,
                                                 const std::map<std::string, std::string>& files) {
    if (dir_.empty()) {
        return ::testing::AssertionFailure() << "no temporary folder";
    }
    if (running()) {
        return ::testing::AssertionFailure() << "the service is already running";
    }
    fs::create_directories(dir_ + "/files");
    for (const auto& [name, bytes] : files) {
        if (!WriteFile(dir_ + "/files/" + name, bytes)) {
            return ::testing::AssertionFailure() << "cannot write " << name;
        }
    }
    if (!WriteFile(config_path(), config_text)) {
        return ::testing::AssertionFailure() << "cannot write the config";
    }
    const std::vector<std::string> args = {"--config",    config_path(), "--listen",
                                           "127.0.0.1:0", "--journal",   journal_path()};
    pid_ = Spawn(args, dir_ + "/stderr.txt", stdout_fd_);
    if (pid_ < 0) {
        return ::testing::AssertionFailure() << "cannot start " << BinaryPath();
    }
    const std::string line = ReadLine(stdout_fd_, kStartTimeoutMs);
    constexpr std::string_view kPrefix = "listening on 127.0.0.1:";
    if (line.rfind(kPrefix, 0) != 0) {
        const int code = Stop();
        return ::testing::AssertionFailure()
               << "the service did not start (exit " << code << "), stdout: " << line
               << " stderr: " << StderrText();
    }
    port_ = std::atoi(line.c_str() + kPrefix.size());
    return ::testing::AssertionSuccess();
}

int ServiceFixture::Stop() {
    if (pid_ <= 0) {
        return -1;
    }
    const int code = EndChild(pid_);
    pid_ = -1;
    close(stdout_fd_);
    stdout_fd_ = -1;
    return code;
}

std::string ServiceFixture::address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::string ServiceFixture::Url(std::string_view path) const {
    return "http://" + address() + std::string(path);
}

std::string ServiceFixture::StderrText() const {
    return ReadFile(dir_ + "/stderr.txt");
}

std::vector<std::string> ServiceFixture::JournalLines(std::size_t at_least, int timeout_ms) const {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (true) {
        std::vector<std::string> lines;
        std::istringstream text(ReadFile(journal_path()));
        for (std::string line; std::getline(text, line);) {
            lines.push_back(line);
        }
        if (lines.size() >= at_least || Clock::now() >= deadline) {
            return lines;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<nlohmann::json> ServiceFixture::JournalEntries(std::size_t at_least,
                                                           int timeout_ms) const {
    std::vector<nlohmann::json> entries;
    for (const std::string& line : JournalLines(at_least, timeout_ms)) {
        auto entry = nlohmann::json::parse(line, nullptr, false);
        EXPECT_FALSE(entry.is_discarded()) << "journal line is not JSON: " << line;
        entries.push_back(std::move(entry));
    }
    return entries;
}

ServiceRun ServiceFixture::RunToEnd(const std::vector<std::string>& args, int timeout_ms) {
    ServiceRun run;
    const std::string dir = MakeTempDir();
    int out_fd = -1;
    const pid_t pid = Spawn(args, dir + "/stderr.txt", out_fd);
    if (pid < 0) {
        return run;
    }
    run.stdout_text = ReadAll(out_fd, timeout_ms);
    close(out_fd);
    run.exit_code = WaitForExit(pid, timeout_ms);
    if (run.exit_code == -1) {
        EndChild(pid);
    }
    run.stderr_text = ReadFile(dir + "/stderr.txt");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return run;
}

}  // namespace korvane::testing
