#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// What a login answer says, judged by substring tests in this order: the
// first that matches wins.
enum class LoginVerdict {
    NoAnswer,       // empty, or no text at all
    Refused,        // login_auth=no
    Suspended,      // login_auth=stop
    ServerMessage,  // server_error=
    NoServiceTime,  // xxxtime=| and xxxdate=| both present
    Accepted,
};

LoginVerdict JudgeLoginAnswer(std::string_view answer);

// A decoded answer is CP949 text: control bytes other than tab, CR and LF, or
// bytes that were no CP949 at all, mean the bytes were not an encoded answer
// (an error page, a proxy's notice).
bool LooksLikeAnswerText(std::string_view answer);

// The answer without any CR LF pair.
std::string RemoveCrLf(std::string_view answer);

// The server-message walk: login_retry_count fields before the first
// server_error field update retry_count; the messages are that field's value
// cut at "^". Empty when there is no server_error field.
std::vector<std::string> ServerMessages(std::string_view answer, int& retry_count);

}  // namespace korvane
