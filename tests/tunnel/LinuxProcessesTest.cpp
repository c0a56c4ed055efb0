// The Linux process backend on real processes of the test's own.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "../settings/TempFolder.h"
#include "Eventually.h"
#include "platform/linux/LinuxProcesses.h"
#include "tunnel/CProcMonitor.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;

using korvane::testing::Eventually;

class LinuxProcessesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A program whose file is called like the tunnel program.
        fs::copy_file("/bin/sleep", folder / program);
        fs::copy_file("/bin/sh", folder / tree);
    }
    void TearDown() override {
        for (const int pid : started) {
            processes.Terminate(pid);
        }
    }
    int Launch(const std::string& line, const std::string& directory = {}) {
        int error = 0;
        const int pid = processes.Launch({line, directory, true}, error);
        if (pid > 0) {
            started.push_back(pid);
        }
        return pid;
    }
    bool Listed(int pid) {
        std::vector<ProcessEntry> all;
        EXPECT_TRUE(processes.Snapshot(all));
        return std::any_of(all.begin(), all.end(),
                           [&](const ProcessEntry& e) { return static_cast<int>(e.pid) == pid; });
    }

    // Upper case letters show the name comparisons; the pid keeps the name
    // away from any real program of the machine.
    const std::string program = "Tunnel-" + std::to_string(getpid()) + ".exe";
    const std::string tree = "tree-" + std::to_string(getpid()) + ".exe";
    const std::string upper = "TUNNEL-" + std::to_string(getpid()) + ".EXE";
    TempFolder folder;
    LinuxProcesses processes{folder.path()};
    CProcMonitor monitor{processes};
    std::vector<int> started;
};

TEST_F(LinuxProcessesTest, ExecutableAndModulesAreFileNames) {
    const int pid = Launch(program + " 30");
    ASSERT_GT(pid, 0);
    // The loader maps the C library just after the exec; wait for it so a
    // loaded machine does not read a half-built address space.
    std::vector<std::string> modules;
    for (int i = 0; i < 200; ++i) {
        if (processes.Modules(pid, modules) &&
            std::any_of(modules.begin(), modules.end(),
                        [](const std::string& m) { return m.rfind("libc", 0) == 0; })) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(monitor.IsProcessRunning(upper), 1);
    EXPECT_EQ(monitor.HasModule(pid, program), 1);
    EXPECT_EQ(monitor.HasModule(pid, upper), 0);
    ASSERT_TRUE(processes.Modules(pid, modules));
    EXPECT_EQ(modules.front(), program);
    EXPECT_TRUE(std::any_of(modules.begin(), modules.end(),
                            [](const std::string& m) { return m.rfind("libc", 0) == 0; }));
    int code = 0;
    ASSERT_TRUE(processes.ExitCode(pid, code));
    EXPECT_EQ(code, kProcessStillActive);
}

TEST_F(LinuxProcessesTest, KillByModuleNameLeavesNoProcessBehind) {
    const int first = Launch(program + " 30");
    const int second = Launch(program + " 30");
    EXPECT_EQ(monitor.KillByModuleName(program), 1);
    EXPECT_FALSE(Listed(first)) << "ended and reaped, not a zombie";
    EXPECT_TRUE(Listed(second)) << "one process per call";
    int code = 0;
    ASSERT_TRUE(processes.ExitCode(first, code));
    EXPECT_EQ(code, 128 + SIGTERM);
    EXPECT_EQ(monitor.KillByModuleName(program), 1);
    EXPECT_EQ(monitor.IsProcessRunning(program), 0);
}

TEST_F(LinuxProcessesTest, RunsInTheWorkingDirectoryAndReportsExitCodes) {
    fs::create_directory(folder / "work");
    const int pid = Launch("sh -c \"pwd > here.txt; exit 7\"", folder / "work");
    ASSERT_GT(pid, 0);
    int code = 0;
    ASSERT_TRUE(processes.Wait(pid, code));
    EXPECT_EQ(code, 7);
    EXPECT_EQ(ReadBytes(folder / "work/here.txt"), folder / "work\n");
    EXPECT_FALSE(processes.Wait(1, code)) << "only our own children are waited for";
}

TEST_F(LinuxProcessesTest, ProgramsAreLookedForInTheProgramFolderFirst) {
    WriteBytes(folder / "hello.exe", "#!/bin/sh\necho from-folder > \"$1\"\n");
    fs::permissions(folder / "hello.exe", fs::perms::owner_all);
    const int pid = Launch("hello.exe " + (folder / "out.txt"), "/");
    int code = -1;
    ASSERT_TRUE(processes.Wait(pid, code));
    EXPECT_EQ(ReadBytes(folder / "out.txt"), "from-folder\n");
    int error = 0;
    EXPECT_EQ(processes.Launch({"no-such-program-anywhere", "", true}, error), -1);
    EXPECT_EQ(error, kProcessErrorNotFound);
    EXPECT_EQ(processes.Launch({"", "", true}, error), -1);
}

TEST_F(LinuxProcessesTest, EndedChildrenLeaveTheSnapshot) {
    const int pid = Launch("sh -c \"exit 3\"");
    ASSERT_TRUE(Eventually([&] { return !Listed(pid); }));
    int code = 0;
    ASSERT_TRUE(processes.ExitCode(pid, code));
    EXPECT_EQ(code, 3);
}

TEST_F(LinuxProcessesTest, TaskKillWithoutTaskKillEndsTheTree) {
    const int parent = Launch(tree + " -c \"sleep 30 & sleep 31 & wait\"");
    std::vector<int> children;
    ASSERT_TRUE(Eventually([&] {
        std::vector<ProcessEntry> all;
        processes.Snapshot(all);
        children.clear();
        for (const ProcessEntry& e : all) {
            if (static_cast<int>(e.parent_pid) == parent) {
                children.push_back(static_cast<int>(e.pid));
            }
        }
        return children.size() == 2;
    }));
    EXPECT_EQ(monitor.TaskKill("TREE-" + std::to_string(getpid()) + ".EXE"), 1);
    EXPECT_FALSE(Listed(parent));
    for (const int child : children) {
        EXPECT_TRUE(Eventually([&] { return !Listed(child); })) << child;
    }
}

}  // namespace
}  // namespace korvane::test
