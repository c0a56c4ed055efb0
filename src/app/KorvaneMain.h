#pragma once

#include <functional>
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

class Host;
struct KorvaneOptions;

// Runs the program on the desktop: makes the desktop host, hands it to `run`
// (which runs the application object on it) and returns the exit code.
using DesktopRunner = std::function<int(
    const KorvaneOptions& options, const std::function<int(Host& host)>& run, std::ostream& err)>;

// The whole program: options, platform, deployment settings, host and the
// application object. `in` is read for "--script -". Without a desktop runner
// only headless runs are possible.
int RunKorvane(int argc, const char* const* argv, std::istream& in, std::ostream& out,
               std::ostream& err, const DesktopRunner& desktop = {});

}  // namespace korvane
