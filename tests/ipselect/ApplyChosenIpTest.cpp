// Picking an address and what follows: the connect step, timer 12 and its
// redials, the one-click change against the service, and the reconnect for
// a change without it.

#include <gtest/gtest.h>

#include <algorithm>

#include "IpSelectHarness.h"
#include "ServiceFixture.h"

namespace korvane::test {
namespace {

using korvane::testing::ServiceFixture;
using Strings = std::vector<std::string>;

constexpr char kPool[] = "s01^10.1.1.1|s02^10.1.1.2|s03^10.1.1.3";
const Strings kConnect = {"RunLogin(vpn,s02)", "ConnectTunnel"};

class ApplyChosenIpTest : public IpSelectHarness {
  protected:
    // The service-IP tab with kPool; double-clicks row 1 (s02).
    void PickSecondAddress() { DoubleClick(ServiceTab(), IpListTab::kServiceList, 1); }
    void ShowPool() {
        account_.ip_pool_list = kPool;
        ServiceTab().FillIpLists();
    }
    void Reconnection(int on, int interval, int count) {
        main_->fields().reconnect_switch = on;
        main_->fields().redial_interval_seconds = interval;
        main_->fields().redial_count = count;
    }
    std::optional<std::int64_t> TimerPeriod(int id) const {
        const auto timer = host_.FindTimer(*main_, id);
        return timer ? std::optional<std::int64_t>(timer->period_ms) : std::nullopt;
    }
    long CountLines(const std::string& line) const {
        const Strings lines = Lines();
        return std::count(lines.begin(), lines.end(), line);
    }
};

TEST_F(ApplyChosenIpTest, PickWithoutTunnelConnectsAndStartsTimer12WhateverTheLogin) {
    struct Case {
        const char* name;
        int login_result;
        int reconnect;
        int interval;
        Strings calls;
        SessionState state;
        std::optional<std::int64_t> timer12;
    };
    const Case cases[] = {
        {"login ok", 0, 1, 30, kConnect, SessionState::Connecting, 30000},
        {"login failed", -2, 1, 30, {"RunLogin(vpn,s02)"}, SessionState::LoggedIn, 30000},
        {"reconnect off", 0, 0, 30, kConnect, SessionState::Connecting, std::nullopt},
        {"no interval", 0, 1, 0, kConnect, SessionState::Connecting, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        ShowPool();
        session_.state = SessionState::LoggedIn;
        session_.auth_mode = "user";
        steps_.login_result = c.login_result;
        Reconnection(c.reconnect, c.interval, 3);
        PickSecondAddress();
        EXPECT_EQ(session_.ip_code, "s02");
        EXPECT_EQ(session_.auth_mode, "vpn");
        EXPECT_EQ(steps_.Take(), c.calls);
        EXPECT_EQ(session_.state, c.state);
        EXPECT_EQ(TimerPeriod(CKorvaneDlg::kTimerRedial), c.timer12);
        selection_.reset();
        main_.reset();
    }
}

TEST_F(ApplyChosenIpTest, RemoteAccessConnectSwitchesTheTapConnectionOffFirst) {
    struct Case {
        int vpn_type;
        Strings switches;
    };
    for (const Case& c :
         {Case{1, {std::string(kTapGuid) + " disconnect"}}, Case{4, {}}, Case{3, {}}}) {
        SCOPED_TRACE(c.vpn_type);
        Start();
        ShowPool();
        session_.vpn_type = c.vpn_type;
        const std::size_t before = network_.connection_switches().size();
        PickSecondAddress();
        const Strings& all = network_.connection_switches();
        EXPECT_EQ(Strings(all.begin() + static_cast<long>(before), all.end()), c.switches);
        session_.state = SessionState::LoggedIn;
        selection_.reset();
        main_.reset();
    }
}

TEST_F(ApplyChosenIpTest, FailedStartStopsTheProgramAndTheDialogAndLeavesNoAttemptRunning) {
    Start();
    ShowPool();
    steps_.connect_result = -1;
    PickSecondAddress();
    EXPECT_EQ(steps_.Take(), (Strings{"RunLogin(vpn,s02)", "ConnectTunnel", "StopTunnelProgram",
                                      "StopConnectingDialog"}));
    EXPECT_EQ(session_.state, SessionState::Idle) << "a later login must not be refused";
}

TEST_F(ApplyChosenIpTest, ConnectedPickWithOneClickChangeMovesTheTunnel) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(R"(
[account user1]
password = pw1
[band 서울]
ip = s01 10.1.1.1
ip = s02 10.1.1.2
)"));
    Start(service.port());
    ShowPool();
    session_.state = SessionState::Connected;
    session_.ip_change_type = 1;
    session_.current_exit_address = "10.1.1.1";
    Reconnection(1, 30, 3);
    PickSecondAddress();
    EXPECT_EQ(steps_.Take(), (Strings{"ShowStatusIpLine(10.1.1.2)"}));
    EXPECT_EQ(session_.current_exit_address, "10.1.1.2");
    EXPECT_EQ(session_.state, SessionState::Connected) << "the tunnel stays up";
    EXPECT_EQ(TimerPeriod(CKorvaneDlg::kTimerRedial), std::nullopt);
    const auto entries = service.JournalEntries(1);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["endpoint"], "ip_change");
    EXPECT_EQ(entries[0]["fields"]["ip_code"], "s02");
}

TEST_F(ApplyChosenIpTest, BandThenAddressFromTheService) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(R"(
[account user1]
password = pw1
[band 서울]
ip = s01 10.1.1.1
ip = s02 10.1.1.2
[band 제주]
ip = j01 10.3.3.1
error = 제주 대역은 점검 중입니다
)"));
    Start(service.port());
    SetSetting("IpList", "10.1.1.2");
    account_.ip_pool_class = "서울^제주^";
    DynamicIpTabDlg& tab = ServiceTab();
    tab.FillBandList();
    DoubleClick(tab, DynamicIpTabDlg::kBandList, 0);
    EXPECT_EQ(session_.class_code, "서울");
    EXPECT_EQ(Rows(tab.service_list()), (Strings{"10.1.1.1", "10.1.1.2"}));
    EXPECT_EQ(Rows(tab.saved_list()), (Strings{"10.1.1.2"}));
    DoubleClick(tab, IpListTab::kSavedList, 0);
    EXPECT_EQ(steps_.Take(), (Strings{"RunLogin(vpn,s02)", "ConnectTunnel"}));
    EXPECT_EQ(tab.current_row(), 1);

