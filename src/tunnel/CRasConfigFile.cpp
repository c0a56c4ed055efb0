#include "tunnel/CRasConfigFile.h"

#include <cstdio>

namespace korvane {

namespace {

struct KeyDefault {
    std::string_view key;
    std::string_view value;
};

// "WAN " 미니 "?" 0xAC 트 "(L2TP)": not valid text in any one code page, so it
// is kept and written as these bytes.
constexpr std::string_view kDeviceText =
    "\x57\x41\x4E\x20\xEB\xAF\xB8\xEB\x8B\x88\x3F\xAC\xED\x8A\xB8\x28\x4C\x32\x54\x50\x29";

constexpr KeyDefault kKeys[CRasConfigFile::kKeyCount] = {
    {"Encoding", "1"},
    {"Type", "2"},
    {"AutoLogon", "0"},
    {"UseRasCredentials", "1"},
    {"LowDateTime", "-1698248304"},
    {"HighDateTime", "29959223"},
    {"DialParamsUID", "1823105"},
    {"Guid", "9563B72D1271634A944F4A2EC1047929"},
    {"BaseProtocol", "1"},
    {"VpnStrategy", "2"},
    {"ExcludedProtocols", "2"},
    {"LcpExtensions", "1"},
    {"DataEncryption", "8"},
    {"SwCompression", "0"},
    {"NegotiateMultilinkAlways", "0"},
    {"SkipNwcWarning", "0"},
    {"SkipDownLevelDialog", "0"},
    {"SkipDoubleDialDialog", "0"},
    {"DialMode", "0"},
    {"OverridePref", "15"},
    {"RedialAttempts", "3"},
    {"RedialSeconds", "60"},
    {"IdleDisconnectSeconds", "0"},
    {"RedialOnLinkFailure", "0"},
    {"CallbackMode", "0"},
    {"CustomDialDll", ""},
    {"CustomDialFunc", ""},
    {"CustomRasDialDll", ""},
    {"ForceSecureCompartment", "0"},
    {"DisableIKENameEkuCheck", "0"},
    {"AuthenticateServer", "0"},
    {"ShareMsFilePrint", "1"},
    {"BindMsNetClient", "1"},
    {"SharedPhoneNumbers", "0"},
    {"GlobalDeviceSettings", "0"},
    {"PrerequisiteEntry", ""},
    {"PrerequisitePbk", ""},
    {"PreferredPort", "VPN0-0"},
    {"PreferredDevice", kDeviceText},
    {"PreferredBps", "0"},
    {"PreferredHwFlow", "1"},
    {"PreferredProtocol", "1"},
    {"PreferredCompression", "1"},
    {"PreferredSpeaker", "1"},
    {"PreferredMdmProtocol", "0"},
    {"PreviewUserPw", "1"},
    {"PreviewDomain", "1"},
    {"PreviewPhoneNumber", "0"},
    {"ShowDialingProgress", "1"},
    {"ShowMonitorIconInTaskBar", "1"},
    {"CustomAuthKey", "-1"},
    {"AuthRestrictions", "544"},
    {"TypicalAuth", "2"},
    {"IpPrioritizeRemote", "0"},
    {"IpInterfaceMetric", "0"},
    {"fCachedDnsSuffix", "0"},
    {"IpHeaderCompression", "0"},
    {"IpAddress", "0.0.0.0"},
    {"IpWinsAddress", "0.0.0.0"},
    {"IpWins2Address", "0.0.0.0"},
    {"IpDnsAddress", "168.126.63.1"},
    {"IpDns2Address", "168.126.63.2"},
    {"IpAssign", "1"},
    {"IpNameAssign", "2"},
    {"IpDnsFlags", "0"},
    {"IpNBTFlags", "1"},
    {"TcpWindowSize", "0"},
    {"UseFlags", "0"},
    {"IpSecFlags", "0"},
    {"IpDnsSuffix", ""},
    {"IpCachedDnsSuffix", ""},
    {"Ipv6PrioritizeRemote", "1"},
    {"Ipv6InterfaceMetric", "0"},
    {"Ipv6NameAssign", "1"},
    {"Ipv6DnsAddress", "::"},
    {"Ipv6Dns2Address", "::"},
    {"Ipv6InterfaceId", "0000000000000000"},
    {"NETCOMPONENTS", ""},
    {"ms_msclient", "1"},
    {"ms_server", "1"},
    {"ms_pacer", "1"},
    {"symc_symim", "1"},
    {"MEDIA", "rastapi"},
    {"Port", "VPN0-0"},
    {"Device", kDeviceText},
    {"DEVICE1", "vpn"},
    {"PhoneNumber", ""},
    {"AreaCode", ""},
    {"CountryCode", "1"},
    {"CountryID", "1"},
    {"UseDialingRules", "0"},
    {"Comment", ""},
    {"LastSelectedPhone", "0"},
    {"PromoteAlternates", "0"},
    {"TryNextAlternateOnFail", "1"},
};

constexpr std::size_t kNotFound = CRasConfigFile::kKeyCount;

// Keys are looked up exactly: the table is the only place they are spelt.
std::size_t IndexOf(std::string_view key) {
    for (std::size_t i = 0; i < CRasConfigFile::kKeyCount; ++i) {
        if (kKeys[i].key == key) {
            return i;
        }
    }
    return kNotFound;
}

std::string Decimal(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

}  // namespace

CRasConfigFile::CRasConfigFile() {
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        values_[i] = std::string(kKeys[i].value);
    }
}

std::string_view CRasConfigFile::KeyAt(std::size_t index) {
    return index < kKeyCount ? kKeys[index].key : std::string_view{};
}

std::string CRasConfigFile::Value(std::string_view key) const {
    const std::size_t index = IndexOf(key);
    return index == kNotFound ? std::string{} : values_[index];
}

int CRasConfigFile::Prepare(int strategy, int prioritize_remote, const std::string& path) {
    values_[IndexOf("VpnStrategy")] = Decimal(strategy);
    values_[IndexOf("IpPrioritizeRemote")] = Decimal(prioritize_remote);
    if (path.empty()) {
        return 0;
    }
    path_ = path;
    // Emptied first, so a second write leaves one set of keys and no leftovers.
    return CIniMgmt(path_).Clear() == 1 ? 1 : 0;
}

void CRasConfigFile::WriteEntry() {
    ini_.SetPath(path_);
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        static_cast<void>(ini_.WriteString(kEntryName, kKeys[i].key, values_[i]));
    }
}

}  // namespace korvane
