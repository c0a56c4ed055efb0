#pragma once

#include <string>

namespace korvane {

class CNetworkMgmt;
class COpenVpnMgmt;
class CRegCtrl;
class Environment;
class MessageBoxPort;
class ProcessPort;
class SystemQueries;
struct AccountInfo;
struct SessionContext;

// What the TAP drivers call their adapters: the 64-bit package's under
// WOW64, the 32-bit package's otherwise.
inline constexpr char kTapDescription32[] = "Morvask PCI Fast Controller";
inline constexpr char kTapDescription64[] = "TAP-Windows Adapter V9";

// The tunnel's environment: folders and file names, the TAP adapter's
// description, the tunnel kind from the settings and the session defaults;
// the check for one usable TAP adapter and the driver installation.
class TapEnvironment {
  public:
    static constexpr const char* kInstallCaption = "설치오류";
    static constexpr const char* kInstallNotice =
        "CODE-017 : 지금부터 네트워크 드라이버를 설치합니다. \n\n잠시만 기다려 주세요.";

    TapEnvironment(SessionContext& session, AccountInfo& account, Environment& environment,
                   SystemQueries& system, const CRegCtrl& settings, CNetworkMgmt& network,
                   ProcessPort& processes, COpenVpnMgmt& openvpn, MessageBoxPort& boxes);

    // Once, at the main window's initialisation, before any login.
    void PrepareTunnelEnvironment();
    // After a connect-login of an OpenVPN account: exactly one adapter of
    // the TAP description, or the driver is installed. Returns 0.
    int CheckTapAdapter();
    // Removes and installs the driver package, waiting for each. Returns 1.
    int InstallTapDriver();

  private:
    // The program folder made the current directory and read back.
    std::string EnterProgramFolder();

    SessionContext& session_;
    AccountInfo& account_;
    Environment& environment_;
    SystemQueries& system_;
    const CRegCtrl& settings_;
    CNetworkMgmt& network_;
    ProcessPort& processes_;
    COpenVpnMgmt& openvpn_;
    MessageBoxPort& boxes_;
};

// The two installer command lines for a program folder, "\" turned to "/".
struct TapInstallCommands {
    std::string remove;
    std::string install;
};
TapInstallCommands BuildTapInstallCommands(const std::string& folder, bool wow64);

}  // namespace korvane
