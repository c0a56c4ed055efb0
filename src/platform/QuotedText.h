#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// Quoted texts of transcripts, scripts and ini-style files: double quotes around the text;
// backslash, quote, line feed, carriage return and tab as \\ \" \n \r \t;
// every other control byte and every byte that is not part of valid UTF-8 as
// \xHH. Valid UTF-8 (Korean texts) stays as it is.
std::string Quote(std::string_view text);

// Reads a quoted text starting at text[pos] (a double quote) and leaves pos
// after the closing quote. False with a reason on a malformed literal.
bool ParseQuoted(std::string_view text, std::size_t& pos, std::string& out, std::string& error);

// Length of the valid UTF-8 sequence starting at text[pos], 0 when invalid.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

}  // namespace korvane
