#include "app/DeploySettings.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/IniText.h"

namespace korvane {

namespace {

bool ParseNumber(const std::string& text, long low, long high, long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end && value >= low && value <= high;
}

// Host names go into URLs as they are, so only characters of a host (and a
// ":port") are accepted.
bool IsHostText(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' || c == '[' ||
                        c == ']';
        if (!ok) {
            return false;
        }
    }
    return true;
}

int ApplyEntry(const IniEntry& entry, DeploySettings& settings, std::string& reason) {
    long number = 0;
    if (entry.key == "auth_host" || entry.key == "web_host") {
        if (!IsHostText(entry.value)) {
            reason = entry.key + " must be a host name or address";
            return -1;
        }
        (entry.key == "auth_host" ? settings.auth_host_name : settings.web_host) = entry.value;
    } else if (entry.key == "port") {
        if (!ParseNumber(entry.value, 1, 65535, number)) {
            reason = "port must be a number from 1 to 65535";
            return -1;
        }
        settings.port = static_cast<int>(number);
    } else if (entry.key == "connect_timeout" || entry.key == "receive_timeout") {
        if (!ParseNumber(entry.value, 1, 3600, number)) {
            reason = entry.key + " must be a number of seconds from 1 to 3600";
            return -1;
        }
        (entry.key == "connect_timeout" ? settings.connect_timeout_seconds
                                        : settings.receive_timeout_seconds) = number;
    } else {
        reason = "unknown key " + entry.key;
        return -1;
    }
    return 0;
}

}  // namespace

int ParseDeploySettings(const std::string& text, const std::string& source,
                        DeploySettings& settings, std::string& error) {
    std::vector<IniSection> sections;
    IniError fault;
    if (ParseIniText(text, sections, fault) != 0) {
        error = source + ":" + std::to_string(fault.line) + ": " + fault.message;
        return -1;
    }
    for (const IniSection& section : sections) {
        if (!section.type.empty()) {
            error = source + ":" + std::to_string(section.line) + ": the file has no sections";
            return -1;
        }
        for (const IniEntry& entry : section.entries) {
            std::string reason;
            if (ApplyEntry(entry, settings, reason) != 0) {
                error = source + ":" + std::to_string(entry.line) + ": " + reason;
                return -1;
            }
        }
    }
    return 0;
}

int LoadDeploySettings(const std::string& path, DeploySettings& settings, std::string& error) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return 0;
        }
        error = path + ": cannot be read";
        return -1;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in || !S_ISREG(info.st_mode)) {
        error = path + ": cannot be read";
        return -1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseDeploySettings(text.str(), path, settings, error) == 0 ? 1 : -1;
}

HttpSettings ToHttpSettings(const DeploySettings& deploy) {
    HttpSettings settings;
    settings.port = deploy.port;
    settings.connect_timeout_seconds = deploy.connect_timeout_seconds;
    settings.receive_timeout_seconds = deploy.receive_timeout_seconds;
    return settings;
}

}  // namespace korvane
