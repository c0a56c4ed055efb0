// The Linux backends as far as they run without privileges: parsers, the
// command runner, and read-only queries of this machine.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "SimMachine.h"
#include "netenv/SystemInfo.h"
#include "platform/linux/LinuxCommandRunner.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/NetlinkNetwork.h"
#include "platform/linux/ProcNetTcp.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;

TEST(ProcNetTcp, DecodesAddressesPortsAndStatesAndSortsTheRows) {
    const char* text =
        "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
        "timeout inode\n"
        "   0: 0A00A8C0:C35B 4D6433C6:1732 01 00000000:00000000 00:00000000 00000000     0  "
        "      0 1 1 0000000000000000 20 4 30 10 -1\n"
        "   1: 00000000:1732 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0  "
        "      0 2 1 0000000000000000 100 0 0 10 0\n"
        "   2: 0100007F:0050 0100007F:D431 06 00000000:00000000 03:00000DFA 00000000     0  "
        "      0 0 3 0000000000000000\n"
        "   3: garbage\n"
        "   4: 0A00A8C0:C35C 4E6433C6:1732 0C 00000000:00000000 00:00000000 00000000     0\n";
    std::vector<TcpRow> rows;
    ASSERT_TRUE(ParseProcNetTcp(text, rows));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].local_address, 0u);
    EXPECT_EQ(rows[0].local_port, 5938);
    EXPECT_EQ(rows[0].state, kTcpListen);
    EXPECT_EQ(rows[1].local_address, Addr("127.0.0.1"));
    EXPECT_EQ(rows[1].remote_port, 54321);
    EXPECT_EQ(rows[1].state, kTcpTimeWait);
    EXPECT_EQ(rows[2].local_address, Addr("192.168.0.10"));
    EXPECT_EQ(rows[2].local_port, 50011);
    EXPECT_EQ(rows[2].remote_address, Addr("198.51.100.77"));
    EXPECT_EQ(rows[2].remote_port, 5938);
    EXPECT_EQ(rows[2].state, kTcpEstablished);

    EXPECT_FALSE(ParseProcNetTcp("", rows));
    EXPECT_FALSE(ParseProcNetTcp("not the table\n", rows));
}

TEST(ProcNetTcp, EveryKernelStateHasItsCounterpart) {
    const std::pair<const char*, std::uint32_t> states[] = {
        {"01", kTcpEstablished}, {"02", kTcpSynSent},   {"03", kTcpSynReceived},
        {"04", kTcpFinWait1},    {"05", kTcpFinWait2},  {"06", kTcpTimeWait},
        {"07", kTcpClosed},      {"08", kTcpCloseWait}, {"09", kTcpLastAck},
        {"0A", kTcpListen},      {"0B", kTcpClosing},
    };
    for (const auto& [hex, state] : states) {
        const std::string text = std::string("sl local_address rem_address st\n0: 0100007F:0001 ") +
                                 "0100007F:0002 " + hex + "\n";
        std::vector<TcpRow> rows;
        ASSERT_TRUE(ParseProcNetTcp(text, rows));
        ASSERT_EQ(rows.size(), 1u) << hex;
        EXPECT_EQ(rows[0].state, state) << hex;
    }
}

