#include "platform/QuotedText.h"

namespace korvane {

namespace {

bool InRange(unsigned char c, int low, int high) {
    return c >= low && c <= high;
}

void AppendHex(std::string& out, unsigned char c) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[c >> 4];
    out += kDigits[c & 0xF];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) -> unsigned char {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        return 1;
    }
    const auto cont = [&](std::size_t i) { return InRange(byte(i), 0x80, 0xBF); };
    if (InRange(lead, 0xC2, 0xDF)) {
        return cont(pos + 1) ? 2 : 0;
    }
    if (InRange(lead, 0xE0, 0xEF)) {
        const int low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        const int high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
        return InRange(byte(pos + 1), low, high) && cont(pos + 2) ? 3 : 0;
    }
    if (InRange(lead, 0xF0, 0xF4)) {
        const int low = lead == 0xF0 ? 0x90 : 0x80;
        const int high = lead == 0xF4 ? 0x8F : 0xBF;
        return InRange(byte(pos + 1), low, high) && cont(pos + 2) && cont(pos + 3) ? 4 : 0;
    }
    return 0;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                AppendHex(out, c);
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    AppendHex(out, c);
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    out += '"';
    return out;
}

bool ParseQuoted(std::string_view text, std::size_t& pos, std::string& out, std::string& error) {
    if (pos >= text.size() || text[pos] != '"') {
        error = "a quoted text must start with \"";
        return false;
    }
    out.clear();
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size()) {
            break;
        }
        switch (text[i]) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                const int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    error = "\\x needs two hex digits";
                    return false;
                }
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                error = std::string("unknown escape \\") + text[i];
                return false;
        }
    }
    error = "the quoted text has no closing \"";
    return false;
}

}  // namespace korvane
