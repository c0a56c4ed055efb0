#include "protocol/QueryEscape.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(PercentEncodeQuery, EscapesOnlyTheQuery) {
    const struct {
        std::string url;
        std::string expected;
    } cases[] = {
        {"http://h/p.php", "http://h/p.php"},
        {"http://h/p.php?", "http://h/p.php?"},
        {"http://h/p.php?bin=AbZ09", "http://h/p.php?bin=AbZ09"},
        {"http://h/p.php?bin=\x01\x1f\x20\x7e\x7f", "http://h/p.php?bin=%01%1F%20~%7F"},
        {std::string("http://h/p.php?bin=\0x", 21), "http://h/p.php?bin=%00x"},
        {"http://h/p.php?bin=a%b#c+d", "http://h/p.php?bin=a%25b%23c%2Bd"},
        {"http://h/p.php?bin=\xea\xb0\x80", "http://h/p.php?bin=%EA%B0%80"},
        // Only the first "?" starts the query; a later one is data.
        {"http://h/p.php?bin=a?b=c", "http://h/p.php?bin=a?b=c"},
        // Bytes of the path are left alone.
        {"http://h/a b/p.php?x=a b", "http://h/a b/p.php?x=a%20b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PercentEncodeQuery(c.url), c.expected) << c.url;
    }
}

}  // namespace
}  // namespace korvane
