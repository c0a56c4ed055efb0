#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/LcgRandom.h"
#include "platform/sim/VirtualClock.h"

namespace korvane {
namespace {

TEST(LocalTime, RoundTripsAndRejectsImpossibleMoments) {
    const LocalTime valid[] = {{1970, 1, 1, 0, 0, 0},
                               {2024, 2, 29, 23, 59, 59},
                               {2026, 12, 31, 12, 0, 1},
                               {2000, 2, 29, 0, 0, 0}};
    for (const LocalTime& t : valid) {
        std::int64_t s = 0;
        ASSERT_TRUE(ToLocalSeconds(t, s));
        const LocalTime back = FromLocalSeconds(s);
        EXPECT_EQ(back.year, t.year);
        EXPECT_EQ(back.month, t.month);
        EXPECT_EQ(back.day, t.day);
        EXPECT_EQ(back.hour, t.hour);
        EXPECT_EQ(back.minute, t.minute);
        EXPECT_EQ(back.second, t.second);
    }
    const LocalTime invalid[] = {{2023, 2, 29, 0, 0, 0}, {1900, 2, 29, 0, 0, 0},
                                 {2026, 13, 1, 0, 0, 0}, {2026, 4, 31, 0, 0, 0},
                                 {2026, 1, 1, 24, 0, 0}, {2026, 1, 1, 0, 60, 0}};
    for (const LocalTime& t : invalid) {
        std::int64_t s = 0;
        EXPECT_FALSE(ToLocalSeconds(t, s)) << t.year << "-" << t.month << "-" << t.day;
    }
    std::int64_t s = 0;
    ASSERT_TRUE(ToLocalSeconds({2026, 1, 5, 9, 0, 0}, s));
    EXPECT_EQ(s, VirtualClock::kDefaultStart);
}

TEST(VirtualClock, AdvancesAndIsSetWithoutMovingMonotonicTime) {
    VirtualClock clock;
    clock.AdvanceMilliseconds(61500);
    EXPECT_EQ(clock.LocalSecondsNow(), VirtualClock::kDefaultStart + 61);
    ASSERT_TRUE(clock.SetLocalTime({2027, 3, 1, 8, 30, 0}));
    EXPECT_EQ(FromLocalSeconds(clock.LocalSecondsNow()).year, 2027);
    EXPECT_EQ(clock.MonotonicMilliseconds(), 61500);
    EXPECT_FALSE(clock.SetLocalTime({2027, 2, 30, 0, 0, 0}));
}

TEST(VirtualClock, FollowingRealTimeAddsItToWhatWasAdvanced) {
    VirtualClock clock;
    clock.AdvanceMilliseconds(5000);
    clock.FollowRealTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const std::int64_t now = clock.MonotonicMilliseconds();
    EXPECT_GE(now, 6100);
    EXPECT_LT(now, 60000);
    EXPECT_GE(clock.LocalSecondsNow(), VirtualClock::kDefaultStart + 6);
    clock.AdvanceMilliseconds(1000);
    EXPECT_GE(clock.MonotonicMilliseconds(), now + 1000);
}

TEST(LcgRandom, IsDeterministicPerSeedAndFifteenBit) {
    LcgRandom a, b;
    a.Seed(7);
    b.Seed(7);
    for (int i = 0; i < 100; ++i) {
        const int v = a.Next();
        EXPECT_EQ(v, b.Next());
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 32767);
    }
    LcgRandom c;
    c.Seed(1);
    EXPECT_EQ(c.Next(), 41);  // the well-known first value for seed 1
}

}  // namespace
}  // namespace korvane
