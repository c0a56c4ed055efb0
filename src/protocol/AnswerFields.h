#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::answer {

// The common first steps of reading an account answer: the text lower-cased
// (ASCII letters only, so Korean text stays as it is), every "==" turned into
// "/", then cut at "|" into (key, value) pairs. The key is the text before the
// first "=", the value the text up to a second "="; pairs with an empty key or
// value are left out.
std::vector<std::pair<std::string, std::string>> SplitAnswer(std::string_view answer);

// Leading decimal digits after optional white space and sign; 0 when there
// are none. Out-of-range values saturate.
int ParseDecimal(std::string_view text);

// a + b without overflow: the result saturates at the int range.
int SaturatingAdd(int a, int b);

std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Up to `count` characters from character `first` (0-based) of a UTF-8 text.
std::string_view Utf8Substr(std::string_view text, std::size_t first, std::size_t count);
// The text without its last UTF-8 character.
std::string_view DropLastUtf8Char(std::string_view text);

}  // namespace korvane::answer
