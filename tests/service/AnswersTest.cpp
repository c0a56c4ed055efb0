#include <gtest/gtest.h>

#include "AccountAnswers.h"
#include "ConfigParser.h"
#include "DateText.h"
#include "LoginAnswer.h"
#include "PoolAnswers.h"
#include "protocol/RequestRecord.h"

namespace korvane::service {
namespace {

constexpr std::int64_t kNow = 1907755200;  // 2030-06-15 12:00:00 local

const char* const kConfig = R"(
[account active]
password = pw
vpntype = 4
server_ip = 10.8.0.1
route_list = 10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0
crt_file = http://auth.test/crt/ca.crt
xxxdate = +10h
server_time = +1m
mygame = 게임

[account stopped]
password = pw
state = suspended
message = never shown: suspension is judged first

[account notice]
password = pw
message = 점검 중입니다
message = http://www.korvane.test/notice.php

[account retry]
password = pw
login_retry_count = 3
message = 남은 횟수 3회

[account unpaid]
password = pw
state = no_time
vpntype = 4

[account bought]
password = pw
xxxdate = 2030-06-15 12:03:00
refresh_xxxdate = +1h
refresh_xxxtime = 30

[account banded]
password = pw
use_select = 0
ip_pool_class = 서울^Busan^

[account closed]
password = pw
pool_error = 점검 중인 대역입니다
change_error = 지금은 바꿀 수 없습니다

[band 서울]
ip = s01 10.1.1.1
ip = s02 10.1.1.2

[band Busan]
ip = b01 10.2.1.1

[band 대구]
ip = d01 10.3.1.1
error = 대구 대역 점검
)";

class Answers : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ParseConfig(kConfig, "answers.ini", kNow, config_, error)) << error;
    }

    static Fields Login(const std::string& id, const std::string& password) {
        LoginRecordFields f;
        f.client_code = "korvane";
        f.id = id;
        f.password = password;
        f.ccver = 1187;
        f.auth_mode = "user";
        return RequestRecord::Split(RequestRecord::Login(f, 0));
    }

    static Fields Pool(const std::string& id, const std::string& class_code) {
        LoginRecordFields f;
        f.client_code = "korvane";
        f.id = id;
        f.password = "pw";
        return RequestRecord::Split(RequestRecord::IpPool(f, class_code));
    }

    static Fields Change(const std::string& id, const std::string& code) {
        return RequestRecord::Split(RequestRecord::IpChange("korvane", id, "pw", code));
    }

    ServiceConfig config_;
};

TEST_F(Answers, LoginJudgesEachKind) {
    const struct {
        Fields record;
        std::string answer;
    } cases[] = {
        {Login("nobody", "pw"), "login_auth=no"},
        {Login("active", "wrong"), "login_auth=no"},
        {Login("active", ""), "login_auth=no"},
        {RequestRecord::Split("client_code=korvane|password=pw"), "login_auth=no"},
        {RequestRecord::Split(""), "login_auth=no"},
        {Login("stopped", "wrong"), "login_auth=no"},
        {Login("stopped", "pw"), "login_auth=stop"},
        {Login("notice", "pw"), "server_error=점검 중입니다^http://www.korvane.test/notice.php"},
        {Login("retry", "pw"), "login_retry_count=3|server_error=남은 횟수 3회"},
        {Login("unpaid", "pw"), "xxxtime=|xxxdate=|"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoginAnswer(config_, c.record, kNow), c.answer);
    }
}

TEST_F(Answers, AcceptedLoginCarriesTheFieldsWithSlashesDoubled) {
    EXPECT_EQ(LoginAnswer(config_, Login("active", "pw"), kNow),
              "login_auth=yes|vpntype=4|server_ip=10.8.0.1"
              "|route_list=10.0.0.0==255.0.0.0^0.0.0.0==0.0.0.0"
              "|crt_file=http:====auth.test==crt==ca.crt"
              "|xxxdate=2030-06-15 22:00:00"
              "|server_time=2030-06-15 12:01:00"
              "|mygame=게임");
    // server_time follows the clock; xxxdate was fixed at start.
    EXPECT_NE(LoginAnswer(config_, Login("active", "pw"), kNow + 60)
                  .find("|xxxdate=2030-06-15 22:00:00|server_time=2030-06-15 12:02:00|"),
              std::string::npos);
}

