// The client program itself over a real tunnel: `korvane --headless
// --platform linux` runs inside the client namespace of RealTunnel.h, with
// korvane-service on that namespace's loopback. The test feeds its script a
// few lines at a time on standard input and reads the transcript as it
// comes, so it can look at the kernel's routes while the program waits for
// its next command (its clock stands still meanwhile).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../settings/TempFolder.h"
#include "RealTunnel.h"
#include "ServiceFixture.h"
#include "platform/linux/FileSettingsStore.h"
#include "settings/CRegCtrl.h"

extern char** environ;

namespace korvane::systest {
namespace {

namespace fs = std::filesystem;
using korvane::test::ReadBytes;
using korvane::test::TempFolder;
using korvane::test::WriteBytes;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// The login panel sends the password without blanks, in lower case.
constexpr char kTypedPassword[] = "Pass Word 1";
constexpr char kSentPassword[] = "password1";
constexpr char kIpPrompt[] = "사용하실 아이피를 선택후 더블클릭 해주세요";

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Waits for a child of ours to end; its exit code (128 + signal), or -1
// when it is still running at the deadline.
int WaitForChild(pid_t pid, seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (true) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (done < 0 || Clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// The tunnel launcher and OpenVPN started from a program folder (they work
// in it), by executable name and pid.
std::vector<std::string> TunnelProgramsIn(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        std::error_code unreadable;
        if (fs::read_symlink(entry.path() / "cwd", unreadable) != folder) {
            continue;
        }
        const std::string name = fs::read_symlink(entry.path() / "exe", unreadable).filename();
        if (name == "dovaop.exe" || name == "openvpn") {
            found.push_back(name + " " + entry.path().filename().string());
        }
    }
    return found;
}

// A file another process writes; its bytes once it is there.
std::string WaitForFile(const std::string& path, seconds limit) {
    const auto deadline = Clock::now() + limit;
    std::error_code ec;
    while ((!fs::exists(path) || fs::file_size(path, ec) == 0) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ReadBytes(path);
}

// korvane run as our child: the script goes to its standard input line by
// line, its transcript is read from its standard output as it comes.
class ClientProgram {
  public:
    ~ClientProgram() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            WaitForChild(pid_, seconds(10));
        }
        CloseScript();
        if (out_fd_ >= 0) {
            close(out_fd_);
        }
    }

    bool Start(std::vector<std::string> argv, std::vector<std::string> env,
               const std::string& errors_path) {
        // A program that ended must not take the test with it on a write.
        signal(SIGPIPE, SIG_IGN);
        int in[2];
        int out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors_path.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::vector<char*> args = Pointers(argv);
        const std::vector<char*> environment = Pointers(env);
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environment.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        in_fd_ = in[1];
        out_fd_ = out[0];
        return pid_ > 0;
    }

    void Send(const std::string& lines) {
        if (in_fd_ >= 0 && write(in_fd_, lines.data(), lines.size()) < 0) {
            CloseScript();
        }
    }

    // Sends the lines and a note, and waits until the note is in the
    // transcript: every command sent has then run. False when the program
    // ended first (a failed expectation ends it) or the time ran out.
    bool Run(const std::string& lines, seconds limit) {
        const std::string note = "note \"step " + std::to_string(++steps_) + "\"";
        Send(lines + note + "\n");
        return ReadUntil(note + "\n", limit);
    }

    // Ends the script; the program's exit code, or -1 when it had to be
    // killed.
    int Finish(seconds limit) {
        CloseScript();
        ReadUntil("", limit);
        const int code = WaitForChild(pid_, limit);
        if (code >= 0) {
            pid_ = -1;
        }
        return code;
    }

    const std::string& transcript() const { return transcript_; }
    std::vector<std::string> Lines(const std::string& kind) const {
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = transcript_.find('\n', start)) != std::string::npos;
             start = end + 1) {
            if (transcript_.compare(start, kind.size() + 1, kind + " ") == 0) {
                lines.push_back(transcript_.substr(start, end - start));
            }
        }
        return lines;
    }

