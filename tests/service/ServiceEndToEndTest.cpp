// The service as a running process, spoken to the way the client speaks.

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "DateText.h"
#include "HttpProbe.h"
#include "HttpService.h"
#include "ServiceFixture.h"
#include "platform/linux/SystemClock.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"

namespace korvane {
namespace {

using testing::Get;
using testing::HttpReply;
using testing::PostForm;
using testing::PostQuery;
using testing::QueryEscape;
using testing::RawExchange;
using testing::ServiceFixture;

const char* const kConfig = R"(
[service]
web_host = ${self}
version = 1190
download = http://${self}/vpn_program/Korvane_Setup_1190.exe

[account openvpn]
password = 비밀1
vpntype = 4
server_ip = 10.8.0.1
vpnport = 1194
gateway_ip = 10.8.0.254
route_list = 10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0
default_route = 1.2.3.4^5.6.7.8
open_config = route-method exe^^route-delay 2
crt_ver = 3
crt_file = http://${self}/crt/Korvane_CA.crt
mac_addr = 00-FF-12-34-56-78
xxxdate = +10h
xxxtime = 600
use_select = 0
ip_pool_class = 서울^Busan^
vpn_server_list = A1/Seoul^B2/Busan^
auto_conn_change = 1
zentra_auth = tok123
user_long_id = L0001
login_dealy = 3
mygame = 게임 서버
update_version = 1187
update_url = http://${self}/vpn_program/Korvane_Setup_1190.exe
refresh_xxxdate = +11h
refresh_xxxtime = 30

[account stopped]
password = pw
state = suspended

[account notice]
password = pw
login_retry_count = 3
message = 서버 점검 중입니다
message = http://${web_host}/customer/faq.php

[account unpaid]
password = pw
state = no_time

[account closed]
password = pw
pool_error = 점검 중
change_error = 변경 불가

[band 서울]
ip = s01 10.1.1.1
ip = s02 10.1.1.2

[band Busan]
ip = b01 10.2.1.1
error = 부산 대역 점검
)";

const std::map<std::string, std::string> kFiles = {
    {"Korvane_CA.crt", "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n"},
    {"Korvane_Setup_1190.exe", std::string("MZ\x90\x00\x03\x00installer", 14)},
};

std::string LoginRecord(const std::string& id, const std::string& password) {
    LoginRecordFields f;
    f.client_code = "korvane";
    f.id = id;
    f.password = password;
    f.ccver = 1187;
    f.ip_code = "s01";
    f.client_sys_info = "Linux 6.1, 한국어";
    f.session_key = 4242;
    f.vpn_type = 4;
    f.auth_mode = "user";
    return RequestRecord::Login(f, 0);
}

std::string PoolRecord(const std::string& id, const std::string& class_code) {
    LoginRecordFields f;
    f.client_code = "korvane";
    f.id = id;
    f.password = "pw";
    f.ccver = 1187;
    return RequestRecord::IpPool(f, class_code);
}

// The account answer read the way the client's parser reads it: lower-cased,
// "==" back to "/", cut at "|", the value between the first and second "=".
std::map<std::string, std::string> ReadAccountAnswer(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    std::string slashed;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "==") == 0) {
            slashed += '/';
            ++i;
        } else {
            slashed += text[i];
        }
    }
    std::map<std::string, std::string> fields;
    for (const auto& [key, rest] : RequestRecord::Split(slashed)) {
        fields[key] = rest.substr(0, rest.find('='));
    }
    return fields;
}

class ServiceEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(service_.Start(kConfig, kFiles)); }

    std::string Url(const std::string& path) const { return service_.Url(path); }

    HttpReply Login(const std::string& record, const char* page = "user_check_v1.php") {
        return PostQuery(Url(std::string("/ClientLogin/") + page +
                             "?bin=" + QueryEscape(EncodeForWire(record))));
    }

    HttpReply Form(const std::string& path, const std::string& record) {
        return PostForm(Url(path), "bin=" + EncodeForWire(record));
    }

    static std::string Answer(const HttpReply& reply) {
        EXPECT_EQ(reply.curl_code, CURLE_OK);
        EXPECT_EQ(reply.status, 200);
        return DecodeFromWire(reply.body);
    }

    ServiceFixture service_;
};

TEST_F(ServiceEndToEnd, LoginRejectionsAsTheClientJudgesThem) {
    const struct {
        std::string id, password;
        std::string answer;
    } cases[] = {
        {"nobody", "pw", "login_auth=no"},
        {"openvpn", "wrong", "login_auth=no"},
        {"stopped", "pw", "login_auth=stop"},
        {"notice", "pw",
         "login_retry_count=3|server_error=서버 점검 중입니다^http://" + service_.address() +
             "/customer/faq.php"},
        {"unpaid", "pw", "xxxtime=|xxxdate=|"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Answer(Login(LoginRecord(c.id, c.password))), c.answer) << c.id;
    }
}

