#include "CommandLine.h"

#include <charconv>

namespace korvane::service {

namespace {

bool ParseListen(const std::string& text, CommandLine& line) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    line.shown_host = text.substr(0, colon);
    line.host = line.shown_host;
    if (line.host.front() == '[') {
        if (line.host.size() < 3 || line.host.back() != ']') {
            return false;
        }
        line.host = line.host.substr(1, line.host.size() - 2);
    }
    const char* begin = text.data() + colon + 1;
    const char* end = text.data() + text.size();
    int port = -1;
    const auto [stop, ec] = std::from_chars(begin, end, port);
    if (begin == end || ec != std::errc() || stop != end || port < 0 || port > 65535) {
        return false;
    }
    line.port = port;
    return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option != "--config" && option != "--listen" && option != "--journal") {
            error = "unknown argument \"" + option + "\"";
            return false;
        }
        if (i + 1 >= args.size()) {
            error = option + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (option == "--config") {
            line.config = value;
        } else if (option == "--journal") {
            line.journal = value;
        } else if (!ParseListen(value, line)) {
            error = "--listen wants ADDR:PORT (port 0 to 65535), not \"" + value + "\"";
            return false;
        }
    }
    if (line.config.empty() || line.port < 0) {
        error = "--config and --listen are required";
        return false;
    }
    return true;
}

}  // namespace korvane::service
