#pragma once

#include <functional>
#include <string>

#include "netenv/RoutePlans.h"
#include "update/Downloader.h"

namespace korvane {

class CKorvaneDlg;
class CNetworkMgmt;
class ConnectProgress;
class MainWindowOperations;
class TunnelSide;
struct AccountInfo;
struct SessionContext;

// What the tunnel procedures call in other work. An empty function stands
// for work that is not there: the login and the dial then fail, the IP
// change is not asked for, the certificate download fails.
struct TunnelSeams {
    // The login procedure's RunLogin: 0 when logged in.
    std::function<int()> run_login;
    // The remote-access dialler's DialRasTunnel: 0 or more once dialling.
    std::function<int()> dial_ras;
    // The IP selection's change request for a service IP code, made when a
    // tunnel comes up with one-click IP change on.
    std::function<void(const std::string& ip_code)> request_ip_change;
    // The certificate download (the update manager's Download).
    DownloadFunction download;
    // Stores adpi and lgy; empty: into the settings key through the tunnel
    // side's settings.
    SettingsWriter write_setting;
};

// One way an OpenVPN attempt or tunnel ends at the monitor.
struct TunnelFailure {
    const char* event;
    const char* message;
    const char* caption;
    bool starts_installer;
};

// The main window's tunnel operations: the IP tabs' connect step, the
// connect procedure, the OpenVPN start and the once-a-second reaction to
// the log. They act on the main window (its fields, panels, tray icon and
// timers); the logout and the tear-down are the session's operations.
class TunnelProcedures {
  public:
    static constexpr const char* kAlreadyConnected = "이미 접속 중입니다.";
    static constexpr const char* kConnectInfoCaption = "접속정보";
    static constexpr const char* kStartError = "OPEN VPN CONNECT ERROR";
    static constexpr const char* kEndDateUnknown = "1970-01-01 23:59:59";
    static constexpr const char* kInstaller = "AdapterInstall.exe";

    static const TunnelFailure kFirewallFailure;
    static const TunnelFailure kAdapterFailure;
    static const TunnelFailure kProcessGoneFailure;
    static const TunnelFailure kServerFailure;

    TunnelProcedures(CKorvaneDlg& main, AccountInfo& account, TunnelSide& tunnel,
                     CNetworkMgmt& network, MainWindowOperations& operations, TunnelSeams seams);

    // The IP tabs' connect step: connect-login, then the connect procedure;
    // a start that failed is cleaned up. -2 when the login failed, else 1.
    int ConnectToChosenIp();
    // 1 when the tunnel was started (its outcome comes through the
    // monitors), -1 when it could not be.
    int ConnectTunnel();
    // Timer 1, the tunnel program launch: 1 or -1.
    int StartOpenVpnTunnel();
    // Timer 1 with an OpenVPN tunnel: the log check and the reaction to it.
    void OpenVpnTimerTick();
    // The reaction to one log result.
    void OnOpenVpnTick(int result);

    // The failure a timed-out attempt (or a dropped tunnel) ends with.
    static const TunnelFailure& TimeoutFailure(int result);

  private:
    int ConnectOpenVpn();
    int ConnectRemoteAccess();
    void OnTunnelUp(const std::string& address);
    void Fail(const TunnelFailure& failure);
    void RetryTunnelRoutes();
    int ApplyRoutes();
    void SetStatusLine(int id, const std::string& text);
    void ShowConnectedLook();
    void StopConnectingDialog();
    ConnectProgress* progress() const;

    CKorvaneDlg& main_;
    SessionContext& session_;
    AccountInfo& account_;
    TunnelSide& tunnel_;
    CNetworkMgmt& network_;
    MainWindowOperations& operations_;
    TunnelSeams seams_;
    // The tunnel came up before its adapter had an address: the default
    // route still has to move into the tunnel.
    bool routes_pending_ = false;
};

// "<year>년 <month>월 <day>일" from an end time "YYYY-MM-DD hh:mm:ss"; empty
// for the unknown end time.
std::string EndDateText(const std::string& xxxdate);

}  // namespace korvane