    // A band the service refuses: its message, an empty pool, one empty row,
    // and nothing of the earlier band counts any more.
    DoubleClick(tab, DynamicIpTabDlg::kBandList, 1);
    EXPECT_EQ(Boxes(),
              (Strings{"box caption=\"아이피 정보 오류\" text=\"제주 대역은 점검 중입니다\" "
                       "buttons=ok answer=ok"}));
    EXPECT_EQ(account_.ip_pool_list, "");
    EXPECT_EQ(Rows(tab.service_list()), (Strings{""}));
    EXPECT_EQ(tab.current_row(), -1);
    EXPECT_TRUE(tab.used_rows().empty());
    EXPECT_EQ(tab.selected_band(), 1);
    const auto entries = service.JournalEntries(2);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0]["fields"]["class_code"], "서울");
    EXPECT_EQ(entries[1]["fields"]["class_code"], "제주");
}

TEST_F(ApplyChosenIpTest, ConnectedPickWithoutOneClickChangeReconnectsWithoutTimer12) {
    struct Case {
        int vpn_type;
        const char* tear_down;
    };
    for (const Case& c : {Case{4, "ReportTunnelEnd(4,)"}, Case{1, "StopRasTunnel"}}) {
        SCOPED_TRACE(c.vpn_type);
        Start();
        ShowPool();
        session_.vpn_type = c.vpn_type;
        session_.state = SessionState::Connected;
        session_.ip_change_type = 0;
        Reconnection(1, 30, 3);
        PickSecondAddress();
        EXPECT_EQ(steps_.Take(),
                  (Strings{"SendLogout(vpn)", c.tear_down,
                           "ShowStatusIpLine(사용하실 아이피를 선택후 더블클릭 해주세요)",
                           "RunLogin(vpn,s02)", "ConnectTunnel"}));
        EXPECT_EQ(session_.state, SessionState::Connecting);
        EXPECT_EQ(TimerPeriod(CKorvaneDlg::kTimerRedial), std::nullopt);
        selection_.reset();
        main_.reset();
    }
}

