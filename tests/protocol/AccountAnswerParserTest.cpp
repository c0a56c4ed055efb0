#include "protocol/AccountAnswerParser.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>
#include <string>

#include "platform/sim/VirtualClock.h"

namespace korvane {
namespace {

// Every field of the account record and the four session fields the parser
// may touch, by name, so a failing case shows exactly which ones differ.
std::map<std::string, std::string> Fields(const AccountInfo& a, const SessionContext& s) {
    const auto n = [](int v) { return std::to_string(v); };
    return {
        {"update_version", n(a.update_version)},
        {"update_url", a.update_url},
        {"update_file", a.update_file},
        {"login_tag", n(a.login_tag)},
        {"name", a.name},
        {"server_code", a.server_code},
        {"xxxdate", a.xxxdate},
        {"xxxtime", n(a.xxxtime)},
        {"refund_money", a.refund_money},
        {"my_point", a.my_point},
        {"search_time", n(a.search_time)},
        {"search_word", a.search_word},
        {"expire_text", a.expire_text},
        {"mygame", a.mygame},
        {"game_proc_count", n(a.game_proc_count)},
        {"server_ip", a.server_ip},
        {"open_config", a.open_config},
        {"gateway_ip", a.gateway_ip},
        {"route_list", a.route_list},
        {"server_cert_version", n(a.server_cert_version)},
        {"crt_file", a.crt_file},
        {"crt_file_name", a.crt_file_name},
        {"vpnport", a.vpnport},
        {"mac_addr", a.mac_addr},
        {"game_list", a.game_list},
        {"gamefastmode", n(a.gamefastmode)},
        {"auto_conn_change", n(a.auto_conn_change)},
        {"vpn_server_list", a.vpn_server_list},
        {"use_select", n(a.use_select)},
        {"ip_pool_list", a.ip_pool_list},
        {"ip_pool_class", a.ip_pool_class},
        {"default_route", a.default_route},
        {"session.auth_file", s.auth_file},
        {"session.user_long_id", s.user_long_id},
        {"session.vpn_type", n(s.vpn_type)},
        {"session.login_delay", n(s.login_delay)},
    };
}

SessionContext StartSession() {
    SessionContext s;
    s.vpn_type = 1;
    s.login_delay = 30;
    return s;
}

struct Case {
    const char* answer;
    std::function<void(AccountInfo&, SessionContext&)> change;
};

const auto kNoChange = [](AccountInfo&, SessionContext&) {};

TEST(ParseAccountAnswer, AppliesTheRuleOfEachKey) {
    const Case cases[] = {
        {"a=1|b=2", kNoChange},
        {"", kNoChange},
        {"||no_equals_sign|=orphan|name=", kNoChange},
        {"vpntype=4|server_ip=10.0.0.1",
         [](AccountInfo& a, SessionContext& s) {
             s.vpn_type = 4;
             a.server_ip = "10.0.0.1";
         }},
        {"name=abc=def", [](AccountInfo& a, SessionContext&) { a.name = "abc"; }},
        {"name=first|name=second", [](AccountInfo& a, SessionContext&) { a.name = "second"; }},
        // "==" becomes "/" before the text is cut, so it is not a separator.
        {"crt_file=http:====h==crt==User.CRT",
         [](AccountInfo& a, SessionContext&) {
             a.crt_file = "http://h/crt/user.crt";
             a.crt_file_name = "user.crt";
         }},
        {"game_list=a==b==c", [](AccountInfo& a, SessionContext&) { a.game_list = "a=b=c"; }},
        {"name===x", kNoChange},
        {"LOGIN_TAG=YES|Name=홍길동Kim",
         [](AccountInfo& a, SessionContext&) {
             a.login_tag = 1;
             a.name = "홍길동kim";
         }},
        {"login_tag=no", kNoChange},
        {"login_dealy=0", kNoChange},
        {"login_dealy=-5", kNoChange},
        {"login_dealy=45", [](AccountInfo&, SessionContext& s) { s.login_delay = 45; }},
        {"game_proc_count=0", [](AccountInfo& a, SessionContext&) { a.game_proc_count = 2; }},
        {"game_proc_count=x", [](AccountInfo& a, SessionContext&) { a.game_proc_count = 2; }},
        {"game_proc_count=3", [](AccountInfo& a, SessionContext&) { a.game_proc_count = 3; }},
        {"expire_time=2015-12-31",
         [](AccountInfo& a, SessionContext&) { a.expire_text = "2015년 12월 31일"; }},
        {"expire_time=2015-1",
         [](AccountInfo& a, SessionContext&) { a.expire_text = "2015년 1월 일"; }},
        {"expire_time=20", [](AccountInfo& a, SessionContext&) { a.expire_text = "20년 월 일"; }},
        {"update_url=http:====h==dl==Setup.exe|update_version=1200abc",
         [](AccountInfo& a, SessionContext&) {
             a.update_url = "http://h/dl/setup.exe";
             a.update_file = "setup.exe";
             a.update_version = 1200;
         }},
        {"update_url=setup.exe|update_version=x",
         [](AccountInfo& a, SessionContext&) {
             a.update_url = "setup.exe";
             a.update_file = "setup.exe";
         }},
        {"search_word=Mixed Case",
         [](AccountInfo& a, SessionContext&) { a.search_word = "MIXED CASE"; }},
        {"route_list=10.0.0.0 255.0.0.0^\r\n20.0.0.0 \r\n",
         [](AccountInfo& a, SessionContext&) { a.route_list = "10.0.0.0255.0.0.0^20.0.0.0"; }},
        {"crt_ver=5", [](AccountInfo& a, SessionContext&) { a.server_cert_version = 1001; }},
        {"ip_pool_list=1^a^", [](AccountInfo& a, SessionContext&) { a.ip_pool_list = "1^a"; }},
        {"ip_pool_list=서울가", [](AccountInfo& a, SessionContext&) { a.ip_pool_list = "서울"; }},
        {"zentra_auth=Tok9|user_long_id=U123",
         [](AccountInfo&, SessionContext& s) {
             s.auth_file = "tok9.txt";
             s.user_long_id = "u123";
         }},
        {"xxxdate=2026-02-01 10:00:00|xxxtime=120|search_time=7|gamefastmode=0|use_select=1|"
         "auto_conn_change=1|my_point=500|mygame=게임|server_code=S1|refund_money=0|open_config="
         "cfg|gateway_ip=10.8.0.1|vpnport=1194|mac_addr=00-ff-aa|vpn_server_list=a^b|ip_pool_"
         "class=c1^c2|default_route=on",
         [](AccountInfo& a, SessionContext&) {
             a.xxxdate = "2026-02-01 10:00:00";
             a.xxxtime = 120;
             a.search_time = 7;
             a.gamefastmode = 0;
             a.use_select = 1;
             a.auto_conn_change = 1;
             a.my_point = "500";
             a.mygame = "게임";
             a.server_code = "s1";
             a.refund_money = "0";
             a.open_config = "cfg";
             a.gateway_ip = "10.8.0.1";
             a.vpnport = "1194";
             a.mac_addr = "00-ff-aa";
             a.vpn_server_list = "a^b";
             a.ip_pool_class = "c1^c2";
             a.default_route = "on";
         }},
        {"xxxtime=99999999999", [](AccountInfo& a, SessionContext&) { a.xxxtime = INT_MAX; }},
        {"xxxtime=-99999999999", [](AccountInfo& a, SessionContext&) { a.xxxtime = INT_MIN; }},
    };
    for (const auto& c : cases) {
        AccountInfo actual;
        actual.login_answer = c.answer;
        SessionContext session = StartSession();
        VirtualClock clock;
        EXPECT_EQ(ParseAccountAnswer(actual, session, clock), 1) << c.answer;

        AccountInfo expected;
        SessionContext expected_session = StartSession();
        c.change(expected, expected_session);
        EXPECT_EQ(Fields(actual, session), Fields(expected, expected_session)) << c.answer;
        EXPECT_EQ(clock.LocalSecondsNow(), VirtualClock::kDefaultStart) << c.answer;
    }
}

TEST(ParseAccountAnswer, ServerTimeSetsTheClock) {
    AccountInfo account;
    account.login_answer = "name=a|server_time=2027-03-04 05:06:07|name=b";
    SessionContext session;
    VirtualClock clock;
    EXPECT_EQ(ParseAccountAnswer(account, session, clock), 1);
    std::int64_t expected = 0;
    ASSERT_TRUE(ToLocalSeconds({2027, 3, 4, 5, 6, 7}, expected));
    EXPECT_EQ(clock.LocalSecondsNow(), expected);
    EXPECT_EQ(account.name, "b");
}

TEST(ParseAccountAnswer, RefusedClockChangeIsIgnored) {
    for (const char* value :
         {"2027-13-04 05:06:07", "2027-03-04 25:00:00", "garbage", "2027-02-30 1:2:3"}) {
        AccountInfo account;
        account.login_answer = std::string("server_time=") + value + "|name=after";
        SessionContext session;
        VirtualClock clock;
        EXPECT_EQ(ParseAccountAnswer(account, session, clock), 1) << value;
        EXPECT_EQ(clock.LocalSecondsNow(), VirtualClock::kDefaultStart) << value;
        EXPECT_EQ(account.name, "after") << value;
    }
}

TEST(ParseAccountAnswer, KeysAbsentFromAnAnswerKeepEarlierValues) {
    AccountInfo account;
    SessionContext session = StartSession();
    VirtualClock clock;
    account.login_answer = "server_ip=1.1.1.1|route_list=r1";
    ParseAccountAnswer(account, session, clock);
    account.login_answer = "server_ip=2.2.2.2";
    ParseAccountAnswer(account, session, clock);
    EXPECT_EQ(account.server_ip, "2.2.2.2");
    EXPECT_EQ(account.route_list, "r1");
}

TEST(ParseInfoAnswer, ReplacesEndDateAndAddsMinutes) {
    AccountInfo account;
    account.xxxtime = 10;
    account.info_answer = "XXXTIME=30|xxxdate=2026-03-01 00:00:00|name=ignored";
    EXPECT_EQ(ParseInfoAnswer(account), 1);
    EXPECT_EQ(ParseInfoAnswer(account), 1);
    EXPECT_EQ(account.xxxtime, 70);
    EXPECT_EQ(account.xxxdate, "2026-03-01 00:00:00");
    EXPECT_EQ(account.name, "");

    account.info_answer = "xxxtime=x|xxxdate=";
    ParseInfoAnswer(account);
    EXPECT_EQ(account.xxxtime, 70);
    EXPECT_EQ(account.xxxdate, "2026-03-01 00:00:00");

    account.info_answer = "xxxtime=2147483647";
    ParseInfoAnswer(account);
    EXPECT_EQ(account.xxxtime, INT_MAX);
}

TEST(FormatKoreanDate, JoinsThePartsAsGiven) {
    EXPECT_EQ(FormatKoreanDate("2015", "12", "31"), "2015년 12월 31일");
    EXPECT_EQ(FormatKoreanDate("", "", ""), "년 월 일");
}

}  // namespace
}  // namespace korvane
