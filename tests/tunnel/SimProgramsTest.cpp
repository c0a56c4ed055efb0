// The simulated machine's outside programs and their machine-file sections.
#include <gtest/gtest.h>

#include "SimTunnelMachine.h"
#include "app/PlatformSetup.h"
#include "platform/sim/MachineDescription.h"
#include "tunnel/OpenVpnLog.h"

namespace korvane::test {
namespace {

using Texts = std::vector<std::string>;

class SimTunnelProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteBytes(m.folder / "dovaen.opc", "client\r\n");
        WriteBytes(m.folder / "zentra.txt", "we go on up\r\n");
    }
    int Launch(const std::string& line) {
        LaunchRequest request{line, m.folder.path(), true};
        int error = 0;
        return m.processes.Launch(request, error);
    }
    std::string Log() const { return ReadBytes(m.folder / "event.log"); }

    SimTunnelMachine m;
};

TEST_F(SimTunnelProgramTest, FollowsItsScenarioOverSimulatedTime) {
    m.programs.tunnel.complete_after = 3;
    m.programs.tunnel.exit_after = 5;
    const int pid = Launch("dovaop.exe --config dovaen.opc --log event.log zentra.txt");
    ASSERT_GT(pid, 0);
    EXPECT_EQ(ScanLogFile(m.folder / "event.log", true), kLogRunning);
    EXPECT_TRUE(m.network.FindAdapter(kTapIndex)->record.addresses.empty());
    m.clock.AdvanceMilliseconds(3000);
    EXPECT_TRUE(m.processes.IsRunning(pid));
    EXPECT_EQ(ScanLogFile(m.folder / "event.log", true), kLogCompleted);
    EXPECT_EQ(m.mgmt.GetInterfaceAddress(kTapIndex), "10.8.0.2");
    EXPECT_NE(Log().find("2026-01-05 09:00:03 Initialization Sequence Completed\n"),
              std::string::npos);
    m.clock.AdvanceMilliseconds(2000);
    EXPECT_FALSE(m.processes.IsRunning(pid));
    EXPECT_EQ(m.mgmt.GetInterfaceAddress(kTapIndex), "") << "the address goes with the program";
    EXPECT_EQ(ScanLogFile(m.folder / "event.log", false), kLogEndedLongLog);
}

TEST_F(SimTunnelProgramTest, RefusesWhatTheClientMustNotGetWrong) {
    struct Case {
        const char* name;
        const char* line;
        std::function<void()> arrange;
        const char* logged;  // nullptr: no log at all
    };
    const std::vector<Case> cases = {
        {"token as no last argument", "dovaop.exe --config dovaen.opc --log event.log", [] {},
         nullptr},
        {"no configuration", "dovaop.exe --config none.opc --log event.log zentra.txt", [] {},
         "Error opening configuration file: none.opc"},
        {"wrong pass phrase", "dovaop.exe --config dovaen.opc --log event.log zentra.txt",
         [&] { WriteBytes(m.folder / "zentra.txt", "we go up\r\n"); }, "does not hold"},
        {"no TAP adapter", "dovaop.exe --config dovaen.opc --log event.log zentra.txt",
         [&] { m.network.RemoveAdapter(kTapIndex); },
         "There are no TAP-Win32 adapters on this system"},
    };
    for (const Case& c : cases) {
        SetUp();
        std::remove((m.folder / "event.log").c_str());
        c.arrange();
        const int pid = Launch(c.line);
        ASSERT_GT(pid, 0);
        EXPECT_FALSE(m.processes.IsRunning(pid)) << c.name;
        if (c.logged == nullptr) {
            EXPECT_FALSE(m.Exists("event.log")) << c.name;
        } else {
            EXPECT_NE(Log().find(c.logged), std::string::npos) << c.name << ": " << Log();
        }
    }
}

