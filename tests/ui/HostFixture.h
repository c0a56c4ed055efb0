#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/VirtualClock.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {

// A headless host writing into memory, and the transcript read back as lines.
class HostFixture : public ::testing::Test {
  protected:
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(out_.str());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    // The lines written since the last call.
    std::vector<std::string> NewLines() {
        std::vector<std::string> all = Lines();
        std::vector<std::string> fresh(all.begin() + static_cast<long>(seen_), all.end());
        seen_ = all.size();
        return fresh;
    }

    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    std::size_t seen_ = 0;
};

}  // namespace korvane
