#pragma once

#include <string>
#include <vector>

namespace korvane {

struct IniEntry {
    std::string key;
    std::string value;
    int line = 0;
};

// One "[type]" or "[type name]" block. Entries before the first header land in
// a section with an empty type at line 0.
struct IniSection {
    std::string type;
    std::string name;
    bool has_name = false;
    int line = 0;
    std::vector<IniEntry> entries;
};

struct IniError {
    int line = 0;
    std::string message;
};

// The small INI dialect of the deployment file and the machine description:
// "[type]" or "[type name]" headers (name bare or quoted), "key = value"
// lines, keys repeatable, "#" or ";" comment lines, values bare (trimmed) or
// quoted with the escapes \" \\ \n \r \t \xHH. Returns 0, or -1 with the line
// and reason of the first fault.
int ParseIniText(const std::string& text, std::vector<IniSection>& sections, IniError& error);

}  // namespace korvane
