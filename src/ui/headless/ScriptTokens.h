#pragma once

#include <string>
#include <vector>

namespace korvane {

struct ScriptToken {
    std::string text;
    bool quoted = false;
};

// Splits a script line into words and quoted texts. A "#" as the line's first
// word, or as a word of its own, starts a comment to the end of the line.
// False with a reason on a malformed quote.
bool TokenizeScriptLine(const std::string& line, std::vector<ScriptToken>& tokens,
                        std::string& error);

}  // namespace korvane
