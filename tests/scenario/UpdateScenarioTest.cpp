// The update that follows a login, against a running service that serves
// the version file and the installer.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "SessionHarness.h"

namespace korvane {
namespace {

using test::SessionHarness;
using testing::ServiceFixture;

std::string Config(const std::string& version, const std::string& failure = {}) {
    return R"(
[service]
web_host = ${self}
version = )" +
           version +
           R"(
download = http://${self}/vpn_program/korvane_setup_1190.exe

[account kim]
password = secret
vpntype = 4
xxxdate = +30d
)" + failure;
}

// The installer starts; the start-up's firewall commands are no concern here.
std::vector<SimCommandRunner::Run> InstallerRuns(const SessionHarness& h) {
    std::vector<SimCommandRunner::Run> runs;
    for (const SimCommandRunner::Run& run : h.commands.runs()) {
        if (run.command_line.find("korvane_setup") != std::string::npos) {
            runs.push_back(run);
        }
    }
    return runs;
}

const std::map<std::string, std::string> kInstaller = {
    {"korvane_setup_1190.exe", "#!/bin/sh\necho installer 1190\n"}};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const kUpdateBox =
    "box caption=\"프로그램 업데이트\" text=\"프로그램이 업데이트 되었습니다. \\n\\n지금부터 "
    "프로그램을 업데이트 시작 합니다.\" buttons=ok answer=ok";

TEST(UpdateScenario, ANewerVersionDownloadsClosesAndStartsTheInstaller) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(Config("1190"), kInstaller));
    SessionHarness h(service);
    h.Start();
    const std::string installer = h.session.temp_dir + "/korvane_setup_1190.exe";
    std::ofstream(installer) << "an older download";
    h.session.user_id = "kim";
    h.session.password = "secret";
    h.session.auth_mode = "user";

    EXPECT_EQ(h.operations.RunLogin(), -1);

    EXPECT_EQ(h.account.update_version, 1190);
    EXPECT_EQ(h.LinesStartingWith("box "), std::vector<std::string>{kUpdateBox});
    EXPECT_EQ(ReadFile(installer), "#!/bin/sh\necho installer 1190\n");
    EXPECT_TRUE(h.main->ended()) << "the main window was sent its close message";
    EXPECT_FALSE(h.main->visible());
    EXPECT_FALSE(h.host.tray().present);
    const auto runs = InstallerRuns(h);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].command_line, "\"" + installer + "\"");
    EXPECT_FALSE(runs[0].waited);
    // The tear-down before the update reports nothing.
    EXPECT_EQ(h.tunnel.calls,
              (std::vector<std::string>{"StopTunnelProgram", "DeleteTunnelFiles",
                                        "StopTunnelProgram", "DeleteTunnelFiles",
                                        "RunProgramHook(OUT_START)", "RunProgramHook(OUT_STOP)"}));
    for (const auto& entry : service.JournalEntries()) {
        EXPECT_NE(entry["endpoint"], "event");
    }
    EXPECT_FALSE(h.Panel("status").visible()) << "no login: the status panel never showed";
}

TEST(UpdateScenario, TheSameVersionIsNoUpdate) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(Config("1187"), kInstaller));
    SessionHarness h(service);
    h.Start();
    h.LogIn("kim", "secret");
    EXPECT_EQ(h.session.state, SessionState::LoggedIn);
    EXPECT_TRUE(h.LinesStartingWith("box ").empty());
    EXPECT_TRUE(InstallerRuns(h).empty());
}

TEST(UpdateScenario, ADownloadThatStallsPastTheLimitFailsTheLogin) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(Config("1190", "[failure files]\ndelay_ms = 4000\n"), kInstaller));
    // A limit of one second stands for the thirty: the download runs in real time.
    SessionHarness h(service, 1000);
    h.Start();
    h.session.user_id = "kim";
    h.session.password = "secret";
    h.session.auth_mode = "user";

    EXPECT_EQ(h.operations.RunLogin(), -2);

    EXPECT_EQ(h.LinesStartingWith("box "),
              (std::vector<std::string>{
                  kUpdateBox,
                  "box caption=\"통신 오류\" text=\"CODE-021 : 시스템 장애로 업데이트를 정상적으로 "
                  "수행하지 못했습니다. \\n\\n다음에 다시 시도해 주세요.\" buttons=ok "
                  "answer=ok"}));
    EXPECT_FALSE(std::filesystem::exists(h.session.temp_dir + "/korvane_setup_1190.exe"));
    EXPECT_FALSE(h.Panel("progupdate").visible());
    EXPECT_FALSE(h.Panel("connecting").visible());
    EXPECT_FALSE(h.main->ended());
    EXPECT_TRUE(InstallerRuns(h).empty());
    EXPECT_TRUE(h.Panel("login").visible());
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

TEST(UpdateScenario, ANewerVersionWithoutAnInstallerNameKeepsTheTempFolder) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start("[service]\nversion = 1190\n[account kim]\npassword = secret\n"));
    SessionHarness h(service);
    h.Start();
    h.session.user_id = "kim";
    h.session.password = "secret";
    h.session.auth_mode = "user";
    EXPECT_EQ(h.operations.RunLogin(), -2);
    EXPECT_TRUE(std::filesystem::is_directory(h.session.temp_dir));
    const auto boxes = h.LinesStartingWith("box ");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].find("CODE-021"), std::string::npos);
}

}  // namespace
}  // namespace korvane
