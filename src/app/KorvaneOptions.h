#pragma once

#include <optional>
#include <string>

namespace korvane {

// The command line of the korvane program:
//   korvane [--headless] [--script FILE|-] [--platform linux|sim]
//           [--machine FILE] [--deploy FILE] [--instance-dir DIR] [--no-tray]
//           [--] [ARG]
struct KorvaneOptions {
    bool help = false;
    bool headless = false;
    std::optional<std::string> script;  // "-" for standard input
    std::string platform = "linux";
    std::string machine;
    std::string deploy;
    std::string instance_dir;
    bool no_tray = false;
    // The launcher's argument (the first word after the options).
    std::optional<std::string> argument;
};

// 0, or -1 with a reason.
int ParseKorvaneOptions(int argc, const char* const* argv, KorvaneOptions& options,
                        std::string& error);

extern const char* const kKorvaneUsage;

}  // namespace korvane
