#include <gtest/gtest.h>

#include "ConfigParser.h"
#include "DateText.h"

namespace korvane::service {
namespace {

// 2030-06-15 12:00:00 local.
constexpr std::int64_t kNow = 1907755200;

TEST(ConfigParser, ReadsEverySectionKind) {
    const std::string text = R"(# comment
; another comment
[service]
web_host = www.korvane.test
version = 1190
download = http://${self}/setup/korvane_setup.exe
version_line = note = kept as written

[account 김철수]
password = pw=1
state = active
vpntype = 4
route_list = 10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0
xxxdate = +3m
server_time = now
mygame = 게임 서버
message = 점검 중입니다
message = http://www.korvane.test/notice.php
login_retry_count = 3
refresh_xxxdate = +1h
refresh_xxxtime = 30
pool_error = 대역 점검
change_error = 변경 불가

[account stopped]
password =
state = suspended

[band 서울]
ip = s01 10.1.1.1
ip = s02   10.1.1.2
error = 닫힘

[failure ip_change]
status = 503
delay_ms = 250
drop = no
garbage = yes
no_content_length = on
answer = select_ip=10.9.9.9
count = 2
)";
    ServiceConfig config;
    std::string error;
    ASSERT_TRUE(ParseConfig(text, "demo.ini", kNow, config, error)) << error;

    EXPECT_EQ(config.web_host, "www.korvane.test");
    EXPECT_EQ(
        config.version_lines,
        (std::vector<std::string>{"version=1190", "download=http://${self}/setup/korvane_setup.exe",
                                  "note = kept as written"}));

    ASSERT_EQ(config.accounts.size(), 2u);
    const Account& a = config.accounts[0];
    EXPECT_EQ(a.id, "김철수");
    EXPECT_EQ(a.password, "pw=1");  // only the first "=" separates key and value
    EXPECT_EQ(a.state, AccountState::kActive);
    const Fields expected_answer = {
        {"vpntype", "4"},
        {"route_list", "10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0"},
        {"xxxdate", FormatLocalDate(kNow + 180)},
        {"server_time", "now"},  // follows the clock at each answer
        {"mygame", "게임 서버"},
    };
    EXPECT_EQ(a.answer, expected_answer);
    EXPECT_EQ(a.messages,
              (std::vector<std::string>{"점검 중입니다", "http://www.korvane.test/notice.php"}));
    EXPECT_EQ(a.login_retry_count, 3);
    EXPECT_EQ(a.refresh_xxxdate, FormatLocalDate(kNow + 3600));
    EXPECT_EQ(a.refresh_xxxtime, 30);
    EXPECT_EQ(a.pool_error, "대역 점검");
    EXPECT_EQ(a.change_error, "변경 불가");

    const Account& stopped = config.accounts[1];
    EXPECT_EQ(stopped.password, "");
    EXPECT_EQ(stopped.state, AccountState::kSuspended);
    EXPECT_FALSE(stopped.login_retry_count);

    ASSERT_EQ(config.bands.size(), 1u);
    ASSERT_EQ(config.bands[0].pool.size(), 2u);
    EXPECT_EQ(config.bands[0].pool[1].code, "s02");
    EXPECT_EQ(config.bands[0].pool[1].address, "10.1.1.2");
    EXPECT_EQ(config.bands[0].error, "닫힘");

