#include "BinParameter.h"

namespace korvane::service {

namespace {

int HexDigit(char c) {
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

// The value of "bin=" among "&"-separated parameters. The transport text
// never holds "&": the codec turns it into a control byte.
std::optional<std::string> BinAmong(std::string_view parameters) {
    constexpr std::string_view kKey = "bin=";
    while (true) {
        const std::size_t amp = parameters.find('&');
        const std::string_view item = parameters.substr(0, amp);
        if (item.substr(0, kKey.size()) == kKey) {
            return PercentDecode(item.substr(kKey.size()));
        }
        if (amp == std::string_view::npos) {
            return std::nullopt;
        }
        parameters.remove_prefix(amp + 1);
    }
}

}  // namespace

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<std::string> FindBin(std::string_view target, std::string_view body) {
    const std::size_t question = target.find('?');
    if (question != std::string_view::npos) {
        if (auto bin = BinAmong(target.substr(question + 1))) {
            return bin;
        }
    }
    return BinAmong(body);
}

}  // namespace korvane::service
