#pragma once

#include <string>

#include "tunnel/CRasConfigFile.h"
#include "tunnel/CRasMgmt.h"
#include "tunnel/RasDialCallback.h"

namespace korvane {

class CKorvaneDlg;
class Environment;
class MainWindowOperations;
class RasPort;
class RasWindowCalls;
class TunnelOperations;
struct AccountInfo;
struct SessionContext;

// The main window's part in PPTP and L2TP tunnels: it owns the dialler, the
// phonebook writer, the phonebook path and the window the notifications go
// to, and runs the dial, the status message, the link check and the
// tear-down. Everything runs on the interface thread; the service's own
// thread only reaches OnRasStatus through the main window's status message.
class RasTunnel {
  public:
    static constexpr const char* kFailureCaption = "장애정보";
    static constexpr const char* kLinkLostText = "CODE-022 : 서버에서 접속 종료 되었습니다";
    static constexpr const char* kLinkLostCaption = "통신오류";
    static constexpr int kLoginIdEdit = 1005;
    static constexpr int kEndDateLine = 1036;
    static constexpr int kPlanLine = 1037;
    static constexpr int kAddressLine = 1035;

    RasTunnel(RasPort& port, Environment& environment, CKorvaneDlg& main, SessionContext& session,
              AccountInfo& account, MainWindowOperations& operations, TunnelOperations& tunnel,
              RasWindowCalls& window);
    RasTunnel(const RasTunnel&) = delete;
    RasTunnel& operator=(const RasTunnel&) = delete;

    // The phonebook entry for vpn_type 1 or 3, in the current directory.
    // Always 1: a phonebook that could not be written fails the dial instead.
    int WritePhonebook(int vpn_type, int has_zero_address);
    // 1 when the dial has started (or a connection is up), -1 otherwise; a
    // refusal by the service has been shown.
    int DialRasTunnel();
    // The status message: -1 after an error, otherwise 1.
    int OnRasStatus(int state, int error);
    // Timer 1 while a remote-access tunnel is up.
    void CheckRasLink();
    // The remote-access tear-down. Returns 1.
    int StopRasTunnel();

    CRasMgmt& ras() { return ras_; }
    CRasConfigFile& phonebook() { return phonebook_; }
    const std::string& phonebook_path() const { return phonebook_path_; }
    const RasNotifyTarget& notify_target() const { return notify_target_; }

  private:
    void EndFailedAttempt(const std::string& text);
    void RunConnectedActions();
    void ShowLine(int id, const std::string& text);
    void ShowConnecting(bool visible);

    Environment& environment_;
    CKorvaneDlg& main_;
    SessionContext& session_;
    AccountInfo& account_;
    MainWindowOperations& operations_;
    TunnelOperations& tunnel_;
    RasWindowCalls& window_;
    RasNotifyTarget notify_target_;
    CRasMgmt ras_;
    CRasConfigFile phonebook_;
    std::string phonebook_path_;
};

}  // namespace korvane
