#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::service {

// Every kind of request the service answers; failure rules are set per kind.
enum class Endpoint {
    kLogin,
    kLoginTest,
    kRefresh,
    kLogout,
    kEvent,
    kIpPool,
    kIpChange,
    kVersion,
    kPage,
    kFile,
};
inline constexpr std::size_t kEndpointCount = 10;

// The name of an endpoint in the config ("[failure login]") and the journal.
std::string_view EndpointName(Endpoint endpoint);
std::optional<Endpoint> EndpointByName(std::string_view name);

using Fields = std::vector<std::pair<std::string, std::string>>;

enum class AccountState { kActive, kSuspended, kNoTime };

struct Account {
    std::string id;
    std::string password;
    AccountState state = AccountState::kActive;
    // Answer fields of an accepted login, by wire name, in config order.
    Fields answer;
    // Non-empty: the login answers server_error with these messages.
    std::vector<std::string> messages;
    std::optional<int> login_retry_count;
    // Account refresh: the end date sent (the login's xxxdate when unset) and
    // the minutes added.
    std::optional<std::string> refresh_xxxdate;
    int refresh_xxxtime = 0;
    // Non-empty: pool or IP change requests answer server_error with it.
    std::string pool_error;
    std::string change_error;
    int line = 0;
};

struct PoolEntry {
    std::string code;
    std::string address;
};

struct Band {
    std::string name;
    std::vector<PoolEntry> pool;
    std::string error;
    int line = 0;
};

struct FailureRule {
    bool configured = false;
    int status = 0;  // 0: the normal status
    int delay_ms = 0;
    bool drop = false;
    bool garbage = false;
    bool no_content_length = false;
    std::optional<std::string> answer;  // sent (encoded) instead of the computed one
    int count = -1;                     // requests affected; -1 all of them
};

// A file the service hands out: the request path (as the accounts' URLs name
// it) and the file on disk.
struct ServedFile {
    std::string path;
    std::string source;
};

struct ServiceConfig {
    std::string file;  // the config file, for messages
    std::string web_host;
    std::string public_address;
    std::vector<std::string> version_lines;
    std::string files_dir;
    std::string pages_dir;
    std::vector<Account> accounts;
    std::vector<Band> bands;
    std::array<FailureRule, kEndpointCount> failures{};

    const Account* FindAccount(std::string_view id) const;
    const Band* FindBand(std::string_view name) const;
    const FailureRule& Failure(Endpoint endpoint) const {
        return failures[static_cast<std::size_t>(endpoint)];
    }
};

// The value of the first field named `key`, or nullopt.
std::optional<std::string_view> FieldValue(const Fields& fields, std::string_view key);

}  // namespace korvane::service
