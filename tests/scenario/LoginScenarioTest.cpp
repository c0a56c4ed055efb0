// Logins from the login panel against a running service.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "SessionHarness.h"
#include "netenv/AddressText.h"
#include "netenv/SystemInfo.h"
#include "platform/LcgRandom.h"
#include "protocol/WireText.h"
#include "ui/BasicControls.h"
#include "ui/CLogoutDlg.h"

namespace korvane {
namespace {

using test::SessionHarness;
using testing::ServiceFixture;

const char* const kAccounts = R"(
[service]
web_host = ${self}
version = 1187

[account kim]
password = secret
vpntype = 4
server_ip = 10.8.0.1
vpnport = 1194
xxxdate = 2030-06-15 12:00:00
xxxtime = 43200
use_select = 0
ip_pool_class = 서울^부산^
default_route = 192.0.2.10^192.0.2.11
mygame = 기본 요금제 (30일)
user_long_id = L0001
login_dealy = 40

[account stopped]
password = secret
state = suspended

[account notice]
password = secret
login_retry_count = 3
message = 서버 점검 중입니다.
message = http://${web_host}/customer/faq.php

[account unpaid]
password = secret
state = no_time
)";

std::string WithFailure(const std::string& rule) {
    return std::string(kAccounts) + "\n[failure login]\n" + rule + "\n";
}

struct RefusalCase {
    const char* name;
    std::string config;
    const char* id;
    std::vector<std::string> boxes;  // "caption|text"
    bool opens_faq;
};

class LoginRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(LoginRefusalTest, ShowsItsMessageAndLeavesTheLoginPanel) {
    const RefusalCase& c = GetParam();
    ServiceFixture service;
    ASSERT_TRUE(service.Start(c.config));
    SessionHarness h(service);
    h.Start();
    h.NewLines();

    h.LogIn(c.id, "Se cret");

    const std::vector<std::string> boxes = h.LinesStartingWith("box ");
    std::vector<std::string> expected;
    for (const std::string& box : c.boxes) {
        const std::size_t bar = box.find('|');
        expected.push_back("box caption=\"" + box.substr(0, bar) + "\" text=\"" +
                           box.substr(bar + 1) + "\" buttons=ok answer=ok");
    }
    EXPECT_EQ(boxes, expected);
    const std::string faq = "http://" + service.address() + "/customer/faq.php";
    EXPECT_EQ(h.host.opened_urls(),
              c.opens_faq ? std::vector<std::string>{faq} : std::vector<std::string>{});
    EXPECT_TRUE(h.Panel("login").visible());
    EXPECT_FALSE(h.Panel("status").visible());
    EXPECT_FALSE(h.Panel("connecting").visible());
    EXPECT_EQ(h.session.state, SessionState::Idle);
    EXPECT_EQ(h.main->fields().narrow_layout, 1) << "the window stays narrow";
    // The attempt's credentials are stored whatever the answer.
    EXPECT_EQ(h.Setting("ui1"), c.id);
    EXPECT_EQ(h.Setting("up2"), "secret");
}

INSTANTIATE_TEST_SUITE_P(
    EveryRowOfTheTable, LoginRefusalTest,
    ::testing::Values(
        RefusalCase{"Dropped",
                    WithFailure("drop = yes"),
                    "kim",
                    {"접속오류|CODE-006 : 인증서버와 통신 오류"},
                    false},
        RefusalCase{"ServerError",
                    WithFailure("status = 500"),
                    "kim",
                    {"접속오류|CODE-006 : 인증서버와 통신 오류"},
                    false},
        RefusalCase{"ErrorPage",
                    WithFailure("garbage = yes"),
                    "kim",
                    {"접속오류|CODE-006 : 인증서버와 통신 오류"},
                    false},
        RefusalCase{"UnknownId", kAccounts, "nobody", {"접속오류|CODE-007 : 인증 실패"}, false},
        RefusalCase{"InsideALongerWord",
                    WithFailure("answer = login_auth=none|xxxtime=5"),
                    "kim",
                    {"접속오류|CODE-007 : 인증 실패"},
                    false},
        RefusalCase{"Suspended",
                    kAccounts,
                    "stopped",
                    {"접속오류|CODE-008 :고객님 서비스는 일시 정지 상태입니다.  \\n\\n고객 센터로 "
                     "문의 바랍니다."},
                    false},
        RefusalCase{"ServerMessages", kAccounts, "notice", {"접속오류|서버 점검 중입니다."}, true},
        RefusalCase{"NoServiceTime", kAccounts, "unpaid", {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoginScenario, ServerMessagesSetTheRetryCountBeforeTheyShow) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kAccounts));
    SessionHarness h(service);
    h.Start();
    h.LogIn("notice", "secret");
    EXPECT_EQ(h.session.login_retry_count, 3);
}

TEST(LoginScenario, AcceptedLoginFillsTheStatusPanelAndEndsLoggedIn) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kAccounts));
    SessionHarness h(service);
    h.settings.WriteValue(h.session.registry_root, h.session.registry_key, "VSvrCode", 1, "A1");
    h.Start();

    h.LogIn(" KIM ", "Se cret");

    Dialog& status = h.Panel("status");
    EXPECT_TRUE(status.visible());
    EXPECT_FALSE(h.Panel("login").visible());
    EXPECT_FALSE(h.Panel("connecting").visible());
    EXPECT_EQ(status.Find(CLogoutDlg::kUserLine)->text(), "kim");
    EXPECT_EQ(status.Find(CLogoutDlg::kPlanLine)->text(), "기본 요금제 (30일)");
    EXPECT_EQ(status.Find(CLogoutDlg::kEndDateLine)->text(), "2030년 06월 15일");
    EXPECT_EQ(status.Find(CLogoutDlg::kTimeLine)->text(), "0:00:00");
    EXPECT_EQ(status.Find(CLogoutDlg::kIpLine)->text(),
              "사용하실 아이피를 선택후 더블클릭 해주세요");
    EXPECT_EQ(h.session.state, SessionState::LoggedIn);
    EXPECT_EQ(h.main->fields().narrow_layout, 0) << "the window widened";
    EXPECT_TRUE(h.Panel("service_ip").visible()) << "use_select 0 shows the band tab";
    EXPECT_FALSE(h.Panel("managed_ip").visible());
    EXPECT_EQ(h.session.login_delay, 40) << "the answer was parsed";
    EXPECT_TRUE(h.LinesStartingWith("box ").empty());

    // The journal holds the login record, every field in its order.
    const std::vector<std::string> lines = service.JournalLines(2);
    ASSERT_FALSE(lines.empty());
    const auto login = nlohmann::ordered_json::parse(lines.front());
    EXPECT_EQ(login["path"], "/ClientLogin/user_check_v1.php");
    LcgRandom random;
    random.Seed(static_cast<unsigned>(VirtualClock::kDefaultStart));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"client_code", "korvane"},
        {"id", "kim"},
        {"password", "secret"},
        {"ccver", "1187"},
        {"ip_code", "0"},
        {"client_mac", "001A2B3C4D5E"},
        {"client_sysInfo", BuildSystemInfo(h.network, h.system)},
        {"ping_check", "0"},
        {"session_key", std::to_string(random.Next() % 1000000)},
        {"vpn_type", "4"},
        {"auth_mode", "user"},
        {"vpn_conn_server_code", "A1"},
        {"ip_change_type", "0"},
    };
    std::vector<std::pair<std::string, std::string>> sent;
    for (const auto& [key, value] : login["fields"].items()) {
        sent.emplace_back(key, value.get<std::string>());
    }
    EXPECT_EQ(sent, expected);
}

