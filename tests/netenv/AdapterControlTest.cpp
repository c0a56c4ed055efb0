#include <gtest/gtest.h>

#include "SimMachine.h"
#include "netenv/TapHardwareAddress.h"

namespace korvane::test {
namespace {

constexpr std::uint32_t kSecondTap = 14;
constexpr char kSecondTapGuid[] = "{7A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9}";

void AddSecondTap(SimMachine& m) {
    AdapterRecord tap;
    tap.index = kSecondTap;
    tap.description = std::string(kTapDescription) + " #2";
    tap.hardware_address = {0x00, 0xff, 0x99, 0x88, 0x77, 0x66};
    tap.guid = kSecondTapGuid;
    m.network.AddAdapter(tap);
}

const std::string& TapGuid(SimMachine& m) {
    return m.network.FindAdapter(kTap)->record.guid;
}

TEST(Adapters, ASecondTapWithSuffixIsCountedButOnlyTheExactNameIsSwitched) {
    SimMachine m;
    AddSecondTap(m);
    EXPECT_EQ(m.mgmt.FindAdapterIndex(kTapDescription), kTap);
    EXPECT_EQ(m.mgmt.CountAdaptersByDescription(kTapDescription), 2);
    EXPECT_EQ(m.mgmt.FindAdapterIndex("#2"), kSecondTap);

    EXPECT_EQ(m.mgmt.SetConnectionEnabled(kTapDescription, false), kConnectionOk);
    EXPECT_EQ(m.network.connection_switches(),
              std::vector<std::string>{TapGuid(m) + " disconnect"});
    EXPECT_FALSE(m.network.FindAdapter(kTap)->connected);
    EXPECT_TRUE(m.network.FindAdapter(kSecondTap)->connected);
}

TEST(Adapters, UnreadableListAndNoMatch) {
    SimMachine m;
    EXPECT_EQ(m.mgmt.FindAdapterIndex("Morvask PCI Fast Controller"), 0);
    EXPECT_EQ(m.mgmt.CountAdaptersByDescription("Morvask PCI Fast Controller"), 0);
    EXPECT_EQ(m.mgmt.SetConnectionEnabled("Morvask PCI Fast Controller", true),
              kConnectionNotFound);
    // A substring is not the device name.
    EXPECT_EQ(m.mgmt.SetConnectionEnabled("TAP-Windows", true), kConnectionNotFound);

    m.network.set_adapter_list_error(232);
    EXPECT_EQ(m.mgmt.FindAdapterIndex(kTapDescription), -1);
    EXPECT_EQ(m.mgmt.CountAdaptersByDescription(kTapDescription), -1);
    EXPECT_EQ(m.mgmt.GetAdapterMac(kTap), "");
    EXPECT_EQ(m.mgmt.GetAdapterGuid(kTap), "");

    m.network.set_connection_list_error(kConnectionFailed);
    EXPECT_EQ(m.mgmt.SetConnectionEnabled(kTapDescription, true), kConnectionFailed);
    EXPECT_EQ(m.mgmt.RestartConnection(TapGuid(m), true), 0);
    EXPECT_TRUE(m.network.connection_switches().empty());
}

TEST(Adapters, MacIsTwelveUpperCaseDigitsAndGuidComesFromTheAdapter) {
    SimMachine m;
    EXPECT_EQ(m.mgmt.GetAdapterMac(kPhysical), "001A2B3C4DEF");
    EXPECT_EQ(m.mgmt.GetAdapterMac(99), "");
    EXPECT_EQ(m.mgmt.GetAdapterMac(-1), "");
    EXPECT_EQ(m.mgmt.GetAdapterGuid(kTap), "{0E2F8C41-7D5A-4B3C-9E1F-2A3B4C5D6E7F}");
    EXPECT_EQ(m.mgmt.GetAdapterGuid(99), "");
}

TEST(TapHardwareAddress, SetsTheAddressAndRestartsTheConnection) {
    SimMachine m;
    EXPECT_EQ(ApplyTapHardwareAddress(m.mgmt, kTapDescription, "00FF0A0B0C0D"), 1);
    EXPECT_EQ(m.mgmt.GetAdapterMac(kTap), "00FF0A0B0C0D");
    EXPECT_EQ(m.network.connection_switches(),
              (std::vector<std::string>{TapGuid(m) + " disconnect", TapGuid(m) + " connect"}));
    EXPECT_TRUE(m.network.FindAdapter(kTap)->connected);
}

TEST(TapHardwareAddress, AnEmptyAddressOrNoAdapterLeavesEverythingAlone) {
    SimMachine m;
    EXPECT_EQ(ApplyTapHardwareAddress(m.mgmt, kTapDescription, ""), -1);
    EXPECT_EQ(ApplyTapHardwareAddress(m.mgmt, "Morvask PCI Fast Controller", "00FF0A0B0C0D"), -1);
    EXPECT_TRUE(m.network.connection_switches().empty());
    EXPECT_FALSE(m.network.FindAdapter(kTap)->address_override.has_value());
    EXPECT_EQ(m.mgmt.GetAdapterMac(kTap), "00FF11223344");
}

TEST(TapHardwareAddress, AFailedDisconnectMeansNoConnect) {
    SimMachine m;
    m.network.ScriptConnectionResults(TapGuid(m), {kConnectionFailed});
    EXPECT_EQ(ApplyTapHardwareAddress(m.mgmt, kTapDescription, "00FF0A0B0C0D"), 0);
    EXPECT_EQ(m.network.connection_switches(),
              std::vector<std::string>{TapGuid(m) + " disconnect"});
    EXPECT_EQ(m.mgmt.GetAdapterMac(kTap), "00FF11223344");
}

TEST(RestartConnection, RetriesARetryAnswerUpToThreeAttempts) {
    struct Case {
        std::deque<std::int32_t> answers;
        int expected;
        std::size_t attempts;
    };
    const Case cases[] = {
        {{}, 1, 1},
        {{kConnectionRetry, kConnectionRetry}, 1, 3},
        {{kConnectionRetry, kConnectionRetry, kConnectionRetry}, 0, 3},
        {{kConnectionFailed}, 0, 1},
        {{kConnectionRetry, kConnectionFailed}, 0, 2},
    };
    for (const Case& c : cases) {
        SimMachine m;
        m.network.ScriptConnectionResults(TapGuid(m), c.answers);
        // GUID texts compare without regard to case.
        std::string guid = TapGuid(m);
        for (char& ch : guid) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        EXPECT_EQ(m.mgmt.RestartConnection(guid, false), c.expected) << c.answers.size();
        EXPECT_EQ(m.network.connection_switches().size(), c.attempts) << c.answers.size();
    }
    SimMachine m;
    EXPECT_EQ(m.mgmt.RestartConnection("{00000000-0000-0000-0000-000000000000}", true), 0);
    EXPECT_TRUE(m.network.connection_switches().empty());
}

TEST(TapHardwareAddress, NoAddressRemovesTheOverride) {
    SimMachine m;
    EXPECT_EQ(m.mgmt.SetTapMacAddress(std::string("00FF0A0B0C0D"), TapGuid(m)), 1);
    EXPECT_TRUE(m.network.FindAdapter(kTap)->address_override.has_value());
    EXPECT_EQ(m.mgmt.SetTapMacAddress(std::nullopt, TapGuid(m)), 1);
    EXPECT_FALSE(m.network.FindAdapter(kTap)->address_override.has_value());
    EXPECT_EQ(m.mgmt.SetTapMacAddress(std::string("00FF0A0B0C0D"), "{unknown}"), 1);
}

TEST(UnbindTapProtocols, TheSystemChoosesTheSwitchList) {
    const std::string d = "\"TAP-Windows Adapter V9\"";
    const std::vector<std::string> current{
        "mgmt_2.exe /d " + d + " ms_msclient", "mgmt_2.exe /d " + d + " ms_server",
        "mgmt_2.exe /d " + d + " ms_lltdio",   "mgmt_2.exe /d " + d + " ms_rspndr",
        "mgmt_2.exe /d " + d + " ms_tcpip6",   "mgmt_2.exe /d " + d + " ms_tcpip6_tunnel"};
    const std::vector<std::string> older{"mgmt_1.exe /d " + d + " ms_msclient",
                                         "mgmt_1.exe /d " + d + " ms_server"};
    struct Case {
        std::uint32_t platform;
        std::uint32_t major;
        const std::vector<std::string>* expected;
    };
    const Case cases[] = {{kPlatformNt, 6, &current},
                          {kPlatformNt, 10, &current},
                          {kPlatformNt, 5, &older},
                          {kPlatformWindows, 6, &older},
                          {kPlatformLinux, 6, &current}};
    for (const Case& c : cases) {
        SimMachine m;
        m.system.version->platform_id = c.platform;
        m.system.version->major = c.major;
        EXPECT_EQ(m.mgmt.UnbindTapProtocols(kTapDescription), 1);
        EXPECT_EQ(m.network.binding_commands(), *c.expected) << c.platform << " " << c.major;
        EXPECT_EQ(m.network.FindAdapter(kTap)->unbound_components.size(), c.expected->size());
    }
}

TEST(UnbindTapProtocols, AProgramThatCannotStartEndsWithMinusOne) {
    SimMachine m;
    m.network.MarkProgramMissing("mgmt_2.exe");
    EXPECT_EQ(m.mgmt.UnbindTapProtocols(kTapDescription), -1);
    EXPECT_TRUE(m.network.binding_commands().empty());
}

TEST(FirewallExceptions, EachCommandRunsWaitedThenOnceMoreWithoutWaiting) {
    SimMachine m;
    EXPECT_EQ(m.mgmt.AddFirewallExceptions("C:/Program Files"), 1);
    const std::string first =
        "netsh firewall add allowedprogram \"C:/Program Files\\Korvane\\dovaop.exe\" dovaop ENABLE";
    const std::string second =
        "netsh firewall add allowedprogram \"C:/Program Files\\Korvane\\Korvane.exe\" Nodrel "
        "ENABLE";
    const auto& runs = m.commands.runs();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].command_line, first);
    EXPECT_TRUE(runs[0].waited);
    EXPECT_EQ(runs[1].command_line, first);
    EXPECT_FALSE(runs[1].waited);
    EXPECT_EQ(runs[2].command_line, second);
    EXPECT_TRUE(runs[2].waited);
    EXPECT_EQ(runs[3].command_line, second);
    EXPECT_FALSE(runs[3].waited);

    SimMachine without;
    without.commands.MarkProgramMissing("netsh");
    EXPECT_EQ(without.mgmt.AddFirewallExceptions("C:/Program Files"), 1);
    EXPECT_TRUE(without.commands.runs().empty());
}

}  // namespace
}  // namespace korvane::test
