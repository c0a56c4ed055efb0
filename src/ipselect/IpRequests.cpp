#include "ipselect/IpRequests.h"

#include "app/SessionContext.h"
#include "app/SessionRecordFields.h"
#include "ipselect/ConnectSteps.h"
#include "ipselect/ListText.h"
#include "protocol/AccountInfo.h"
#include "protocol/CWebMgmt.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"
#include "ui/MessageBoxPort.h"

namespace korvane {

namespace {

constexpr char kServerErrorKey[] = "server_error=";
constexpr char kSelectIpKey[] = "select_ip=";

}  // namespace

std::optional<std::string> AnswerFieldValue(std::string_view text, std::string_view key) {
    for (const std::string& field : SplitList(text, '|')) {
        if (field.find(key) != std::string::npos) {
            return PieceAt(field, '=', 1);
        }
    }
    return std::nullopt;
}

IpRequests::IpRequests(SessionContext& session, AccountInfo& account, CWebMgmt& web,
                       ConnectSteps& steps)
    : session_(session), account_(account), web_(web), steps_(steps) {}

std::string IpRequests::Exchange(std::string_view path, const std::string& record) {
    const std::string url = "http://" + session_.auth_host + std::string(path);
    return DecodeFromWire(web_.PostForm(url, "bin=" + EncodeForWire(record)));
}

// The keys are looked for with the spaces removed, but the message is shown
// as the service wrote it: its words keep their spaces.
bool IpRequests::ReportServerError(MessageBoxPort& owner, const std::string& answer) {
    if (WithoutSpaces(answer).find(kServerErrorKey) == std::string::npos) {
        return false;
    }
    std::string message;
    for (const std::string& field : SplitList(answer, '|')) {
        if (WithoutSpaces(field).find(kServerErrorKey) != std::string::npos) {
            message = TrimSpaces(PieceAt(field, '=', 1));
            break;
        }
    }
    account_.ip_pool_list.clear();
    owner.ShowMessageBox(message, kIpInfoErrorCaption, BoxButtons::Ok);
    return true;
}

int IpRequests::RequestIpPool(MessageBoxPort& owner) {
    const std::string record =
        RequestRecord::IpPool(SessionRecordFields(session_), session_.class_code);
    const std::string answer = Exchange("/Info/ip_pool_list.php", record);
    if (ReportServerError(owner, answer)) {
        return -1;
    }
    account_.ip_pool_list = WithoutLastCharacter(WithoutSpaces(answer));
    return 0;
}

int IpRequests::RequestIpChange(MessageBoxPort& owner, const std::string& code) {
    const std::string record =
        RequestRecord::IpChange(session_.client_code, session_.user_id, session_.password, code);
    const std::string answer = Exchange("/ClientLogin/socket_change.php", record);
    // An answer carrying both keys is an error.
    if (ReportServerError(owner, answer)) {
        return kChangeRefused;
    }
    const std::optional<std::string> address =
        AnswerFieldValue(WithoutSpaces(answer), kSelectIpKey);
    if (!address || address->empty()) {
        return kNothingChanged;
    }
    session_.current_exit_address = *address;
    steps_.ShowStatusIpLine(*address);
    return kAddressChanged;
}

}  // namespace korvane
