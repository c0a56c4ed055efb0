#include "ui/headless/Transcript.h"

namespace korvane {

void Transcript::Write(const std::string& line) {
    const std::string kind = line.substr(0, line.find(' '));
    if (Muted(kind)) {
        return;
    }
    out_ << line << '\n';
    out_.flush();
}

}  // namespace korvane
