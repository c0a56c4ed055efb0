#include <gtest/gtest.h>

#include "../settings/TempFolder.h"
#include "tunnel/OpenVpnLog.h"

namespace korvane::test {
namespace {

// Lines of start-up chatter without markers, each long enough to be examined.
std::string Chatter(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += "2026-01-05 09:00:00 UDPv4 link remote: [AF_INET]203.0.113.7:1194 #" +
                std::to_string(i) + "\n";
    }
    return text;
}

struct LogCase {
    const char* name;
    std::string log;
    bool running;
    int result;
};

void PrintTo(const LogCase& c, std::ostream* out) {
    *out << c.name;
}

class LogCheckTest : public ::testing::TestWithParam<LogCase> {};

TEST_P(LogCheckTest, DecidesFromTheFirstExaminedLineWithAMarker) {
    const LogCase& c = GetParam();
    TempFolder folder;
    WriteBytes(folder / "event.log", c.log);
    EXPECT_EQ(ScanLogFile(folder / "event.log", c.running), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, LogCheckTest,
    ::testing::Values(
        LogCase{"AuthFailedAheadOfCompletion",
                Chatter(3) + "x Received AUTH_FAILED control message\n" +
                    "x Initialization Sequence Completed\n" + Chatter(20),
                true, -7},
        LogCase{"CompletionAheadOfAnErrorWhileRunning",
                Chatter(20) + "x Initialization Sequence Completed\n" +
                    "x SIGUSR1[soft,ping-restart] received, process restarting\n",
                true, 1},
        LogCase{"TheSameLogOnceTheProgramHasEnded",
                Chatter(20) + "x Initialization Sequence Completed\n" +
                    "x SIGUSR1[soft,ping-restart] received, process restarting\n",
                false, -13},
        LogCase{"CompletionWithErrorsIsNoCompletion",
                Chatter(20) + "x Initialization Sequence Completed With Errors\n", true, -100},
        LogCase{"CompletionWithErrorsInAShortLog",
                "x Initialization Sequence Completed With Errors\n", true, -14},
        LogCase{"ShortLineIsCountedNotExamined", Chatter(20) + "No Route to Host\n", true, -100},
        LogCase{"ShortLinesMakeAShortLog", std::string(14, '\n'), true, -14},
        LogCase{"FifteenLinesAreALog", std::string(15, '\n'), true, -100},
        LogCase{"FifteenLinesProgramGone", std::string(15, '\n'), false, -10},
        LogCase{"NineteenCharactersAndCarriageReturn", "No Route to Host!!!\r\n", true, -14},
        LogCase{"TwentyCharacters", "No Route to Host!!!!\r\n", true, -12},
        LogCase{"FirstMarkerOfTheTableWithinALine",
                "x Received AUTH_FAILED control message TCP/UDP: Closing socket\n", true, -1},
        LogCase{"EarlierLineWinsOverTableOrder",
                "x EVP_DecryptFinal:bad decrypt\nx TCP/UDP: Closing socket\n", true, -5},
        LogCase{"MarkerInAnUnfinishedLastLine", Chatter(2) + "x Auth username is empty", true, -8},
        LogCase{"CompletionOnlyCountsWhileRunning", "x Initialization Sequence Completed\n", false,
                -14},
        LogCase{"EmptyLog", "", true, -14}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogCheck, EveryErrorMarkerHasItsCode) {
    for (const LogMarker& marker : kErrorMarkers) {
        LogScan scan(true);
        scan.Feed("prefix " + std::string(marker.text) + "\n");
        EXPECT_EQ(scan.Result(), marker.code) << marker.text;
    }
}

TEST(LogCheck, MissingLogCannotBeOpened) {
    TempFolder folder;
    EXPECT_EQ(ScanLogFile(folder / "event.log", true), kLogCannotOpen);
}

// Logs longer than one read: lines are counted across the pieces and a
// marker far into the file is found.
TEST(LogCheck, LongLogsAreReadWhole) {
    TempFolder folder;
    std::string log = Chatter(40000);
    ASSERT_GT(log.size(), 2u << 20);
    WriteBytes(folder / "event.log", log);
    EXPECT_EQ(ScanLogFile(folder / "event.log", true), -100);
    log += "x netsh command failed\n";
    WriteBytes(folder / "event.log", log);
    EXPECT_EQ(ScanLogFile(folder / "event.log", false), -9);
}

}  // namespace
}  // namespace korvane::test
