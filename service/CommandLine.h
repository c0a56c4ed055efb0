#pragma once

#include <string>
#include <vector>

namespace korvane::service {

struct CommandLine {
    std::string config;
    std::string host;        // without brackets
    std::string shown_host;  // as given ("[::1]" for IPv6)
    int port = -1;
    std::string journal;
};

// "--config FILE --listen ADDR:PORT [--journal FILE]". False with `error`
// set when the arguments do not fit.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

inline constexpr const char* kUsage =
    "usage: korvane-service --config FILE --listen ADDR:PORT [--journal FILE]";

}  // namespace korvane::service
