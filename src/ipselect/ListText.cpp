#include "ipselect/ListText.h"

#include <algorithm>

namespace korvane {

std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string PieceAt(std::string_view text, char separator, std::size_t index) {
    const std::vector<std::string> pieces = SplitList(text, separator);
    return index < pieces.size() ? pieces[index] : std::string();
}

std::string JoinList(const std::vector<std::string>& pieces, char separator) {
    std::string text;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            text += separator;
        }
        text += pieces[i];
    }
    return text;
}

std::string WithoutLastCharacter(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    std::size_t cut = text.size() - 1;
    // Step back over continuation bytes (10xxxxxx) to the sequence's lead byte.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(text.substr(0, cut));
}

std::string WithoutSpaces(std::string_view text) {
    std::string out(text);
    out.erase(std::remove(out.begin(), out.end(), ' '), out.end());
    return out;
}

std::string TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace korvane
