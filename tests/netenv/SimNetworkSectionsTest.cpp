#include <gtest/gtest.h>

#include "SimMachine.h"
#include "netenv/RemoteControlPeer.h"
#include "netenv/SystemInfo.h"
#include "platform/sim/SimNetworkSections.h"

namespace korvane::test {
namespace {

struct Section {
    const char* section;
    const char* name;
    SectionEntries entries;
};

TEST(MachineSections, DescribeAMachineThePlansRunOn) {
    const Section sections[] = {
        {"adapter",
         "eth0",
         {{"index", "7"},
          {"description", "Realtek PCIe GBE Family Controller"},
          {"mac", "00:1a:2b:3c:4d:5e"},
          {"address", "192.168.0.10/255.255.255.0"},
          {"gateway", "192.168.0.1"}}},
        {"adapter",
         "tap",
         {{"index", "12"},
          {"description", "TAP-Windows Adapter V9"},
          {"mac", "00FF11223344"},
          {"guid", "{0E2F8C41-7D5A-4B3C-9E1F-2A3B4C5D6E7F}"},
          {"connected", "0"}}},
        {"route",
         "",
         {{"destination", "0.0.0.0"},
          {"mask", "0.0.0.0"},
          {"next_hop", "192.168.0.1"},
          {"interface", "7"},
          {"metric", "25"}}},
        {"tcp",
         "",
         {{"state", "5"}, {"local", "192.168.0.10:50123"}, {"remote", "198.51.100.77:5938"}}},
        {"os",
         "",
         {{"major", "5"},
          {"minor", "1"},
          {"suite_mask", "0x200"},
          {"processor", "0"},
          {"service_pack", "Service Pack 2"},
          {"browser", "6.0.2900.2180"}}},
        {"host", "auth.korvane.net", {{"address", "203.0.113.5"}}},
    };
    SimNetwork network;
    SimSystemQueries system;
    for (const Section& s : sections) {
        std::string error;
        ASSERT_TRUE(ApplyMachineSection(network, system, s.section, s.name, s.entries, error))
            << s.section << ": " << error;
    }
    SimCommandRunner commands;
    CNetworkMgmt mgmt(network, system, commands);
    std::string gateway;
    EXPECT_EQ(mgmt.GetBestInterface(gateway), 7);
    EXPECT_EQ(gateway, "192.168.0.1");
    EXPECT_EQ(mgmt.GetAdapterMac(7), "001A2B3C4D5E");
    EXPECT_EQ(mgmt.GetAdapterGuid(12), "{0E2F8C41-7D5A-4B3C-9E1F-2A3B4C5D6E7F}");
    EXPECT_EQ(mgmt.GetAdapterGuid(7), "{00000000-0000-0000-0000-000000000007}");
    EXPECT_FALSE(network.FindAdapter(12)->connected);
    EXPECT_EQ(mgmt.ResolveAuthHost(), "203.0.113.5");
    RemoteControlPeer peer;
    EXPECT_EQ(FindRemoteControlPeer(network, peer), 1);
    EXPECT_EQ(peer.address, "198.51.100.77");
    EXPECT_EQ(BuildSystemInfo(network, system),
              "Windows XP , Home Edition, x86, Service Pack 2\r\n"
              "Explorer Version ==>> 6.0.2900.2180\r\n"
              "#1. Realtek PCIe GBE Family Controller (192.168.0.10)\r\n"
              "#2. TAP-Windows Adapter V9 (0.0.0.0)\r\n");
}

TEST(MachineSections, TheOsSectionCanTakeQueriesAway) {
    SimNetwork network;
    SimSystemQueries system;
    std::string error;
    ASSERT_TRUE(ApplyMachineSection(network, system, "os", "",
                                    {{"product_info", "none"}, {"wow64", "0"}}, error));
    EXPECT_FALSE(system.product_info.has_value());
    EXPECT_FALSE(system.wow64);
    ASSERT_TRUE(ApplyMachineSection(network, system, "os", "", {{"readable", "0"}}, error));
    EXPECT_FALSE(system.version.has_value());
}

TEST(MachineSections, MistakesAreReportedByKeyAndAddNothing) {
    const struct {
        Section section;
        const char* message;
    } cases[] = {
        {{"adapter", "x", {{"description", "no index"}}}, "[adapter] index: missing"},
        {{"adapter", "x", {{"index", "7"}, {"colour", "blue"}}}, "[adapter] colour: unknown key"},
        {{"adapter", "x", {{"index", "7x"}}}, "[adapter] index: not a number: 7x"},
        {{"adapter", "x", {{"index", "3"}, {"mac", "00:11:22"}}},
         "[adapter] mac: not a hardware address: 00:11:22"},
        {{"adapter", "x", {{"index", "3"}, {"address", "10.0.0.1"}}},
         "[adapter] address: expected address/mask: 10.0.0.1"},
        {{"adapter", "x", {{"index", "3"}, {"connected", "yes"}}},
         "[adapter] connected: expected 0 or 1: yes"},
        {{"route",
          "",
          {{"destination", "10.0.0.256"},
           {"mask", "255.0.0.0"},
           {"interface", "7"},
           {"metric", "1"}}},
         "[route] destination: not a dotted address: 10.0.0.256"},
        {{"route", "", {{"destination", "10.0.0.0"}, {"mask", "255.0.0.0"}, {"interface", "7"}}},
         "[route] metric: missing"},
        {{"tcp", "", {{"state", "5"}, {"local", "1.2.3.4:99999"}, {"remote", "1.2.3.4:1"}}},
         "[tcp] local: not a number: 99999"},
        {{"os", "", {{"suite_mask", "0x10000"}}}, "[os] suite_mask: not a number: 0x10000"},
        {{"host", "", {{"address", "1.2.3.4"}}}, "[host] name: a host section needs a name"},
        {{"printer", "", {}}, "unknown section [printer]"},
    };
    for (const auto& c : cases) {
        SimNetwork network;
        SimSystemQueries system;
        const OsVersionRecord before = *system.version;
        std::string error;
        EXPECT_FALSE(ApplyMachineSection(network, system, c.section.section, c.section.name,
                                         c.section.entries, error));
        EXPECT_EQ(error, c.message);
        EXPECT_TRUE(network.adapters().empty() && network.routes().empty()) << c.message;
        EXPECT_EQ(system.version->suite_mask, before.suite_mask);
    }
}

TEST(MachineSections, AnAdapterIndexCanOnlyBeUsedOnce) {
    SimNetwork network;
    SimSystemQueries system;
    std::string error;
    ASSERT_TRUE(ApplyMachineSection(network, system, "adapter", "a", {{"index", "3"}}, error));
    EXPECT_FALSE(ApplyMachineSection(network, system, "adapter", "b", {{"index", "3"}}, error));
    EXPECT_EQ(error, "[adapter] index: adapter 3 exists already");
    EXPECT_EQ(network.adapters().size(), 1u);
}

}  // namespace
}  // namespace korvane::test
