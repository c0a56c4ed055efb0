#include "platform/IniText.h"

#include <cctype>
#include <string_view>

#include "platform/QuotedText.h"

namespace korvane {

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
}

bool IsWord(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!IsWordChar(c)) {
            return false;
        }
    }
    return true;
}

// A quoted value with nothing after its closing quote.
bool Unquote(std::string_view text, std::string& out, std::string& error) {
    std::size_t end = 0;
    if (!ParseQuoted(text, end, out, error)) {
        return false;
    }
    if (!Trim(text.substr(end)).empty()) {
        error = "text after the closing quote";
        return false;
    }
    return true;
}

bool ParseValue(std::string_view raw, std::string& value, std::string& error) {
    raw = Trim(raw);
    if (!raw.empty() && raw.front() == '"') {
        return Unquote(raw, value, error);
    }
    value = std::string(raw);
    return true;
}

bool ParseHeader(std::string_view line, IniSection& section, std::string& error) {
    if (line.back() != ']') {
        error = "a section header ends with ]";
        return false;
    }
    std::string_view inner = Trim(line.substr(1, line.size() - 2));
    const std::size_t blank = inner.find_first_of(" \t");
    const std::string_view type = inner.substr(0, blank);
    if (!IsWord(type)) {
        error = "a section type is a word of letters, digits, _ - or .";
        return false;
    }
    section.type = std::string(type);
    if (blank == std::string_view::npos) {
        return true;
    }
    section.has_name = true;
    if (!ParseValue(inner.substr(blank), section.name, error)) {
        return false;
    }
    if (section.name.empty()) {
        error = "an empty section name";
        return false;
    }
    return true;
}

}  // namespace

int ParseIniText(const std::string& text, std::vector<IniSection>& sections, IniError& error) {
    sections.clear();
    sections.emplace_back();
    std::string_view rest = text;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3);
    }
    int number = 0;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = Trim(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        std::string reason;
        if (line.front() == '[') {
            IniSection section;
            section.line = number;
            if (!ParseHeader(line, section, reason)) {
                error = {number, reason};
                return -1;
            }
            sections.push_back(std::move(section));
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key =
            Trim(line.substr(0, equals == std::string_view::npos ? line.size() : equals));
        if (equals == std::string_view::npos || !IsWord(key)) {
            error = {number, "expected key = value"};
            return -1;
        }
        IniEntry entry{std::string(key), {}, number};
        if (!ParseValue(line.substr(equals + 1), entry.value, reason)) {
            error = {number, reason};
            return -1;
        }
        sections.back().entries.push_back(std::move(entry));
    }
    if (sections.front().entries.empty()) {
        sections.erase(sections.begin());
    }
    return 0;
}

}  // namespace korvane
