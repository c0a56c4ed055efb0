#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../settings/TempFolder.h"
#include "tunnel/CRasConfigFile.h"

namespace korvane {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

// "WAN " 미니 "?" 0xAC 트 "(L2TP)" as bytes.
const std::string kDevice =
    "\x57\x41\x4E\x20\xEB\xAF\xB8\xEB\x8B\x88\x3F\xAC\xED\x8A\xB8\x28\x4C\x32\x54\x50\x29";

// A PPTP entry without the remote default gateway, line by line.
std::vector<std::string> PptpLines() {
    return {"Encoding=1",
            "Type=2",
            "AutoLogon=0",
            "UseRasCredentials=1",
            "LowDateTime=-1698248304",
            "HighDateTime=29959223",
            "DialParamsUID=1823105",
            "Guid=9563B72D1271634A944F4A2EC1047929",
            "BaseProtocol=1",
            "VpnStrategy=1",
            "ExcludedProtocols=2",
            "LcpExtensions=1",
            "DataEncryption=8",
            "SwCompression=0",
            "NegotiateMultilinkAlways=0",
            "SkipNwcWarning=0",
            "SkipDownLevelDialog=0",
            "SkipDoubleDialDialog=0",
            "DialMode=0",
            "OverridePref=15",
            "RedialAttempts=3",
            "RedialSeconds=60",
            "IdleDisconnectSeconds=0",
            "RedialOnLinkFailure=0",
            "CallbackMode=0",
            "CustomDialDll=",
            "CustomDialFunc=",
            "CustomRasDialDll=",
            "ForceSecureCompartment=0",
            "DisableIKENameEkuCheck=0",
            "AuthenticateServer=0",
            "ShareMsFilePrint=1",
            "BindMsNetClient=1",
            "SharedPhoneNumbers=0",
            "GlobalDeviceSettings=0",
            "PrerequisiteEntry=",
            "PrerequisitePbk=",
            "PreferredPort=VPN0-0",
            std::string("PreferredDevice=") + kDevice,
            "PreferredBps=0",
            "PreferredHwFlow=1",
            "PreferredProtocol=1",
            "PreferredCompression=1",
            "PreferredSpeaker=1",
            "PreferredMdmProtocol=0",
            "PreviewUserPw=1",
            "PreviewDomain=1",
            "PreviewPhoneNumber=0",
            "ShowDialingProgress=1",
            "ShowMonitorIconInTaskBar=1",
            "CustomAuthKey=-1",
            "AuthRestrictions=544",
            "TypicalAuth=2",
            "IpPrioritizeRemote=0",
            "IpInterfaceMetric=0",
            "fCachedDnsSuffix=0",
            "IpHeaderCompression=0",
            "IpAddress=0.0.0.0",
            "IpWinsAddress=0.0.0.0",
            "IpWins2Address=0.0.0.0",
            "IpDnsAddress=168.126.63.1",
            "IpDns2Address=168.126.63.2",
            "IpAssign=1",
            "IpNameAssign=2",
            "IpDnsFlags=0",
            "IpNBTFlags=1",
            "TcpWindowSize=0",
            "UseFlags=0",
            "IpSecFlags=0",
            "IpDnsSuffix=",
            "IpCachedDnsSuffix=",
            "Ipv6PrioritizeRemote=1",
            "Ipv6InterfaceMetric=0",
            "Ipv6NameAssign=1",
            "Ipv6DnsAddress=::",
            "Ipv6Dns2Address=::",
            "Ipv6InterfaceId=0000000000000000",
            "NETCOMPONENTS=",
            "ms_msclient=1",
            "ms_server=1",
            "ms_pacer=1",
            "symc_symim=1",
            "MEDIA=rastapi",
            "Port=VPN0-0",
            std::string("Device=") + kDevice,
            "DEVICE1=vpn",
            "PhoneNumber=",
            "AreaCode=",
            "CountryCode=1",
            "CountryID=1",
            "UseDialingRules=0",
            "Comment=",
            "LastSelectedPhone=0",
            "PromoteAlternates=0",
            "TryNextAlternateOnFail=1"};
}

std::string FileText(const std::vector<std::string>& lines) {
    std::string text = "[Dova_Conn]\r\n";
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::vector<std::string> KeyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() != '[') {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class CRasConfigFileTest : public ::testing::Test {
  protected:
    std::string Write(int strategy, int prioritize_remote) {
        EXPECT_EQ(file_.Prepare(strategy, prioritize_remote, path_), 1);
        file_.WriteEntry();
        return ReadBytes(path_);
    }

    TempFolder folder_;
    std::string path_ = folder_ / "tesken.ini";
    CRasConfigFile file_;
};

TEST_F(CRasConfigFileTest, WritesTheOneEntryWithEveryKeyInOrder) {
    EXPECT_EQ(Write(1, 0), FileText(PptpLines()));
}

TEST_F(CRasConfigFileTest, OnlyStrategyAndRemoteGatewayFollowTheAccount) {
    const struct {
        int strategy;
        int prioritize_remote;
    } cases[] = {{1, 0}, {1, 1}, {3, 0}, {3, 1}};
    for (const auto& c : cases) {
        std::vector<std::string> expected = PptpLines();
        std::replace(expected.begin(), expected.end(), std::string("VpnStrategy=1"),
                     "VpnStrategy=" + std::to_string(c.strategy));
        std::replace(expected.begin(), expected.end(), std::string("IpPrioritizeRemote=0"),
                     "IpPrioritizeRemote=" + std::to_string(c.prioritize_remote));
        EXPECT_EQ(Write(c.strategy, c.prioritize_remote), FileText(expected))
            << c.strategy << " " << c.prioritize_remote;
    }
}

TEST_F(CRasConfigFileTest, WritingAgainLeavesOneSetOfKeys) {
    WriteBytes(path_, "[Other]\r\nleft=over\r\n[Dova_Conn]\r\nStale=1\r\n");
    Write(1, 1);
    const std::string twice = Write(3, 1);
    const std::vector<std::string> lines = KeyLines(twice);
    EXPECT_EQ(lines.size(), CRasConfigFile::kKeyCount);
    EXPECT_EQ(twice.find("[Other]"), std::string::npos);
    EXPECT_EQ(twice.find("Stale"), std::string::npos);
    EXPECT_EQ(std::count(twice.begin(), twice.end(), '['), 1);
}

TEST_F(CRasConfigFileTest, DeviceKeysStayDistinctAndKeepTheirBytes) {
    const std::vector<std::string> lines = KeyLines(Write(1, 0));
    std::set<std::string> keys;
    for (const std::string& line : lines) {
        keys.insert(Lower(line.substr(0, line.find('='))));
    }
    EXPECT_EQ(keys.size(), CRasConfigFile::kKeyCount) << "a key name repeats, ignoring case";
    for (const std::string& expected :
         {"Device=" + kDevice, "PreferredDevice=" + kDevice, std::string("DEVICE1=vpn")}) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), expected), 1) << expected;
    }
}

