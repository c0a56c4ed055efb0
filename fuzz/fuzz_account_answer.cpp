// The account answer parsers take any text: malformed fields are skipped and
// every result stays within its field's range.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/SessionContext.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountAnswerParser.h"
#include "protocol/AccountInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    korvane::AccountInfo account;
    korvane::SessionContext session;
    korvane::VirtualClock clock;
    account.login_answer = text;
    if (korvane::ParseAccountAnswer(account, session, clock) != 1) {
        __builtin_trap();
    }
    // Values the rules can only ever produce.
    const bool consistent =
        (account.login_tag == 0 || account.login_tag == 1) &&
        (account.game_proc_count == 0 || account.game_proc_count >= 1) &&
        (account.server_cert_version == 0 || account.server_cert_version == 1001) &&
        session.login_delay >= 0 &&
        (session.auth_file.empty() || session.auth_file.ends_with(".txt")) &&
        account.update_url.ends_with(account.update_file) &&
        account.crt_file.ends_with(account.crt_file_name);
    if (!consistent) {
        __builtin_trap();
    }

    // Refreshes add minutes: never an overflow, whatever the values.
    account.info_answer = text;
    korvane::ParseInfoAnswer(account);
    korvane::ParseInfoAnswer(account);
    return 0;
}
