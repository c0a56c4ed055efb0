#include "ServiceConfig.h"

#include <algorithm>

namespace korvane::service {

namespace {

constexpr std::array<std::string_view, kEndpointCount> kEndpointNames = {
    "login",   "login_test", "refresh", "logout", "event",
    "ip_pool", "ip_change",  "version", "pages",  "files",
};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string_view EndpointName(Endpoint endpoint) {
    return kEndpointNames[static_cast<std::size_t>(endpoint)];
}

std::optional<Endpoint> EndpointByName(std::string_view name) {
    for (std::size_t i = 0; i < kEndpointNames.size(); ++i) {
        if (kEndpointNames[i] == name) {
            return static_cast<Endpoint>(i);
        }
    }
    return std::nullopt;
}

const Account* ServiceConfig::FindAccount(std::string_view id) const {
    for (const Account& account : accounts) {
        if (account.id == id) {
            return &account;
        }
    }
    return nullptr;
}

// The client lower-cases the whole account answer, so the band names it
// learns from ip_pool_class come back lower-cased.
const Band* ServiceConfig::FindBand(std::string_view name) const {
    for (const Band& band : bands) {
        if (EqualsIgnoringAsciiCase(band.name, name)) {
            return &band;
        }
    }
    return nullptr;
}

std::optional<std::string_view> FieldValue(const Fields& fields, std::string_view key) {
    for (const auto& [k, v] : fields) {
        if (k == key) {
            return std::string_view(v);
        }
    }
    return std::nullopt;
}

}  // namespace korvane::service