TEST_F(CRasConfigFileTest, PathWithSpacesIsKeptAsItIs) {
    std::filesystem::create_directory(folder_ / "Program Files");
    path_ = folder_ / "Program Files/tesken.ini";
    EXPECT_EQ(Write(1, 0), FileText(PptpLines()));
    EXPECT_EQ(file_.path(), path_);
}

TEST_F(CRasConfigFileTest, PrepareWithoutAPathOnlySetsTheTwoValues) {
    EXPECT_EQ(file_.VpnStrategy(), "2");
    EXPECT_EQ(file_.IpPrioritizeRemote(), "0");
    EXPECT_EQ(file_.Prepare(1, 0, path_), 1);
    EXPECT_EQ(file_.Prepare(3, 1, ""), 0);
    EXPECT_EQ(file_.VpnStrategy(), "3");
    EXPECT_EQ(file_.IpPrioritizeRemote(), "1");
    EXPECT_EQ(file_.path(), path_) << "the remembered path stays";
}

TEST_F(CRasConfigFileTest, FileThatCannotBeCreatedGivesZero) {
    EXPECT_EQ(file_.Prepare(1, 0, folder_ / "missing/tesken.ini"), 0);
    file_.WriteEntry();
    EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

TEST(CRasConfigFileKeys, ValuesAreReadBackByKey) {
    const CRasConfigFile file;
    EXPECT_EQ(CRasConfigFile::KeyAt(0), "Encoding");
    EXPECT_EQ(CRasConfigFile::KeyAt(94), "TryNextAlternateOnFail");
    EXPECT_EQ(CRasConfigFile::KeyAt(95), "");
    EXPECT_EQ(file.Value("Device"), kDevice);
    EXPECT_EQ(file.Value("IpDnsAddress"), "168.126.63.1");
    EXPECT_EQ(file.Value("device"), "") << "the accessor spells keys exactly";
}

}  // namespace
}  // namespace korvane
