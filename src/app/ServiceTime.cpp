#include "app/ServiceTime.h"

#include <cstdio>

#include "app/CKorvaneDlg.h"
#include "app/MainWindowOperations.h"
#include "app/SessionContext.h"
#include "app/SessionServices.h"
#include "netenv/TextPieces.h"
#include "platform/Clock.h"
#include "protocol/AccountAnswerParser.h"
#include "protocol/AccountInfo.h"
#include "protocol/AnswerFields.h"
#include "protocol/CWebMgmt.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"
#include "ui/CLogoutDlg.h"

namespace korvane {

namespace {

// The piece, or empty when there is none.
std::string Piece(const std::string& text, char separator, std::size_t index) {
    std::string piece;
    NthPiece(text, separator, index, piece);
    return piece;
}

}  // namespace

std::optional<std::int64_t> EndMoment(const std::string& xxxdate) {
    const std::size_t blank = xxxdate.find(' ');
    const std::string date = xxxdate.substr(0, blank);
    const std::string time = blank == std::string::npos ? std::string() : xxxdate.substr(blank + 1);
    LocalTime t;
    t.year = answer::ParseDecimal(Piece(date, '-', 0));
    t.month = answer::ParseDecimal(Piece(date, '-', 1));
    t.day = answer::ParseDecimal(Piece(date, '-', 2));
    t.hour = answer::ParseDecimal(Piece(time, ':', 0));
    t.minute = answer::ParseDecimal(Piece(time, ':', 1));
    t.second = answer::ParseDecimal(Piece(time, ':', 2));
    const bool in_range = t.year >= 1900 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
                          t.day <= 31 && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
                          t.minute <= 59 && t.second >= 0 && t.second <= 59;
    std::int64_t seconds = 0;
    if (!in_range || !ToLocalSeconds(t, seconds)) {
        return std::nullopt;
    }
    return seconds;
}

std::string ConnectedTimeText(int elapsed_seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", elapsed_seconds / 3600,
                  (elapsed_seconds / 60) % 60, elapsed_seconds % 60);
    return text;
}

ServiceTime::ServiceTime(SessionServices& services, CKorvaneDlg& main,
                         MainWindowOperations& operations)
    : services_(services), main_(main), operations_(operations) {}

void ServiceTime::ShowConnectedTime() {
    MainWindowState& fields = main_.fields();
    if (CLogoutDlg* status = main_.status_panel()) {
        status->SetLine(CLogoutDlg::kTimeLine, ConnectedTimeText(fields.elapsed_seconds));
    }
    ++fields.elapsed_seconds;
}

// An end date that names no moment cannot show that paid time remains, so
// it ends the service like the placeholder date of a login answer without
// one: the user sees CODE-001 and the FAQ page rather than a tunnel that
// runs unpaid without limit.
void ServiceTime::TickServiceTime() {
    const std::optional<std::int64_t> end = EndMoment(services_.account.xxxdate);
    const std::int64_t now = services_.clock.LocalSecondsNow();
    ShowConnectedTime();
    const std::int64_t remaining_minutes = end ? (*end - now) / 60 : 0;
    MainWindowState& fields = main_.fields();
    if (remaining_minutes <= 0) {
        EndService();
    } else if (remaining_minutes < 5 && fields.expiry_refreshed == 0) {
        fields.expiry_refreshed = 1;
        RefreshAccountInfo();
        if (CLogoutDlg* status = main_.status_panel()) {
            status->SetLine(CLogoutDlg::kEndDateLine, services_.account.xxxdate);
        }
    } else if (remaining_minutes < 1440 && fields.day_warning_shown == 0) {
        fields.day_warning_shown = 1;
        main_.host().ShowMessageBox(kDayWarningText, kDayWarningCaption, BoxButtons::Ok);
    }
}

void ServiceTime::EndService() {
    if (services_.session.vpn_type == 4) {
        operations_.ReportTunnelEnd(0, kOverReason);
    } else {
        operations_.StopRasTunnel();
    }
    // Both tear-downs stop the countdown; stopping it here as well keeps the
    // message to one whichever tear-down ran.
    main_.KillTimer(CKorvaneDlg::kTimerServiceTime);
    main_.host().ShowMessageBox(kOverText, kOverCaption, BoxButtons::Ok);
    main_.host().OpenUrl("http://" + services_.session.web_host + "/customer/faq.php");
}

int ServiceTime::RefreshAccountInfo() {
    const SessionContext& s = services_.session;
    const std::string record = RequestRecord::AccountRefresh(s.client_code, s.user_id);
    const std::string url =
        "http://" + s.auth_host + "/ClientLogin/get_info.php?bin=" + EncodeForWire(record);
    const std::string answer = answer::ToLowerAscii(DecodeFromWire(services_.web.PostQuery(url)));
    if (answer.empty()) {
        main_.host().ShowMessageBox(kRefreshFailedText, kRefreshFailedCaption, BoxButtons::Ok);
        return -1;
    }
    services_.account.info_answer = answer;
    ParseInfoAnswer(services_.account);
    return 1;
}

}  // namespace korvane
