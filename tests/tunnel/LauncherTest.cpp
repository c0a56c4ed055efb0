// The tunnel launcher (dovaop.exe) as the client starts it, with a stand-in
// for the OpenVPN program that notes how it was run and which signals it got.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "../protocol/RecordingMessageBox.h"
#include "../settings/TempFolder.h"
#include "Eventually.h"
#include "app/SessionContext.h"
#include "platform/linux/LinuxProcesses.h"
#include "tunnel/COpenVpnMgmt.h"
#include "tunnel/OpenVpnLog.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;

constexpr char kFakeOpenVpn[] = R"(#!/bin/sh
printf '%s\n' "$@" > "$FAKE_DIR/args"
pwd >> "$FAKE_DIR/args"
echo $$ > "$FAKE_DIR/pid"
while [ $# -gt 0 ]; do
  [ "$1" = --log ] && log=$2
  shift
done
i=0
while [ $i -lt 20 ]; do echo "2026-01-05 09:00:00 chatter line number $i" >> "$log"; i=$((i+1)); done
echo "2026-01-05 09:00:00 Initialization Sequence Completed" >> "$log"
trap 'echo TERM >> "$FAKE_DIR/signals"; exit 0' TERM
while :; do sleep 0.05; done
)";

using korvane::testing::Eventually;

class LauncherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A name of this test's own, so that ending "the tunnel program" by
        // name never reaches a real tunnel of the machine.
        fs::copy_file(KORVANE_LAUNCHER, folder / program);
        fs::create_directory(folder / "fake");
        WriteBytes(folder / "fake/openvpn", kFakeOpenVpn);
        fs::permissions(folder / "fake/openvpn", fs::perms::owner_all);
        setenv("KORVANE_OPENVPN", (folder / "fake/openvpn").c_str(), 1);
        setenv("FAKE_DIR", (folder / "fake").c_str(), 1);
        WriteBytes(folder / "dovaen.opc", "client\r\ndev tap\r\n");
        WriteBytes(folder / "zentra.txt", "we go on up\r\n");
        session.program_dir = folder.path();
        session.tunnel_program = program;
        session.tunnel_config = "dovaen.opc";
        session.tunnel_log = "event.log";
        session.auth_file = "zentra.txt";
    }
    void TearDown() override {
        openvpn.Stop();
        const std::string pid = ReadBytes(folder / "fake/pid");
        if (!pid.empty()) {
            // The stand-in, should the test have failed before it ended.
            kill(std::stoi(pid), SIGKILL);
        }
        for (const char* name : {"KORVANE_OPENVPN", "FAKE_DIR"}) {
            unsetenv(name);
        }
    }
    // Runs the launcher to its end with the command line; its exit code.
    int RunToEnd(const std::string& line) {
        int error = 0;
        const int pid = processes.Launch({line, folder.path(), true}, error);
        int code = -1;
        EXPECT_TRUE(processes.Wait(pid, code));
        return code;
    }
    bool FakeGot(const char* signal) {
        return ReadBytes(folder / "fake/signals").find(signal) != std::string::npos;
    }
    bool FakeGone() {
        const std::string pid = ReadBytes(folder / "fake/pid");
        return !pid.empty() && !fs::exists("/proc/" + std::to_string(std::stoi(pid)) + "/stat");
    }

    const std::string program = "dovaop-" + std::to_string(getpid()) + ".exe";
    TempFolder folder;
    SessionContext session;
    LinuxProcesses processes{folder.path()};
    testing::RecordingMessageBox boxes;
    COpenVpnMgmt openvpn{session, processes, boxes};
};

TEST_F(LauncherTest, RunsOpenVpnOnItsFilesAndIsFoundByItsName) {
    ASSERT_EQ(openvpn.Start(), 1);
    ASSERT_TRUE(Eventually([&] { return openvpn.CheckLog() == kLogCompleted; }));
    const std::string args = ReadBytes(folder / "fake/args");
    EXPECT_EQ(args.rfind("--config\ndovaen.opc\n", 0), 0u) << args;
    EXPECT_NE(args.find("--log\nevent.log\n" + folder.path() + "\n"), std::string::npos)
        << "the log last, in the program folder: " << args;
    EXPECT_EQ(openvpn.monitor().IsProcessRunning(program), 1);

    EXPECT_EQ(openvpn.Stop(), 1);
    EXPECT_TRUE(FakeGot("TERM")) << "the launcher passed the signal on";
    EXPECT_EQ(openvpn.monitor().IsProcessRunning(program), 0);
    EXPECT_TRUE(Eventually([&] { return FakeGone(); }));
    EXPECT_EQ(openvpn.CheckLog(), kLogEndedLongLog) << "21 lines, the program gone";
    EXPECT_TRUE(boxes.boxes.empty());
}

