#pragma once

// The transport code table shared by the client and the service. Both sides
// must use exactly these values; changing any of them breaks every stored
// credential and every deployed service.

#include <array>
#include <string_view>

namespace korvane::wire {

// Control byte, printable byte, control byte.
inline constexpr std::string_view kCommaMarker = "\x1e!\x1f";

struct Substitution {
    std::string_view source;
    char control;
};

// In the order they are applied when encoding. CR (0x0D) and LF (0x0A) are
// kept out of the control bytes: answers may arrive with line breaks, which
// decoding skips.
inline constexpr std::array<Substitution, 12> kSubstitutions{{
    {"&", '\x01'},
    {"?", '\x02'},
    {"=", '\x03'},
    {"*", '\x04'},
    {"%", '\x05'},
    {"-", '\x06'},
    {"+", '\x07'},
    {"|", '\x08'},
    {"/", '\x0b'},
    {"\\", '\x0c'},
    {"\r\n", '\x0e'},
    {"'", '\x0f'},
}};

struct SwapPair {
    char first;
    char second;
};

// Fourteen distinct letters and digits, applied in this order when encoding.
inline constexpr std::array<SwapPair, 7> kSwaps{{
    {'A', 'q'},
    {'7', 'm'},
    {'K', 'z'},
    {'0', 'T'},
    {'e', 'W'},
    {'3', 'x'},
    {'R', 'b'},
}};

// Never part of a swapped text: DEL is neither Base64 nor a control byte above.
inline constexpr std::string_view kSwapPlaceholder = "\x7f";

// The decoded result is capped at this many bytes.
inline constexpr std::size_t kDecodeLimit = 655350;

}  // namespace korvane::wire
