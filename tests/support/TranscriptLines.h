#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::testing {

// The lines of a headless transcript that begin with `prefix` ("box " for
// the message boxes), in order.
std::vector<std::string> TranscriptLinesStartingWith(std::string_view transcript,
                                                     std::string_view prefix);

}  // namespace korvane::testing
