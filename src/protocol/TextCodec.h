#pragma once

#include <string>
#include <string_view>

namespace korvane {

// Conversion between the program's UTF-8 and the service's code page (CP949).
// Never fails: bytes that do not convert become U+FFFD (to UTF-8) or "?" (to
// CP949).
std::string Utf8ToCp949(std::string_view utf8);
std::string Cp949ToUtf8(std::string_view cp949);

}  // namespace korvane
