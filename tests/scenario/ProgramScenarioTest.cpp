// The korvane program, headless on a simulated machine, driven by a script
// against a running service named by a deployment file.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
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

// The service as authentication and web host.
std::string DeployFor(const ServiceFixture& service) {
    return "auth_host = 127.0.0.1\nweb_host = " + service.address() +
           "\nport = " + std::to_string(service.port()) + "\n";
}

// With a machine text, the simulated machine is described by it.
ProgramRun RunKorvane(const std::string& folder, const std::string& deploy,
                      const std::string& script, const std::string& machine = "") {
    std::ofstream(folder + "/deploy.ini") << deploy;
    std::ofstream(folder + "/run.script") << script;
    std::string command = std::string("'") + KORVANE_EXE +
                          "' --headless --platform sim --deploy '" + folder +
                          "/deploy.ini' --script '" + folder + "/run.script'";
    if (!machine.empty()) {
        std::ofstream(folder + "/machine.ini") << machine;
        command += " --machine '" + folder + "/machine.ini'";
    }
    command += " 2>&1";
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
    const std::string deploy = DeployFor(service);
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

// A machine with an Ethernet adapter carrying the default route and an
// unaddressed TAP adapter; its program folder is a real folder, where the
// tunnel files, the certificate and the tunnel program's log go.
std::string TunnelMachine(const std::string& program_folder) {
    return "[environment]\n"
           "program_path = " +
           program_folder + "/korvane\nwindows_dir = " + program_folder +
           "/windows\n"
           "[adapter eth0]\nindex = 7\ndescription = Realtek PCIe GBE Family Controller\n"
           "mac = 00:1a:2b:3c:4d:5e\naddress = 192.168.0.10/255.255.255.0\n"
           "gateway = 192.168.0.1\n"
           "[adapter tap]\nindex = 12\ndescription = TAP-Windows Adapter V9\n"
           "mac = 00:ff:4b:56:00:01\n"
           "[route]\ndestination = 0.0.0.0\nmask = 0.0.0.0\nnext_hop = 192.168.0.1\n"
           "interface = 7\nmetric = 25\n"
           "[tunnel]\naddress = 10.8.0.6\nmask = 255.255.255.0\n";
}

// An OpenVPN account whose whole pool is in one list.
constexpr const char* kPoolAccount = R"(
[service]
web_host = ${self}
version = 1187

[account lee]
password = secret
vpntype = 4
server_ip = 10.8.0.1
vpnport = 1194
gateway_ip = 10.8.0.1
route_list = 0.0.0.0/0.0.0.0
crt_ver = 2
crt_file = http://${self}/crt/korvane_ca.crt
xxxdate = 2030-06-15 12:00:00
xxxtime = 43200
use_select = 1
zentra_auth = lee_token
mygame = 전체 아이피 요금제

[band 서울]
ip = s01 203.0.113.11
ip = s02 203.0.113.12

[band 부산]
ip = b01 198.51.100.21
)";

// The pool account's service with its certificate, and the simulated
// machine's program folder beside it.
::testing::AssertionResult StartPoolService(ServiceFixture& service, std::string& program_folder) {
    const auto started =
        service.Start(kPoolAccount, {{"korvane_ca.crt", "-----BEGIN CERTIFICATE-----\n"}});
    program_folder = service.dir() + "/machine";
    std::filesystem::create_directories(program_folder + "/windows");
    return started;
}

TEST(ProgramScenario, APoolRowDoubleClickedConnectsTheTunnelAndDisconnectEndsIt) {
    ServiceFixture service;
    std::string program_folder;
    ASSERT_TRUE(StartPoolService(service, program_folder));
    const std::string deploy = DeployFor(service);
    const std::string script = R"(
type login.1005 "lee"
type login.1006 "secret"
key login.1006 return
expect state LoggedIn
expect status.1035 "사용하실 아이피를 선택후 더블클릭 해주세요"
expect managed_ip.1020 rows 3
expect managed_ip.1020 row 0 "203.0.113.11"
expect managed_ip.1020 row 2 "198.51.100.21"
click main.1012
expect options.1061 checked
click options.1004
dblclick managed_ip.1020 1
advance 3
expect state Connected
expect status.1035 "10.8.0.6"
expect status.1012 visible
expect timer main 1 1000
click status.1012
expect state Idle
expect status.1035 "사용하실 아이피를 선택후 더블클릭 해주세요"
)";
    const ProgramRun run = RunKorvane(service.dir(), deploy, script, TunnelMachine(program_folder));
    EXPECT_EQ(run.exit_code, 0) << run.transcript;
    EXPECT_EQ(run.transcript.find("box "), std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.find("tray icon 214"), std::string::npos) << run.transcript;
    // The options button ran the options dialog modally, closed without saving.
    EXPECT_NE(run.transcript.find("end options 2"), std::string::npos) << run.transcript;
    // The certificate came from the service into the program folder.
    std::ifstream certificate(program_folder + "/korvane_ca.crt");
    EXPECT_TRUE(certificate.good());
    std::vector<std::string> endpoints;
    std::string connect_ip_code;
    for (const auto& entry : service.JournalEntries(7)) {
        endpoints.push_back(entry["endpoint"]);
        if (entry["endpoint"] == "login" && entry["fields"]["auth_mode"] == "vpn") {
            connect_ip_code = entry["fields"]["ip_code"];
        }
    }
    EXPECT_NE(std::find(endpoints.begin(), endpoints.end(), "ip_pool"), endpoints.end());
    EXPECT_EQ(std::count(endpoints.begin(), endpoints.end(), "login"), 2);
    // The connect-login named the double-clicked row's address.
    EXPECT_EQ(connect_ip_code, "s02");
    // The disconnect told the service the tunnel ended.
    ASSERT_FALSE(endpoints.empty());
    EXPECT_EQ(endpoints.back(), "logout");
}

