#include "AccountAnswers.h"

#include "LoginAnswer.h"
#include "protocol/RequestRecord.h"

namespace korvane::service {

std::string RefreshAnswer(const ServiceConfig& config, const Fields& record) {
    const auto id = FieldValue(record, "user_id");
    const Account* account = id ? config.FindAccount(*id) : nullptr;
    if (!account) {
        return "";
    }
    std::string text;
    const auto login_date = FieldValue(account->answer, "xxxdate");
    if (account->refresh_xxxdate) {
        text = "xxxdate=" + AnswerValue(*account->refresh_xxxdate) + "|";
    } else if (login_date) {
        text = "xxxdate=" + AnswerValue(*login_date) + "|";
    }
    return text + "xxxtime=" + std::to_string(account->refresh_xxxtime);
}

std::string AcknowledgeAnswer() {
    return "result=ok";
}

Fields EventRecordFields(std::string_view record) {
    constexpr std::string_view kEventKey = "|event=";
    const std::size_t at = record.find(kEventKey);
    if (at == std::string_view::npos) {
        return RequestRecord::Split(record);
    }
    Fields fields = RequestRecord::Split(record.substr(0, at));
    fields.emplace_back("event", std::string(record.substr(at + kEventKey.size())));
    return fields;
}

}  // namespace korvane::service
