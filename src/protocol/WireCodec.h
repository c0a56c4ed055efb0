#pragma once

#include <string>
#include <string_view>

namespace korvane {

// The system's transport encoding: Base64 wrapped in a reversal, a character
// substitution and a set of swaps (code table in WireCodeTable.h). Works on
// bytes; the CP949 conversion happens around it (WireText.h).
class WireCodec {
  public:
    static std::string Encode(std::string_view plain);
    // Never fails; the result ends at its first zero byte and is capped at
    // wire::kDecodeLimit bytes.
    static std::string Decode(std::string_view transport);
};

}  // namespace korvane
