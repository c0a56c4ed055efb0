#include "LoginAnswer.h"

#include "DateText.h"

namespace korvane::service {

namespace {

std::string ServerMessages(const Account& account) {
    std::string text;
    if (account.login_retry_count) {
        text = "login_retry_count=" + std::to_string(*account.login_retry_count) + "|";
    }
    text += "server_error=";
    for (std::size_t i = 0; i < account.messages.size(); ++i) {
        text += (i ? "^" : "") + account.messages[i];
    }
    return text;
}

std::string AcceptedAnswer(const Account& account, std::int64_t now) {
    std::string text = "login_auth=yes";
    for (const auto& [key, value] : account.answer) {
        const std::string sent = key == "server_time" ? ResolveDate(value, now) : value;
        text += "|" + key + "=" + AnswerValue(sent);
    }
    return text;
}

}  // namespace

const Account* Authenticate(const ServiceConfig& config, const Fields& record,
                            std::string_view id_key, std::string_view password_key) {
    const auto id = FieldValue(record, id_key);
    const auto password = FieldValue(record, password_key);
    if (!id || !password) {
        return nullptr;
    }
    const Account* account = config.FindAccount(*id);
    return account && account->password == *password ? account : nullptr;
}

std::string AnswerValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '/') {
            out += "==";
        } else {
            out += c;
        }
    }
    return out;
}

std::string LoginAnswer(const ServiceConfig& config, const Fields& record, std::int64_t now) {
    const Account* account = Authenticate(config, record);
    if (!account) {
        return "login_auth=no";
    }
    if (account->state == AccountState::kSuspended) {
        return "login_auth=stop";
    }
    if (!account->messages.empty()) {
        return ServerMessages(*account);
    }
    if (account->state == AccountState::kNoTime) {
        // Both keys sent empty, each followed by "|": that is what marks an
        // account without paid time.
        return "xxxtime=|xxxdate=|";
    }
    return AcceptedAnswer(*account, now);
}

}  // namespace korvane::service