    const FailureRule& rule = config.Failure(Endpoint::kIpChange);
    EXPECT_TRUE(rule.configured);
    EXPECT_EQ(rule.status, 503);
    EXPECT_EQ(rule.delay_ms, 250);
    EXPECT_FALSE(rule.drop);
    EXPECT_TRUE(rule.garbage);
    EXPECT_TRUE(rule.no_content_length);
    EXPECT_EQ(rule.answer, "select_ip=10.9.9.9");
    EXPECT_EQ(rule.count, 2);
    EXPECT_FALSE(config.Failure(Endpoint::kLogin).configured);
}

TEST(ConfigParser, AcceptsCrLfLinesAndAByteOrderMark) {
    ServiceConfig config;
    std::string error;
    ASSERT_TRUE(ParseConfig("\xEF\xBB\xBF[account a]\r\npassword = x\r\nserver_ip = 1.2.3.4\r\n",
                            "f.ini", kNow, config, error))
        << error;
    ASSERT_EQ(config.accounts.size(), 1u);
    EXPECT_EQ(config.accounts[0].password, "x");
    EXPECT_EQ(FieldValue(config.accounts[0].answer, "server_ip"), "1.2.3.4");
}

struct BadConfig {
    const char* text;
    int line;
    const char* problem;
};

void PrintTo(const BadConfig& bad, std::ostream* out) {
    *out << bad.problem;
}

class ConfigParserRejects : public ::testing::TestWithParam<BadConfig> {};

TEST_P(ConfigParserRejects, NamingFileLineAndProblem) {
    ServiceConfig config;
    std::string error;
    EXPECT_FALSE(ParseConfig(GetParam().text, "bad.ini", kNow, config, error));
    EXPECT_EQ(error.rfind("bad.ini:" + std::to_string(GetParam().line) + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(GetParam().problem), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConfigParserRejects,
    ::testing::Values(
        BadConfig{"[server]\n", 1, "unknown section [server]"},
        BadConfig{"password = x\n", 1, "before any [section]"},
        BadConfig{"[account a]\npassword\n", 2, "expected \"key = value\""},
        BadConfig{"[account a]\n= x\n", 2, "a value without a key"},
        BadConfig{"[account a\n", 1, "without closing"},
        BadConfig{"[account]\npassword = x\n", 1, "needs a name"},
        BadConfig{"[service x]\n", 1, "takes no name"},
        BadConfig{"[service]\n[service]\n", 2, "a second [service]"},
        BadConfig{"[account a]\npasword = x\n", 2, "unknown key \"pasword\""},
        BadConfig{"\n[account a]\nstate = active\n", 2, "has no \"password\""},
        BadConfig{"[account a]\npassword = x\npassword = y\n", 3, "given twice"},
        BadConfig{"[account a]\npassword = x\n[account a]\npassword = y\n", 3, "defined twice"},
        BadConfig{"[account a]\npassword = x\nstate = frozen\n", 3, "active, suspended or no_time"},
        BadConfig{"[account a]\npassword = x\nmygame = a|b\n", 3, "may not contain \"|\""},
        BadConfig{"[account a]\npassword = x\nname = a=b\n", 3, "may not contain \"=\""},
        BadConfig{"[account a]\npassword = x\nroute_list = /8\n", 3, "may not start with \"/\""},
        BadConfig{"[account a]\npassword = x\nxxxdate = +3x\n", 3, "is not a relative date"},
        BadConfig{"[account a]\npassword = x\nserver_time = -\n", 3, "is not a relative date"},
        BadConfig{"[account a]\npassword = x\nrefresh_xxxdate = +h\n", 3, "not a relative date"},
        BadConfig{"[account a]\npassword = x\nrefresh_xxxtime = ten\n", 3, "number of minutes"},
        BadConfig{"[account a]\npassword = x\nmessage = a^b\n", 3, "may not contain \"^\""},
        BadConfig{"[account a]\npassword = x\nmessage =\n", 3, "an empty \"message\""},
        BadConfig{"[account a]\npassword = x\nlogin_retry_count = -1\n", 3, "0 or more"},
        BadConfig{"[account a]\npassword = x\npool_error = a|b\n", 3, "may not contain \"|\""},
        BadConfig{"[account a]\npassword = x\nname = \xF0\x9F\x98\x80\n", 3, "CP949 cannot"},
        BadConfig{"[account a]\npassword = \xC0\xAF\n", 2, "not UTF-8"},
        BadConfig{"[band a b]\n", 1, "may not contain \" \""},
        BadConfig{"[band a]\nip = s01\n", 2, "a code and an address"},
        BadConfig{"[band a]\nip = s01 1.1.1.1 x\n", 2, "a code and an address"},
        BadConfig{"[band a]\nip = s^1 1.1.1.1\n", 2, "may not contain \"^\""},
        BadConfig{"[band a]\nerror = x\n[band A]\n", 3, "defined twice"},
        BadConfig{"[band a]\ncolour = red\n", 2, "unknown key \"colour\""},
        BadConfig{"[failure lgoin]\n", 1, "unknown endpoint \"lgoin\""},
        BadConfig{"[failure login]\nstatus = 700\n", 2, "between 100 and 599"},
        BadConfig{"[failure login]\ndelay_ms = 1s\n", 2, "\"delay_ms\""},
        BadConfig{"[failure login]\ndrop = maybe\n", 2, "yes or no"},
        BadConfig{"[failure login]\ncount = 0\n", 2, "1 or more"},
        BadConfig{"[failure login]\n[failure login]\n", 2, "defined twice"},
        BadConfig{"[service]\nversion = new\n", 2, "must be a number"}));

}  // namespace
}  // namespace korvane::service