// A run whose script ends while connected ends the session with it: no
// tunnel program, routes or credential file outlive the program.
TEST(ProgramScenario, AScriptEndingWhileConnectedTearsTheTunnelDown) {
    ServiceFixture service;
    std::string program_folder;
    ASSERT_TRUE(StartPoolService(service, program_folder));
    const std::string deploy = DeployFor(service);
    const std::string script = R"(
type login.1005 "lee"
type login.1006 "secret"
key login.1006 return
expect state LoggedIn
dblclick managed_ip.1020 0
advance 3
expect state Connected
)";
    const ProgramRun run = RunKorvane(service.dir(), deploy, script, TunnelMachine(program_folder));
    EXPECT_EQ(run.exit_code, 0) << run.transcript;
    const auto connected = run.transcript.find("state Connected");
    ASSERT_NE(connected, std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.find("state Idle", connected), std::string::npos) << run.transcript;
    EXPECT_FALSE(std::filesystem::exists(program_folder + "/ems.inf"));
    const auto journal = service.JournalEntries(5);
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back()["endpoint"], "logout");
}

// The remote-access tunnel: the dial's states come back through the main
// window's status message, on the simulated service's own thread.
TEST(ProgramScenario, ABandAddressDialsTheRemoteAccessTunnelThroughTheStatusMessage) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(R"(
[service]
web_host = ${self}
version = 1187

[account park]
password = secret
vpntype = 1
server_ip = 10.8.1.1
route_list = 0.0.0.0/0.0.0.0
xxxdate = 2030-06-15 12:00:00
xxxtime = 43200
use_select = 0
ip_pool_class = 서울^부산^
mygame = PPTP 요금제

[band 서울]
ip = s01 203.0.113.11
ip = s02 203.0.113.12

[band 부산]
ip = b01 198.51.100.21
)"));
    const std::string program_folder = service.dir() + "/machine";
    std::filesystem::create_directories(program_folder + "/windows");
    const std::string machine =
        TunnelMachine(program_folder) + "[ras]\nstep_ms = 5\nclient_address = 10.8.1.23\n";
    const std::string deploy = DeployFor(service);
    std::string script = R"(
type login.1005 "park"
type login.1006 "secret"
key login.1006 return
expect state LoggedIn
expect service_ip.1059 rows 2
dblclick service_ip.1059 1
expect service_ip.1020 rows 1
expect service_ip.1020 row 0 "198.51.100.21"
dblclick service_ip.1020 0
)";
    // Each pump takes the states that have arrived; the walk has ten.
    for (int i = 0; i < 20; ++i) {
        script += "pump 500\n";
    }
    script += R"(expect state Connected
expect status.1035 "10.8.1.23"
expect timer main 1 1000
click status.1012
expect state Idle
expect status.1035 "사용하실 아이피를 선택후 더블클릭 해주세요"
)";
    const ProgramRun run = RunKorvane(service.dir(), deploy, script, machine);
    EXPECT_EQ(run.exit_code, 0) << run.transcript;
    EXPECT_EQ(run.transcript.find("box "), std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.find("text connecting.1049 \"인증완료\""), std::string::npos)
        << run.transcript;
    std::string connect_ip_code;
    for (const auto& entry : service.JournalEntries(4)) {
        if (entry["endpoint"] == "login" && entry["fields"]["auth_mode"] == "vpn") {
            connect_ip_code = entry["fields"]["ip_code"];
        }
    }
    EXPECT_EQ(connect_ip_code, "b01");
}

}  // namespace
}  // namespace korvane
