#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/CommandRunner.h"

namespace korvane {

// Outside programs of a simulated machine: every command line is recorded,
// with whether the caller waited for it. Programs marked missing cannot be
// started (the program is the command line's first word).
class SimCommandRunner : public CommandRunner {
  public:
    struct Run {
        std::string command_line;
        bool waited = false;
    };

    void MarkProgramMissing(const std::string& program) { missing_.insert(program); }
    const std::vector<Run>& runs() const { return runs_; }

    bool RunHiddenAndWait(const std::string& command_line) override;
    bool StartHidden(const std::string& command_line) override;

  private:
    bool Record(const std::string& command_line, bool waited);

    std::set<std::string> missing_;
    std::vector<Run> runs_;
};

}  // namespace korvane