TEST(LoginScenario, TheLoginPanelStepsAddTheHostAndBypassRoutes) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kAccounts));
    SessionHarness h(service);
    h.Start();
    h.LogIn("kim", "secret");
    std::vector<std::pair<std::string, std::uint32_t>> added;
    for (const ForwardRow& row : h.network.routes()) {
        if (row.metric != 10) {
            added.emplace_back(FormatDottedAddress(row.destination), row.metric);
        }
    }
    EXPECT_EQ(added,
              (std::vector<std::pair<std::string, std::uint32_t>>{
                  {"10.8.0.1", 50}, {"127.0.0.1", 50}, {"192.0.2.10", 77}, {"192.0.2.11", 77}}));
    EXPECT_EQ(h.main->fields().base_route.gateway, "192.168.0.1");
    EXPECT_EQ(h.tunnel.calls, (std::vector<std::string>{"StopTunnelProgram", "DeleteTunnelFiles"}))
        << "a user login of an OpenVPN account asks nothing else of the tunnel side";
}

TEST(LoginScenario, TheTestBoxSendsTheSameRecordToTheTestPage) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kAccounts));
    SessionHarness h(service);
    h.Start();
    // The box is hidden without the marker file; the login reads it all the same.
    static_cast<CheckBox*>(h.Panel("login").Find(1052))->SetCheck(true);
    h.LogIn("kim", "secret");
    const auto entries = service.JournalEntries(1);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front()["path"], "/ClientLogin/user_check_v0.php");
    EXPECT_EQ(h.session.state, SessionState::LoggedIn);
}

TEST(LoginScenario, ALoginWhileConnectingTouchesNothing) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kAccounts));
    SessionHarness h(service);
    h.Start();
    h.session.state = SessionState::Connecting;
    h.session.user_id = "kim";
    const int key_before = h.session.session_key;
    EXPECT_EQ(h.operations.RunLogin(), -1);
    EXPECT_EQ(h.session.session_key, key_before);
    EXPECT_TRUE(h.tunnel.calls.empty());
    EXPECT_EQ(h.Setting("ui1"), "");
    EXPECT_TRUE(service.JournalLines().empty());
}

TEST(LoginScenario, AConnectLoginOfAnOpenVpnAccountChecksTheTapAdapter) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kAccounts));
    SessionHarness h(service);
    h.Start();
    h.session.user_id = "kim";
    h.session.password = "secret";
    h.session.auth_mode = "vpn";
    EXPECT_EQ(h.operations.RunLogin(), 0);
    EXPECT_EQ(h.tunnel.calls, (std::vector<std::string>{"StopTunnelProgram", "DeleteTunnelFiles",
                                                        "CheckTapAdapter"}));
    EXPECT_TRUE(h.Panel("connecting").visible()) << "it stays up for the connect procedure";
    EXPECT_EQ(h.session.state, SessionState::Idle) << "the caller sets the state";
}

}  // namespace
}  // namespace korvane
