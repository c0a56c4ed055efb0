// The service-time countdown of a connected session, on the virtual clock,
// with the account refresh going to a running service.

#include <gtest/gtest.h>

#include "SessionHarness.h"
#include "app/ServiceTime.h"
#include "ui/CLogoutDlg.h"

namespace korvane {
namespace {

using test::SessionHarness;
using testing::ServiceFixture;

// The service's clock sets the client's through server_time, so an end date
// relative to the service is as far ahead on the client's virtual clock.
std::string AccountEnding(const std::string& xxxdate) {
    return R"(
[account kim]
password = secret
vpntype = 4
server_time = now
mygame = 요금제
xxxdate = )" +
           xxxdate + "\n";
}

class ServiceTimeScenario : public ::testing::Test {
  protected:
    // Logs in and pretends the tunnel came up: timer 3 runs.
    void ConnectWithEnd(const std::string& xxxdate) {
        ASSERT_TRUE(service_.Start(AccountEnding(xxxdate)));
        h_ = std::make_unique<SessionHarness>(service_);
        h_->Start();
        h_->LogIn("kim", "secret");
        ASSERT_EQ(h_->session.state, SessionState::LoggedIn);
        h_->session.state = SessionState::Connected;
        h_->main->SetTimer(CKorvaneDlg::kTimerServiceTime, 1000);
        h_->NewLines();
    }
    std::vector<std::string> Boxes() { return h_->LinesStartingWith("box "); }
    int Refreshes() {
        int count = 0;
        for (const auto& entry : service_.JournalEntries()) {
            count += entry["endpoint"] == "refresh" ? 1 : 0;
        }
        return count;
    }
    std::string Line(int id) { return h_->Panel("status").Find(id)->text(); }

    ServiceFixture service_;
    std::unique_ptr<SessionHarness> h_;
};

const char* const kDayWarning =
    "box caption=\"결제정보\" text=\"서비스 제공 시간이 하루 이내 입니다. \\n 추가로 이용시 결제 "
    "처리해 주세요\" buttons=ok answer=ok";
const char* const kServiceOver =
    "box caption=\"결제오류\" text=\"CODE-001 : 서비스 제공이 종료 되었읍니다.\" buttons=ok "
    "answer=ok";

TEST_F(ServiceTimeScenario, ThreeMinutesLeftRefreshesOnceWarnsThenEnds) {
    ConnectWithEnd("+3m");
    const std::string end_date = h_->account.xxxdate;

    h_->host.AdvanceMilliseconds(1000);
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_EQ(Line(CLogoutDlg::kEndDateLine), end_date) << "shown as sent, not reformatted";
    EXPECT_TRUE(Boxes().empty());

    h_->host.AdvanceMilliseconds(1000);
    EXPECT_EQ(Boxes(), std::vector<std::string>{kDayWarning});

    // Whole minutes count: the service ends once less than one remains.
    h_->host.AdvanceMilliseconds(110 * 1000);
    EXPECT_EQ(Refreshes(), 1) << "the near-end refresh runs once";
    EXPECT_EQ(Boxes(), std::vector<std::string>{kDayWarning});
    EXPECT_EQ(h_->session.state, SessionState::Connected);

    h_->host.AdvanceMilliseconds(15 * 1000);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{kDayWarning, kServiceOver}));
    EXPECT_EQ(h_->session.state, SessionState::Idle);
    EXPECT_EQ(h_->host.opened_urls().back(), "http://" + service_.address() + "/customer/faq.php");
    EXPECT_FALSE(h_->host.FindTimer(*h_->main, CKorvaneDlg::kTimerServiceTime).has_value());
    // The failure report went to the service with the time-over reason.
    int events = 0;
    for (const auto& entry : service_.JournalEntries()) {
        if (entry["endpoint"] == "event") {
            ++events;
            EXPECT_NE(entry["fields"]["event"].get<std::string>().find(
                          "VPN USER STATIC SERVICE TIME ZERO ERROR"),
                      std::string::npos);
        }
    }
    EXPECT_EQ(events, 1);

    h_->host.AdvanceMilliseconds(5000);
    EXPECT_EQ(Boxes().size(), 2u) << "the countdown stopped with the tunnel";
}

