#include "protocol/HttpAnswerReader.h"

#include <algorithm>

namespace korvane {

std::string ReadQueryAnswer(std::string_view received, std::size_t expected_size) {
    const std::string_view taken = received.substr(0, std::min(received.size(), expected_size));
    std::string out;
    out.reserve(taken.size());
    for (std::size_t pos = 0; pos < taken.size(); pos += kQueryAnswerChunkSize) {
        const std::string_view chunk = taken.substr(pos, kQueryAnswerChunkSize);
        out.append(chunk.substr(0, chunk.find('\0')));
    }
    return out;
}

std::string ReadFormAnswer(std::string_view received) {
    std::string out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t end = received.find('\n', pos);
        std::string_view line =
            received.substr(pos, end == std::string_view::npos ? end : end - pos);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        out.append(line);
        out += '\n';
        if (line.empty()) {
            return out;
        }
        pos = end == std::string_view::npos ? received.size() : end + 1;
    }
}

}  // namespace korvane
