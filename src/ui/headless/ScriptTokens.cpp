#include "ui/headless/ScriptTokens.h"

#include "platform/QuotedText.h"

namespace korvane {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

bool TokenizeScriptLine(const std::string& line, std::vector<ScriptToken>& tokens,
                        std::string& error) {
    tokens.clear();
    std::size_t pos = 0;
    while (pos < line.size()) {
        if (IsBlank(line[pos])) {
            ++pos;
            continue;
        }
        // "#" opens a comment at the start of a line or as a word of its own;
        // "#2" elsewhere is a word.
        const bool alone = pos + 1 >= line.size() || IsBlank(line[pos + 1]);
        if (line[pos] == '#' && (tokens.empty() || alone)) {
            break;
        }
        ScriptToken token;
        if (line[pos] == '"') {
            token.quoted = true;
            if (!ParseQuoted(line, pos, token.text, error)) {
                return false;
            }
            if (pos < line.size() && !IsBlank(line[pos])) {
                error = "a blank must follow a quoted text";
                return false;
            }
        } else {
            const std::size_t start = pos;
            while (pos < line.size() && !IsBlank(line[pos])) {
                if (line[pos] == '"') {
                    error = "a quote inside a word";
                    return false;
                }
                ++pos;
            }
            token.text = line.substr(start, pos - start);
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

}  // namespace korvane
