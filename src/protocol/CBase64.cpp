#include "protocol/CBase64.h"

#include <array>

namespace korvane {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<signed char, 256> MakeValueTable() {
    std::array<signed char, 256> table{};
    for (auto& v : table) {
        v = -1;
    }
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    }
    return table;
}

constexpr std::array<signed char, 256> kValues = MakeValueTable();

}  // namespace

int CBase64::ValueOf(unsigned char c) {
    return kValues[c];
}

std::string CBase64::Encode(const unsigned char* data, std::size_t length) {
    std::string out;
    out.reserve((length + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const unsigned v = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const std::size_t rest = length - i;
    if (rest == 1) {
        const unsigned v = data[i] << 16;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        const unsigned v = (data[i] << 16) | (data[i + 1] << 8);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

std::string CBase64::Encode(std::string_view bytes) {
    return Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::string CBase64::Decode(std::string_view text, std::size_t capacity) {
    std::string out;
    unsigned group[4];
    int filled = 0;
    for (const char ch : text) {
        const int v = ValueOf(static_cast<unsigned char>(ch));
        if (v < 0) {
            continue;
        }
        group[filled++] = static_cast<unsigned>(v);
        // The second, third and fourth character of a group each complete a byte.
        if (filled == 2) {
            out += static_cast<char>((group[0] << 2) | (group[1] >> 4));
        } else if (filled == 3) {
            out += static_cast<char>(((group[1] & 0x0f) << 4) | (group[2] >> 2));
        } else if (filled == 4) {
            out += static_cast<char>(((group[2] & 0x03) << 6) | group[3]);
            filled = 0;
        }
        if (filled != 1 && out.size() >= capacity) {
            out.resize(capacity);
            break;
        }
    }
    return out;
}

}  // namespace korvane
