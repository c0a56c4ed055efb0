#include "ConfigParser.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <set>
#include <sstream>

#include "DateText.h"
#include "IniReader.h"
#include "StaticContent.h"
#include "protocol/TextCodec.h"

namespace korvane::service {

namespace {

// Keys of the account answer, by wire name, that an account may carry.
const std::set<std::string, std::less<>> kAnswerKeys = {
    "zentra_auth",   "update_version",   "user_long_id",    "update_url",  "login_tag",
    "name",          "server_code",      "refund_money",    "my_point",    "mygame",
    "server_ip",     "open_config",      "gateway_ip",      "vpnport",     "mac_addr",
    "game_list",     "gamefastmode",     "vpn_server_list", "use_select",  "ip_pool_list",
    "ip_pool_class", "default_route",    "xxxdate",         "xxxtime",     "search_time",
    "search_word",   "expire_time",      "game_proc_count", "route_list",  "crt_ver",
    "crt_file",      "auto_conn_change", "vpntype",         "login_dealy", "server_time",
};

const std::set<std::string, std::less<>> kRepeatableKeys = {"message", "version_line", "ip"};

struct Problem {
    int line;
    std::string text;
};

bool RoundTripsThroughCp949(std::string_view utf8) {
    return Cp949ToUtf8(Utf8ToCp949(utf8)) == utf8;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool ParseInt(std::string_view text, int low, int high, int& out) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
        return false;
    }
    out = value;
    return true;
}

bool ParseSwitch(std::string_view text, bool& out) {
    if (text == "yes" || text == "true" || text == "1" || text == "on") {
        out = true;
        return true;
    }
    if (text == "no" || text == "false" || text == "0" || text == "off") {
        out = false;
        return true;
    }
    return false;
}

class ConfigBuilder {
  public:
    ConfigBuilder(ServiceConfig& config, std::int64_t now) : config_(config), now_(now) {}

    bool Build(const std::vector<IniSection>& sections, Problem& problem) {
        for (const IniSection& section : sections) {
            if (!CheckSectionKeys(section, problem) || !BuildSection(section, problem)) {
                return false;
            }
        }
        return true;
    }

  private:
    bool BuildSection(const IniSection& s, Problem& p) {
        if (s.kind == "service") {
            return Unnamed(s, p) && Once(seen_service_, s, p) && BuildService(s, p);
        }
        if (s.kind == "account") {
            return Named(s, p) && BuildAccount(s, p);
        }
        if (s.kind == "band") {
            return Named(s, p) && BuildBand(s, p);
        }
        if (s.kind == "failure") {
            return Named(s, p) && BuildFailure(s, p);
        }
        return Fail(p, s.line,
                    "unknown section [" + s.kind + "] (expected service, account, band, failure)");
    }

    static bool Fail(Problem& p, int line, std::string text) {
        p = {line, std::move(text)};
        return false;
    }

    static bool Named(const IniSection& s, Problem& p) {
        return !s.name.empty() || Fail(p, s.line, "[" + s.kind + "] needs a name");
    }
    static bool Unnamed(const IniSection& s, Problem& p) {
        return s.name.empty() || Fail(p, s.line, "[" + s.kind + "] takes no name");
    }
    static bool Once(bool& seen, const IniSection& s, Problem& p) {
        if (seen) {
            return Fail(p, s.line, "a second [" + s.kind + "] section");
        }
        seen = true;
        return true;
    }

    static bool CheckSectionKeys(const IniSection& s, Problem& p) {
        std::set<std::string, std::less<>> seen;
        for (const IniEntry& e : s.entries) {
            if (!seen.insert(e.key).second && !kRepeatableKeys.count(e.key)) {
                return Fail(p, e.line, Quoted(e.key) + " given twice in this section");
            }
        }
        return true;
    }

    // Text that goes on the wire must survive the trip to CP949.
    static bool WireText(const IniEntry& e, Problem& p) {
        return RoundTripsThroughCp949(e.value) ||
               Fail(p, e.line, Quoted(e.key) + " holds characters that CP949 cannot carry");
    }

    static bool NoneOf(const IniEntry& e, std::string_view forbidden, std::string_view why,
                       Problem& p) {
        const std::size_t at = e.value.find_first_of(forbidden);
        if (at == std::string::npos) {
            return true;
        }
        return Fail(p, e.line,
                    Quoted(e.key) + " may not contain " + Quoted(e.value.substr(at, 1)) + " (" +
                        std::string(why) + ")");
    }

