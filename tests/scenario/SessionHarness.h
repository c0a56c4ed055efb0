#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "RecordingTunnel.h"
#include "ServiceFixture.h"
#include "app/CKorvaneDlg.h"
#include "app/IpSelectionSteps.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "app/SessionOperations.h"
#include "netenv/CNetworkMgmt.h"
#include "platform/LcgRandom.h"
#include "platform/linux/SystemClock.h"
#include "platform/sim/MemorySettingsStore.h"
#include "platform/sim/SimCommandRunner.h"
#include "platform/sim/SimEnvironment.h"
#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimSystemQueries.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountInfo.h"
#include "protocol/CWebMgmt.h"
#include "settings/CRegCtrl.h"
#include "ui/headless/HeadlessHost.h"
#include "update/CUpdateMgmt.h"

namespace korvane::test {

// The session side of the client against a running service: the main
// window with its real panels on the headless host, a simulated machine with
// one adapter and a default route, the settings in memory, and real files in
// a folder of its own (program folder and Temp). The tunnel side is a
// recording fake; what its start-up would set is set here.
class SessionHarness {
  public:
    explicit SessionHarness(const testing::ServiceFixture& service,
                            std::int64_t download_limit_ms = CUpdateMgmt::kDefaultLimitMs);
    ~SessionHarness();

    // Builds the main window and runs its initialisation as its modal run does.
    CKorvaneDlg& Start();
    Dialog& Panel(const std::string& name) { return *host.FindDialog(name); }
    // Types the credentials and presses the login button.
    void LogIn(const std::string& id, const std::string& password);

    // Transcript lines written since the last call.
    std::vector<std::string> NewLines();
    // Every transcript line starting with prefix.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const;
    std::string Setting(const std::string& name) const;

    std::string folder;
    std::ostringstream out;
    VirtualClock clock;
    HeadlessHost host{out, clock};
    LcgRandom random;
    SimEnvironment environment;
    SimCommandRunner commands;
    SimNetwork network;
    SimSystemQueries system;
    CNetworkMgmt net{network, system, commands};
    MemorySettingsStore store;
    CRegCtrl settings{store};
    SessionContext session;
    AccountInfo account;
    CWebMgmt web;
    SystemClock download_clock;
    CUpdateMgmt updates;
    RecordingTunnel tunnel;
    IpSelectionSteps ip_selection;
    PendingOperations tunnel_side;
    SessionServices services;
    SessionOperations operations;
    DeploySettings deploy;
    std::unique_ptr<CKorvaneDlg> main;

  private:
    std::size_t seen_ = 0;
};

}  // namespace korvane::test
