#include "protocol/AccountAnswerParser.h"

#include <array>
#include <vector>

#include "protocol/AnswerFields.h"

namespace korvane {

namespace {

using answer::ParseDecimal;

struct Target {
    AccountInfo& account;
    SessionContext& session;
    Clock& clock;
};

// Keys whose value is stored as it stands.
struct TextKey {
    std::string_view key;
    std::string AccountInfo::*field;
};
constexpr std::array<TextKey, 14> kTextKeys{{
    {"name", &AccountInfo::name},
    {"server_code", &AccountInfo::server_code},
    {"refund_money", &AccountInfo::refund_money},
    {"my_point", &AccountInfo::my_point},
    {"mygame", &AccountInfo::mygame},
    {"server_ip", &AccountInfo::server_ip},
    {"open_config", &AccountInfo::open_config},
    {"gateway_ip", &AccountInfo::gateway_ip},
    {"vpnport", &AccountInfo::vpnport},
    {"mac_addr", &AccountInfo::mac_addr},
    {"vpn_server_list", &AccountInfo::vpn_server_list},
    {"ip_pool_class", &AccountInfo::ip_pool_class},
    {"default_route", &AccountInfo::default_route},
    {"xxxdate", &AccountInfo::xxxdate},
}};

// Keys whose value is read as a decimal integer.
struct IntKey {
    std::string_view key;
    int AccountInfo::*field;
};
constexpr std::array<IntKey, 6> kIntKeys{{
    {"update_version", &AccountInfo::update_version},
    {"xxxtime", &AccountInfo::xxxtime},
    {"search_time", &AccountInfo::search_time},
    {"gamefastmode", &AccountInfo::gamefastmode},
    {"use_select", &AccountInfo::use_select},
    {"auto_conn_change", &AccountInfo::auto_conn_change},
}};

std::string_view AfterLastSlash(std::string_view text) {
    const std::size_t slash = text.rfind('/');
    return slash == std::string_view::npos ? text : text.substr(slash + 1);
}

std::vector<std::string_view> Cut(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = text.find(separator, pos);
        parts.push_back(text.substr(pos, hit == std::string_view::npos ? hit : hit - pos));
        if (hit == std::string_view::npos) {
            return parts;
        }
        pos = hit + 1;
    }
}

int PartAsInt(const std::vector<std::string_view>& parts, std::size_t index) {
    return index < parts.size() ? ParseDecimal(parts[index]) : 0;
}

// "YYYY-MM-DD hh:mm:ss" -> the local clock. Setting may be refused (no
// privilege, not a real moment); the answer is parsed on regardless.
void SetClockFromServerTime(Clock& clock, std::string_view value) {
    const std::size_t space = value.find(' ');
    const auto date = Cut(value.substr(0, space), '-');
    const auto time =
        Cut(space == std::string_view::npos ? std::string_view{} : value.substr(space + 1), ':');
    LocalTime moment;
    moment.year = PartAsInt(date, 0);
    moment.month = PartAsInt(date, 1);
    moment.day = PartAsInt(date, 2);
    moment.hour = PartAsInt(time, 0);
    moment.minute = PartAsInt(time, 1);
    moment.second = PartAsInt(time, 2);
    static_cast<void>(clock.SetLocalTime(moment));
}

std::string ExpireText(std::string_view value) {
    return FormatKoreanDate(answer::Utf8Substr(value, 0, 4), answer::Utf8Substr(value, 5, 2),
                            answer::Utf8Substr(value, 8, 2));
}

bool ApplyTableKey(AccountInfo& account, std::string_view key, std::string_view value) {
    for (const auto& rule : kTextKeys) {
        if (rule.key == key) {
            account.*rule.field = std::string(value);
            return true;
        }
    }
    for (const auto& rule : kIntKeys) {
        if (rule.key == key) {
            account.*rule.field = ParseDecimal(value);
            return true;
        }
    }
    return false;
}

void ApplySessionKey(SessionContext& session, std::string_view key, std::string_view value) {
    if (key == "zentra_auth") {
        session.auth_file = std::string(value) + ".txt";
    } else if (key == "user_long_id") {
        session.user_long_id = value;
    } else if (key == "vpntype") {
        session.vpn_type = ParseDecimal(value);
    } else if (key == "login_dealy") {
        const int delay = ParseDecimal(value);
        if (delay > 0) {
            session.login_delay = delay;
        }
    }
}

void ApplyField(Target& t, std::string_view key, std::string_view value) {
    AccountInfo& a = t.account;
    if (ApplyTableKey(a, key, value)) {
        return;
    }
    if (key == "update_url") {
        a.update_url = value;
        a.update_file = AfterLastSlash(value);
    } else if (key == "crt_file") {
        a.crt_file = value;
        a.crt_file_name = AfterLastSlash(value);
    } else if (key == "login_tag") {
        a.login_tag = value == "yes" ? 1 : 0;
    } else if (key == "search_word") {
        a.search_word = answer::ToUpperAscii(value);
    } else if (key == "expire_time") {
        a.expire_text = ExpireText(value);
    } else if (key == "game_proc_count") {
        const int count = ParseDecimal(value);
        a.game_proc_count = count >= 1 ? count : 2;
    } else if (key == "route_list") {
        a.route_list = answer::ReplaceAll(answer::ReplaceAll(value, " ", ""), "\r\n", "");
    } else if (key == "crt_ver") {
        // The version number itself is not trusted; any announcement means 1001.
        a.server_cert_version = 1001;
    } else if (key == "game_list") {
        a.game_list = answer::ReplaceAll(value, "/", "=");
    } else if (key == "ip_pool_list") {
        // The service ends the list with a separator.
        a.ip_pool_list = answer::DropLastUtf8Char(value);
    } else if (key == "server_time") {
        SetClockFromServerTime(t.clock, value);
    } else {
        ApplySessionKey(t.session, key, value);
    }
}

}  // namespace

int ParseAccountAnswer(AccountInfo& account, SessionContext& session, Clock& clock) {
    Target target{account, session, clock};
    for (const auto& [key, value] : answer::SplitAnswer(account.login_answer)) {
        ApplyField(target, key, value);
    }
    return 1;
}

int ParseInfoAnswer(AccountInfo& account) {
    for (const auto& [key, value] : answer::SplitAnswer(account.info_answer)) {
        if (key == "xxxdate") {
            account.xxxdate = value;
        } else if (key == "xxxtime") {
            account.xxxtime = answer::SaturatingAdd(account.xxxtime, ParseDecimal(value));
        }
    }
    return 1;
}

std::string FormatKoreanDate(std::string_view year, std::string_view month, std::string_view day) {
    std::string out;
    out.reserve(year.size() + month.size() + day.size() + 16);
    out.append(year).append("년 ").append(month).append("월 ").append(day).append("일");
    return out;
}

}  // namespace korvane
