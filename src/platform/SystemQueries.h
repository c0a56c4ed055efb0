#pragma once

#include <cstdint>
#include <string>

namespace korvane {

// Platform ids of the version record. Windows reports 0 to 2; Linux has a
// value of its own so that the Windows naming tables never apply to it.
inline constexpr std::uint32_t kPlatformWin32s = 0;
inline constexpr std::uint32_t kPlatformWindows = 1;
inline constexpr std::uint32_t kPlatformNt = 2;
inline constexpr std::uint32_t kPlatformLinux = 0x4C4E;

// Product types of the version record.
inline constexpr std::uint8_t kProductWorkstation = 1;
inline constexpr std::uint8_t kProductDomainController = 2;
inline constexpr std::uint8_t kProductServer = 3;

// Processor architectures.
inline constexpr std::uint16_t kProcessorIntel = 0;
inline constexpr std::uint16_t kProcessorArm = 5;
inline constexpr std::uint16_t kProcessorIa64 = 6;
inline constexpr std::uint16_t kProcessorAmd64 = 9;
inline constexpr std::uint16_t kProcessorArm64 = 12;
inline constexpr std::uint16_t kProcessorUnknown = 0xFFFF;

// System metric that tells Windows Server 2003 R2 from 2003.
inline constexpr int kMetricServerR2 = 89;

// The operating system's extended version record.
struct OsVersionRecord {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platform_id = 0;
    std::string service_pack;
    std::uint16_t service_pack_major = 0;
    std::uint16_t service_pack_minor = 0;
    std::uint16_t suite_mask = 0;
    std::uint8_t product_type = 0;
    // Systems outside the Windows naming tables name themselves: the
    // distribution ("Debian GNU/Linux 12 (bookworm)") and the kernel
    // ("Linux 6.1.0-18-amd64").
    std::string system_name;
    std::string system_release;
};

// What the system-information text and the version tests ask of the machine.
class SystemQueries {
  public:
    virtual ~SystemQueries() = default;

    virtual bool ReadVersion(OsVersionRecord& version) = 0;
    // The native processor architecture (not the emulated one of a 32-bit
    // process on a 64-bit system).
    virtual std::uint16_t NativeProcessorArchitecture() = 0;
    // The product type (edition number) for a version; false when the
    // query does not exist on this system.
    virtual bool ReadProductInfo(std::uint32_t major, std::uint32_t minor,
                                 std::uint32_t service_pack_major, std::uint32_t service_pack_minor,
                                 std::uint32_t& product_type) = 0;
    virtual int SystemMetric(int index) = 0;
    // Version text of the browser engine; false when it cannot be read.
    virtual bool ReadBrowserVersion(std::string& version) = 0;
    // A 32-bit process on a 64-bit system.
    virtual bool IsWow64Process() = 0;
};

}  // namespace korvane
