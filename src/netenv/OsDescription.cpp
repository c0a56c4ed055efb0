#include "netenv/OsDescription.h"

namespace korvane {

namespace {

constexpr std::uint16_t kSuiteEnterprise = 0x0002;
constexpr std::uint16_t kSuiteDatacenter = 0x0080;
constexpr std::uint16_t kSuitePersonal = 0x0200;
constexpr std::uint16_t kSuiteBlade = 0x0400;
constexpr std::uint16_t kSuiteStorageServer = 0x2000;
constexpr std::uint16_t kSuiteComputeServer = 0x4000;
constexpr std::uint16_t kSuiteHomeServer = 0x8000;

bool Has(const OsVersionRecord& v, std::uint16_t suite) {
    return (v.suite_mask & suite) != 0;
}

const char* Major6Name(std::uint32_t minor, bool workstation) {
    switch (minor) {
        case 0:
            return workstation ? "Windows Vista " : "Windows Server 2008 ";
        case 1:
            return workstation ? "Windows 7 " : "Windows Server 2008 R2 ";
        case 2:
            return workstation ? "Windows 8 " : "Windows Server 2012 ";
        case 3:
            return workstation ? "Windows 8.1 " : "Windows Server 2012 R2";
        default:
            return nullptr;
    }
}

// False when the product type query is missing: the record is complete then.
bool DescribeMajor6(SystemQueries& system, OsDescription& record) {
    const OsVersionRecord& v = record.version;
    if (const char* name = Major6Name(v.minor, v.product_type == kProductWorkstation)) {
        record.product_name = name;
    }
    std::uint32_t product_type = 0;
    if (!system.ReadProductInfo(v.major, v.minor, 0, 0, product_type)) {
        return false;
    }
    record.edition = EditionForProductType(product_type);
    return true;
}

void DescribeServer2003Edition(OsDescription& record, std::uint16_t processor) {
    const OsVersionRecord& v = record.version;
    if (processor == kProcessorIa64) {
        if (Has(v, kSuiteDatacenter)) {
            record.edition = "Datacenter Edition";
            record.architecture = kArchitectureIa64;
        } else if (Has(v, kSuiteEnterprise)) {
            record.edition = "Enterprise Edition";
            record.architecture = kArchitectureIa64;
        }
    } else if (processor == kProcessorAmd64) {
        record.architecture = kArchitectureX64;
        record.edition = Has(v, kSuiteDatacenter)   ? "Datacenter Edition"
                         : Has(v, kSuiteEnterprise) ? "Enterprise Edition"
                                                    : "Standard Edition";
    } else {
        record.edition = Has(v, kSuiteComputeServer) ? "Compute Cluster Edition"
                         : Has(v, kSuiteDatacenter)  ? "Datacenter Edition"
                         : Has(v, kSuiteEnterprise)  ? "Enterprise Edition"
                         : Has(v, kSuiteBlade)       ? "Web Edition"
                                                     : "Standard Edition";
    }
}

void DescribeMajor5Minor2(SystemQueries& system, OsDescription& record, std::uint16_t processor) {
    const OsVersionRecord& v = record.version;
    const bool workstation = v.product_type == kProductWorkstation;
    if (system.SystemMetric(kMetricServerR2) != 0) {
        record.product_name = "Windows Server 2003 R2";
    } else if (Has(v, kSuiteStorageServer)) {
        record.product_name = "Windows Storage Server 2003";
    } else if (Has(v, kSuiteHomeServer)) {
        record.product_name = "Windows Home Server";
    } else if (workstation && processor == kProcessorAmd64) {
        record.product_name = "Windows XP Professional";
        record.architecture = kArchitectureX64;
    } else {
        record.product_name = "Windows Server 2003";
    }
    if (!workstation) {
        DescribeServer2003Edition(record, processor);
    }
}

void DescribeMajor5(SystemQueries& system, OsDescription& record, std::uint16_t processor) {
    const OsVersionRecord& v = record.version;
    if (v.minor == 2) {
        DescribeMajor5Minor2(system, record, processor);
    } else if (v.minor == 1) {
        record.product_name = "Windows XP ";
        record.edition = Has(v, kSuitePersonal) ? "Home Edition" : "Professional";
    } else if (v.minor == 0) {
        record.product_name = "Windows 2000 ";
        record.edition = v.product_type == kProductWorkstation ? "Professional"
                         : Has(v, kSuiteDatacenter)            ? "Datacenter Server"
                         : Has(v, kSuiteEnterprise)            ? "Advanced Server"
                                                               : "Server";
    }
}

int LinuxArchitecture(std::uint16_t processor) {
    switch (processor) {
        case kProcessorIntel:
            return kArchitectureX86;
        case kProcessorAmd64:
            return kArchitectureX64;
        case kProcessorIa64:
            return kArchitectureIa64;
        case kProcessorArm64:
            return kArchitectureArm64;
        case kProcessorArm:
            return kArchitectureArm;
        default:
            return 0;
    }
}

}  // namespace

const char* EditionForProductType(std::uint32_t product_type) {
    switch (product_type) {
        case 1:
            return "Ultimate Edition";
        case 2:
            return "Home Basic Edition";
        case 3:
            return "Home Premium Edition";
        case 4:
        case 10:
            return "Enterprise Edition";
        case 6:
            return "Business Edition";
        case 7:
            return "Standard Edition";
        case 8:
            return "Datacenter Edition";
        case 9:
            return "Small Business Server";
        case 11:
            return "Starter Edition";
        case 12:
            return "Datacenter Edition (core installation)";
        case 13:
            return "Standard Edition (core installation)";
        case 14:
            return "Enterprise Edition (core installation)";
        case 15:
            return "Enterprise Edition for Itanium-based Systems";
        case 17:
            return "Web Server Edition";
        case 18:
            return "Cluster Server Edition";
        case 25:
            return "Small Business Server Premium Edition";
        case 48:
            return "Professional";
        default:
            return "";
    }
}

const char* ArchitectureName(int architecture) {
    switch (architecture) {
        case kArchitectureX86:
            return "x86";
        case kArchitectureX64:
            return "x64";
        case kArchitectureIa64:
            return "ia64";
        case kArchitectureArm64:
            return "arm64";
        case kArchitectureArm:
            return "arm";
        default:
            return "";
    }
}

void DescribeOs(SystemQueries& system, OsDescription& record) {
    record = OsDescription{};
    if (!system.ReadVersion(record.version)) {
        return;
    }
    const OsVersionRecord& v = record.version;
    const std::uint16_t processor = system.NativeProcessorArchitecture();
    if (v.platform_id == kPlatformLinux) {
        record.product_name = v.system_name;
        record.edition = v.system_release;
        record.architecture = LinuxArchitecture(processor);
        return;
    }
    if (v.platform_id != kPlatformNt || v.major <= 4) {
        return;
    }
    record.product_name = "Microsoft ";
    if (v.major == 6) {
        if (!DescribeMajor6(system, record)) {
            return;
        }
    } else if (v.major == 5) {
        DescribeMajor5(system, record, processor);
    }
    if (v.major > 5) {
        if (processor == kProcessorAmd64) {
            record.architecture = kArchitectureX64;
        } else if (processor == kProcessorIntel) {
            record.architecture = kArchitectureX86;
        }
    }
}

}  // namespace korvane