    bool BuildService(const IniSection& s, Problem& p) {
        for (const IniEntry& e : s.entries) {
            if (e.key == "web_host") {
                config_.web_host = e.value;
            } else if (e.key == "public_address") {
                config_.public_address = e.value;
            } else if (e.key == "version") {
                int v = 0;
                if (!ParseInt(e.value, 0, 1000000000, v)) {
                    return Fail(p, e.line, "\"version\" must be a number");
                }
                config_.version_lines.push_back("version=" + e.value);
            } else if (e.key == "download") {
                config_.version_lines.push_back("download=" + e.value);
            } else if (e.key == "version_line") {
                config_.version_lines.push_back(e.value);
            } else if (e.key == "files_dir") {
                config_.files_dir = e.value;
            } else if (e.key == "pages_dir") {
                config_.pages_dir = e.value;
            } else {
                return Fail(p, e.line, "unknown key " + Quoted(e.key) + " in [service]");
            }
        }
        return true;
    }

    bool BuildAccount(const IniSection& s, Problem& p) {
        if (config_.FindAccount(s.name)) {
            return Fail(p, s.line, "account " + Quoted(s.name) + " defined twice");
        }
        Account a;
        a.id = s.name;
        a.line = s.line;
        bool has_password = false;
        for (const IniEntry& e : s.entries) {
            has_password = has_password || e.key == "password";
            if (!AccountEntry(e, a, p)) {
                return false;
            }
        }
        if (!has_password) {
            return Fail(p, s.line, "account " + Quoted(s.name) + " has no \"password\"");
        }
        config_.accounts.push_back(std::move(a));
        return true;
    }

    bool AccountEntry(const IniEntry& e, Account& a, Problem& p) {
        if (kAnswerKeys.count(e.key)) {
            return AnswerEntry(e, a, p);
        }
        if (e.key == "password") {
            a.password = e.value;
            return true;
        }
        if (e.key == "state") {
            return AccountStateEntry(e, a, p);
        }
        if (e.key == "message") {
            if (e.value.empty()) {
                return Fail(p, e.line, "an empty \"message\"");
            }
            if (!NoneOf(e, "|=^", "the login answer separates messages with it", p) ||
                !WireText(e, p)) {
                return false;
            }
            a.messages.push_back(e.value);
            return true;
        }
        if (e.key == "login_retry_count") {
            int v = 0;
            if (!ParseInt(e.value, 0, 1000000, v)) {
                return Fail(p, e.line, "\"login_retry_count\" must be a number of 0 or more");
            }
            a.login_retry_count = v;
            return true;
        }
        if (e.key == "refresh_xxxdate") {
            if (!DateEntry(e, p)) {
                return false;
            }
            a.refresh_xxxdate = ResolveDate(e.value, now_);
            return true;
        }
        if (e.key == "refresh_xxxtime") {
            return ParseInt(e.value, -10000000, 10000000, a.refresh_xxxtime) ||
                   Fail(p, e.line, "\"refresh_xxxtime\" must be a number of minutes");
        }
        if (e.key == "pool_error" || e.key == "change_error") {
            if (!NoneOf(e, "|=", "the answer cuts its fields at it", p) || !WireText(e, p)) {
                return false;
            }
            (e.key == "pool_error" ? a.pool_error : a.change_error) = e.value;
            return true;
        }
        return Fail(p, e.line, "unknown key " + Quoted(e.key) + " in [account " + a.id + "]");
    }

    static bool AccountStateEntry(const IniEntry& e, Account& a, Problem& p) {
        if (e.value == "active") {
            a.state = AccountState::kActive;
        } else if (e.value == "suspended") {
            a.state = AccountState::kSuspended;
        } else if (e.value == "no_time") {
            a.state = AccountState::kNoTime;
        } else {
            return Fail(p, e.line,
                        "\"state\" must be active, suspended or no_time, not " + Quoted(e.value));
        }
        return true;
    }

    static bool DateEntry(const IniEntry& e, Problem& p) {
        if (LooksRelative(e.value) && !RelativeOffset(e.value)) {
            return Fail(p, e.line,
                        Quoted(e.key) + " = " + Quoted(e.value) +
                            " is not a relative date (now, +N or -N followed by s, m, h or d)");
        }
        return true;
    }

    bool AnswerEntry(const IniEntry& e, Account& a, Problem& p) {
        if (!NoneOf(e, "|=", "the answer grammar cannot carry it", p) || !WireText(e, p)) {
            return false;
        }
        if (!e.value.empty() && e.value.front() == '/') {
            return Fail(p, e.line,
                        Quoted(e.key) +
                            " may not start with \"/\" (it is sent as \"==\", which "
                            "would join the key's \"=\")");
        }
        if ((e.key == "xxxdate" || e.key == "server_time") && !DateEntry(e, p)) {
            return false;
        }
        // server_time follows the clock at each answer; every other date is
        // fixed when the service starts.
        a.answer.emplace_back(e.key, e.key == "xxxdate" ? ResolveDate(e.value, now_) : e.value);
        return true;
    }

