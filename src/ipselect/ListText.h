#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The list formats of the pool, the bands and the saved addresses: texts cut
// at a separator. An empty text is one empty piece, and two adjacent
// separators give an empty piece between them.
std::vector<std::string> SplitList(std::string_view text, char separator);

// The piece at index, empty when there is none.
std::string PieceAt(std::string_view text, char separator, std::size_t index);

// Pieces joined with the separator between them, none before or after.
std::string JoinList(const std::vector<std::string>& pieces, char separator);

// The text without its last character (a whole UTF-8 sequence, so a closing
// Korean letter is never cut in half); an empty text stays empty.
std::string WithoutLastCharacter(std::string_view text);

// The text with every " " removed.
std::string WithoutSpaces(std::string_view text);

// The text without the " " before and after it.
std::string TrimSpaces(std::string_view text);

}  // namespace korvane
