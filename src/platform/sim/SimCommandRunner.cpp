#include "platform/sim/SimCommandRunner.h"

namespace korvane {

bool SimCommandRunner::RunHiddenAndWait(const std::string& command_line) {
    return Record(command_line, true);
}

bool SimCommandRunner::StartHidden(const std::string& command_line) {
    return Record(command_line, false);
}

bool SimCommandRunner::Record(const std::string& command_line, bool waited) {
    const std::string program = command_line.substr(0, command_line.find(' '));
    if (missing_.count(program) != 0) {
        return false;
    }
    runs_.push_back({command_line, waited});
    return true;
}

}  // namespace korvane
