#include <gtest/gtest.h>

#include <string>

#include "protocol/CBase64.h"
#include "protocol/WireCodeTable.h"
#include "protocol/WireCodec.h"
#include "protocol/WireText.h"

namespace korvane {
namespace {

// The steps exactly as written, with the placeholder swaps, to prove the
// table-driven codec byte-identical to them.
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        out += s.substr(pos, hit - pos);
        out += to;
    }
    return out + s.substr(pos);
}

std::string StepwiseEncode(const std::string& plain) {
    std::string t = CBase64::Encode(ReplaceAll(plain, ",", wire::kCommaMarker));
    t.assign(t.rbegin(), t.rend());
    for (const auto& rule : wire::kSubstitutions) {
        t = ReplaceAll(t, rule.source, std::string(1, rule.control));
    }
    for (const auto& swap : wire::kSwaps) {
        t = ReplaceAll(t, std::string(1, swap.first), wire::kSwapPlaceholder);
        t = ReplaceAll(t, std::string(1, swap.second), std::string(1, swap.first));
        t = ReplaceAll(t, wire::kSwapPlaceholder, std::string(1, swap.second));
    }
    return t;
}

std::string StepwiseDecode(std::string t) {
    for (auto it = wire::kSwaps.rbegin(); it != wire::kSwaps.rend(); ++it) {
        t = ReplaceAll(t, std::string(1, it->first), wire::kSwapPlaceholder);
        t = ReplaceAll(t, std::string(1, it->second), std::string(1, it->first));
        t = ReplaceAll(t, wire::kSwapPlaceholder, std::string(1, it->second));
    }
    for (auto it = wire::kSubstitutions.rbegin(); it != wire::kSubstitutions.rend(); ++it) {
        t = ReplaceAll(t, std::string(1, it->control), it->source);
    }
    t.assign(t.rbegin(), t.rend());
    std::string bytes = CBase64::Decode(t, wire::kDecodeLimit);
    bytes = bytes.substr(0, bytes.find('\0'));
    return ReplaceAll(bytes, wire::kCommaMarker, ",");
}

TEST(WireCodeTable, IsWellFormed) {
    std::string seen;
    for (const auto& rule : wire::kSubstitutions) {
        EXPECT_GE(rule.control, 0x01);
        EXPECT_LE(rule.control, 0x1f);
        EXPECT_NE(rule.control, '\r');
        EXPECT_NE(rule.control, '\n');
        EXPECT_EQ(seen.find(rule.control), std::string::npos) << "duplicate control byte";
        seen += rule.control;
    }
    std::string letters;
    for (const auto& swap : wire::kSwaps) {
        for (char c : {swap.first, swap.second}) {
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)));
            EXPECT_EQ(letters.find(c), std::string::npos) << "swap characters must differ";
            letters += c;
        }
    }
    ASSERT_EQ(wire::kCommaMarker.size(), 3u);
    EXPECT_LT(wire::kCommaMarker[0], 0x20);
    EXPECT_TRUE(std::isprint(static_cast<unsigned char>(wire::kCommaMarker[1])));
    EXPECT_LT(wire::kCommaMarker[2], 0x20);
}

TEST(WireCodec, RoundTripsAndMatchesTheSteps) {
    const std::string cases[] = {
        "",
        "a",
        "ab",
        "abc",
        "client_code=korvane|id=user1|password=p,w=x|ccver=1187",
        "line one\r\nline two\r\n",
        "comma,comma,,",
        "\xEC\x95\x88\xEB\x85\x95 \xED\x95\x98\xEC\x84\xB8\xEC\x9A\x94",  // UTF-8 Korean
        "\xBE\xC8\xB3\xE7",                                               // CP949 bytes
        "&?=*%-+|/\\'~!@#$^()[]{}<>\x7f\xff\x80",
    };
    for (const std::string& plain : cases) {
        const std::string encoded = WireCodec::Encode(plain);
        EXPECT_EQ(encoded, StepwiseEncode(plain)) << plain;
        EXPECT_EQ(WireCodec::Decode(encoded), plain) << plain;
        EXPECT_EQ(StepwiseDecode(encoded), plain) << plain;
    }
}

TEST(WireCodec, ShortTextsPadToFourCharacters) {
    // 1, 2, 3 bytes: two, one and no "=" padding before substitution.
    const struct {
        std::string plain;
        int padding;
    } cases[] = {{"x", 2}, {"xy", 1}, {"xyz", 0}};
    const char eq_control = wire::kSubstitutions[2].control;
    for (const auto& c : cases) {
        const std::string encoded = WireCodec::Encode(c.plain);
        EXPECT_EQ(encoded.size(), 4u);
        EXPECT_EQ(std::count(encoded.begin(), encoded.end(), eq_control), c.padding);
        EXPECT_EQ(encoded.find('='), std::string::npos);
    }
}

TEST(WireCodec, DecodeSkipsBytesOutsideTheAlphabet) {
    const std::string plain = "vpntype=4|server_ip=10.0.0.1|name=\xBE\xC8\xB3\xE7";
    const std::string encoded = WireCodec::Encode(plain);
    std::string noisy;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        noisy += encoded[i];
        if (i % 5 == 0) {
            noisy += i % 2 ? "\r\n" : "\n";
        }
        if (i % 7 == 0) {
            noisy += "\x90\xfe ";
        }
    }
    EXPECT_EQ(WireCodec::Decode(noisy), plain);
    EXPECT_EQ(WireCodec::Decode(noisy), StepwiseDecode(noisy));
}

TEST(WireCodec, DecodeOfGarbageNeverFailsAndMatchesTheSteps) {
    const std::string garbage[] = {
        "", "!!!!", "<html>404</html>", std::string(1000, '\x01'), "\xff\xfe\xfd", "A", "AB"};
    for (const std::string& g : garbage) {
        EXPECT_EQ(WireCodec::Decode(g), StepwiseDecode(g));
    }
}

TEST(WireCodec, DecodeStopsAtZeroByteAndAtTheLimit) {
    EXPECT_EQ(WireCodec::Decode(WireCodec::Encode(std::string("ab\0cd", 5))), "ab");

    const std::string big(wire::kDecodeLimit + 1000, 'k');
    const std::string decoded = WireCodec::Decode(WireCodec::Encode(big));
    EXPECT_EQ(decoded.size(), wire::kDecodeLimit);
    EXPECT_EQ(decoded, big.substr(0, wire::kDecodeLimit));
}

TEST(WireText, ConvertsToTheCodePageAroundTheCodec) {
    const std::string korean = "name=\xEC\x95\x88\xEB\x85\x95";  // "안녕" in UTF-8
    const std::string encoded = EncodeForWire(korean);
    EXPECT_EQ(WireCodec::Decode(encoded), "name=\xBE\xC8\xB3\xE7");  // CP949 on the wire
    EXPECT_EQ(DecodeFromWire(encoded), korean);
}

}  // namespace
}  // namespace korvane