    bool BuildBand(const IniSection& s, Problem& p) {
        if (config_.FindBand(s.name)) {
            return Fail(p, s.line, "band " + Quoted(s.name) + " defined twice");
        }
        const IniEntry name{"band name", s.name, s.line};
        if (!NoneOf(name, "|=^ \t", "band names travel inside records and lists", p) ||
            !WireText(name, p)) {
            return false;
        }
        Band b;
        b.name = s.name;
        b.line = s.line;
        for (const IniEntry& e : s.entries) {
            if (e.key == "ip") {
                if (!PoolEntryLine(e, b, p)) {
                    return false;
                }
            } else if (e.key == "error") {
                if (!NoneOf(e, "|=", "the answer cuts its fields at it", p) || !WireText(e, p)) {
                    return false;
                }
                b.error = e.value;
            } else {
                return Fail(p, e.line,
                            "unknown key " + Quoted(e.key) + " in [band " + s.name + "]");
            }
        }
        config_.bands.push_back(std::move(b));
        return true;
    }

    // "ip = CODE ADDRESS"
    static bool PoolEntryLine(const IniEntry& e, Band& b, Problem& p) {
        std::istringstream words(e.value);
        PoolEntry entry;
        std::string extra;
        if (!(words >> entry.code >> entry.address) || (words >> extra)) {
            return Fail(p, e.line,
                        "\"ip\" must be a code and an address, e.g. \"ip = s01 10.1.1.1\"");
        }
        const IniEntry pieces{"ip", entry.code + entry.address, e.line};
        if (!NoneOf(pieces, "|=^", "the pool answer separates entries with it", p) ||
            !WireText(pieces, p)) {
            return false;
        }
        b.pool.push_back(std::move(entry));
        return true;
    }

    bool BuildFailure(const IniSection& s, Problem& p) {
        const auto endpoint = EndpointByName(s.name);
        if (!endpoint) {
            return Fail(p, s.line,
                        "unknown endpoint " + Quoted(s.name) +
                            " (login, login_test, refresh, logout, event, ip_pool, ip_change, "
                            "version, pages, files)");
        }
        FailureRule& rule = config_.failures[static_cast<std::size_t>(*endpoint)];
        if (rule.configured) {
            return Fail(p, s.line, "[failure " + s.name + "] defined twice");
        }
        rule.configured = true;
        for (const IniEntry& e : s.entries) {
            if (!FailureEntry(e, rule, p)) {
                return false;
            }
        }
        return true;
    }

    static bool FailureEntry(const IniEntry& e, FailureRule& r, Problem& p) {
        if (e.key == "status") {
            return ParseInt(e.value, 100, 599, r.status) ||
                   Fail(p, e.line, "\"status\" must be an HTTP status between 100 and 599");
        }
        if (e.key == "delay_ms") {
            return ParseInt(e.value, 0, 600000, r.delay_ms) ||
                   Fail(p, e.line, "\"delay_ms\" must be between 0 and 600000");
        }
        if (e.key == "count") {
            return ParseInt(e.value, 1, 1000000000, r.count) ||
                   Fail(p, e.line, "\"count\" must be a number of requests, 1 or more");
        }
        if (e.key == "answer") {
            if (!WireText(e, p)) {
                return false;
            }
            r.answer = e.value;
            return true;
        }
        bool* flag = e.key == "drop"                ? &r.drop
                     : e.key == "garbage"           ? &r.garbage
                     : e.key == "no_content_length" ? &r.no_content_length
                                                    : nullptr;
        if (!flag) {
            return Fail(p, e.line, "unknown key " + Quoted(e.key) + " in a [failure] section");
        }
        return ParseSwitch(e.value, *flag) ||
               Fail(p, e.line, Quoted(e.key) + " must be yes or no, not " + Quoted(e.value));
    }

    ServiceConfig& config_;
    std::int64_t now_;
    bool seen_service_ = false;
};

}  // namespace

bool ParseConfig(std::string_view text, const std::string& file, std::int64_t now,
                 ServiceConfig& config, std::string& error) {
    config = ServiceConfig{};
    config.file = file;
    std::vector<IniSection> sections;
    IniError ini;
    Problem problem{0, {}};
    if (!ReadIni(text, sections, ini)) {
        problem = {ini.line, ini.message};
    } else if (ConfigBuilder(config, now).Build(sections, problem)) {
        return true;
    }
    error = file + ":" + std::to_string(problem.line) + ": " + problem.text;
    return false;
}

bool LoadConfigFile(const std::string& path, std::int64_t now, ServiceConfig& config,
                    std::string& error) {
    const auto text = ReadWholeFile(path);
    if (!text) {
        error = path + ": cannot read the config file";
        return false;
    }
    if (!ParseConfig(*text, path, now, config, error)) {
        return false;
    }
    namespace fs = std::filesystem;
    const fs::path base = fs::path(path).parent_path();
    const auto resolve = [&](std::string& dir, const char* fallback) {
        if (dir.empty() && fallback) {
            dir = fallback;
        }
        if (!dir.empty() && fs::path(dir).is_relative()) {
            dir = (base / dir).lexically_normal().string();
        }
    };
    resolve(config.files_dir, "files");
    resolve(config.pages_dir, nullptr);
    return true;
}

}  // namespace korvane::service
