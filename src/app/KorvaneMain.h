#pragma once

#include <istream>
#include <ostream>

namespace korvane {

// Exit codes of the korvane program.
constexpr int kExitOk = 0;
constexpr int kExitScriptFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoDesktop = 3;
constexpr int kExitBadFile = 4;
constexpr int kExitNoClaim = 5;

// The whole program: options, platform, deployment settings, host and the
// application object. `in` is read for "--script -".
int RunKorvane(int argc, const char* const* argv, std::istream& in, std::ostream& out,
               std::ostream& err);

}  // namespace korvane
