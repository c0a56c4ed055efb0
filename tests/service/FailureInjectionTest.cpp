// Failures the service is told to inject, as a client on the wire sees them.

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>

#include "FailureInjector.h"
#include "HttpProbe.h"
#include "ServiceFixture.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"

namespace korvane {
namespace {

using testing::HttpReply;
using testing::PostForm;
using testing::PostQuery;
using testing::QueryEscape;
using testing::ServiceFixture;

const char* const kConfig = R"(
[service]
version = 1187
[account a]
password = pw
[band 서울]
ip = s01 10.1.1.1

[failure login]
status = 503
[failure login_test]
drop = yes
[failure refresh]
garbage = yes
[failure logout]
delay_ms = 400
[failure ip_pool]
no_content_length = yes
[failure ip_change]
answer = result=ok|select_ip=10.1.1.2=x
count = 1
[failure version]
status = 500
count = 2
)";

class FailureInjection : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(service_.Start(kConfig)); }

    HttpReply Query(const std::string& path, const std::string& record) {
        return PostQuery(service_.Url(path + "?bin=" + QueryEscape(EncodeForWire(record))));
    }
    HttpReply Form(const std::string& path, const std::string& record) {
        return PostForm(service_.Url(path), "bin=" + EncodeForWire(record));
    }

    static std::string LoginRecord() {
        LoginRecordFields f;
        f.id = "a";
        f.password = "pw";
        return RequestRecord::Login(f, 0);
    }

    ServiceFixture service_;
};

TEST_F(FailureInjection, StatusDropAndGarbage) {
    const HttpReply status = Query("/ClientLogin/user_check_v1.php", LoginRecord());
    EXPECT_EQ(status.curl_code, CURLE_OK);
    EXPECT_EQ(status.status, 503);
    EXPECT_EQ(DecodeFromWire(status.body).find("login_auth"), std::string::npos);

    const HttpReply dropped = Query("/ClientLogin/user_check_v0.php", LoginRecord());
    EXPECT_EQ(dropped.curl_code, CURLE_GOT_NOTHING);
    EXPECT_EQ(dropped.body, "");

    const HttpReply garbage =
        Query("/ClientLogin/get_info.php", RequestRecord::AccountRefresh("korvane", "a"));
    EXPECT_EQ(garbage.status, 200);
    EXPECT_EQ(garbage.body, service::GarbageBody());
    EXPECT_EQ(DecodeFromWire(garbage.body).find("xxxtime="), std::string::npos);

    const auto lines = service_.JournalEntries(3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["status"], 503);
    EXPECT_EQ(lines[0]["injected"], nlohmann::json::array({"status=503"}));
    EXPECT_EQ(lines[1]["status"], 0);
    EXPECT_EQ(lines[1]["endpoint"], "login_test");
    EXPECT_EQ(lines[1]["injected"], nlohmann::json::array({"drop"}));
    EXPECT_EQ(lines[2]["injected"], nlohmann::json::array({"garbage"}));
}

TEST_F(FailureInjection, DelayAndAnswerWithoutContentLength) {
    const auto start = std::chrono::steady_clock::now();
    const HttpReply slow =
        Form("/ClientLogin/client_logout.php", RequestRecord::Logout(1187, "a", "korvane", "user"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_EQ(DecodeFromWire(slow.body), "result=ok");

    LoginRecordFields f;
    f.id = "a";
    f.password = "pw";
    const HttpReply unsized = Form("/Info/ip_pool_list.php", RequestRecord::IpPool(f, "서울"));
    EXPECT_EQ(unsized.curl_code, CURLE_OK);
    EXPECT_FALSE(unsized.Has("content-length"));
    EXPECT_EQ(DecodeFromWire(unsized.body), "s01^10.1.1.1|");
}

TEST_F(FailureInjection, CountLimitsTheRequestsAffected) {
    const std::string change = RequestRecord::IpChange("korvane", "a", "pw", "s01");
    EXPECT_EQ(DecodeFromWire(Form("/ClientLogin/socket_change.php", change).body),
              "result=ok|select_ip=10.1.1.2=x");
    EXPECT_EQ(DecodeFromWire(Form("/ClientLogin/socket_change.php", change).body),
              "result=ok|select_ip=10.1.1.1");

    const std::string version = service_.Url("/ClientVersion/k/k_setup.php");
    EXPECT_EQ(PostQuery(version).status, 500);
    EXPECT_EQ(PostQuery(version).status, 500);
    const HttpReply third = PostQuery(version);
    EXPECT_EQ(third.status, 200);
    EXPECT_EQ(third.body, "version=1187\n");
}

}  // namespace
}  // namespace korvane