TEST_F(SimTunnelProgramTest, InstallersNumberASecondAdapter) {
    int exit_code = -1;
    const auto run = [&](const std::string& line) {
        const int pid = Launch(line);
        EXPECT_TRUE(m.processes.Wait(pid, exit_code));
        return exit_code;
    };
    EXPECT_EQ(run("\"/x/64/tapinstall64.exe\" install \"/x/64/OemVista.inf\" tap0901"), 0);
    EXPECT_EQ(m.mgmt.CountAdaptersByDescription("TAP-Windows Adapter V9"), 2);
    std::vector<std::string> descriptions;
    for (const SimAdapter& a : m.network.adapters()) {
        descriptions.push_back(a.record.description);
    }
    EXPECT_EQ(descriptions.back(), "TAP-Windows Adapter V9 #2");
    EXPECT_EQ(run("\"/x/64/tapinstall64.exe\" remove \"/x/64/OemVista.inf\" tap0901"), 0);
    EXPECT_EQ(m.mgmt.CountAdaptersByDescription("TAP-Windows Adapter V9"), 0);
    EXPECT_EQ(run("\"/x/64/tapinstall64.exe\" install \"/x/64/OemVista.inf\" tap0902"), 1);
    EXPECT_EQ(run("\"/x/32/tapinstall32.exe\" install \"/x/32/oemdrv.inf\" tap0901"), 0);
    EXPECT_EQ(m.mgmt.CountAdaptersByDescription("Morvask PCI Fast Controller"), 1);
    EXPECT_EQ(run("taskkill.exe /T /F /IM nothing.exe"), 128);
}

TEST(SimMachineFile, TunnelAndProgramSectionsShapeTheMachine) {
    TempFolder folder;
    WriteBytes(folder / "machine.ini",
               "[tunnel]\nlines = 10\ncomplete_after = -1\nerror = netsh command failed\n"
               "error_after = 2\nexit_after = 40\naddress = 10.9.0.6\n"
               "[program app.exe]\nrunning = 2\nmodule = helper.dll\n"
               "[program taskkill.exe]\nmissing = yes\n");
    std::string error;
    auto backends = BuildSimBackends(folder / "machine.ini", error);
    ASSERT_NE(backends, nullptr) << error;
    const SimTunnelScenario& s = backends->programs->tunnel;
    EXPECT_EQ(s.log_lines, 10);
    EXPECT_EQ(s.complete_after, -1);
    EXPECT_EQ(s.error, "netsh command failed");
    EXPECT_EQ(s.error_after, 2);
    EXPECT_EQ(s.exit_after, 40);
    EXPECT_EQ(s.address, "10.9.0.6");
    EXPECT_EQ(s.mask, "255.255.255.0");
    auto& processes = static_cast<SimProcesses&>(*backends->processes);
    EXPECT_EQ(processes.CountRunning("app.exe"), 2);
    std::vector<ProcessEntry> running;
    ASSERT_TRUE(processes.Snapshot(running));
    std::vector<std::string> modules;
    ASSERT_TRUE(processes.Modules(static_cast<int>(running[0].pid), modules));
    EXPECT_EQ(modules, (Texts{"app.exe", "helper.dll"}));
    EXPECT_FALSE(processes.Installed("taskkill.exe"));
    EXPECT_TRUE(processes.Installed("dovaop.exe"));
    EXPECT_EQ(backends->platform.processes, backends->processes.get());
}

TEST(SimMachineFile, FaultsNameTheirLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    for (const Case& c :
         {Case{"[tunnel]\nlines = many\n", ":2: lines must be a whole number"},
          Case{"[tunnel]\ncomplete = 3\n", ":2:"}, Case{"[program]\nmissing = yes\n", ":1:"},
          Case{"[program x.exe]\nmissing = maybe\n", ":2:"},
          Case{"[tunnel]\nexit_after = -2\n", ":2:"}}) {
        TempFolder folder;
        WriteBytes(folder / "machine.ini", c.text);
        std::string error;
        EXPECT_EQ(BuildSimBackends(folder / "machine.ini", error), nullptr) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace korvane::test
