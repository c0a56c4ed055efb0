// The pool and change exchanges against the real service on loopback.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "IpSelectHarness.h"
#include "ServiceFixture.h"

namespace korvane::test {
namespace {

using korvane::testing::ServiceFixture;
using Strings = std::vector<std::string>;

// Keeps the boxes shown on the owner window, as "caption: text".
class OwnerBoxes : public MessageBoxPort {
  public:
    BoxAnswer ShowMessageBox(const std::string& text, const std::string& caption,
                             BoxButtons) override {
        shown.push_back(caption + ": " + text);
        return BoxAnswer::Ok;
    }
    Strings shown;
};

const char* const kAccount = R"(
[account user1]
password = pw1
[band 서울]
ip = s01 10.1.1.1
ip = s02 10.1.1.2
[band 부산]
ip = b01 10.2.2.1
)";

// A session and the two requests, talking to a service started per case.
class IpRequestsTest : public ::testing::Test {
  protected:
    IpRequestsTest() {
        session_.client_code = "korvane";
        session_.user_id = "user1";
        session_.password = "pw1";
        session_.ccver = 1187;
        session_.ip_code = "0";
        session_.session_key = 4242;
        session_.vpn_type = 4;
        session_.auth_mode = "user";
        session_.vpn_conn_server_code = "A1";
        session_.ping_check = 0;
        session_.auth_host = "127.0.0.1";
        session_.http_headers = std::string(kHttpHeaderBlock);
    }

    // A fresh service with the account and `extra` config lines; the
    // requests go to it.
    ServiceFixture& Serve(const std::string& extra = "") {
        service_ = std::make_unique<ServiceFixture>();
        EXPECT_TRUE(service_->Start(std::string(kAccount) + extra));
        UsePort(service_->port());
        boxes_.shown.clear();
        steps_.Take();
        return *service_;
    }
    void UsePort(int port) {
        requests_.reset();
        web_ = std::make_unique<CWebMgmt>(session_, boxes_, HttpSettings{port, 5, 5});
        requests_ = std::make_unique<IpRequests>(session_, account_, *web_, steps_);
    }
    static std::string Injected(const char* endpoint, const std::string& answer) {
        return std::string("[failure ") + endpoint + "]\nanswer = " + answer + "\n";
    }

