#include <gtest/gtest.h>

#include "protocol/RequestRecord.h"

namespace korvane {
namespace {

LoginRecordFields SampleFields() {
    LoginRecordFields f;
    f.client_code = "korvane";
    f.id = "user1";
    f.password = "pw";
    f.ccver = 1187;
    f.ip_code = "0";
    f.client_mac = "00-11-22-33-44-55";
    f.client_sys_info = "Linux";
    f.ping_check = 0;
    f.session_key = 4242;
    f.vpn_type = 4;
    f.auth_mode = "user";
    f.vpn_conn_server_code = "A1";
    return f;
}

TEST(RequestRecord, FormatsEveryTemplate) {
    const std::string login_prefix =
        "client_code=korvane|id=user1|password=pw|ccver=1187|ip_code=0|"
        "client_mac=00-11-22-33-44-55|client_sysInfo=Linux|ping_check=0|session_key=4242|"
        "vpn_type=4|auth_mode=user|vpn_conn_server_code=A1";
    EXPECT_EQ(RequestRecord::Login(SampleFields(), 1), login_prefix + "|ip_change_type=1");
    EXPECT_EQ(RequestRecord::IpPool(SampleFields(), "b2"), login_prefix + "|class_code=b2");
    EXPECT_EQ(RequestRecord::AccountRefresh("korvane", "user1"),
              "client_code=korvane|user_id=user1");
    EXPECT_EQ(RequestRecord::Logout(1187, "L77", "korvane", "vpn"),
              "ccver=1187|longid=L77|cccode=korvane|auth_mode=vpn");
    EXPECT_EQ(RequestRecord::EventReport("korvane", "user1", "text"),
              "client_code=korvane|client_id=user1|event=text");
    EXPECT_EQ(RequestRecord::IpChange("korvane", "user1", "pw", "17"),
              "client_code=korvane|id=user1|password=pw|ip_code=17");
}

TEST(RequestRecord, EmptyValuesKeepTheirFields) {
    EXPECT_EQ(RequestRecord::IpChange("", "", "", ""), "client_code=|id=|password=|ip_code=");
    EXPECT_EQ(RequestRecord::Split("client_code=|id=x|bare|=v||"),
              (std::vector<std::pair<std::string, std::string>>{
                  {"client_code", ""}, {"id", "x"}, {"bare", ""}, {"", "v"}}));
}

}  // namespace
}  // namespace korvane