TEST_F(ServiceTimeScenario, TenHoursLeftWarnsOnceOnTheFirstTick) {
    ConnectWithEnd("+10h");
    h_->host.AdvanceMilliseconds(1000);
    EXPECT_EQ(Boxes(), std::vector<std::string>{kDayWarning});
    h_->host.AdvanceMilliseconds(60 * 1000);
    EXPECT_EQ(Boxes(), std::vector<std::string>{kDayWarning});
    EXPECT_EQ(Refreshes(), 0);
    EXPECT_EQ(Line(CLogoutDlg::kTimeLine), "0:01:00");
}

TEST_F(ServiceTimeScenario, TheConnectedTimeCountsFromZero) {
    ConnectWithEnd("+30d");
    h_->host.AdvanceMilliseconds(1000);
    EXPECT_EQ(Line(CLogoutDlg::kTimeLine), "0:00:00") << "the first tick after a login";
    h_->main->fields().elapsed_seconds = 3661;
    h_->host.AdvanceMilliseconds(1000);
    EXPECT_EQ(Line(CLogoutDlg::kTimeLine), "1:01:01");
    EXPECT_EQ(h_->main->fields().elapsed_seconds, 3662);
}

TEST_F(ServiceTimeScenario, AnAnswerWithoutEndDateEndsTheServiceOnTheFirstTick) {
    ASSERT_TRUE(service_.Start("[account kim]\npassword = secret\nvpntype = 4\n"));
    h_ = std::make_unique<SessionHarness>(service_);
    h_->Start();
    h_->LogIn("kim", "secret");
    h_->session.state = SessionState::Connected;
    h_->main->SetTimer(CKorvaneDlg::kTimerServiceTime, 1000);
    h_->host.AdvanceMilliseconds(1000);
    EXPECT_EQ(Boxes(), std::vector<std::string>{kServiceOver});
    EXPECT_EQ(h_->session.state, SessionState::Idle);
}

TEST_F(ServiceTimeScenario, AnEmptyRefreshAnswerKeepsTheOldEndDate) {
    ASSERT_TRUE(service_.Start(AccountEnding("+3m") + "\n[failure refresh]\nstatus = 503\n"));
    h_ = std::make_unique<SessionHarness>(service_);
    h_->Start();
    h_->LogIn("kim", "secret");
    const std::string end_date = h_->account.xxxdate;
    EXPECT_EQ(h_->operations.RefreshAccountInfo(), -1);
    EXPECT_EQ(h_->account.xxxdate, end_date);
    EXPECT_EQ(Boxes(), std::vector<std::string>{
                           "box caption=\"접속오류\" text=\"CODE-011 : 시스템상에 예기지 않은 일이 "
                           "발생하였습니다. \\n\\n잠시 후 다시 이용해 주세요.\" buttons=ok "
                           "answer=ok"});
}

TEST(EndMoment, NamesOnlyValidMoments) {
    struct Case {
        const char* text;
        bool valid;
    };
    for (const Case& c :
         {Case{"2030-06-15 12:00:00", true}, Case{"1970-01-01 23:59:59", true},
          Case{"1899-12-31 23:59:59", false}, Case{"2030-13-01 00:00:00", false},
          Case{"2030-00-10 00:00:00", false}, Case{"2030-02-31 00:00:00", false},
          Case{"2030-06-15 24:00:00", false}, Case{"2030-06-15 12:60:00", false},
          Case{"2030-06-15 12:00:61", false}, Case{"", false}, Case{"soon", false}}) {
        EXPECT_EQ(EndMoment(c.text).has_value(), c.valid) << c.text;
    }
    EXPECT_EQ(*EndMoment("2030-06-15 12:00:30") - *EndMoment("2030-06-15 12:00:00"), 30);
}

TEST(ConnectedTimeText, HoursMinutesSeconds) {
    EXPECT_EQ(ConnectedTimeText(0), "0:00:00");
    EXPECT_EQ(ConnectedTimeText(3661), "1:01:01");
    EXPECT_EQ(ConnectedTimeText(36000 + 59), "10:00:59");
}

}  // namespace
}  // namespace korvane