TEST_F(ServiceEndToEnd, AcceptedLoginReadsBackIntoTheAccountFields) {
    for (const char* page : {"user_check_v1.php", "user_check_v0.php"}) {
        const std::string answer = Answer(Login(LoginRecord("openvpn", "비밀1"), page));
        for (const char* rejection : {"login_auth=no", "login_auth=stop", "server_error="}) {
            EXPECT_EQ(answer.find(rejection), std::string::npos) << page;
        }
        auto f = ReadAccountAnswer(answer);
        const std::string self = service_.address();
        EXPECT_EQ(f["vpntype"], "4");
        EXPECT_EQ(f["server_ip"], "10.8.0.1");
        EXPECT_EQ(f["vpnport"], "1194");
        EXPECT_EQ(f["gateway_ip"], "10.8.0.254");
        EXPECT_EQ(f["route_list"], "10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0");
        EXPECT_EQ(f["default_route"], "1.2.3.4^5.6.7.8");
        EXPECT_EQ(f["open_config"], "route-method exe^^route-delay 2");
        EXPECT_EQ(f["crt_ver"], "3");
        EXPECT_EQ(f["crt_file"], "http://" + self + "/crt/korvane_ca.crt");
        EXPECT_EQ(f["mac_addr"], "00-ff-12-34-56-78");
        EXPECT_EQ(f["xxxtime"], "600");
        EXPECT_EQ(f["use_select"], "0");
        EXPECT_EQ(f["ip_pool_class"], "서울^busan^");
        EXPECT_EQ(f["vpn_server_list"], "a1/seoul^b2/busan^");
        EXPECT_EQ(f["auto_conn_change"], "1");
        EXPECT_EQ(f["zentra_auth"], "tok123");
        EXPECT_EQ(f["user_long_id"], "l0001");
        EXPECT_EQ(f["login_dealy"], "3");
        EXPECT_EQ(f["mygame"], "게임 서버");
        EXPECT_EQ(f["update_version"], "1187");
        EXPECT_EQ(f["update_url"], "http://" + self + "/vpn_program/korvane_setup_1190.exe");
        // Ten hours from the service's start, give or take the test's own time.
        const std::int64_t now = SystemClock().LocalSecondsNow();
        EXPECT_GE(f["xxxdate"], service::FormatLocalDate(now + 36000 - 60));
        EXPECT_LE(f["xxxdate"], service::FormatLocalDate(now + 36000));
    }
}