    SessionContext session_;
    AccountInfo account_;
    OwnerBoxes boxes_;
    RecordingConnectSteps steps_{session_};
    std::unique_ptr<ServiceFixture> service_;
    std::unique_ptr<CWebMgmt> web_;
    std::unique_ptr<IpRequests> requests_;
};

TEST_F(IpRequestsTest, PoolAnswersAreStoredWithoutTheirLastCharacterAndSpaces) {
    struct Case {
        std::string answer;
        int result;
        std::string pool;
        Strings boxes;
    };
    const Case cases[] = {
        {"a01^10.1.1.1|a02^10.1.1.2|", 0, "a01^10.1.1.1|a02^10.1.1.2", {}},
        {"a01^10.1.1.1 |a02 ^10.1.1.2|", 0, "a01^10.1.1.1|a02^10.1.1.2", {}},
        {"A01^Gate.Example|", 0, "A01^Gate.Example", {}},
        {"server_error=closed", -1, "", {"아이피 정보 오류: closed"}},
        {"x=1|server_error=점검=중|y", -1, "", {"아이피 정보 오류: 점검"}},
        // The keys are found without the spaces; the message keeps its own.
        {"server_error=잠시 후 다시", -1, "", {"아이피 정보 오류: 잠시 후 다시"}},
        {"server _error = 잠시 후 다시 | x", -1, "", {"아이피 정보 오류: 잠시 후 다시"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        Serve(Injected("ip_pool", c.answer));
        account_.ip_pool_list = "old^pool";
        EXPECT_EQ(requests_->RequestIpPool(boxes_), c.result);
        EXPECT_EQ(account_.ip_pool_list, c.pool);
        EXPECT_EQ(boxes_.shown, c.boxes);
    }
}

TEST_F(IpRequestsTest, PoolRequestCarriesTheLoginFieldsWithoutTheMachineAndTheBand) {
    struct Case {
        std::string class_code;
        std::string pool;
    };
    const Case cases[] = {
        {"서울", "s01^10.1.1.1|s02^10.1.1.2"},
        {"", "s01^10.1.1.1|s02^10.1.1.2|b01^10.2.2.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.class_code);
        ServiceFixture& service = Serve();
        session_.class_code = c.class_code;
        ASSERT_EQ(requests_->RequestIpPool(boxes_), 0);
        EXPECT_EQ(account_.ip_pool_list, c.pool);
        const auto entries = service.JournalEntries(1);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0]["method"], "POST");
        EXPECT_EQ(entries[0]["path"], "/Info/ip_pool_list.php");
        const nlohmann::json expected = {
            {"client_code", "korvane"},
            {"id", "user1"},
            {"password", "pw1"},
            {"ccver", "1187"},
            {"ip_code", "0"},
            {"client_mac", ""},
            {"client_sysInfo", ""},
            {"ping_check", "0"},
            {"session_key", "4242"},
            {"vpn_type", "4"},
            {"auth_mode", "user"},
            {"vpn_conn_server_code", "A1"},
            {"class_code", c.class_code},
        };
        EXPECT_EQ(entries[0]["fields"], expected);
    }
}

TEST_F(IpRequestsTest, UnknownBandShowsTheServiceMessage) {
    Serve();
    session_.class_code = "제주";
    account_.ip_pool_list = "s01^10.1.1.1";
    EXPECT_EQ(requests_->RequestIpPool(boxes_), -1);
    EXPECT_EQ(account_.ip_pool_list, "");
    EXPECT_EQ(boxes_.shown, (Strings{"아이피 정보 오류: 등록되지 않은 대역입니다"}))
        << "as the service wrote it";
}

TEST_F(IpRequestsTest, ChangeAnswersMoveTheExitAddressOrChangeNothing) {
    struct Case {
        std::string answer;
        int result;
        std::string address;  // current_exit_address afterwards
        Strings calls;
        Strings boxes;
        std::string pool;
    };
    const Strings none;
    const Case cases[] = {
        {"result=ok|select_ip=10.1.1.2",
         1,
         "10.1.1.2",
         {"ShowStatusIpLine(10.1.1.2)"},
         none,
         "kept"},
        {"select_ip=", 0, "10.9.9.9", none, none, "kept"},
        {"select_ip=10.1.1.2=x", 1, "10.1.1.2", {"ShowStatusIpLine(10.1.1.2)"}, none, "kept"},
        {"result = ok | select_ip = 10.1.1.2",
         1,
         "10.1.1.2",
         {"ShowStatusIpLine(10.1.1.2)"},
         none,
         "kept"},
        {"result=ok", 0, "10.9.9.9", none, none, "kept"},
        {"server_error=busy|select_ip=10.1.1.2",
         -1,
         "10.9.9.9",
         none,
         {"아이피 정보 오류: busy"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        Serve(Injected("ip_change", c.answer));
        session_.current_exit_address = "10.9.9.9";
        account_.ip_pool_list = "kept";
        EXPECT_EQ(requests_->RequestIpChange(boxes_, "s02"), c.result);
        EXPECT_EQ(session_.current_exit_address, c.address);
        EXPECT_EQ(steps_.Take(), c.calls);
        EXPECT_EQ(boxes_.shown, c.boxes);
        EXPECT_EQ(account_.ip_pool_list, c.pool);
    }
}

TEST_F(IpRequestsTest, ChangeRequestNamesTheCodeAndGetsItsAddress) {
    ServiceFixture& service = Serve();
    EXPECT_EQ(requests_->RequestIpChange(boxes_, "b01"), 1);
    EXPECT_EQ(session_.current_exit_address, "10.2.2.1");
    const auto entries = service.JournalEntries(1);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["path"], "/ClientLogin/socket_change.php");
    const nlohmann::json expected = {
        {"client_code", "korvane"}, {"id", "user1"}, {"password", "pw1"}, {"ip_code", "b01"}};
    EXPECT_EQ(entries[0]["fields"], expected);

    EXPECT_EQ(requests_->RequestIpChange(boxes_, "zz9"), -1);
    EXPECT_EQ(boxes_.shown, (Strings{"아이피 정보 오류: 선택하신 아이피를 찾을 수 없습니다"}));
}

TEST_F(IpRequestsTest, UnreachableServiceStoresAnEmptyPoolAndChangesNothing) {
    Serve();
    const int port = service_->port();
    service_->Stop();
    UsePort(port);
    account_.ip_pool_list = "s01^10.1.1.1";
    EXPECT_EQ(requests_->RequestIpPool(boxes_), 0);
    EXPECT_EQ(account_.ip_pool_list, "");
    session_.current_exit_address = "10.9.9.9";
    EXPECT_EQ(requests_->RequestIpChange(boxes_, "s01"), 0);
    EXPECT_EQ(session_.current_exit_address, "10.9.9.9");
    EXPECT_TRUE(steps_.Take().empty());
    EXPECT_EQ(boxes_.shown, (Strings{"DIZidezod: Web Send Error", "DIZidezod: Web Send Error"}));
}

TEST(AnswerFieldValue, TakesThePieceBetweenTheFirstTwoEqualSigns) {
    struct Case {
        const char* text;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"a=1|select_ip=10.1.1.2", "select_ip=", "10.1.1.2"},
        {"select_ip=10.1.1.2=x|select_ip=9", "select_ip=", "10.1.1.2"},
        {"select_ip=", "select_ip=", ""},
        {"result=ok", "select_ip=", std::nullopt},
        {"myserver_error=x", "server_error=", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(AnswerFieldValue(c.text, c.key), c.value);
    }
}

}  // namespace
}  // namespace korvane::test
