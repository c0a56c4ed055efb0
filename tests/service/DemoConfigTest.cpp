// The shipped demo config starts and answers each of its account kinds.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "HttpProbe.h"
#include "ServiceFixture.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"

namespace korvane {
namespace {

using testing::PostForm;
using testing::PostQuery;
using testing::QueryEscape;
using testing::ServiceFixture;

std::string DemoConfig() {
    std::ifstream in(KORVANE_DEMO_CONFIG);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

LoginRecordFields Fields(const std::string& id, const std::string& password = "demo1234") {
    LoginRecordFields f;
    f.client_code = "korvane";
    f.id = id;
    f.password = password;
    f.ccver = 1187;
    return f;
}

TEST(DemoConfig, AnswersEveryAccountKind) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(DemoConfig()));
    const auto login = [&](const LoginRecordFields& f) {
        return DecodeFromWire(
            PostQuery(service.Url("/ClientLogin/user_check_v1.php?bin=" +
                                  QueryEscape(EncodeForWire(RequestRecord::Login(f, 0)))))
                .body);
    };
    const struct {
        std::string id;
        std::string contains;
    } cases[] = {
        {"demo_openvpn", "|vpntype=4|"},       {"demo_openvpn", "|use_select=0|"},
        {"demo_pool", "|use_select=1|"},       {"demo_pptp", "|vpntype=1|"},
        {"demo_l2tp", "|vpntype=3|"},          {"demo_expiring", "|xxxtime=3|"},
        {"demo_suspended", "login_auth=stop"}, {"demo_notice", "login_retry_count=3|server_error="},
        {"demo_unpaid", "xxxtime=|xxxdate=|"}, {"nobody", "login_auth=no"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(login(Fields(c.id)).find(c.contains), std::string::npos) << c.id;
    }
    EXPECT_EQ(login(Fields("demo_openvpn", "wrong")), "login_auth=no");

    const auto pool = [&](const std::string& id, const std::string& band) {
        return DecodeFromWire(
            PostForm(service.Url("/Info/ip_pool_list.php"),
                     "bin=" + EncodeForWire(RequestRecord::IpPool(Fields(id), band)))
                .body);
    };
    EXPECT_EQ(pool("demo_openvpn", "부산"),
              "b01^198.51.100.21|b02^198.51.100.22|b03^198.51.100.23|");
    EXPECT_EQ(pool("demo_openvpn", "제주"), "server_error=제주 대역은 점검 중입니다");
    EXPECT_EQ(pool("demo_pool", "").rfind("s01^203.0.113.11|", 0), 0u);
}

}  // namespace
}  // namespace korvane
