#include "protocol/QueryEscape.h"

namespace korvane {

namespace {

bool NeedsEscape(unsigned char c) {
    return c < 0x21 || c > 0x7E || c == '%' || c == '#' || c == '+';
}

}  // namespace

std::string PercentEncodeQuery(std::string_view url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::size_t query = url.find('?');
    if (query == std::string_view::npos) {
        return std::string(url);
    }
    std::string out(url.substr(0, query + 1));
    out.reserve(url.size() + 16);
    for (const char ch : url.substr(query + 1)) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace korvane
