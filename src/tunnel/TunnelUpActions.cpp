// What happens when an OpenVPN tunnel has come up.
#include "app/CKorvaneDlg.h"
#include "app/SessionContext.h"
#include "protocol/AccountAnswerParser.h"
#include "protocol/AccountInfo.h"
#include "tunnel/TunnelProcedures.h"
#include "ui/CBitmapButton.h"

namespace korvane {

namespace {

constexpr int kStatusTimeLine = 1034;
constexpr int kStatusIpLine = 1035;
constexpr int kStatusEndDateLine = 1036;
constexpr int kStatusDisconnectButton = 1012;

std::string Piece(const std::string& text, char separator, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = text.find(separator, start);
        if (start == std::string::npos) {
            return {};
        }
        ++start;
    }
    return text.substr(start, text.find(separator, start) - start);
}

}  // namespace

std::string EndDateText(const std::string& xxxdate) {
    if (xxxdate == TunnelProcedures::kEndDateUnknown) {
        return {};
    }
    const std::string date = Piece(xxxdate, ' ', 0);
    return FormatKoreanDate(Piece(date, '-', 0), Piece(date, '-', 1), Piece(date, '-', 2));
}

void TunnelProcedures::SetStatusLine(int id, const std::string& text) {
    Dialog* status = main_.panels().status.get();
    if (Control* line = status != nullptr ? status->Find(id) : nullptr) {
        line->SetText(text);
        line->RedrawNow();
    }
}

void TunnelProcedures::ShowConnectedLook() {
    Dialog* status = main_.panels().status.get();
    if (auto* button =
            status != nullptr ? status->Get<CBitmapButton>(kStatusDisconnectButton) : nullptr) {
        button->Show(true);
        button->LoadBitmaps(179, 180);
        button->SizeToContent();
        button->RedrawNow();
    }
}

int TunnelProcedures::ApplyRoutes() {
    const int result = ApplyTunnelRoutes(network_, main_.fields().base_route, session_, account_,
                                         seams_.write_setting);
    routes_pending_ = result == -2;
    if (result == 0) {
        main_.fields().tunnel_routes_applied = 1;
    }
    return result;
}

// A tunnel reported up while its adapter had no address yet would leave
// the default route outside the tunnel; the move is tried again on the
// following ticks until the address is there.
void TunnelProcedures::RetryTunnelRoutes() {
    ApplyRoutes();
}

void TunnelProcedures::OnTunnelUp(const std::string& address) {
    session_.state = SessionState::Connected;
    main_.fields().tunnel_poll_counter = session_.login_delay + 1;
    StopConnectingDialog();
    SetStatusLine(kStatusEndDateLine, EndDateText(account_.xxxdate));
    session_.current_exit_address = address;
    SetStatusLine(kStatusIpLine, address);
    SetStatusLine(kStatusTimeLine, "0:00:00");
    main_.SetTimer(CKorvaneDlg::kTimerServiceTime, 1000);
    main_.SetTimer(CKorvaneDlg::kTimerTunnelCheck, 1000);
    main_.tray().SetIcon(CTrayIcon::kIconConnected);
    ApplyRoutes();
    session_.state = SessionState::Connected;
    if (session_.ip_change_type == 1 && seams_.request_ip_change) {
        seams_.request_ip_change(session_.ip_code);
    }
    ShowConnectedLook();
    main_.fields().redial_attempts = 0;
}

}  // namespace korvane
