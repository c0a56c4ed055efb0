#pragma once

#include <string>

#include "platform/SystemQueries.h"

namespace korvane {

inline constexpr int kArchitectureX86 = 1;
inline constexpr int kArchitectureX64 = 2;
inline constexpr int kArchitectureIa64 = 3;
// Only systems outside the Windows tables report these two.
inline constexpr int kArchitectureArm64 = 4;
inline constexpr int kArchitectureArm = 5;

// What DescribeOs makes of the version record.
struct OsDescription {
    OsVersionRecord version;
    std::string product_name;
    std::string edition;
    int architecture = kArchitectureX86;
};

// Fills the record from the version queries with the Windows naming tables
// (NT platform, major version above 4). A Linux record names itself:
// distribution, kernel release, architecture of the processor.
void DescribeOs(SystemQueries& system, OsDescription& record);

// "x86", "x64", "ia64", "arm64", "arm"; empty for an unknown code.
const char* ArchitectureName(int architecture);

// The edition for a product type of major version 6; empty when none applies.
const char* EditionForProductType(std::uint32_t product_type);

}  // namespace korvane
