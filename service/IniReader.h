#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::service {

struct IniEntry {
    std::string key;
    std::string value;
    int line = 0;
};

// "[kind name]": kind is the first word, name the rest (trimmed, may be empty).
struct IniSection {
    std::string kind;
    std::string name;
    int line = 0;
    std::vector<IniEntry> entries;
};

struct IniError {
    int line = 0;
    std::string message;
};

// Reads the INI text: sections, "key = value" lines, whole-line comments
// starting with "#" or ";", blank lines. Keys and values are trimmed; a value
// keeps any "=" after the first. The text must be UTF-8. False with `error`
// set on the first malformed line.
bool ReadIni(std::string_view text, std::vector<IniSection>& sections, IniError& error);

// True when `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text);

std::string_view Trim(std::string_view text);

}  // namespace korvane::service
