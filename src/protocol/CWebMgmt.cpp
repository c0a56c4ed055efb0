#include "protocol/CWebMgmt.h"

#include "protocol/HttpAnswerReader.h"
#include "protocol/HttpExchange.h"

namespace korvane {

namespace {

// Application message boxes carry the program's name as their caption.
constexpr const char* kApplicationName = "DIZidezod";
constexpr const char* kWebSendError = "Web Send Error";

// An answer that never ends must not exhaust memory: both kinds of request
// keep at most this much.
constexpr std::size_t kBodyLimit = kQueryAnswerDefaultSize;

}  // namespace

CWebMgmt::CWebMgmt(const SessionContext& session, MessageBoxPort& boxes, HttpSettings settings)
    : session_(session), boxes_(boxes), settings_(settings) {}

std::string CWebMgmt::PostQuery(std::string_view url) {
    const HttpExchangeResult answer =
        PostExchange(url, session_.http_headers, {}, kBodyLimit, settings_);
    if (answer.status != 200) {
        return {};
    }
    const std::size_t expected = answer.content_length >= 0
                                     ? static_cast<std::size_t>(answer.content_length)
                                     : kQueryAnswerDefaultSize;
    return ReadQueryAnswer(answer.body, expected);
}

std::string CWebMgmt::PostForm(std::string_view url, std::string_view body) {
    const HttpExchangeResult answer =
        PostExchange(url, session_.http_headers, body, kBodyLimit, settings_);
    if (!answer.responded) {
        boxes_.ShowMessageBox(kWebSendError, kApplicationName, BoxButtons::Ok);
        return {};
    }
    if (answer.status != 200) {
        return {};
    }
    return ReadFormAnswer(answer.body);
}

}  // namespace korvane