TEST_F(ApplyChosenIpTest, DisconnectWithoutTunnelOnlyResetsTheIpLine) {
    Start();
    session_.state = SessionState::LoggedIn;
    selection_->DisconnectForIpChange();
    EXPECT_EQ(steps_.Take(),
              (Strings{"ShowStatusIpLine(사용하실 아이피를 선택후 더블클릭 해주세요)"}));
}

// Interval 10, count 3, a tunnel that never comes up: timer 12 fires at 10,
// 20, 30 and 40 s and stops; the first three events redial, each a new
// connect-login and start for the chosen address.
TEST_F(ApplyChosenIpTest, RedialsWithinTheCountThenTimer12Stops) {
    Start();
    ShowPool();
    steps_.connect_result = -1;
    const Strings attempt = {"RunLogin(vpn,s02)", "ConnectTunnel", "StopTunnelProgram",
                             "StopConnectingDialog"};
    Reconnection(1, 10, 3);
    PickSecondAddress();
    EXPECT_EQ(steps_.Take(), attempt);
    ASSERT_EQ(TimerPeriod(CKorvaneDlg::kTimerRedial), 10000);

    for (int event = 1; event <= 4; ++event) {
        SCOPED_TRACE(event);
        host_.AdvanceMilliseconds(9999);
        EXPECT_EQ(main_->fields().redial_attempts, event - 1) << "not yet";
        host_.AdvanceMilliseconds(1);
        EXPECT_EQ(main_->fields().redial_attempts, event);
        EXPECT_EQ(TimerPeriod(CKorvaneDlg::kTimerRedialWait), 20000);
        EXPECT_EQ(steps_.Take(), event <= 3 ? attempt : Strings{});
    }
    EXPECT_EQ(TimerPeriod(CKorvaneDlg::kTimerRedial), std::nullopt);
    EXPECT_EQ(CountLines("timer stop main 12"), 1);
    host_.AdvanceMilliseconds(60000);
    EXPECT_EQ(main_->fields().redial_attempts, 4);
    EXPECT_EQ(TimerPeriod(CKorvaneDlg::kTimerRedialWait), std::nullopt) << "timer 13 ran out";
    EXPECT_TRUE(steps_.Take().empty());
}

TEST_F(ApplyChosenIpTest, RedialLeavesAnAttemptUnderWayAndAnUpTunnelAlone) {
    Start();
    ShowPool();
    Reconnection(1, 10, 3);
    PickSecondAddress();  // the attempt starts: Connecting
    steps_.Take();

    host_.AdvanceMilliseconds(10000);
    EXPECT_EQ(main_->fields().redial_attempts, 1) << "counted";
    EXPECT_TRUE(steps_.Take().empty()) << "no second login while the first attempt runs";

    // The attempt failed meanwhile: the next event redials.
    session_.state = SessionState::Idle;
    host_.AdvanceMilliseconds(10000);
    EXPECT_EQ(steps_.Take(), kConnect);

    // Up at last: events count nothing and dial nothing.
    session_.state = SessionState::Connected;
    host_.AdvanceMilliseconds(30000);
    EXPECT_EQ(main_->fields().redial_attempts, 2);
    EXPECT_TRUE(steps_.Take().empty());
    EXPECT_EQ(TimerPeriod(CKorvaneDlg::kTimerRedial), 10000) << "still watching";
}

TEST_F(ApplyChosenIpTest, RedialNeedsTheSwitchOn) {
    Start();
    ShowPool();
    Reconnection(1, 10, 3);
    PickSecondAddress();
    session_.state = SessionState::Idle;
    steps_.Take();
    // Turned off without the timer being stopped: the event still counts
    // but dials nothing.
    main_->fields().reconnect_switch = 0;
    host_.AdvanceMilliseconds(10000);
    EXPECT_EQ(main_->fields().redial_attempts, 1);
    EXPECT_TRUE(steps_.Take().empty());
}

}  // namespace
}  // namespace korvane::test
