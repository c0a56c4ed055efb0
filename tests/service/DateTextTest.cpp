#include <gtest/gtest.h>

#include "DateText.h"

namespace korvane::service {
namespace {

TEST(DateText, RelativeOffsets) {
    const struct {
        const char* text;
        std::optional<std::int64_t> seconds;
    } cases[] = {
        {"now", 0},      {"+30s", 30},    {"+3m", 180}, {"-1m", -60},
        {"+10h", 36000}, {"+2d", 172800}, {"+0m", 0},   {"+3", {}},
        {"+m", {}},      {"3m", {}},      {"+3M", {}},  {"+-3m", {}},
        {"+3 m", {}},    {"", {}},        {"Now", {}},  {"+99999999999d", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RelativeOffset(c.text), c.seconds) << c.text;
    }
}

TEST(DateText, ResolvesRelativeDatesAndKeepsOthers) {
    // 2030-06-15 12:00:00 local.
    constexpr std::int64_t now = 1907755200;
    EXPECT_EQ(FormatLocalDate(now), "2030-06-15 12:00:00");
    EXPECT_EQ(ResolveDate("+3m", now), "2030-06-15 12:03:00");
    EXPECT_EQ(ResolveDate("-1m", now), "2030-06-15 11:59:00");
    EXPECT_EQ(ResolveDate("+12h", now), "2030-06-16 00:00:00");
    EXPECT_EQ(ResolveDate("now", now), "2030-06-15 12:00:00");
    // Absolute and deliberately invalid dates go out as written.
    EXPECT_EQ(ResolveDate("2031-01-01 00:00:00", now), "2031-01-01 00:00:00");
    EXPECT_EQ(ResolveDate("2031-13-45 99:99:99", now), "2031-13-45 99:99:99");
}

TEST(DateText, LooksRelative) {
    EXPECT_TRUE(LooksRelative("+x"));
    EXPECT_TRUE(LooksRelative("-"));
    EXPECT_TRUE(LooksRelative("now"));
    EXPECT_FALSE(LooksRelative("2031-01-01 00:00:00"));
    EXPECT_FALSE(LooksRelative(""));
}

}  // namespace
}  // namespace korvane::service
