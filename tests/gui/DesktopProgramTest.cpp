// The korvane program on the desktop host: it opens its window (offscreen
// here), keeps running until its window ends, and a second copy gets the
// first one's window shown through the blocking send to the interface thread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace korvane::gui {
namespace {

class Folder {
  public:
    Folder() {
        char pattern[] = "/tmp/korvane-desktop-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~Folder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Starts korvane with its output in files of `folder`; the environment is
// this one's with the program's own folders and the offscreen platform.
pid_t Start(const Folder& folder, const std::string& name, std::vector<std::string> args) {
    args.insert(args.begin(), KORVANE_EXE);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env{"KORVANE_INSTANCE_DIR=" + folder.path() + "/instance",
                                 "XDG_DATA_HOME=" + folder.path() + "/data",
                                 "QT_QPA_PLATFORM=offscreen", "KORVANE_BROWSER=light"};
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("KORVANE_", 0) != 0 && entry.rfind("XDG_DATA_HOME=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0) {
            env.push_back(entry);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (folder.path() + "/" + name + ".out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, (folder.path() + "/" + name + ".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, KORVANE_EXE, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// The exit code, or -1 when it did not end in time (it is then killed).
int WaitFor(pid_t pid, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

TEST(DesktopProgram, OpensItsWindowAndASecondCopyBringsItUp) {
    Folder folder;
    const pid_t first = Start(folder, "first", {"--no-tray"});
    ASSERT_GT(first, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Exists(folder.path() + "/instance/DIZidezod.sock") &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(Exists(folder.path() + "/instance/DIZidezod.sock"))
        << ReadFile(folder.path() + "/first.err");
    // The window is up and running its loop: it has not ended by itself.
    EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0);

    const pid_t second = Start(folder, "second", {"--headless"});
    ASSERT_GT(second, 0);
    EXPECT_EQ(WaitFor(second, 20), 0) << ReadFile(folder.path() + "/second.err");
    EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the first copy keeps running";

    // The end of a desktop session closes the program rather than killing it.
    kill(first, SIGTERM);
    EXPECT_EQ(WaitFor(first, 10), 0);
    EXPECT_EQ(ReadFile(folder.path() + "/first.out"), "");
}

TEST(DesktopProgram, WithoutADisplayItSaysSoAndEnds) {
    Folder folder;
    std::vector<std::string> args{"--no-tray"};
    args.insert(args.begin(), KORVANE_EXE);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::string instance = "KORVANE_INSTANCE_DIR=" + folder.path() + "/instance";
    std::string data = "XDG_DATA_HOME=" + folder.path() + "/data";
    std::string path = std::string("PATH=") + (std::getenv("PATH") ? std::getenv("PATH") : "");
    char* envp[] = {instance.data(), data.data(), path.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, (folder.path() + "/err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, KORVANE_EXE, &actions, nullptr, argv.data(), envp), 0);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(WaitFor(pid, 20), 3);
    EXPECT_NE(ReadFile(folder.path() + "/err").find("no display"), std::string::npos);
}

}  // namespace
}  // namespace korvane::gui
