#include "app/LoginProcedure.h"

#include <filesystem>
#include <system_error>

#include "app/CKorvaneDlg.h"
#include "app/IpSelectionSteps.h"
#include "app/LoginAnswerJudging.h"
#include "app/MainWindowOperations.h"
#include "app/SessionContext.h"
#include "app/SessionRecordFields.h"
#include "app/SessionServices.h"
#include "app/TunnelOperations.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/RoutePlans.h"
#include "netenv/SystemInfo.h"
#include "netenv/TextPieces.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "protocol/AccountAnswerParser.h"
#include "protocol/AccountInfo.h"
#include "protocol/CWebMgmt.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"
#include "settings/CRegCtrl.h"
#include "tunnel/CVpnConnDlg.h"
#include "ui/BasicControls.h"
#include "ui/CLogoutDlg.h"
#include "update/CUpdateMgmt.h"
#include "update/CheckVersion.h"
#include "update/DownloadUpdate.h"

namespace korvane {

namespace {

constexpr int kTextValue = 1;

// The piece, or empty when there is none.
std::string Piece(const std::string& text, char separator, std::size_t index) {
    std::string piece;
    NthPiece(text, separator, index, piece);
    return piece;
}

}  // namespace

std::string EndDateLine(const std::string& xxxdate) {
    if (xxxdate == LoginProcedure::kNoEndDate) {
        return {};
    }
    const std::string date = xxxdate.substr(0, xxxdate.find(' '));
    return FormatKoreanDate(Piece(date, '-', 0), Piece(date, '-', 1), Piece(date, '-', 2));
}

LoginProcedure::LoginProcedure(SessionServices& services, CKorvaneDlg& main,
                               MainWindowOperations& operations)
    : services_(services), main_(main), operations_(operations) {}

void LoginProcedure::StoreCredentials() {
    const SessionContext& s = services_.session;
    services_.settings.WriteValue(s.registry_root, s.registry_key, "ui1", kTextValue,
                                  EncodeForWire(s.user_id));
    services_.settings.WriteValue(s.registry_root, s.registry_key, "up2", kTextValue,
                                  EncodeForWire(s.password));
}

void LoginProcedure::ShowConnectingDialog() {
    if (CVpnConnDlg* dialog = main_.connecting_dialog()) {
        dialog->ResetProgress();
        dialog->Show(ShowMode::Show);
        dialog->RedrawNow();
    }
}

void LoginProcedure::HideConnectingDialog() {
    if (CVpnConnDlg* dialog = main_.connecting_dialog()) {
        dialog->StopProgress();
        dialog->Show(ShowMode::Hide);
    }
}

int LoginProcedure::RunLogin() {
    SessionContext& s = services_.session;
    AccountInfo& account = services_.account;
    if (s.state == SessionState::Connecting) {
        return -1;
    }
    services_.random.Seed(static_cast<unsigned>(services_.clock.LocalSecondsNow()));
    s.session_key = services_.random.Next() % 1000000;
    account.xxxtime = 0;
    account.xxxdate = kNoEndDate;
    services_.tunnel.StopTunnelProgram();
    services_.tunnel.DeleteTunnelFiles();
    main_.fields().elapsed_seconds = 0;
    StoreCredentials();
    main_.fields().tunnel_poll_counter = 0;
    ShowConnectingDialog();
    if (SendLoginRequest() < 0) {
        HideConnectingDialog();
        return -1;
    }
    ShowAccountLines();
    AddLoginHostRoutes(services_.network, main_.fields().base_route, s, account);
    CheckVersion(services_.web, s, account);
    if (const int update = RunUpdateIfDue(); update != 0) {
        return update;
    }
    if (s.auth_mode == "user") {
        HideConnectingDialog();
    }
    if (main_.panels().login) {
        main_.panels().login->Show(ShowMode::Hide);
    }
    if (main_.panels().status) {
        main_.panels().status->Show(ShowMode::Show);
    }
    return 0;
}

void LoginProcedure::ShowAccountLines() {
    CLogoutDlg* status = main_.status_panel();
    if (status == nullptr) {
        return;
    }
    status->SetLine(CLogoutDlg::kUserLine, services_.session.user_id);
    status->SetLine(CLogoutDlg::kPlanLine, services_.account.mygame);
    status->SetLine(CLogoutDlg::kEndDateLine, EndDateLine(services_.account.xxxdate));
    status->SetLine(CLogoutDlg::kTimeLine, CLogoutDlg::kZeroTime);
    status->SetLine(CLogoutDlg::kIpLine, CLogoutDlg::kIpPrompt);
}

// 0 when no update is due; otherwise the login's result.
int LoginProcedure::RunUpdateIfDue() {
    const SessionContext& s = services_.session;
    const AccountInfo& account = services_.account;
    if (!UpdateIsDue(s, account)) {
        return 0;
    }
    Host& host = main_.host();
    host.ShowMessageBox(kUpdateText, kUpdateCaption, BoxButtons::Ok);
    const std::string installer = UpdateFilePath(s, account);
    // Only a file: without a file name the path is the Temp folder itself.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(installer, ignored)) {
        std::filesystem::remove(installer, ignored);
    }
    if (DownloadUpdate(services_.updates, main_.panels().update_progress.get(), account.update_url,
                       installer, host) <= 0) {
        // Nothing else would ever hide the connecting dialog after a login
        // from the panel.
        HideConnectingDialog();
        return -2;
    }
    operations_.ReportTunnelEnd(-1, "");
    main_.Show(ShowMode::Hide);
    main_.tray().RemoveIcon();
    main_.Close();
    // The installer is the file just downloaded.
    StartInstaller(services_.commands, installer);
    return -1;
}

