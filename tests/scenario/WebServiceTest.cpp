// The client's HTTP requests against the running service: the account
// refresh, the version file and an accepted login's account record.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "SessionHarness.h"
#include "update/CheckVersion.h"

namespace korvane {
namespace {

using test::SessionHarness;
using testing::ServiceFixture;

const char* const kConfig = R"(
[service]
web_host = ${self}
version_line = version  =	1190
version_line = download	= http://${self}/vpn_program/Korvane_Setup_1190.exe

[account kim]
password = secret
vpntype = 1
server_ip = 10.8.1.1
vpnport = 1194
gateway_ip = 0.0.0.0
route_list = 10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0
xxxdate = 2030-06-15 12:00:00
xxxtime = 600
use_select = 1
zentra_auth = Tok123
user_long_id = L0001
mygame = 게임 서버
refresh_xxxdate = 2030-07-15 12:00:00
refresh_xxxtime = 30
)";

class WebServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(service_.Start(kConfig));
        h_ = std::make_unique<SessionHarness>(service_);
        h_->Start();
        h_->session.user_id = "kim";
        h_->session.password = "secret";
        h_->session.auth_mode = "user";
    }

    ServiceFixture service_;
    std::unique_ptr<SessionHarness> h_;
};

TEST_F(WebServiceTest, AnAcceptedLoginIsParsedIntoTheAccount) {
    ASSERT_EQ(h_->operations.SendLoginRequest(), 1);
    const AccountInfo& a = h_->account;
    EXPECT_EQ(a.server_ip, "10.8.1.1");
    EXPECT_EQ(a.vpnport, "1194");
    EXPECT_EQ(a.route_list, "10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0") << "the == came back as /";
    EXPECT_EQ(a.xxxdate, "2030-06-15 12:00:00");
    EXPECT_EQ(a.xxxtime, 600);
    EXPECT_EQ(a.use_select, 1);
    EXPECT_EQ(a.mygame, "게임 서버") << "CP949 on the wire, UTF-8 inside";
    EXPECT_EQ(a.has_zero_address, 1) << "the answer carries 0.0.0.0";
    EXPECT_EQ(h_->session.vpn_type, 1);
    EXPECT_EQ(h_->session.user_long_id, "l0001");
    EXPECT_EQ(h_->session.auth_file, "tok123.txt");
    EXPECT_EQ(h_->tunnel.calls, std::vector<std::string>{"WritePhonebook(1,1)"})
        << "a remote-access account gets its phonebook entry";
}

TEST_F(WebServiceTest, TheRefreshReplacesTheEndDateAndAddsTheMinutes) {
    ASSERT_EQ(h_->operations.SendLoginRequest(), 1);
    EXPECT_EQ(h_->operations.RefreshAccountInfo(), 1);
    EXPECT_EQ(h_->account.xxxdate, "2030-07-15 12:00:00");
    EXPECT_EQ(h_->account.xxxtime, 630);
    const auto entries = service_.JournalEntries(2);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1]["endpoint"], "refresh");
    EXPECT_EQ(entries[1]["fields"],
              (nlohmann::json{{"client_code", "korvane"}, {"user_id", "kim"}}));
}

TEST_F(WebServiceTest, TheVersionFileIsReadWithItsBlanksAndTabs) {
    h_->session.auth_host = "127.0.0.1";
    EXPECT_EQ(CheckVersion(h_->web, h_->session, h_->account), 1);
    EXPECT_EQ(h_->account.update_version, 1190);
    EXPECT_EQ(h_->account.update_file, "Korvane_Setup_1190.exe");
    EXPECT_EQ(h_->account.update_url,
              "http://" + service_.address() + "/vpn_program/Korvane_Setup_1190.exe");
    const auto entries = service_.JournalEntries(1);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["path"], "/ClientVersion/korvane/korvane_setup.php");
}

TEST_F(WebServiceTest, AnUnreachableServiceLeavesTheVersionAsItWas) {
    h_->account.update_version = 1187;
    // A port bound but never listened on refuses every connection, and no
    // service of a test running in parallel can take it meanwhile (a stopped
    // service's port can be handed out again at once).
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    HttpSettings refused;
    refused.port = ntohs(address.sin_port);
    CWebMgmt web(h_->session, h_->host, refused);
    EXPECT_EQ(CheckVersion(web, h_->session, h_->account), 1);
    EXPECT_EQ(h_->account.update_version, 1187);
    close(fd);
}

}  // namespace
}  // namespace korvane
