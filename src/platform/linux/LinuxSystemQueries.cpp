#include "platform/linux/LinuxSystemQueries.h"

#include <sys/utsname.h>

#include <charconv>
#include <fstream>
#include <sstream>

namespace korvane {

namespace {

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            ++i;
        }
        text += value[i];
    }
    return text;
}

std::string ReadOsRelease() {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream file(path);
        if (file) {
            std::ostringstream text;
            text << file.rdbuf();
            return text.str();
        }
    }
    return {};
}

// "6.1.0-18-amd64" gives 6, 1 and 0.
void ParseRelease(std::string_view release, OsVersionRecord& version) {
    std::uint32_t* parts[] = {&version.major, &version.minor, &version.build};
    const char* at = release.data();
    const char* end = release.data() + release.size();
    for (std::uint32_t* part : parts) {
        const auto result = std::from_chars(at, end, *part);
        if (result.ec != std::errc() || result.ptr == end || *result.ptr != '.') {
            return;
        }
        at = result.ptr + 1;
    }
}

}  // namespace

std::map<std::string, std::string> ParseOsRelease(std::string_view text) {
    std::map<std::string, std::string> fields;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos || equals == 0) {
            continue;
        }
        fields[line.substr(0, equals)] = Unquote(std::string_view(line).substr(equals + 1));
    }
    return fields;
}

std::string DistributionName(const std::map<std::string, std::string>& fields) {
    if (auto found = fields.find("PRETTY_NAME"); found != fields.end() && !found->second.empty()) {
        return found->second;
    }
    std::string name;
    if (auto found = fields.find("NAME"); found != fields.end()) {
        name = found->second;
    }
    if (auto found = fields.find("VERSION"); found != fields.end() && !found->second.empty()) {
        name += (name.empty() ? "" : " ") + found->second;
    }
    return name.empty() ? "Linux" : name;
}

std::uint16_t ProcessorOfMachine(std::string_view machine) {
    if (machine == "x86_64" || machine == "amd64") {
        return kProcessorAmd64;
    }
    if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86") {
        return kProcessorIntel;
    }
    if (machine == "aarch64" || machine == "arm64") {
        return kProcessorArm64;
    }
    if (machine.substr(0, 3) == "arm") {
        return kProcessorArm;
    }
    if (machine == "ia64") {
        return kProcessorIa64;
    }
    return kProcessorUnknown;
}

bool LinuxSystemQueries::ReadVersion(OsVersionRecord& version) {
    utsname names{};
    if (uname(&names) != 0) {
        return false;
    }
    version = OsVersionRecord{};
    version.platform_id = kPlatformLinux;
    ParseRelease(names.release, version);
    version.system_name = DistributionName(ParseOsRelease(ReadOsRelease()));
    version.system_release = std::string(names.sysname) + " " + names.release;
    return true;
}

std::uint16_t LinuxSystemQueries::NativeProcessorArchitecture() {
    utsname names{};
    return uname(&names) == 0 ? ProcessorOfMachine(names.machine) : kProcessorUnknown;
}

bool LinuxSystemQueries::IsWow64Process() {
    // The kernel reports its own machine, so a 32-bit build sees x86_64 on a
    // 64-bit kernel.
    return sizeof(void*) == 4 && NativeProcessorArchitecture() == kProcessorAmd64;
}

}  // namespace korvane
