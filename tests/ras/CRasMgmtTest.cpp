#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "RasFakes.h"
#include "platform/sim/VirtualClock.h"
#include "tunnel/CRasMgmt.h"
#include "ui/Dialog.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

using test::FakeRasPort;

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

class CRasMgmtTest : public ::testing::Test {
  protected:
    FakeRasPort port_;
    RasNotifyTarget target_;
    CRasMgmt ras_{port_, target_};
};

TEST_F(CRasMgmtTest, EmptyOrOverlongTextsAreRefusedBeforeTheService) {
    const std::string ok = "demo";
    const struct {
        const char* what;
        std::string server, user, password;
    } cases[] = {
        {"empty server", "", ok, ok},
        {"empty user", "10.8.1.1", "", ok},
        {"empty password", "10.8.1.1", ok, ""},
        {"server of 129", Repeat("1", 129), ok, ok},
        {"user of 257", "10.8.1.1", Repeat("u", 257), ok},
        {"password of 257", "10.8.1.1", ok, Repeat("p", 257)},
        {"password of 257 syllables", "10.8.1.1", ok, Repeat("암", 257)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ras_.Dial("/pb/tesken.ini", c.server, c.user, c.password), -1) << c.what;
        EXPECT_EQ(ras_.last_refusal().error, 0) << c.what;
    }
    EXPECT_TRUE(port_.dials.empty());
}

TEST_F(CRasMgmtTest, DialHandsTheEntryAndTheAccountToTheService) {
    const std::string server = Repeat("9", 128);
    const std::string user = Repeat("u", 256);
    const std::string password = Repeat("암", 256);
    EXPECT_EQ(ras_.Dial("/opt/my app/tesken.ini", server, user, password), 0);
    ASSERT_EQ(port_.dials.size(), 1u);
    const auto& dial = port_.dials[0];
    EXPECT_EQ(dial.phonebook, "/opt/my app/tesken.ini");
    EXPECT_EQ(dial.params.entry_name, "Dova_Conn");
    EXPECT_EQ(dial.params.phone_number, server);
    EXPECT_EQ(dial.params.user_name, user);
    EXPECT_EQ(dial.params.password, password);
    EXPECT_EQ(dial.params.callback_number, "");
    EXPECT_EQ(dial.params.domain, "");
    EXPECT_EQ(ras_.handle(), port_.dial_handle);
}

TEST_F(CRasMgmtTest, LiveConnectionIsNotDialledAgain) {
    ASSERT_EQ(ras_.Dial("pb", "10.8.1.1", "demo", "pw"), 0);
    EXPECT_EQ(ras_.Dial("pb", "10.8.1.1", "demo", "pw"), 1);
    EXPECT_EQ(port_.dials.size(), 1u);
    port_.live = false;
    EXPECT_EQ(ras_.Dial("pb", "10.8.1.1", "demo", "pw"), 0) << "a dead handle is dialled over";
    EXPECT_EQ(port_.dials.size(), 2u);
}

TEST_F(CRasMgmtTest, RefusedDialKeepsTheTextAndHangsUpWhatTheServiceReturned) {
    port_.dial_result = 800;
    EXPECT_EQ(ras_.Dial("pb", "10.8.1.1", "demo", "pw"), -1);
    EXPECT_EQ(ras_.last_refusal().error, 800);
    EXPECT_EQ(ras_.last_refusal().text, "VPN 연결을 만들 수 없습니다.");
    EXPECT_EQ(port_.hang_ups, (std::vector<RasHandle>{0x41}));

    port_.dial_handle = 0;
    EXPECT_EQ(ras_.Dial("pb", "10.8.1.1", "demo", "pw"), -1);
    EXPECT_EQ(port_.hang_ups.size(), 1u) << "no connection was made, nothing to hang up";
}

