// The OpenVPN start and the once-a-second reaction to its log.
#include "app/CKorvaneDlg.h"
#include "app/MainWindowOperations.h"
#include "app/SessionContext.h"
#include "netenv/CNetworkMgmt.h"
#include "platform/ProcessPort.h"
#include "tunnel/OpenVpnLog.h"
#include "tunnel/TunnelProcedures.h"
#include "tunnel/TunnelSide.h"

namespace korvane {

namespace {

// An attempt that has passed this many ticks with a short log is taken to
// be blocked by a firewall.
constexpr int kFirewallTicks = 7;

}  // namespace

const TunnelFailure TunnelProcedures::kFirewallFailure = {
    "OPEN_STATUS : OPEN VPN Firewall Check ",
    "CODE-002 : 다음 사항들을  확인해 주십시오.\r-----------------------------------------\r① 시작 "
    "-> 제어판 -> Windows 방화벽 해제.\r\r②  특정 백신 프로그램을 사용중인 경우... \r\r     "
    "프로그램 자체의 방화벽 기능에서 차단되경우  \r\r     해당 기능을 해제후  다시 접속해 보시기 "
    "바랍니다.",
    "방화벽 설정 오류", false};
const TunnelFailure TunnelProcedures::kAdapterFailure = {
    "OPEN_STATUS : VPN SERVER FORCE ERROR ",
    "CODE-003 : 네트워크 어뎁터 장치 설치 에러 발생 \n\n다시 접속 요청 후 네트워크 어뎁터 "
    "드라이버를 다시 설치 하시기 바랍니다.  ",
    "네트워크 장치 생성 오류", true};
const TunnelFailure TunnelProcedures::kProcessGoneFailure = {
    "OPEN_STATUS : OPEN VPN Process Kill ERROR ", "CODE-004 : 서버에서 접속 종료 되었음",
    "접속 오류", false};
const TunnelFailure TunnelProcedures::kServerFailure = {"OPEN_STATUS : VPN SERVER FORCE ERROR ",
                                                        "CODE-005 : 서버 장애로 인해 접속 종료됨 ",
                                                        "접속 오류", false};

const TunnelFailure& TunnelProcedures::TimeoutFailure(int result) {
    if (result == -9 || result == -13) {
        return kAdapterFailure;
    }
    return result == kLogEndedLongLog ? kProcessGoneFailure : kServerFailure;
}

int TunnelProcedures::StartOpenVpnTunnel() {
    if (session_.state == SessionState::Connected) {
        main_.host().ShowMessageBox(kAlreadyConnected, kConnectInfoCaption, BoxButtons::Ok);
        return -1;
    }
    main_.SetTimer(CKorvaneDlg::kTimerTunnelCheck, 1000);
    session_.state = SessionState::Connecting;
    if (tunnel_.openvpn().Start() > 0) {
        return 1;
    }
    operations_.ReportTunnelEnd(0, kStartError);
    return -1;
}

void TunnelProcedures::OpenVpnTimerTick() {
    OnOpenVpnTick(tunnel_.openvpn().CheckLog());
}

void TunnelProcedures::OnOpenVpnTick(int result) {
    int& counter = main_.fields().tunnel_poll_counter;
    const int delay = session_.login_delay;
    const std::string address =
        network_.GetInterfaceAddress(network_.FindAdapterIndex(session_.tap_adapter_description));
    if (result < 0) {
        if (kFirewallTicks < counter && counter < delay) {
            if (result == kLogShortLog) {
                Fail(kFirewallFailure);
            }
        } else if (counter > delay) {
            Fail(TimeoutFailure(result));
            return;
        }
    }
    if (result == kLogCompleted && address != "0.0.0.0") {
        if (session_.state == SessionState::Connecting) {
            OnTunnelUp(address);
        } else if (routes_pending_ && session_.state == SessionState::Connected) {
            RetryTunnelRoutes();
        }
    }
    ++counter;
}

void TunnelProcedures::Fail(const TunnelFailure& failure) {
    main_.fields().tunnel_poll_counter = 0;
    routes_pending_ = false;
    StopConnectingDialog();
    operations_.SendLogout("vpn");
    operations_.ReportTunnelEnd(0, failure.event);
    main_.host().ShowMessageBox(failure.message, failure.caption, BoxButtons::Ok);
    if (failure.starts_installer) {
        LaunchRequest request;
        // Quoted: the program folder may hold blanks.
        request.command_line = "\"" + session_.program_dir + "/" + kInstaller + "\"";
        request.hidden = true;
        int error = 0;
        tunnel_.openvpn().processes().Launch(request, error);
    }
}

}  // namespace korvane
