#include "IniReader.h"

namespace korvane::service {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Length of a well-formed UTF-8 sequence at the start of `text`, 0 if none.
std::size_t Utf8Sequence(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool ReadSectionHeader(std::string_view line, int number, IniSection& section, IniError& error) {
    if (line.back() != ']') {
        error = {number, "section header without closing \"]\""};
        return false;
    }
    const std::string_view inside = Trim(line.substr(1, line.size() - 2));
    if (inside.empty()) {
        error = {number, "empty section header"};
        return false;
    }
    std::size_t space = 0;
    while (space < inside.size() && !IsBlank(inside[space])) {
        ++space;
    }
    section.kind = std::string(inside.substr(0, space));
    section.name = std::string(Trim(inside.substr(space)));
    section.line = number;
    return true;
}

}  // namespace

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = Utf8Sequence(text);
        if (length == 0) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

bool ReadIni(std::string_view text, std::vector<IniSection>& sections, IniError& error) {
    sections.clear();
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!IsUtf8(raw)) {
            error = {number, "the line is not UTF-8 text"};
            return false;
        }
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            IniSection section;
            if (!ReadSectionHeader(line, number, section, error)) {
                return false;
            }
            sections.push_back(std::move(section));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            error = {number, "expected \"key = value\" or a [section]"};
            return false;
        }
        const std::string_view key = Trim(line.substr(0, eq));
        if (key.empty()) {
            error = {number, "a value without a key"};
            return false;
        }
        if (sections.empty()) {
            error = {number, "\"" + std::string(key) + "\" before any [section]"};
            return false;
        }
        sections.back().entries.push_back(
            {std::string(key), std::string(Trim(line.substr(eq + 1))), number});
    }
    return true;
}

}  // namespace korvane::service