TEST_F(CRasMgmtTest, QueriesWithoutAHandleAskNothing) {
    EXPECT_EQ(ras_.HangUp(), -1);
    EXPECT_EQ(ras_.IsConnected(), 0);
    EXPECT_EQ(ras_.GetAssignedAddress(), "");
    EXPECT_TRUE(port_.hang_ups.empty());
}

TEST_F(CRasMgmtTest, QueriesFollowTheService) {
    ASSERT_EQ(ras_.Dial("pb", "10.8.1.1", "demo", "pw"), 0);
    port_.status = {5, 0};
    EXPECT_EQ(ras_.IsConnected(), 1) << "any state of a live handle counts";
    EXPECT_EQ(ras_.GetAssignedAddress(), "10.8.1.10");
    port_.client_address.clear();
    EXPECT_EQ(ras_.GetAssignedAddress(), "") << "no projection yet";
    port_.hang_up_result = 6;
    EXPECT_EQ(ras_.HangUp(), 6);
    EXPECT_EQ(ras_.IsConnected(), 0);
    EXPECT_EQ(ras_.handle(), 0x41u) << "the old handle stays";
}

TEST_F(CRasMgmtTest, ErrorTextsFitTheirBuffer) {
    port_.texts[619] = Repeat("가", 100);  // 300 bytes
    const std::string cut = ras_.ErrorText(619, CRasMgmt::kStatusErrorTextBytes);
    EXPECT_EQ(cut, Repeat("가", 85)) << "255 bytes hold 85 whole syllables";
    EXPECT_EQ(ras_.ErrorText(619, CRasMgmt::kDialErrorTextBytes), Repeat("가", 100));
    EXPECT_EQ(ras_.ErrorText(12345, 256), "") << "the service knows no text";
}

TEST(CRasMgmtStateText, NamesEveryStateOfTheTable) {
    const struct {
        int state;
        const char* text;
    } cases[] = {
        {0, "통신포트 여는중..."},
        {1, "통신포트 열었습니다 접속 시도 중입니다"},
        {5, "사용자명과 암호 확인중"},
        {8, "인증 Callback "},
        {14, "인증완료"},
        {18, "수행된 정보정상"},
        {0x2000, "접속되었습니다\nTCP/IP 통신가능합니다..."},
        {0x2001, "접속해제"},
        {19, "(처리중~)"},
        {25, "(처리중~)"},
        {0x1000, "(처리중~)"},
        {-1, "(처리중~)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CRasMgmt::StateText(c.state), c.text) << c.state;
    }
}

TEST(CRasMgmtNotifier, EveryDialKeepsTheTargetItStartedWith) {
    std::ostringstream out;
    VirtualClock clock;
    HeadlessHost host(out, clock);
    test::StatusWindow window(host);

    FakeRasPort port;
    RasNotifyTarget target{&host, &window};
    CRasMgmt ras(port, target);
    ASSERT_EQ(ras.Dial("pb", "10.8.1.1", "demo", "pw"), 0);
    target = {};
    port.notifier(5, 0);
    port.notifier(5, 691);
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_EQ(window.messages[0].state, 5);
    EXPECT_EQ(window.messages[0].error, 0);
    EXPECT_EQ(window.messages[1].error, 691);
}

TEST(CRasMgmtLifetime, DialStillUnderWayIsHungUpWithTheManager) {
    const struct {
        RasConnectionStatus status;
        bool hung_up;
    } cases[] = {
        {{5, 0}, true},
        {{0x2000, 0}, false},
        {{5, 691}, false},
    };
    for (const auto& c : cases) {
        FakeRasPort port;
        RasNotifyTarget target;
        {
            CRasMgmt ras(port, target);
            ASSERT_EQ(ras.Dial("pb", "10.8.1.1", "demo", "pw"), 0);
            port.status = c.status;
        }
        EXPECT_EQ(port.hang_ups.size(), c.hung_up ? 1u : 0u) << c.status.state;
    }
}

}  // namespace
}  // namespace korvane