TEST_F(Answers, RefreshSendsTheConfiguredDateAndMinutes) {
    const auto refresh = [&](const std::string& id) {
        return RefreshAnswer(config_,
                             RequestRecord::Split(RequestRecord::AccountRefresh("korvane", id)));
    };
    EXPECT_EQ(refresh("bought"), "xxxdate=2030-06-15 13:00:00|xxxtime=30");
    // Without refresh settings: the login's end date, no minutes added.
    EXPECT_EQ(refresh("active"), "xxxdate=2030-06-15 22:00:00|xxxtime=0");
    EXPECT_EQ(refresh("notice"), "xxxtime=0");
    EXPECT_EQ(refresh("nobody"), "");
}

TEST_F(Answers, PoolOfOneBandOrTheWholePool) {
    const struct {
        Fields record;
        std::string answer;
    } cases[] = {
        {Pool("banded", "서울"), "s01^10.1.1.1|s02^10.1.1.2|"},
        // The client lower-cases the band list it was sent.
        {Pool("banded", "busan"), "b01^10.2.1.1|"},
        // Whole pool: the bands the account's ip_pool_class names.
        {Pool("banded", ""), "s01^10.1.1.1|s02^10.1.1.2|b01^10.2.1.1|"},
        // An account naming no band sees every band.
        {Pool("active", ""), "s01^10.1.1.1|s02^10.1.1.2|b01^10.2.1.1|d01^10.3.1.1|"},
        {Pool("banded", "대구"), "server_error=대구 대역 점검"},
        {Pool("banded", "제주"), "server_error=등록되지 않은 대역입니다"},
        {Pool("closed", "서울"), "server_error=점검 중인 대역입니다"},
        {Pool("nobody", ""), "server_error=아이디 또는 비밀번호가 올바르지 않습니다"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IpPoolAnswer(config_, c.record), c.answer);
    }
}

TEST_F(Answers, IpChangeNamesTheAddressOfTheCode) {
    EXPECT_EQ(IpChangeAnswer(config_, Change("banded", "s02")), "result=ok|select_ip=10.1.1.2");
    EXPECT_EQ(IpChangeAnswer(config_, Change("banded", "d01")), "result=ok|select_ip=10.3.1.1");
    EXPECT_EQ(IpChangeAnswer(config_, Change("banded", "zz")),
              "server_error=선택하신 아이피를 찾을 수 없습니다");
    EXPECT_EQ(IpChangeAnswer(config_, Change("closed", "s01")),
              "server_error=지금은 바꿀 수 없습니다");
    EXPECT_EQ(IpChangeAnswer(config_, RequestRecord::Split(RequestRecord::IpChange(
                                          "korvane", "banded", "x", "s01"))),
              "server_error=아이디 또는 비밀번호가 올바르지 않습니다");
}

TEST(EventRecord, KeepsTheEventTextWhole) {
    const std::string event = "<<<<<<  Version =  1187  FAIL >>>>>>\r\nlinux|x=1\r\nlog a|b\r\n";
    const Fields fields = EventRecordFields(RequestRecord::EventReport("korvane", "L7", event));
    const Fields expected = {{"client_code", "korvane"}, {"client_id", "L7"}, {"event", event}};
    EXPECT_EQ(fields, expected);
    // A record without an event field is cut as usual.
    EXPECT_EQ(EventRecordFields("client_code=k|client_id=x"),
              (Fields{{"client_code", "k"}, {"client_id", "x"}}));
}

}  // namespace
}  // namespace korvane::service
