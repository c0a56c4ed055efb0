// Process queries and endings, and the program hooks, on a simulated
// machine's processes.
#include <gtest/gtest.h>

#include "../protocol/RecordingMessageBox.h"
#include "app/SessionContext.h"
#include "platform/sim/MemorySettingsStore.h"
#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimPrograms.h"
#include "platform/sim/SimSystemQueries.h"
#include "platform/sim/VirtualClock.h"
#include "settings/CRegCtrl.h"
#include "tunnel/COpenVpnMgmt.h"
#include "tunnel/CProcMonitor.h"
#include "tunnel/ProgramHooks.h"

namespace korvane::test {
namespace {

using Texts = std::vector<std::string>;

class ProcMonitorTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    SimNetwork network;
    SimSystemQueries system;
    SimProcesses processes{clock};
    SimOutsidePrograms programs{processes, network, system};
    CProcMonitor monitor{processes};
};

TEST_F(ProcMonitorTest, ExecutableNamesCompareWithoutCaseModulesExactly) {
    const int pid = processes.AddRunning("dovaop.exe", {"ntdll.dll"});
    EXPECT_EQ(monitor.IsProcessRunning("DOVAOP.EXE"), 1);
    EXPECT_EQ(monitor.IsProcessRunning("dovaop.exe"), 1);
    EXPECT_EQ(monitor.IsProcessRunning("dovaop"), 0);
    EXPECT_EQ(monitor.HasModule(pid, "dovaop.exe"), 1);
    EXPECT_EQ(monitor.HasModule(pid, "DOVAOP.EXE"), 0);
    EXPECT_EQ(monitor.HasModule(pid, "ntdll.dll"), 1);
    processes.MarkModulesUnreadable(pid);
    EXPECT_EQ(monitor.HasModule(pid, "dovaop.exe"), 0);
    processes.set_snapshot_fails(true);
    EXPECT_EQ(monitor.IsProcessRunning("dovaop.exe"), 0);
}

TEST_F(ProcMonitorTest, KillByModuleNameEndsOnlyTheFirstProcessItCanOpen) {
    const int locked = processes.AddRunning("dovaop.exe");
    const int first = processes.AddRunning("dovaop.exe");
    const int second = processes.AddRunning("dovaop.exe");
    processes.MarkUnopenable(locked);
    EXPECT_EQ(monitor.KillByModuleName("dovaop.exe"), 1);
    EXPECT_TRUE(processes.IsRunning(locked));
    EXPECT_FALSE(processes.IsRunning(first));
    EXPECT_TRUE(processes.IsRunning(second));
    EXPECT_EQ(monitor.KillByModuleName("nothing.exe"), 1) << "nothing to end is no failure";
    processes.set_snapshot_fails(true);
    EXPECT_EQ(monitor.KillByModuleName("dovaop.exe"), 0);
}

TEST_F(ProcMonitorTest, StopThatCannotReadTheProcessListSaysSo) {
    SessionContext session;
    session.tunnel_program = "dovaop.exe";
    testing::RecordingMessageBox boxes;
    COpenVpnMgmt openvpn(session, processes, boxes);
    EXPECT_EQ(openvpn.Stop(), 1);
    EXPECT_TRUE(boxes.boxes.empty());
    processes.set_snapshot_fails(true);
    EXPECT_EQ(openvpn.Stop(), 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, " 프로그램 종료 실패 ");
    EXPECT_EQ(boxes.boxes[0].caption, "Korvane");
}

TEST_F(ProcMonitorTest, TaskKillRunsTheCommandAndWaits) {
    const int app = processes.AddRunning("App.exe");
    const int child = processes.AddRunning("helper.exe", {}, app);
    const int other = processes.AddRunning("other.exe");
    EXPECT_EQ(monitor.TaskKill("app.exe"), 1);
    ASSERT_EQ(processes.launches().size(), 1u);
    EXPECT_EQ(processes.launches()[0].command_line, "taskkill.exe /T /F /IM app.exe");
    EXPECT_TRUE(processes.launches()[0].hidden);
    EXPECT_TRUE(processes.launches()[0].waited);
    EXPECT_FALSE(processes.IsRunning(app));
    EXPECT_FALSE(processes.IsRunning(child)) << "/T ends the children too";
    EXPECT_TRUE(processes.IsRunning(other));
}

TEST_F(ProcMonitorTest, WithoutTaskKillTheTreesAreEndedHere) {
    processes.Uninstall("taskkill.exe");
    const int app = processes.AddRunning("app.exe");
    const int child = processes.AddRunning("helper.exe", {}, app);
    const int grandchild = processes.AddRunning("helper.exe", {}, child);
    const int other = processes.AddRunning("helper.exe");
    EXPECT_EQ(monitor.TaskKill("APP.EXE"), 1);
    EXPECT_FALSE(processes.launches()[0].started);
    for (const int pid : {app, child, grandchild}) {
        EXPECT_FALSE(processes.IsRunning(pid)) << pid;
    }
    EXPECT_TRUE(processes.IsRunning(other));
    processes.set_snapshot_fails(true);
    EXPECT_EQ(monitor.TaskKill("app.exe"), 0);
}

class ProgramHooksTest : public ProcMonitorTest {
  protected:
    void SetUp() override {
        session.registry_root = RegistryHive::CurrentUser;
        session.registry_key = "SOFTWARE\\Talvo";
        programs.InstallPlain("app.exe", {});
    }
    void Set(const char* name, const char* value) {
        settings.WriteValue(session.registry_root, session.registry_key, name, 1, value);
    }

    SessionContext session;
    MemorySettingsStore store;
    CRegCtrl settings{store};
    CProcMonitor hook_monitor{processes};
    ProgramHooks hooks{session, settings, processes, hook_monitor};
};

TEST_F(ProgramHooksTest, StartEventsStartTheProgramShownWithoutWaiting) {
    Set("inStart", "C:\\Tools\\app.exe /quiet");
    Set("OutStart", "app.exe");
    EXPECT_EQ(hooks.RunProgramHook("IN_START"), 0);
    EXPECT_EQ(hooks.RunProgramHook("OUT_START"), 0);
    EXPECT_EQ(processes.CommandLines(), (Texts{"C:\\Tools\\app.exe /quiet", "app.exe"}));
    for (const auto& launch : processes.launches()) {
        EXPECT_FALSE(launch.hidden);
        EXPECT_FALSE(launch.waited);
    }
    EXPECT_EQ(processes.CountRunning("app.exe"), 2);
}

TEST_F(ProgramHooksTest, StopEventsEndTheProgramByItsFileName) {
    struct Case {
        const char* value;
        const char* command;
    };
    for (const Case& c : {Case{"C:\\Tools\\app.exe", "taskkill.exe /T /F /IM app.exe"},
                          Case{"app.exe", "taskkill.exe /T /F /IM app.exe"},
                          Case{"/opt/tools/app", "taskkill.exe /T /F /IM app"}}) {
        Set("OutStop", c.value);
        hooks.RunProgramHook("OUT_STOP");
        EXPECT_EQ(processes.launches().back().command_line, c.command) << c.value;
        EXPECT_TRUE(processes.launches().back().waited);
    }
}

TEST_F(ProgramHooksTest, EmptyValuesAndUnknownEventsDoNothing) {
    Set("inStart", "app.exe");
    for (const char* event : {"OUT_START", "IN_STOP", "OUT_STOP", "in_start", "IN_START "}) {
        EXPECT_EQ(hooks.RunProgramHook(event), 0);
    }
    EXPECT_TRUE(processes.launches().empty());
}

}  // namespace
}  // namespace korvane::test
