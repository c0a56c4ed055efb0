#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// How the two kinds of request read the body of a 200 answer. They work on the
// bytes as received, so the network layer can collect them in any piece sizes.

// Expected size of a query answer that names no Content-Length.
inline constexpr std::size_t kQueryAnswerDefaultSize = 100'000'000;
inline constexpr std::size_t kQueryAnswerChunkSize = 1024;

// At most `expected_size` bytes, read in 1024-byte chunks; each chunk is taken
// as a text and so ends at its first zero byte.
std::string ReadQueryAnswer(std::string_view received, std::size_t expected_size);

// Line by line up to the first empty line or the end of the data: every line
// read followed by "\n", including the empty one that ends the loop. A CR in
// front of a line feed belongs to the line end.
std::string ReadFormAnswer(std::string_view received);

}  // namespace korvane