// In a network namespace of its own (root only), with links made there.
TEST_F(LauncherTest, DirectsOpenVpnToTheLinkOfTheTapDescription) {
    if (geteuid() != 0) {
        if (std::getenv("KORVANE_REQUIRE_SYSTEM_TESTS") != nullptr) {
            FAIL() << "needs root for a network namespace";
        }
        GTEST_SKIP() << "needs root for a network namespace (run as root, as CI does)";
    }
    struct Case {
        const char* links;
        const char* dev;
    };
    const Case cases[] = {
        {"ip tuntap add dev kvtap4 mode tap && ip link set kvtap4 alias 'TAP-Windows Adapter V9' "
         "&& ip tuntap add dev kvtap5 mode tap && ip link set kvtap5 alias 'Morvask PCI Fast "
         "Controller #2' && ip tuntap add dev kvtap6 mode tap && ",
         "--dev\nkvtap5\n--dev-type\ntap\n"},
        {"ip tuntap add dev kvtap4 mode tap && ip link set kvtap4 alias 'TAP-Windows Adapter V9' "
         "&& ",
         "--dev\nkvtap4\n--dev-type\ntap\n"},
        {"", ""},
    };
    for (const Case& c : cases) {
        fs::remove(folder / "fake/args");
        const std::string line = "unshare -n sh -c \"" + std::string(c.links) + "exec ./" +
                                 program + " --config dovaen.opc --log event.log zentra.txt\"";
        int error = 0;
        const int pid = processes.Launch({line, folder.path(), true}, error);
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(Eventually([&] { return fs::exists(folder / "fake/pid"); })) << c.links;
        ASSERT_TRUE(Eventually([&] {
            return ReadBytes(folder / "fake/args").find(folder.path()) != std::string::npos;
        }));
        EXPECT_EQ(ReadBytes(folder / "fake/args"), "--config\ndovaen.opc\n" + std::string(c.dev) +
                                                       "--log\nevent.log\n" + folder.path() + "\n")
            << c.links;
        processes.Terminate(pid);
        ASSERT_TRUE(Eventually([&] { return FakeGone(); }));
        fs::remove(folder / "fake/pid");
    }
}

TEST_F(LauncherTest, OpenVpnEndsWhenTheLauncherIsKilled) {
    int error = 0;
    const int pid = processes.Launch(
        {program + " --config dovaen.opc --log event.log zentra.txt", folder.path(), true}, error);
    ASSERT_TRUE(Eventually([&] { return fs::exists(folder / "fake/pid"); }));
    kill(pid, SIGKILL);
    EXPECT_TRUE(Eventually([&] { return FakeGot("TERM"); }));
    EXPECT_TRUE(Eventually([&] { return FakeGone(); }));
}

TEST_F(LauncherTest, RefusesToStartWithoutItsTokenOrOpenVpn) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::string line;
        int exit_code;
        const char* logged;
    };
    const std::vector<Case> cases = {
        {"token as no last argument", [] {}, program + " --config dovaen.opc --log event.log", 2,
         nullptr},
        {"an extra argument", [] {},
         program + " --config dovaen.opc --log event.log zentra.txt more", 2, nullptr},
        {"wrong pass phrase", [&] { WriteBytes(folder / "zentra.txt", "we go on\r\n"); },
         program + " --config dovaen.opc --log event.log zentra.txt", 3,
         "dovaop: the token file zentra.txt does not hold the pass phrase"},
        {"missing token", [&] { fs::remove(folder / "zentra.txt"); },
         program + " --config dovaen.opc --log event.log zentra.txt", 3, "token file"},
        {"no OpenVPN", [&] { setenv("KORVANE_OPENVPN", "/nonexistent/openvpn", 1); },
         program + " --config dovaen.opc --log event.log zentra.txt", 4,
         "the OpenVPN program (package openvpn) was not found"},
    };
    for (const Case& c : cases) {
        fs::remove(folder / "event.log");
        WriteBytes(folder / "zentra.txt", "we go on up\r\n");
        c.arrange();
        EXPECT_EQ(RunToEnd(c.line), c.exit_code) << c.name;
        const std::string log = ReadBytes(folder / "event.log");
        if (c.logged == nullptr) {
            EXPECT_EQ(log, "") << c.name;
        } else {
            EXPECT_NE(log.find(c.logged), std::string::npos) << c.name << ": " << log;
        }
        EXPECT_FALSE(fs::exists(folder / "fake/args")) << c.name;
    }
}

}  // namespace
}  // namespace korvane::test
