#include "protocol/AnswerFields.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace korvane::answer {

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Byte offset of character `index`, or the text's size when it has fewer.
std::size_t Utf8Offset(std::string_view text, std::size_t index) {
    std::size_t pos = 0;
    for (std::size_t seen = 0; pos < text.size(); ++pos) {
        if (!IsContinuationByte(text[pos]) && seen++ == index) {
            return pos;
        }
    }
    return pos;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SplitAnswer(std::string_view answer) {
    const std::string text = ReplaceAll(ToLowerAscii(answer), "==", "/");
    std::vector<std::pair<std::string, std::string>> fields;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t bar = std::min(text.find('|', pos), text.size());
        const std::string_view field = std::string_view(text).substr(pos, bar - pos);
        pos = bar + 1;
        const std::size_t first = field.find('=');
        if (first == std::string_view::npos) {
            continue;
        }
        const std::string_view key = field.substr(0, first);
        const std::string_view rest = field.substr(first + 1);
        const std::string_view value = rest.substr(0, rest.find('='));
        if (!key.empty() && !value.empty()) {
            fields.emplace_back(key, value);
        }
    }
    return fields;
}

int ParseDecimal(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > static_cast<std::int64_t>(INT_MAX) + 1) {
            value = static_cast<std::int64_t>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int SaturatingAdd(int a, int b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
         pos = hit + from.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(text.substr(pos));
    return out;
}

std::string_view Utf8Substr(std::string_view text, std::size_t first, std::size_t count) {
    const std::size_t begin = Utf8Offset(text, first);
    const std::size_t end = Utf8Offset(text, first + count);
    return text.substr(begin, end - begin);
}

std::string_view DropLastUtf8Char(std::string_view text) {
    while (text.size() > 1 && IsContinuationByte(text.back())) {
        text.remove_suffix(1);
    }
    if (!text.empty()) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace korvane::answer
