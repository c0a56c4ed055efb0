#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/SystemQueries.h"

namespace korvane {

// The operating system of a simulated machine: a version record and the
// answers of the other queries. Starts as 64-bit Windows 7 Professional
// with service pack 1, the browser version unreadable.
class SimSystemQueries : public SystemQueries {
  public:
    SimSystemQueries();

    // nullopt: the version record cannot be read.
    std::optional<OsVersionRecord> version;
    std::uint16_t processor = kProcessorAmd64;
    // nullopt: the product type query does not exist.
    std::optional<std::uint32_t> product_info = 48;
    std::map<int, int> metrics;
    std::optional<std::string> browser_version;
    bool wow64 = true;

    bool ReadVersion(OsVersionRecord& record) override;
    std::uint16_t NativeProcessorArchitecture() override { return processor; }
    bool ReadProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t sp_major,
                         std::uint32_t sp_minor, std::uint32_t& product_type) override;
    int SystemMetric(int index) override;
    bool ReadBrowserVersion(std::string& text) override;
    bool IsWow64Process() override { return wow64; }
};

}  // namespace korvane
