#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace korvane {

// Paths the system builds use "/"; folders that arrive with "\" are turned round.
inline std::string ForwardSlashes(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

}  // namespace korvane
