#include "platform/sim/SimSystemQueries.h"

namespace korvane {

SimSystemQueries::SimSystemQueries() {
    OsVersionRecord record;
    record.major = 6;
    record.minor = 1;
    record.build = 7601;
    record.platform_id = kPlatformNt;
    record.service_pack = "Service Pack 1";
    record.service_pack_major = 1;
    record.suite_mask = 0x100;
    record.product_type = kProductWorkstation;
    version = record;
}

bool SimSystemQueries::ReadVersion(OsVersionRecord& record) {
    if (!version) {
        return false;
    }
    record = *version;
    return true;
}

bool SimSystemQueries::ReadProductInfo(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                       std::uint32_t& product_type) {
    if (!product_info) {
        return false;
    }
    product_type = *product_info;
    return true;
}

int SimSystemQueries::SystemMetric(int index) {
    const auto found = metrics.find(index);
    return found == metrics.end() ? 0 : found->second;
}

bool SimSystemQueries::ReadBrowserVersion(std::string& text) {
    if (!browser_version) {
        return false;
    }
    text = *browser_version;
    return true;
}

}  // namespace korvane