TEST_F(ServiceEndToEnd, BinArrivesRawEscapedOrAsFormBody) {
    const std::string encoded = EncodeForWire(LoginRecord("stopped", "pw"));
    // Raw control bytes in the request line, as a client that does not
    // escape would send them.
    const std::string raw =
        RawExchange(service_.port(),
                    "POST /ClientLogin/user_check_v1.php?bin=" + encoded +
                        " HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    ASSERT_EQ(raw.rfind("HTTP/1.1 200", 0), 0u) << raw;
    EXPECT_EQ(DecodeFromWire(raw.substr(raw.find("\r\n\r\n") + 4)), "login_auth=stop");
    EXPECT_EQ(Answer(Login(LoginRecord("stopped", "pw"))), "login_auth=stop");
    EXPECT_EQ(Answer(PostForm(Url("/ClientLogin/user_check_v1.php"), "bin=" + encoded)),
              "login_auth=stop");
}

TEST_F(ServiceEndToEnd, RefreshSendsTheConfiguredEndDateAndMinutes) {
    const std::string answer = Answer(PostQuery(
        Url("/ClientLogin/get_info.php?bin=" +
            QueryEscape(EncodeForWire(RequestRecord::AccountRefresh("korvane", "openvpn"))))));
    auto f = ReadAccountAnswer(answer);
    EXPECT_EQ(f["xxxtime"], "30");
    const std::int64_t now = SystemClock().LocalSecondsNow();
    EXPECT_GE(f["xxxdate"], service::FormatLocalDate(now + 39600 - 60));
    EXPECT_LE(f["xxxdate"], service::FormatLocalDate(now + 39600));
}

TEST_F(ServiceEndToEnd, PoolWithAndWithoutBandAndIpChange) {
    const struct {
        std::string path, record, answer;
    } cases[] = {
        {"/Info/ip_pool_list.php", PoolRecord("closed", ""), "server_error=점검 중"},
        {"/Info/ip_pool_list.php", PoolRecord("unpaid", ""),
         "s01^10.1.1.1|s02^10.1.1.2|b01^10.2.1.1|"},
        {"/Info/ip_pool_list.php", PoolRecord("unpaid", "서울"), "s01^10.1.1.1|s02^10.1.1.2|"},
        {"/Info/ip_pool_list.php", PoolRecord("unpaid", "busan"), "server_error=부산 대역 점검"},
        {"/ClientLogin/socket_change.php",
         RequestRecord::IpChange("korvane", "unpaid", "pw", "s02"), "result=ok|select_ip=10.1.1.2"},
        {"/ClientLogin/socket_change.php",
         RequestRecord::IpChange("korvane", "closed", "pw", "s02"), "server_error=변경 불가"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Answer(Form(c.path, c.record)), c.answer) << c.record;
    }
}

TEST_F(ServiceEndToEnd, VersionFileFilesAndPages) {
    const HttpReply version = PostQuery(Url("/ClientVersion/korvane/korvane_setup.php"));
    EXPECT_EQ(version.status, 200);
    EXPECT_EQ(version.body, "version=1190\ndownload=http://" + service_.address() +
                                "/vpn_program/Korvane_Setup_1190.exe\n");

    // Each file by the name the version file gives and the lower-cased one
    // the account answer leaves the client with.
    for (const char* path : {"/crt/Korvane_CA.crt", "/crt/korvane_ca.crt"}) {
        const HttpReply crt = Get(Url(path));
        EXPECT_EQ(crt.status, 200) << path;
        EXPECT_EQ(crt.body, kFiles.at("Korvane_CA.crt")) << path;
    }
    for (const char* path :
         {"/vpn_program/Korvane_Setup_1190.exe", "/vpn_program/korvane_setup_1190.exe"}) {
        EXPECT_EQ(Get(Url(path)).body, kFiles.at("Korvane_Setup_1190.exe")) << path;
    }

    for (const char* path : {"/customer/faq.php", "/member/join1.php", "/member/idpw.php",
                             "/vpn_program/update.php", "/vpn_program/banner.php"}) {
        const HttpReply page = Get(Url(path));
        EXPECT_EQ(page.status, 200) << path;
        EXPECT_EQ(page.headers.at("content-type"), "text/html; charset=utf-8") << path;
        EXPECT_NE(page.body.find("<html lang=\"ko\">"), std::string::npos) << path;
    }
    EXPECT_NE(Get(Url("/customer/faq.php")).body.find("자주 묻는 질문"), std::string::npos);
}

TEST_F(ServiceEndToEnd, JournalHasOneLinePerRequestWithTheDecodedRecord) {
    Login(LoginRecord("openvpn", "비밀1"));
    const std::string event =
        "<<<<<<  Version =  1187  VPN USER STATIC SERVICE TIME ZERO ERROR >>>>>>\r\n"
        "Linux 6.1\r\nTue Jun 11 log | with bars = and equals\r\n\"quoted\" 한국어\r\n";
    Form("/ClientLogin/client_event_v1.php", RequestRecord::EventReport("korvane", "L0001", event));
    Form("/ClientLogin/client_logout.php",
         RequestRecord::Logout(1187, "openvpn", "korvane", "vpn"));
    PostForm(Url("/ClientLogin/client_logout.php"), "nothing here");
    Get(Url("/no/such/page"));

    const auto lines = service_.JournalEntries(5);
    ASSERT_EQ(lines.size(), 5u);
    for (const auto& line : lines) {
        EXPECT_TRUE(line.contains("time"));
    }
    EXPECT_EQ(lines[0]["method"], "POST");
    EXPECT_EQ(lines[0]["path"], "/ClientLogin/user_check_v1.php");
    EXPECT_EQ(lines[0]["status"], 200);
    EXPECT_EQ(lines[0]["endpoint"], "login");
    EXPECT_EQ(lines[0]["fields"]["id"], "openvpn");
    EXPECT_EQ(lines[0]["fields"]["password"], "비밀1");
    EXPECT_EQ(lines[0]["fields"]["client_sysInfo"], "Linux 6.1, 한국어");
    EXPECT_EQ(lines[0]["fields"]["ip_change_type"], "0");
    EXPECT_EQ(lines[0]["answer"].get<std::string>().rfind("login_auth=yes|", 0), 0u);

    EXPECT_EQ(lines[1]["endpoint"], "event");
    EXPECT_EQ(lines[1]["fields"]["client_id"], "L0001");
    EXPECT_EQ(lines[1]["fields"]["event"], event);

    EXPECT_EQ(lines[2]["endpoint"], "logout");
    EXPECT_EQ(lines[2]["fields"]["longid"], "openvpn");
    EXPECT_EQ(lines[2]["fields"]["auth_mode"], "vpn");

    EXPECT_EQ(lines[3]["status"], 400);
    EXPECT_EQ(lines[3]["note"], "no bin parameter");

    EXPECT_EQ(lines[4]["path"], "/no/such/page");
    EXPECT_EQ(lines[4]["method"], "GET");
    EXPECT_EQ(lines[4]["status"], 404);
}

TEST_F(ServiceEndToEnd, BadInputNeverBringsItDown) {
    // Text that is no transport encoding decodes to garbage: an unknown id.
    EXPECT_EQ(Answer(PostForm(Url("/ClientLogin/user_check_v1.php"), "bin=%%%\xff\xfe|||=")),
              "login_auth=no");
    EXPECT_EQ(PostQuery(Url("/ClientLogin/user_check_v1.php")).status, 400);
    EXPECT_EQ(Answer(Form("/Info/ip_pool_list.php", "class_code=서울")),
              "server_error=아이디 또는 비밀번호가 올바르지 않습니다");
    EXPECT_EQ(Answer(Form("/ClientLogin/get_info.php", "")), "");
    EXPECT_EQ(PostQuery(Url("/ClientLogin/nothing.php")).status, 404);

    const std::string big(service::kMaxBodyBytes + 1, 'A');
    EXPECT_EQ(PostForm(Url("/ClientLogin/client_event_v1.php"), "bin=" + big).status, 413);
    EXPECT_EQ(PostQuery(Url("/ClientLogin/user_check_v1.php?bin=" + std::string(9000, 'A'))).status,
              414);
    const std::string just_fits(service::kMaxBodyBytes - 4, 'A');
    EXPECT_EQ(PostForm(Url("/ClientLogin/client_event_v1.php"), "bin=" + just_fits).status, 200);

    // A POST without Content-Length carries no body and is answered at once.
    const auto start = std::chrono::steady_clock::now();
    const std::string bare = RawExchange(service_.port(),
                                         "POST /ClientVersion/k/k_setup.php HTTP/1.1\r\nHost: x\r\n"
                                         "Connection: close\r\n\r\n");
    EXPECT_EQ(bare.rfind("HTTP/1.1 200", 0), 0u) << bare;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

    // The library keeps that connection open; the status line is enough.
    EXPECT_EQ(RawExchange(service_.port(), "GARBAGE\r\n\r\n", 1000).rfind("HTTP/1.1 400", 0), 0u);
    EXPECT_EQ(RawExchange(service_.port(),
                          "DELETE /customer/faq.php HTTP/1.1\r\nConnection: close\r\n\r\n")
                  .rfind("HTTP/1.1 405", 0),
              0u);

    // Still serving.
    EXPECT_EQ(Answer(Login(LoginRecord("stopped", "pw"))), "login_auth=stop");
    const auto lines = service_.JournalEntries(11);
    ASSERT_GE(lines.size(), 11u);
    bool saw_413 = false;
    for (const auto& line : lines) {
        saw_413 = saw_413 || (line["status"] == 413 && line["note"].is_string());
    }
    EXPECT_TRUE(saw_413);
    EXPECT_EQ(service_.Stop(), 0);
}

TEST(ServiceProcess, EndsCleanlyOnSigtermEvenDuringAnInjectedDelay) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start("[failure pages]\ndelay_ms = 600000\n"));
    std::thread slow([&] { Get(service.Url("/customer/faq.php"), 30000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // into the delay
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(service.Stop(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    slow.join();
}

TEST(ServiceProcess, BadConfigNamesFileAndLineAndExitsWithTwo) {
    ServiceFixture service;
    EXPECT_FALSE(service.Start("[account a]\npassword = x\nstate = frozen\n"));
    const auto run =
        ServiceFixture::RunToEnd({"--config", service.config_path(), "--listen", "127.0.0.1:0"});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_NE(run.stderr_text.find(service.config_path() + ":3: \"state\" must be"),
              std::string::npos)
        << run.stderr_text;
    EXPECT_EQ(run.stdout_text, "");

    const auto missing = ServiceFixture::RunToEnd(
        {"--config", service.dir() + "/absent.ini", "--listen", "127.0.0.1:0"});
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_NE(missing.stderr_text.find("absent.ini: cannot read"), std::string::npos);

    const auto usage = ServiceFixture::RunToEnd({"--config", service.config_path()});
    EXPECT_EQ(usage.exit_code, 2);
    EXPECT_NE(usage.stderr_text.find("usage: korvane-service"), std::string::npos);
}

TEST(ServiceProcess, ATakenPortIsAFailureToListen) {
    ServiceFixture first;
    ASSERT_TRUE(first.Start(""));
    const auto run =
        ServiceFixture::RunToEnd({"--config", first.config_path(), "--listen", first.address()});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.stderr_text.find("cannot listen on " + first.address()), std::string::npos);
}

}  // namespace
}  // namespace korvane