  private:
    void CloseScript() {
        if (in_fd_ >= 0) {
            close(in_fd_);
            in_fd_ = -1;
        }
    }

    // Reads until the text shows (an empty text: until the end), the
    // program closes its output, or the deadline.
    bool ReadUntil(const std::string& text, seconds limit) {
        const auto deadline = Clock::now() + limit;
        while (text.empty() || transcript_.find(text) == std::string::npos) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd p{out_fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return false;
            }
            char buffer[4096];
            const ssize_t n = read(out_fd_, buffer, sizeof buffer);
            if (n <= 0) {
                return text.empty();
            }
            transcript_.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }

    pid_t pid_ = -1;
    int in_fd_ = -1;
    int out_fd_ = -1;
    int steps_ = 0;
    std::string transcript_;
};

class ClientTunnelSystemTest : public RealTunnelTest {
  protected:
    void SetUp() override {
        server_password_ = kSentPassword;
        RealTunnelTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        service_ = std::make_unique<testing::ServiceFixture>();
        ASSERT_TRUE(service_->Start(std::string(R"(
[service]
web_host = ${self}
version = 1187

[account tester]
password = )") + kSentPassword + R"(
vpntype = 4
server_ip = 192.0.2.1
vpnport = 1194
gateway_ip = 10.8.0.1
route_list = 0.0.0.0/0.0.0.0
open_config = ping 1^ping-exit 4
crt_ver = 1002
crt_file = http://${self}/crt/korvane_ca.crt
xxxdate = 2037-12-31 23:59:59
xxxtime = 43200
use_select = 1
zentra_auth = korvane_token
user_long_id = 100001

[band seoul]
ip = s01 203.0.113.11
)",
                                    {{"korvane_ca.crt", CaCertificate()}}));
        // The program folder is the executable's: a copy of it, beside the
        // launcher and the installers as the build placed them.
        const fs::path built = KORVANE_EXE;
        fs::copy_file(built, program_ / "korvane");
        for (const char* name : {"dovaop.exe", "32", "64", "AdapterInstall.exe"}) {
            fs::create_symlink(built.parent_path() / name, program_ / name);
        }
        fs::create_directories(home_ / "config");
        fs::create_directories(home_ / "instance");
        fs::permissions(home_ / "instance", fs::perms::owner_all);
        WriteBytes(work_ / "deploy.ini",
                   "auth_host = 127.0.0.1\nweb_host = " + service_->address() +
                       "\nport = " + std::to_string(service_->port()) + "\n");
    }

