#include "update/CheckVersion.h"

#include "app/SessionContext.h"
#include "protocol/AccountInfo.h"
#include "protocol/AnswerFields.h"
#include "protocol/CWebMgmt.h"

namespace korvane {

namespace {

std::string CleanVersionText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        // Tabs count as blanks, and blanks and CRs go.
        if (c != '\t' && c != ' ' && c != '\r') {
            out.push_back(c);
        }
    }
    return out;
}

void ApplyLine(std::string_view line, AccountInfo& account) {
    const std::size_t first = line.find('=');
    if (first == std::string_view::npos) {
        return;
    }
    const std::string_view key = line.substr(0, first);
    std::string_view value = line.substr(first + 1);
    value = value.substr(0, value.find('='));
    if (key == "version" && !value.empty()) {
        account.update_version = answer::ParseDecimal(value);
    } else if (key == "download" && value.size() > 5) {
        account.update_url = std::string(value);
        account.update_file = std::string(value.substr(value.rfind('/') + 1));
    }
}

}  // namespace

void ApplyVersionFile(std::string_view text, AccountInfo& account) {
    const std::string clean = CleanVersionText(text);
    std::string_view rest = clean;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        ApplyLine(rest.substr(0, end), account);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
}

int CheckVersion(CWebMgmt& web, const SessionContext& session, AccountInfo& account) {
    const std::string url = "http://" + session.auth_host + "/ClientVersion/" +
                            session.client_code + "/" + session.setup_page;
    ApplyVersionFile(web.PostQuery(url), account);
    return 1;
}

bool UpdateIsDue(const SessionContext& session, const AccountInfo& account) {
    return account.update_version > session.ccver;
}

std::string UpdateFilePath(const SessionContext& session, const AccountInfo& account) {
    return session.temp_dir + "/" + account.update_file;
}

}  // namespace korvane
