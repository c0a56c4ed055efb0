#pragma once

#include <string>
#include <string_view>

namespace korvane {

// Ini-format text as the private-profile writer keeps it: sections and keys
// compared without regard to ASCII case, existing lines and their order kept,
// a new key appended at the end of its section, a new section at the end of
// the text. Values are kept byte for byte.

// False for names and values that would break the line structure: empty names,
// CR, LF or NUL anywhere, "]" in a section, "=" in a key or a key starting
// with "[" or ";".
bool IsValidIniEntry(std::string_view section, std::string_view key, std::string_view value);

// content with key set to value in section; every line of the result ends in
// CR LF, whether the input used CR LF or LF. The entry must be valid.
std::string SetIniValue(std::string_view content, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace korvane