    void TearDown() override {
        program_run_.reset();
        // The tunnel of a program that did not end it: what it started works
        // in its folder.
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator("/proc", ec)) {
            std::error_code unreadable;
            const std::string pid = entry.path().filename();
            if (pid.find_first_not_of("0123456789") == std::string::npos &&
                fs::read_symlink(entry.path() / "cwd", unreadable) == program_.path()) {
                kill(std::stoi(pid), SIGKILL);
            }
        }
        if (out_stop_pid_ > 0) {
            kill(out_stop_pid_, SIGKILL);
            WaitForChild(out_stop_pid_, seconds(10));
        }
        service_.reset();
        RealTunnelTest::TearDown();
    }

    // The client's settings: the OUT hooks, a program to start and a
    // running one of ours to end, each leaving a marker.
    void ConfigureOutHooks() {
        FileSettingsStore store(home_ / "config");
        CRegCtrl settings(store);
        const char* key = "SOFTWARE\\Talvo";  // the client's settings key
        WriteBytes(program_ / "out-start.sh",
                   "#!/bin/sh\necho ran > '" + (program_ / "out-start.ran") + "'\n");
        fs::permissions(program_ / "out-start.sh", fs::perms::owner_all);
        ASSERT_EQ(settings.WriteValue(RegistryHive::CurrentUser, key, "OutStart", 1,
                                      program_ / "out-start.sh"),
                  1);
        // A shell under a name of its own, so that only it is ended by name.
        const std::string stopper = "outstop-" + std::to_string(getpid()) + ".exe";
        fs::copy_file(fs::canonical("/bin/sh"), program_ / stopper);
        std::vector<std::string> argv = {
            program_ / stopper, "-c",
            "exec >/dev/null 2>&1; trap \"echo stopped > '" + (program_ / "out-stop.ran") +
                "'; exit 0\" TERM; while :; do sleep 1 & wait $!; done"};
        const std::vector<char*> args = Pointers(argv);
        ASSERT_EQ(posix_spawn(&out_stop_pid_, args[0], nullptr, nullptr, args.data(), environ), 0);
        ASSERT_EQ(
            settings.WriteValue(RegistryHive::CurrentUser, key, "OutStop", 1, program_ / stopper),
            1);
    }

    void StartProgram() {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            if (entry.rfind("HOME=", 0) != 0 && entry.rfind("XDG_", 0) != 0 &&
                entry.rfind("KORVANE_INSTANCE_DIR=", 0) != 0) {
                env.push_back(entry);
            }
        }
        env.push_back("HOME=" + home_.path());
        env.push_back("XDG_CONFIG_HOME=" + (home_ / "config"));
        env.push_back("XDG_DATA_HOME=" + (home_ / "data"));
        program_run_ = std::make_unique<ClientProgram>();
        ASSERT_TRUE(program_run_->Start(
            {program_ / "korvane", "--headless", "--platform", "linux", "--script", "-", "--deploy",
             work_ / "deploy.ini", "--instance-dir", home_ / "instance"},
            env, work_ / "korvane.err"));
    }

    std::string Why() const {
        return "\n--- transcript\n" + program_run_->transcript() + "--- stderr\n" +
               ReadBytes(work_ / "korvane.err") + "--- tunnel log\n" +
               ReadBytes(program_ / "event.log");
    }

    // Logs in from the login panel; the routes before the tunnel.
    Texts LogIn() {
        EXPECT_TRUE(
            program_run_->Run("type login.1005 \"tester\"\n"
                              "type login.1006 \"" +
                                  std::string(kTypedPassword) +
                                  "\"\n"
                                  "key login.1006 return\n"
                                  "expect state LoggedIn\n"
                                  "expect managed_ip.1020 row 0 \"203.0.113.11\"\n",
                              seconds(30)))
            << Why();
        return RouteTexts();
    }

    // Double-clicks the exit address and waits in real time for the log
    // monitor to declare the tunnel up.
    void Connect() {
        const auto start = Clock::now();
        ASSERT_TRUE(
            program_run_->Run("dblclick managed_ip.1020 0\n"
                              "expect state Connected within 60\n",
                              seconds(90)))
            << Why();
        std::cout << "[ client   ] tunnel up " << SecondsSince(start)
                  << " s after the double-click\n";
    }

    bool TunnelFilesThere(bool all) const {
        int there = 0;
        for (const char* name : {"dovaen.opc", "ems.inf", "event.log", "korvane_token.txt"}) {
            there += fs::exists(program_ / name) ? 1 : 0;
        }
        return all ? there == 4 : there > 0;
    }

    TempFolder program_;
    TempFolder home_;
    std::unique_ptr<testing::ServiceFixture> service_;
    std::unique_ptr<ClientProgram> program_run_;
    pid_t out_stop_pid_ = -1;
};

