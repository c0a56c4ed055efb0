#pragma once

#include <string>
#include <string_view>

#include "protocol/TextCodec.h"
#include "protocol/WireCodec.h"

namespace korvane {

// The one place where program text meets the wire: UTF-8 records become CP949
// before Encode, and decoded CP949 answers become UTF-8.
inline std::string EncodeForWire(std::string_view utf8) {
    return WireCodec::Encode(Utf8ToCp949(utf8));
}

inline std::string DecodeFromWire(std::string_view transport) {
    return Cp949ToUtf8(WireCodec::Decode(transport));
}

}  // namespace korvane
