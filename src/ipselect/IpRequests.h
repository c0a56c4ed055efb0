#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

struct SessionContext;
struct AccountInfo;
class CWebMgmt;
class ConnectSteps;
class MessageBoxPort;

// Caption of every message of the pool and change exchanges.
inline constexpr char kIpInfoErrorCaption[] = "아이피 정보 오류";

// The value of the first "|"-field of text that contains key: the piece
// between the field's first and second "=". Nothing when no field has it.
std::optional<std::string> AnswerFieldValue(std::string_view text, std::string_view key);

// The two exchanges behind the choice of an exit address. Both block the
// user-interface thread for their request, as every request does; messages go
// to the owner window's boxes.
class IpRequests {
  public:
    // Result of RequestIpChange, for the callers that care.
    enum ChangeResult { kChangeRefused = -1, kNothingChanged = 0, kAddressChanged = 1 };

    IpRequests(SessionContext& session, AccountInfo& account, CWebMgmt& web, ConnectSteps& steps);

    // Fetches the pool of the session's class_code (empty: the whole pool)
    // into ip_pool_list. 0 when a pool text was stored, -1 when the service
    // reported an error (shown on the owner).
    int RequestIpPool(MessageBoxPort& owner);

    // Asks the service to move the running tunnel to the address of code.
    // The address it reports goes to current_exit_address and the status
    // panel's IP line.
    int RequestIpChange(MessageBoxPort& owner, const std::string& code);

  private:
    // The decoded answer of a form request.
    std::string Exchange(std::string_view path, const std::string& record);
    // True (message shown, pool emptied) when the answer carries a server error.
    bool ReportServerError(MessageBoxPort& owner, const std::string& answer);

    SessionContext& session_;
    AccountInfo& account_;
    CWebMgmt& web_;
    ConnectSteps& steps_;
};

}  // namespace korvane
