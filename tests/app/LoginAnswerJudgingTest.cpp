#include <gtest/gtest.h>

#include "app/LoginAnswerJudging.h"

namespace korvane {
namespace {

TEST(JudgeLoginAnswer, FirstSubstringMatchWins) {
    struct Case {
        const char* answer;
        LoginVerdict verdict;
    };
    for (const Case& c : {
             Case{"", LoginVerdict::NoAnswer},
             Case{"login_auth=\x01\x02yes", LoginVerdict::NoAnswer},
             Case{"vpntype=4|name=\xEF\xBF\xBD", LoginVerdict::NoAnswer},
             Case{"login_auth=no", LoginVerdict::Refused},
             Case{"a=1|login_auth=none|b=2", LoginVerdict::Refused},
             Case{"login_auth=no|login_auth=stop|server_error=x", LoginVerdict::Refused},
             Case{"login_auth=stop|server_error=x", LoginVerdict::Suspended},
             Case{"server_error=down|xxxtime=|xxxdate=|", LoginVerdict::ServerMessage},
             Case{"xxxtime=|xxxdate=|", LoginVerdict::NoServiceTime},
             Case{"xxxtime=|xxxdate=2030-01-01 00:00:00", LoginVerdict::Accepted},
             Case{"login_auth=yes|vpntype=4|name=김\t철수", LoginVerdict::Accepted},
         }) {
        EXPECT_EQ(JudgeLoginAnswer(c.answer), c.verdict) << c.answer;
    }
}

TEST(RemoveCrLf, DropsOnlyPairs) {
    EXPECT_EQ(RemoveCrLf("a=1\r\n|b=2\r\n"), "a=1|b=2");
    EXPECT_EQ(RemoveCrLf("a\rb\nc"), "a\rb\nc");
}

TEST(ServerMessages, RetryCountBeforeTheMessagesAndTheMessagesInOrder) {
    int retry = 5;
    EXPECT_EQ(
        ServerMessages("login_retry_count=3|server_error=점검 중^http://w/faq.php|x=1", retry),
        (std::vector<std::string>{"점검 중", "http://w/faq.php"}));
    EXPECT_EQ(retry, 3);
}

TEST(ServerMessages, EmptyRetryCountAndLaterFieldsChangeNothing) {
    int retry = 5;
    EXPECT_EQ(ServerMessages("login_retry_count=|server_error=a|login_retry_count=9", retry),
              std::vector<std::string>{"a"});
    EXPECT_EQ(retry, 5);
}

TEST(ServerMessages, TheValueEndsAtASecondEquals) {
    int retry = 0;
    EXPECT_EQ(ServerMessages("server_error=one^two=three", retry),
              (std::vector<std::string>{"one", "two"}));
}

}  // namespace
}  // namespace korvane
