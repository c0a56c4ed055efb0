#pragma once

#include <string>
#include <string_view>

#include "app/SessionContext.h"
#include "platform/Clock.h"
#include "protocol/AccountInfo.h"

namespace korvane {

// Turns the decoded login answer (AccountInfo::login_answer) into the account
// record; a few keys land in the session record, and server_time sets the
// clock (a refused clock change is ignored). Malformed and unknown fields are
// skipped. Returns 1.
int ParseAccountAnswer(AccountInfo& account, SessionContext& session, Clock& clock);

// The account refresh answer (AccountInfo::info_answer): xxxdate replaces the
// end date, xxxtime is added to the remaining minutes. Returns 1.
int ParseInfoAnswer(AccountInfo& account);

// The system's way of showing a date: "<year>년 <month>월 <day>일", each part
// as it stands in the text.
std::string FormatKoreanDate(std::string_view year, std::string_view month, std::string_view day);

}  // namespace korvane
