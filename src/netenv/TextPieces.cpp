#include "netenv/TextPieces.h"

namespace korvane {

bool NthPiece(std::string_view text, char separator, std::size_t index, std::string& piece) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const std::size_t next = text.find(separator, start);
        if (next == std::string_view::npos) {
            return false;
        }
        start = next + 1;
    }
    const std::size_t end = text.find(separator, start);
    piece = std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
    return true;
}

}  // namespace korvane
