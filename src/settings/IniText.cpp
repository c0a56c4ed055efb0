#include "settings/IniText.h"

#include <vector>

namespace korvane {
namespace {

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::vector<std::string> SplitLines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find('\n', start);
        std::string_view line = content.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

// The section named by a header line ("[name]"), or false for any other line.
bool SectionName(std::string_view line, std::string_view& name) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[') {
        return false;
    }
    const std::size_t close = trimmed.find(']');
    if (close == std::string_view::npos) {
        return false;
    }
    name = Trim(trimmed.substr(1, close - 1));
    return true;
}

bool IsKeyLine(std::string_view line, std::string_view key) {
    const std::size_t equals = line.find('=');
    return equals != std::string_view::npos &&
           EqualsIgnoringAsciiCase(Trim(line.substr(0, equals)), Trim(key));
}

std::size_t FindSection(const std::vector<std::string>& lines, std::string_view section) {
    std::string_view name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (SectionName(lines[i], name) && EqualsIgnoringAsciiCase(name, Trim(section))) {
            return i;
        }
    }
    return lines.size();
}

std::size_t SectionEnd(const std::vector<std::string>& lines, std::size_t header) {
    std::string_view name;
    std::size_t end = header + 1;
    while (end < lines.size() && !SectionName(lines[end], name)) {
        ++end;
    }
    return end;
}

// Replaces the key's first line in the section, or adds it after the
// section's last non-blank line so blank separators stay before the next one.
void SetInSection(std::vector<std::string>& lines, std::size_t header, std::string line,
                  std::string_view key) {
    const std::size_t end = SectionEnd(lines, header);
    std::size_t insert_at = header + 1;
    for (std::size_t i = header + 1; i < end; ++i) {
        if (IsKeyLine(lines[i], key)) {
            lines[i] = std::move(line);
            return;
        }
        if (!Trim(lines[i]).empty()) {
            insert_at = i + 1;
        }
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at), std::move(line));
}

}  // namespace

bool IsValidIniEntry(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view trimmed_key = Trim(key);
    return !Trim(section).empty() && !HasLineBreakOrNul(section) &&
           section.find(']') == std::string_view::npos && !trimmed_key.empty() &&
           !HasLineBreakOrNul(key) && key.find('=') == std::string_view::npos &&
           trimmed_key.front() != '[' && trimmed_key.front() != ';' && !HasLineBreakOrNul(value);
}

std::string SetIniValue(std::string_view content, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::vector<std::string> lines = SplitLines(content);
    std::string line = std::string(key) + "=" + std::string(value);
    const std::size_t header = FindSection(lines, section);
    if (header == lines.size()) {
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(std::move(line));
    } else {
        SetInSection(lines, header, std::move(line), key);
    }
    std::string out;
    for (const std::string& each : lines) {
        out += each;
        out += "\r\n";
    }
    return out;
}

}  // namespace korvane
