// The korvane program, headless on a simulated machine, driven by a script
// against a running service named by a deployment file.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ServiceFixture.h"

namespace korvane {
namespace {

using testing::ServiceFixture;

struct ProgramRun {
    int exit_code = -1;
    std::string transcript;
};

ProgramRun RunKorvane(const std::string& folder, const std::string& deploy,
                      const std::string& script) {
    std::ofstream(folder + "/deploy.ini") << deploy;
    std::ofstream(folder + "/run.script") << script;
    const std::string command = std::string("'") + KORVANE_EXE +
                                "' --headless --platform sim --deploy '" + folder +
                                "/deploy.ini' --script '" + folder + "/run.script' 2>&1";
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.transcript.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ProgramScenario, LogsInShowsTheStatusPanelAndLogsOut) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(R"(
[service]
web_host = ${self}
version = 1187

[account kim]
password = secret
vpntype = 4
server_ip = 10.8.0.1
xxxdate = 2030-06-15 12:00:00
mygame = 기본 요금제
)"));
    const std::string deploy = "auth_host = 127.0.0.1\nweb_host = " + service.address() +
                               "\nport = " + std::to_string(service.port()) + "\n";
    const std::string script = R"(
type login.1005 "nobody"
type login.1006 "secret"
click login.1007
expect login visible
type login.1005 "kim"
key login.1006 return
expect state LoggedIn
expect status visible
expect status.1038 "kim"
expect status.1037 "기본 요금제"
expect status.1036 "2030년 06월 15일"
expect status.1034 "0:00:00"
click status.1029
expect login visible
expect status hidden
)";
    const ProgramRun run = RunKorvane(service.dir(), deploy, script);
    EXPECT_EQ(run.exit_code, 0) << run.transcript;
    EXPECT_NE(run.transcript.find(
                  "box caption=\"접속오류\" text=\"CODE-007 : 인증 실패\" buttons=ok answer=ok"),
              std::string::npos)
        << run.transcript;
    EXPECT_NE(run.transcript.find("navigate status.1010 \"http://" + service.address() +
                                  "/vpn_program/banner.php\""),
              std::string::npos);
    EXPECT_NE(run.transcript.find("state LoggedIn"), std::string::npos);
    int logins = 0;
    int logouts = 0;
    for (const auto& entry : service.JournalEntries(3)) {
        logins += entry["endpoint"] == "login" ? 1 : 0;
        logouts += entry["endpoint"] == "logout" ? 1 : 0;
    }
    EXPECT_EQ(logins, 2);
    EXPECT_EQ(logouts, 1);
}

}  // namespace
}  // namespace korvane
