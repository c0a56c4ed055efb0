#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/SystemQueries.h"

namespace korvane {

// The running Linux system: the version record from uname and os-release,
// with the Linux platform id, the distribution as system name and
// "Linux <release>" as system release. There is no product type query, no
// system metric and no browser version to read.
class LinuxSystemQueries : public SystemQueries {
  public:
    bool ReadVersion(OsVersionRecord& version) override;
    std::uint16_t NativeProcessorArchitecture() override;
    bool ReadProductInfo(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                         std::uint32_t&) override {
        return false;
    }
    int SystemMetric(int) override { return 0; }
    bool ReadBrowserVersion(std::string&) override { return false; }
    bool IsWow64Process() override;
};

// The key=value lines of an os-release file, quotes removed.
std::map<std::string, std::string> ParseOsRelease(std::string_view text);

// The distribution's name from os-release fields: PRETTY_NAME, else NAME and
// VERSION, else "Linux".
std::string DistributionName(const std::map<std::string, std::string>& fields);

// uname's machine text to a processor architecture.
std::uint16_t ProcessorOfMachine(std::string_view machine);

}  // namespace korvane
