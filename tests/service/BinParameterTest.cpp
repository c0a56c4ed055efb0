#include <gtest/gtest.h>

#include "BinParameter.h"
#include "protocol/WireCodec.h"

namespace korvane::service {
namespace {

TEST(BinParameter, FoundInTheQueryRawOrEscapedAndInTheBody) {
    const std::string encoded = WireCodec::Encode("client_code=korvane|id=a+b|password=,?");
    // The transport text is letters, digits and control bytes.
    ASSERT_EQ(encoded.find_first_of("&%+ "), std::string::npos);
    std::string escaped;
    for (unsigned char c : encoded) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", c);
        escaped += std::isalnum(c) ? std::string(1, static_cast<char>(c)) : hex;
    }
    const struct {
        std::string target;
        std::string body;
        std::optional<std::string> bin;
    } cases[] = {
        {"/p?bin=" + encoded, "", encoded},
        {"/p?bin=" + escaped, "", encoded},
        {"/p?x=1&bin=" + escaped + "&y=2", "", encoded},
        {"/p", "bin=" + encoded, encoded},
        {"/p?other=1", "bin=" + escaped, encoded},
        {"/p?bin=" + encoded, "bin=ignored", encoded},
        {"/p", "", std::nullopt},
        {"/p?binary=1", "xbin=1", std::nullopt},
        {"/p?bin=", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindBin(c.target, c.body), c.bin) << c.target << " / " << c.body;
    }
}

TEST(BinParameter, PercentDecodingKeepsPlusAndStrayPercents) {
    EXPECT_EQ(PercentDecode("a+b%2Bc%2bd"), "a+b+c+d");
    EXPECT_EQ(PercentDecode("%0B%07%03"), "\x0b\x07\x03");
    EXPECT_EQ(PercentDecode("100%"), "100%");
    EXPECT_EQ(PercentDecode("%4"), "%4");
    EXPECT_EQ(PercentDecode("%zz%41"), "%zzA");
}

}  // namespace
}  // namespace korvane::service
