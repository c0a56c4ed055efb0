#include <gtest/gtest.h>

#include "SimMachine.h"
#include "netenv/OsDescription.h"
#include "netenv/SystemInfo.h"

namespace korvane::test {
namespace {

struct OsCase {
    const char* what;
    std::uint32_t platform;
    std::uint32_t major;
    std::uint32_t minor;
    std::uint8_t product_type;
    std::uint16_t suite;
    std::uint16_t processor;
    std::optional<std::uint32_t> product_info;
    int r2_metric;
    const char* service_pack;
    const char* line;
};

std::string OsLineOf(const OsCase& c) {
    SimSystemQueries system;
    system.version->platform_id = c.platform;
    system.version->major = c.major;
    system.version->minor = c.minor;
    system.version->product_type = c.product_type;
    system.version->suite_mask = c.suite;
    system.version->service_pack = c.service_pack;
    system.version->system_name = "Debian GNU/Linux 12 (bookworm)";
    system.version->system_release = "Linux 6.1.0-18-amd64";
    system.processor = c.processor;
    system.product_info = c.product_info;
    system.metrics[kMetricServerR2] = c.r2_metric;
    SimNetwork no_adapters;
    return BuildSystemInfo(no_adapters, system);
}

constexpr std::uint8_t kWs = kProductWorkstation;
constexpr std::uint8_t kSrv = kProductServer;
constexpr std::uint16_t kX86 = kProcessorIntel;
constexpr std::uint16_t kX64 = kProcessorAmd64;
constexpr std::uint16_t kIa64 = kProcessorIa64;
constexpr std::uint32_t kNt = kPlatformNt;

TEST(SystemInfo, OsLineFollowsTheNamingTables) {
    const OsCase cases[] = {
        {"7 Professional x64 SP1", kNt, 6, 1, kWs, 0x100, kX64, 48, 0, "Service Pack 1",
         "Windows 7 , Professional, x64, Service Pack 1\r\n"},
        {"XP Home", kNt, 5, 1, kWs, 0x200, kX86, 48, 0, "", "Windows XP , Home Edition, x86, \r\n"},
        {"XP Professional", kNt, 5, 1, kWs, 0, kX86, 48, 0, "Service Pack 3",
         "Windows XP , Professional, x86, Service Pack 3\r\n"},
        {"major 10", kNt, 10, 0, kWs, 0, kX64, 48, 0, "", "Microsoft , , x64, \r\n"},
        {"Vista x86", kNt, 6, 0, kWs, 0, kX86, 1, 0, "",
         "Windows Vista , Ultimate Edition, x86, \r\n"},
        {"2008 R2 server", kNt, 6, 1, kSrv, 0, kX64, 7, 0, "",
         "Windows Server 2008 R2 , Standard Edition, x64, \r\n"},
        {"8 ia64 keeps the code", kNt, 6, 2, kWs, 0, kIa64, 3, 0, "",
         "Windows 8 , Home Premium Edition, x86, \r\n"},
        {"2012 R2 has no trailing blank", kNt, 6, 3, kSrv, 0, kX64, 8, 0, "",
         "Windows Server 2012 R2, Datacenter Edition, x64, \r\n"},
        {"6.4 keeps Microsoft", kNt, 6, 4, kWs, 0, kX64, 48, 0, "",
         "Microsoft , Professional, x64, \r\n"},
        {"6.x without product query returns at once", kNt, 6, 1, kWs, 0, kX64, std::nullopt, 0, "",
         "Windows 7 , , x86, \r\n"},
        {"unlisted product type", kNt, 6, 1, kWs, 0, kX64, 5, 0, "", "Windows 7 , , x64, \r\n"},
        {"2003 R2", kNt, 5, 2, kSrv, 0, kX86, 0, 1, "",
         "Windows Server 2003 R2, Standard Edition, x86, \r\n"},
        {"Storage Server", kNt, 5, 2, kSrv, 0x2000, kX86, 0, 0, "",
         "Windows Storage Server 2003, Standard Edition, x86, \r\n"},
        {"Home Server", kNt, 5, 2, kSrv, 0x8000, kX86, 0, 0, "",
         "Windows Home Server, Standard Edition, x86, \r\n"},
        {"XP x64", kNt, 5, 2, kWs, 0, kX64, 0, 0, "", "Windows XP Professional, , x64, \r\n"},
        {"2003 on a workstation x86", kNt, 5, 2, kWs, 0, kX86, 0, 0, "",
         "Windows Server 2003, , x86, \r\n"},
        {"2003 ia64 datacenter", kNt, 5, 2, kSrv, 0x80, kIa64, 0, 0, "",
         "Windows Server 2003, Datacenter Edition, ia64, \r\n"},
        {"2003 ia64 enterprise", kNt, 5, 2, kSrv, 0x2, kIa64, 0, 0, "",
         "Windows Server 2003, Enterprise Edition, ia64, \r\n"},
        {"2003 ia64 plain", kNt, 5, 2, kSrv, 0, kIa64, 0, 0, "",
         "Windows Server 2003, , x86, \r\n"},
        {"2003 x64 standard", kNt, 5, 2, kSrv, 0, kX64, 0, 0, "",
         "Windows Server 2003, Standard Edition, x64, \r\n"},
        {"2003 x64 datacenter first", kNt, 5, 2, kSrv, 0x82, kX64, 0, 0, "",
         "Windows Server 2003, Datacenter Edition, x64, \r\n"},
        {"2003 compute cluster first", kNt, 5, 2, kSrv, 0x4082, kX86, 0, 0, "",
         "Windows Server 2003, Compute Cluster Edition, x86, \r\n"},
        {"2003 web", kNt, 5, 2, kSrv, 0x400, kX86, 0, 0, "",
         "Windows Server 2003, Web Edition, x86, \r\n"},
        {"2003 enterprise", kNt, 5, 2, kSrv, 0x402, kX86, 0, 0, "",
         "Windows Server 2003, Enterprise Edition, x86, \r\n"},
        {"2000 Professional", kNt, 5, 0, kWs, 0x80, kX86, 0, 0, "",
         "Windows 2000 , Professional, x86, \r\n"},
        {"2000 Datacenter", kNt, 5, 0, kSrv, 0x82, kX86, 0, 0, "",
         "Windows 2000 , Datacenter Server, x86, \r\n"},
        {"2000 Advanced", kNt, 5, 0, kSrv, 0x2, kX86, 0, 0, "",
         "Windows 2000 , Advanced Server, x86, \r\n"},
        {"2000 Server", kNt, 5, 0, kSrv, 0, kX86, 0, 0, "", "Windows 2000 , Server, x86, \r\n"},
        {"NT 4", kNt, 4, 0, kWs, 0, kX86, 0, 0, "Service Pack 6", ", , x86, Service Pack 6\r\n"},
        {"Windows 98", kPlatformWindows, 4, 10, 0, 0, kX86, 0, 0, "", ", , x86, \r\n"},
        {"Linux names itself", kPlatformLinux, 6, 1, 0, 0, kX64, std::nullopt, 0, "",
         "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64, x64, \r\n"},
        {"Linux on arm64", kPlatformLinux, 6, 1, 0, 0, kProcessorArm64, std::nullopt, 0, "",
         "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64, arm64, \r\n"},
    };
    for (const OsCase& c : cases) {
        EXPECT_EQ(OsLineOf(c), c.line) << c.what;
    }
}

TEST(SystemInfo, AnUnreadableVersionStillGivesTheLineWithItsSeparators) {
    SimSystemQueries system;
    system.version.reset();
    SimNetwork no_adapters;
    EXPECT_EQ(BuildSystemInfo(no_adapters, system), ", , x86, \r\n");
}

TEST(SystemInfo, EditionsByProductType) {
    const std::pair<std::uint32_t, const char*> editions[] = {
        {1, "Ultimate Edition"},
        {2, "Home Basic Edition"},
        {3, "Home Premium Edition"},
        {4, "Enterprise Edition"},
        {5, ""},
        {6, "Business Edition"},
        {7, "Standard Edition"},
        {8, "Datacenter Edition"},
        {9, "Small Business Server"},
        {10, "Enterprise Edition"},
        {11, "Starter Edition"},
        {12, "Datacenter Edition (core installation)"},
        {13, "Standard Edition (core installation)"},
        {14, "Enterprise Edition (core installation)"},
        {15, "Enterprise Edition for Itanium-based Systems"},
        {16, ""},
        {17, "Web Server Edition"},
        {18, "Cluster Server Edition"},
        {25, "Small Business Server Premium Edition"},
        {48, "Professional"},
        {101, ""},
    };
    for (const auto& [type, edition] : editions) {
        EXPECT_STREQ(EditionForProductType(type), edition) << type;
    }
}

TEST(SystemInfo, OsLineThenBrowserLineThenOneLinePerAdapter) {
    SimMachine m;
    m.network.FindAdapter(kTap)->record.addresses.clear();
    m.system.browser_version = "8.0.7601.17514";
    EXPECT_EQ(BuildSystemInfo(m.network, m.system),
              "Windows 7 , Professional, x64, Service Pack 1\r\n"
              "Explorer Version ==>> 8.0.7601.17514\r\n"
              "#1. Realtek PCIe GBE Family Controller (192.168.0.10)\r\n"
              "#2. TAP-Windows Adapter V9 (0.0.0.0)\r\n");

    m.system.browser_version.reset();
    EXPECT_EQ(BuildSystemInfo(m.network, m.system),
              "Windows 7 , Professional, x64, Service Pack 1\r\n"
              "#1. Realtek PCIe GBE Family Controller (192.168.0.10)\r\n"
              "#2. TAP-Windows Adapter V9 (0.0.0.0)\r\n");
}

TEST(SystemInfo, InventoryKeepsAtMost64AdaptersAndNoneOnError) {
    SimNetwork network;
    for (std::uint32_t i = 1; i <= 70; ++i) {
        AdapterRecord adapter;
        adapter.index = i;
        adapter.description = "Adapter " + std::to_string(i);
        adapter.addresses = {{0x0A000000u + i, 0xFF000000u}};
        adapter.gateway = 0x0A0000FEu;
        network.AddAdapter(adapter);
    }
    AdapterInventory inventory;
    EXPECT_EQ(ReadAdapterInventory(network, inventory), 0);
    ASSERT_EQ(inventory.entries.size(), 64u);
    EXPECT_EQ(inventory.entries[63].description, "Adapter 64");
    EXPECT_EQ(inventory.entries[0].address, "10.0.0.1");
    EXPECT_EQ(inventory.entries[0].mask, "255.0.0.0");
    EXPECT_EQ(inventory.entries[0].gateway, "10.0.0.254");

    SimSystemQueries system;
    const std::string text = BuildSystemInfo(network, system);
    EXPECT_NE(text.find("#64. Adapter 64 (10.0.0.64)\r\n"), std::string::npos);
    EXPECT_EQ(text.find("#65."), std::string::npos);

    network.set_adapter_list_error(111);
    EXPECT_EQ(ReadAdapterInventory(network, inventory), 111);
    EXPECT_TRUE(inventory.entries.empty());
    EXPECT_EQ(BuildSystemInfo(network, system),
              "Windows 7 , Professional, x64, Service Pack 1\r\n");
}

}  // namespace
}  // namespace korvane::test
