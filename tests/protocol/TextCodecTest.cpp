#include <gtest/gtest.h>

#include "protocol/TextCodec.h"

namespace korvane {
namespace {

TEST(TextCodec, ConvertsBothWays) {
    const struct {
        std::string utf8;
        std::string cp949;
    } cases[] = {
        {"", ""},
        {"ascii|key=value", "ascii|key=value"},
        {"\xEC\x95\x88\xEB\x85\x95", "\xBE\xC8\xB3\xE7"},  // 안녕
        {"\xEC\xA0\x91\xEC\x86\x8D\xEC\x98\xA4\xEB\xA5\x98",
         "\xC1\xA2\xBC\xD3\xBF\xC0\xB7\xF9"},  // 접속오류
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCp949(c.utf8), c.cp949);
        EXPECT_EQ(Cp949ToUtf8(c.cp949), c.utf8);
    }
}

TEST(TextCodec, InvalidInputIsReplacedNotFatal) {
    // A lone lead byte, a cut-off pair at the end, and a byte CP949 does not use.
    EXPECT_EQ(Cp949ToUtf8("a\xBE"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Cp949ToUtf8("\xFF"
                          "b"),
              "\xEF\xBF\xBD"
              "b");
    // Broken UTF-8 and a character the code page lacks (an emoji).
    EXPECT_EQ(Utf8ToCp949("x\xC3"), "x?");
    EXPECT_EQ(Utf8ToCp949("\xF0\x9F\x98\x80!"), "?!");
}

}  // namespace
}  // namespace korvane
