#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// Standard Base64 (A-Z a-z 0-9 + /, "=" padding, no line breaks). No state.
class CBase64 {
  public:
    static std::string Encode(const unsigned char* data, std::size_t length);
    static std::string Encode(std::string_view bytes);

    // Skips every byte outside the alphabet; stops after `capacity` bytes.
    // The result is raw bytes (it may hold zero bytes).
    static std::string Decode(std::string_view text, std::size_t capacity);

    // Value of an alphabet character, or -1.
    static int ValueOf(unsigned char c);
};

}  // namespace korvane
