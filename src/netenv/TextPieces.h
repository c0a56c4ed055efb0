#pragma once

#include <string>
#include <string_view>

namespace korvane {

// The i-th piece of text cut at separator; false when there is no i-th piece
// (an empty text has one empty piece).
bool NthPiece(std::string_view text, char separator, std::size_t index, std::string& piece);

}  // namespace korvane