TEST_F(ClientTunnelSystemTest, TheProgramConnectsAnExitAddressAndDisconnects) {
    ASSERT_NO_FATAL_FAILURE(ConfigureOutHooks());
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const Texts before_tunnel = LogIn();
    ASSERT_TRUE(HasRoute(kOwnDefaultRoute)) << Why();
    ASSERT_NO_FATAL_FAILURE(Connect());

    // The monitor read OpenVPN's own log; the panel shows the link's address.
    EXPECT_NE(program_run_->transcript().find("state Connecting\n"), std::string::npos);
    EXPECT_NE(program_run_->transcript().find("state Connected\n"), std::string::npos);
    EXPECT_NE(ReadBytes(program_ / "event.log").find("Initialization Sequence Completed"),
              std::string::npos);
    ExpectTunnelCarriesTheDefaultRoute();
    ASSERT_TRUE(program_run_->Run("expect status.1035 \"" + TapAddress() + "\"\n", seconds(10)))
        << Why();
    EXPECT_TRUE(TunnelFilesThere(true));
    EXPECT_EQ(TunnelProgramsIn(program_.path()).size(), 2u) << "the launcher and OpenVPN";
    EXPECT_EQ(ReadBytes(program_ / "korvane_ca.crt"), CaCertificate());

    ASSERT_TRUE(
        program_run_->Run("click status.1012\n"
                          "expect state Idle\n"
                          "expect status.1035 \"" +
                              std::string(kIpPrompt) + "\"\n",
                          seconds(30)))
        << Why();
    ExpectTableAsBeforeTheTunnel(before_tunnel);
    EXPECT_FALSE(TunnelFilesThere(false)) << "config, credentials, log and token are gone";
    EXPECT_TRUE(fs::exists(program_ / "korvane_ca.crt"));
    EXPECT_EQ(TunnelProgramsIn(program_.path()), Texts{}) << "the tunnel program ended";
    const int stopped = WaitForChild(out_stop_pid_, seconds(10));
    EXPECT_EQ(stopped, 0) << "OUT_STOP ended our program";
    if (stopped >= 0) {
        out_stop_pid_ = -1;
    }
    EXPECT_EQ(ReadBytes(program_ / "out-stop.ran"), "stopped\n");
    EXPECT_EQ(WaitForFile(program_ / "out-start.ran", seconds(10)), "ran\n") << "OUT_START ran";
    EXPECT_EQ(program_run_->Lines("box").size(), 1u) << "only the driver notice" << Why();

    ASSERT_TRUE(program_run_->Run("click status.1029\nexpect login visible\n", seconds(30)))
        << Why();
    EXPECT_EQ(program_run_->Finish(seconds(30)), 0) << Why();
}

TEST_F(ClientTunnelSystemTest, AServerKilledMidSessionIsReportedAndTheTableIsAsBefore) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const Texts before_tunnel = LogIn();
    ASSERT_NO_FATAL_FAILURE(Connect());
    ExpectTunnelCarriesTheDefaultRoute();

    const auto killed = Clock::now();
    StopServer();
    ASSERT_TRUE(program_run_->Run("expect state Idle within 60\n", seconds(90))) << Why();
    const std::vector<std::string> boxes = program_run_->Lines("box");
    ASSERT_FALSE(boxes.empty()) << Why();
    const std::string& last = boxes.back();
    const std::size_t code = last.find("CODE-");
    std::cout << "[ client   ] " << (code == std::string::npos ? "no code" : last.substr(code, 8))
              << " reported " << SecondsSince(killed) << " s after the server was killed\n";
    EXPECT_TRUE(last.find("caption=\"접속 오류\" text=\"CODE-004 : ") != std::string::npos ||
                last.find("caption=\"접속 오류\" text=\"CODE-005 : ") != std::string::npos)
        << last;
    ExpectTableAsBeforeTheTunnel(before_tunnel);
    EXPECT_FALSE(TunnelFilesThere(false));
    EXPECT_EQ(TunnelProgramsIn(program_.path()), Texts{}) << "the tunnel program ended";

    // The service heard of the end and got the real log with the report.
    std::vector<std::string> endpoints;
    std::string report;
    for (const auto& entry : service_->JournalEntries()) {
        endpoints.push_back(entry["endpoint"]);
        if (entry["endpoint"] == "event") {
            report = entry["fields"]["event"];
        }
    }
    ASSERT_GE(endpoints.size(), 2u);
    EXPECT_EQ(endpoints[endpoints.size() - 2], "logout");
    EXPECT_EQ(endpoints.back(), "event");
    EXPECT_NE(report.find("Initialization Sequence Completed"), std::string::npos) << report;

    EXPECT_EQ(program_run_->Finish(seconds(30)), 0) << Why();
}

}  // namespace
}  // namespace korvane::systest
