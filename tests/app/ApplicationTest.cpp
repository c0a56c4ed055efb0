#include <gtest/gtest.h>

#include <sstream>

#include "app/CKorvaneApp.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "platform/LcgRandom.h"
#include "platform/sim/SimEnvironment.h"
#include "platform/sim/SimInstance.h"
#include "platform/sim/VirtualClock.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

// One copy of the program on a simulated machine shared with other copies.
struct Copy {
    explicit Copy(SimInstanceSpace& space) : instance(space) {
        platform.clock = &clock;
        platform.random = &random;
        platform.environment = &environment;
        platform.instance = &instance;
    }
    std::ostringstream out;
    VirtualClock clock;
    LcgRandom random;
    SimEnvironment environment;
    SimInstance instance;
    Platform platform;
    HeadlessHost host{out, clock};
    SessionContext session;
    PendingOperations ops;
    CKorvaneApp app{host, platform, session, ops, DeploySettings{}, MakeTemplatePanels};
};

TEST(Application, StartUpFillsTheSessionRecord) {
    SimInstanceSpace space;
    Copy copy(space);
    copy.environment.windows_folder = "/home/u/.local/share/korvane";
    EXPECT_EQ(copy.app.StartUp(std::nullopt), CKorvaneApp::Start::RunMainWindow);
    EXPECT_EQ(copy.session.http_headers, kHttpHeaders);
    EXPECT_EQ(copy.session.ccver, 1187);
    EXPECT_EQ(copy.session.client_code, "korvane");
    EXPECT_EQ(copy.session.setup_page, "korvane_setup.php");
    EXPECT_EQ(copy.session.windows_dir, "/home/u/.local/share/korvane");
    EXPECT_EQ(copy.session.web_host, DeploySettings{}.web_host);
}

TEST(Application, ASecondCopyBringsTheFirstWindowUpAndEnds) {
    SimInstanceSpace space;
    Copy first(space);
    ASSERT_EQ(first.app.StartUp(std::nullopt), CKorvaneApp::Start::RunMainWindow);
    Copy second(space);
    first.host.SetModalHook([&](Dialog& main) {
        main.DispatchSysCommand(SysCommand::Minimize);
        // The second copy starts while the first is running.
        EXPECT_EQ(second.app.StartUp(std::string("acme^u^p^7194")),
                  CKorvaneApp::Start::ActivatedOther);
        EXPECT_FALSE(main.minimized());
        EXPECT_TRUE(main.visible());
        main.Close();
    });
    first.app.RunMainWindow();
    EXPECT_EQ(space.activations, 1);
    EXPECT_NE(first.out.str().find("minimize main\nshow main normal\n"), std::string::npos);
    EXPECT_EQ(second.app.main_window(), nullptr);
    EXPECT_TRUE(second.out.str().empty()) << "the second copy shows nothing";
    EXPECT_FALSE(space.listener) << "the first stops listening when its window ends";
}

TEST(Application, EndsSilentlyWhenTheClaimCannotBeMade) {
    SimInstanceSpace space;
    space.claims_fail = true;
    Copy copy(space);
    copy.app.Run(std::nullopt);
    EXPECT_EQ(copy.app.start(), CKorvaneApp::Start::ClaimFailed);
    EXPECT_TRUE(copy.out.str().empty());
    EXPECT_TRUE(copy.ops.calls().empty());
}

}  // namespace
}  // namespace korvane