std::string LoginProcedure::BuildLoginRecord() {
    const SessionContext& s = services_.session;
    CNetworkMgmt& network = services_.network;
    std::string gateway;
    LoginRecordFields f = SessionRecordFields(s);
    f.client_mac = network.GetAdapterMac(network.GetBestInterface(gateway));
    f.client_sys_info = BuildSystemInfo(network.network(), network.system());
    return RequestRecord::Login(f, s.ip_change_type);
}

int LoginProcedure::SendLoginRequest() {
    SessionContext& s = services_.session;
    AccountInfo& account = services_.account;
    account.game_list.clear();
    account.route_list.clear();
    s.vpn_conn_server_code =
        services_.settings.ReadText(s.registry_root, s.registry_key, "VSvrCode");
    main_.fields().last_login_bin = EncodeForWire(BuildLoginRecord());
    const Control* test_box = main_.panels().login ? main_.panels().login->Find(1052) : nullptr;
    const auto* test = dynamic_cast<const CheckBox*>(test_box);
    const char* page =
        test != nullptr && test->checked() ? "user_check_v0.php" : "user_check_v1.php";
    const std::string url =
        "http://" + s.auth_host + "/ClientLogin/" + page + "?bin=" + main_.fields().last_login_bin;
    const std::string answer = RemoveCrLf(DecodeFromWire(services_.web.PostQuery(url)));
    if (const int judged = JudgeAnswer(answer); judged < 0) {
        return judged;
    }
    account.login_answer = answer;
    account.has_zero_address = answer.find("0.0.0.0") != std::string::npos ? 1 : 0;
    ParseAccountAnswer(account, s, services_.clock);
    PrepareTunnelKind();
    return 1;
}

// 0 for an accepted answer, else SendLoginRequest's failure result.
int LoginProcedure::JudgeAnswer(const std::string& answer) {
    Host& host = main_.host();
    switch (JudgeLoginAnswer(answer)) {
        case LoginVerdict::NoAnswer:
            host.ShowMessageBox(kNoAnswerText, kLoginCaption, BoxButtons::Ok);
            return -1;
        case LoginVerdict::Refused:
            host.ShowMessageBox(kRefusedText, kLoginCaption, BoxButtons::Ok);
            return -2;
        case LoginVerdict::Suspended:
            host.ShowMessageBox(kSuspendedText, kLoginCaption, BoxButtons::Ok);
            return -3;
        case LoginVerdict::ServerMessage:
            ShowServerMessages(answer);
            return -1;
        case LoginVerdict::NoServiceTime:
            host.OpenUrl("http://" + services_.session.web_host + "/customer/faq.php");
            return -1;
        case LoginVerdict::Accepted:
            break;
    }
    return 0;
}

void LoginProcedure::ShowServerMessages(const std::string& answer) {
    const std::vector<std::string> messages =
        ServerMessages(answer, services_.session.login_retry_count);
    HideConnectingDialog();
    for (const std::string& message : messages) {
        if (message.find("http://") != std::string::npos) {
            main_.host().OpenUrl(message);
        } else {
            main_.host().ShowMessageBox(message, kLoginCaption, BoxButtons::Ok);
        }
    }
}

void LoginProcedure::PrepareTunnelKind() {
    const SessionContext& s = services_.session;
    TunnelOperations& tunnel = services_.tunnel;
    switch (s.vpn_type) {
        case 1:
        case 3:
            tunnel.WritePhonebook(s.vpn_type, services_.account.has_zero_address);
            break;
        case 4:
            if (s.auth_mode == "vpn") {
                tunnel.CheckTapAdapter();
            }
            break;
        default:
            break;
    }
}

void LoginProcedure::ShowIpTab() {
    MainPanels& panels = main_.panels();
    IpSelectionSteps& ip = services_.ip_selection;
    const bool whole_pool = services_.account.use_select == 1;
    if (whole_pool) {
        services_.session.class_code.clear();
        ip.RequestIpPool();
    } else {
        services_.account.ip_pool_list.clear();
    }
    if (panels.managed_ip) {
        panels.managed_ip->Show(whole_pool ? ShowMode::Show : ShowMode::Hide);
    }
    if (panels.service_ip) {
        panels.service_ip->Show(whole_pool ? ShowMode::Hide : ShowMode::Show);
    }
    if (whole_pool) {
        ip.RefreshManagedIpList();
    } else {
        ip.RefreshServiceIpList();
    }
}

void LoginProcedure::CompletePanelLogin() {
    ShowIpTab();
    MainWindowState& fields = main_.fields();
    AddRemoteControlPeerRoute(services_.network, fields.base_route, fields.remote_control_peer);
    services_.session.state = SessionState::LoggedIn;
    fields.narrow_layout = 1;
    main_.ToggleLayout();
    AddBypassRoutes(services_.network, fields.base_route, services_.account);
}

}  // namespace korvane
