#include "TranscriptLines.h"

namespace korvane::testing {

std::vector<std::string> TranscriptLinesStartingWith(std::string_view transcript,
                                                     std::string_view prefix) {
    std::vector<std::string> lines;
    while (!transcript.empty()) {
        const std::size_t end = transcript.find('\n');
        const std::string_view line = transcript.substr(0, end);
        if (line.substr(0, prefix.size()) == prefix) {
            lines.emplace_back(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        transcript.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace korvane::testing
