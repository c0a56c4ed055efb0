#include "protocol/WireCodec.h"

#include <array>

#include "protocol/CBase64.h"
#include "protocol/WireCodeTable.h"

namespace korvane {

namespace {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
}

// The seven swaps are disjoint pairs, so together they are one byte
// permutation that is its own inverse; applying it in one pass gives the same
// bytes as the three-step placeholder swaps whenever the placeholder is absent.
constexpr std::array<unsigned char, 256> MakeSwapTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<unsigned char>(i);
    }
    for (const auto& pair : wire::kSwaps) {
        table[static_cast<unsigned char>(pair.first)] = static_cast<unsigned char>(pair.second);
        table[static_cast<unsigned char>(pair.second)] = static_cast<unsigned char>(pair.first);
    }
    return table;
}

// Encoding: a Base64 character after reversal -> its transport byte. Only "+",
// "/" and "=" have substitution rules that can match Base64 text.
constexpr std::array<unsigned char, 256> MakeEncodeTable() {
    std::array<unsigned char, 256> table = MakeSwapTable();
    for (const auto& rule : wire::kSubstitutions) {
        if (rule.source.size() == 1) {
            table[static_cast<unsigned char>(rule.source[0])] =
                static_cast<unsigned char>(rule.control);
        }
    }
    return table;
}

// Decoding: a transport byte -> the Base64 character it stands for, or 0 when
// the steps would leave a byte there that the Base64 decoder skips anyway.
constexpr std::array<char, 256> MakeDecodeTable() {
    const std::array<unsigned char, 256> swap = MakeSwapTable();
    std::array<char, 256> table{};
    for (int i = 0; i < 256; ++i) {
        unsigned char c = swap[i];
        for (const auto& rule : wire::kSubstitutions) {
            if (static_cast<unsigned char>(rule.control) == c) {
                c = static_cast<unsigned char>(rule.source[0]);
                break;
            }
        }
        const bool alphabet = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                              (c >= '0' && c <= '9') || c == '+' || c == '/';
        table[i] = alphabet ? static_cast<char>(c) : '\0';
    }
    return table;
}

constexpr std::array<unsigned char, 256> kEncodeTable = MakeEncodeTable();
constexpr std::array<char, 256> kDecodeTable = MakeDecodeTable();

}  // namespace

std::string WireCodec::Encode(std::string_view plain) {
    const std::string marked = ReplaceAll(plain, ",", wire::kCommaMarker);
    const std::string base64 = CBase64::Encode(marked);
    std::string out(base64.size(), '\0');
    for (std::size_t i = 0; i < base64.size(); ++i) {
        out[i] = static_cast<char>(
            kEncodeTable[static_cast<unsigned char>(base64[base64.size() - 1 - i])]);
    }
    return out;
}

std::string WireCodec::Decode(std::string_view transport) {
    // Undo swaps and substitutions and reverse in one pass, keeping only the
    // Base64 characters (everything else is skipped by the decoder).
    std::string base64;
    base64.reserve(transport.size());
    for (std::size_t i = transport.size(); i-- > 0;) {
        const char c = kDecodeTable[static_cast<unsigned char>(transport[i])];
        if (c != '\0') {
            base64 += c;
        }
    }
    std::string bytes = CBase64::Decode(base64, wire::kDecodeLimit);
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string::npos) {
        bytes.resize(zero);
    }
    return ReplaceAll(bytes, wire::kCommaMarker, ",");
}

}  // namespace korvane