TEST(LinuxSystem, OsReleaseFieldsAndTheDistributionName) {
    const auto fields = ParseOsRelease(
        "# comment\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
        "VERSION_ID=\"12\"\nVERSION='12 (bookworm)'\nID=debian\nBROKEN\n");
    EXPECT_EQ(fields.at("PRETTY_NAME"), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(fields.at("VERSION"), "12 (bookworm)");
    EXPECT_EQ(fields.at("ID"), "debian");
    EXPECT_EQ(fields.count("BROKEN"), 0u);
    EXPECT_EQ(DistributionName(fields), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(DistributionName({{"NAME", "Alpine Linux"}, {"VERSION", "3.19"}}),
              "Alpine Linux 3.19");
    EXPECT_EQ(DistributionName({}), "Linux");
}

TEST(LinuxSystem, MachineNamesToProcessors) {
    const std::pair<const char*, std::uint16_t> machines[] = {
        {"x86_64", kProcessorAmd64},    {"i686", kProcessorIntel}, {"i386", kProcessorIntel},
        {"aarch64", kProcessorArm64},   {"armv7l", kProcessorArm}, {"ia64", kProcessorIa64},
        {"riscv64", kProcessorUnknown},
    };
    for (const auto& [machine, processor] : machines) {
        EXPECT_EQ(ProcessorOfMachine(machine), processor) << machine;
    }
}

TEST(LinuxSystem, ThisMachineDescribesItselfInTheOsLine) {
    LinuxSystemQueries system;
    OsVersionRecord version;
    ASSERT_TRUE(system.ReadVersion(version));
    EXPECT_EQ(version.platform_id, kPlatformLinux);
    EXPECT_FALSE(version.system_name.empty());
    EXPECT_EQ(version.system_release.rfind("Linux ", 0), 0u) << version.system_release;
    EXPECT_GT(version.major, 2u);

    NetlinkNetwork network;
    const std::string info = BuildSystemInfo(network, system);
    const std::string os_line = info.substr(0, info.find("\r\n"));
    EXPECT_EQ(os_line.rfind(version.system_name + ", " + version.system_release + ", ", 0), 0u)
        << os_line;
    EXPECT_EQ(os_line.find(", , "), std::string::npos) << os_line;
}

TEST(NetlinkNetwork, PrefixLengthsAndLinkGuids) {
    EXPECT_EQ(PrefixLength(0), 0);
    EXPECT_EQ(PrefixLength(Addr("255.255.255.255")), 32);
    EXPECT_EQ(PrefixLength(Addr("255.255.255.0")), 24);
    EXPECT_EQ(PrefixLength(Addr("255.128.0.0")), 9);
    EXPECT_EQ(PrefixLength(Addr("255.0.255.0")), -1);
    EXPECT_EQ(PrefixLength(Addr("0.0.0.255")), -1);

    const std::string guid = LinkGuid("tap0");
    EXPECT_EQ(guid, LinkGuid("tap0"));
    EXPECT_NE(guid, LinkGuid("tap1"));
    ASSERT_EQ(guid.size(), 38u);
    EXPECT_EQ(guid.front(), '{');
    EXPECT_EQ(guid.back(), '}');
    for (std::size_t dash : {9u, 14u, 19u, 24u}) {
        EXPECT_EQ(guid[dash], '-') << guid;
    }
    EXPECT_EQ(guid[15], '8') << guid;
}

TEST(NetlinkNetwork, ReadsThisMachineWithoutChangingIt) {
    NetlinkNetwork network;
    std::vector<ForwardRow> routes;
    EXPECT_TRUE(network.ReadForwardTable(routes));
    std::vector<AdapterRecord> adapters;
    EXPECT_EQ(network.ReadAdapters(adapters), 0);
    for (const AdapterRecord& adapter : adapters) {
        EXPECT_NE(adapter.name, "lo");
        EXPECT_EQ(adapter.guid, LinkGuid(adapter.name));
    }
    std::vector<AddressRow> addresses;
    ASSERT_TRUE(network.ReadAddressTable(addresses));
    // Loopback is in the address table though it is no adapter.
    bool loopback = false;
    for (const AddressRow& row : addresses) {
        loopback = loopback || row.address == Addr("127.0.0.1");
    }
    EXPECT_TRUE(loopback);
    std::vector<TcpRow> tcp;
    EXPECT_TRUE(network.ReadTcpTable(tcp));
    Ipv4 address = 0;
    EXPECT_TRUE(network.ResolveHostV4("localhost", address));
    EXPECT_EQ(address, Addr("127.0.0.1"));
}

TEST(CommandLine, SplitsLikeTheClientWritesIt) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine("netsh firewall add allowedprogram \"C:/P F\\Korvane\\dovaop.exe\" "
                               "dovaop ENABLE"),
              (Args{"netsh", "firewall", "add", "allowedprogram", "C:/P F\\Korvane\\dovaop.exe",
                    "dovaop", "ENABLE"}));
    EXPECT_EQ(SplitCommandLine("  a\t\"\"  b\\\"c  "), (Args{"a", "", "b\"c"}));
    EXPECT_EQ(SplitCommandLine("x\"y z\"w"), (Args{"xy zw"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

// A folder with a stand-in netsh that logs its arguments, and PATH set to
// just that folder for the test.
class FakeNetsh : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("korvane-netsh-" + std::to_string(getpid()));
        fs::create_directories(folder_ / "bin");
        fs::create_directories(folder_ / "empty");
        log_ = folder_ / "log";
        const fs::path script = folder_ / "bin" / "netsh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s|' \"$@\" >> '" << log_.string()
                              << "'\necho >> '" << log_.string() << "'\n";
        fs::permissions(script, fs::perms::owner_all);
        const char* path = std::getenv("PATH");
        old_path_ = path != nullptr ? path : "";
    }
    void TearDown() override {
        setenv("PATH", old_path_.c_str(), 1);
        fs::remove_all(folder_);
    }

    std::vector<std::string> LogLines(std::size_t wanted) const {
        std::vector<std::string> lines;
        for (int tries = 0; tries < 100 && lines.size() < wanted; ++tries) {
            lines.clear();
            std::ifstream log(log_);
            for (std::string line; std::getline(log, line);) {
                lines.push_back(line);
            }
            if (lines.size() < wanted) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        return lines;
    }

    fs::path folder_;
    fs::path log_;
    std::string old_path_;
};

TEST_F(FakeNetsh, FirewallCommandsRunWhereNetshExists) {
    setenv("PATH", (folder_ / "bin").c_str(), 1);
    LinuxCommandRunner runner((folder_ / "empty").string());
    SimNetwork network;
    SimSystemQueries system;
    CNetworkMgmt mgmt(network, system, runner);
    EXPECT_EQ(mgmt.AddFirewallExceptions("/opt/korvane"), 1);
    const std::string first =
        "firewall|add|allowedprogram|/opt/korvane\\Korvane\\dovaop.exe|dovaop|"
        "ENABLE|";
    const std::string second =
        "firewall|add|allowedprogram|/opt/korvane\\Korvane\\Korvane.exe|Nodrel|ENABLE|";
    std::vector<std::string> lines = LogLines(4);
    ASSERT_EQ(lines.size(), 4u);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{second, second, first, first}));
}

TEST_F(FakeNetsh, WithoutNetshNothingRuns) {
    setenv("PATH", (folder_ / "empty").c_str(), 1);
    LinuxCommandRunner runner((folder_ / "empty").string());
    EXPECT_EQ(runner.FindProgram("netsh"), "");
    EXPECT_FALSE(runner.RunHiddenAndWait("netsh firewall add allowedprogram x y ENABLE"));
    EXPECT_FALSE(runner.StartHidden("netsh firewall add allowedprogram x y ENABLE"));
    SimNetwork network;
    SimSystemQueries system;
    CNetworkMgmt mgmt(network, system, runner);
    EXPECT_EQ(mgmt.AddFirewallExceptions("/opt/korvane"), 1);
    EXPECT_FALSE(fs::exists(log_));
}

TEST_F(FakeNetsh, TheProgramFolderIsSearchedBeforePath) {
    setenv("PATH", (folder_ / "empty").c_str(), 1);
    LinuxCommandRunner runner((folder_ / "bin").string());
    EXPECT_EQ(runner.FindProgram("netsh"), (folder_ / "bin" / "netsh").string());
    EXPECT_TRUE(runner.RunHiddenAndWait("netsh one \"two three\""));
    EXPECT_EQ(LogLines(1), std::vector<std::string>{"one|two three|"});
}

}  // namespace
}  // namespace korvane::test
