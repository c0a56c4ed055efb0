#include "PoolAnswers.h"

#include "LoginAnswer.h"

namespace korvane::service {

namespace {

// Service messages of the pool exchanges, shown to the user as they stand.
constexpr std::string_view kBadCredentials = "아이디 또는 비밀번호가 올바르지 않습니다";
constexpr std::string_view kUnknownBand = "등록되지 않은 대역입니다";
constexpr std::string_view kUnknownCode = "선택하신 아이피를 찾을 수 없습니다";

std::string ServerError(std::string_view message) {
    return "server_error=" + std::string(message);
}

void AppendPool(const Band& band, std::string& text) {
    for (const PoolEntry& entry : band.pool) {
        text += entry.code + "^" + entry.address + "|";
    }
}

std::vector<const Band*> AccountBands(const ServiceConfig& config, const Account& account) {
    std::vector<const Band*> bands;
    const auto names = FieldValue(account.answer, "ip_pool_class");
    std::string_view rest = names.value_or("");
    while (!rest.empty()) {
        const std::size_t caret = rest.find('^');
        if (const Band* band = config.FindBand(rest.substr(0, caret))) {
            bands.push_back(band);
        }
        rest.remove_prefix(caret == std::string_view::npos ? rest.size() : caret + 1);
    }
    if (bands.empty()) {
        for (const Band& band : config.bands) {
            bands.push_back(&band);
        }
    }
    return bands;
}

const PoolEntry* FindCode(const ServiceConfig& config, std::string_view code) {
    for (const Band& band : config.bands) {
        for (const PoolEntry& entry : band.pool) {
            if (entry.code == code) {
                return &entry;
            }
        }
    }
    return nullptr;
}

}  // namespace

std::string IpPoolAnswer(const ServiceConfig& config, const Fields& record) {
    const Account* account = Authenticate(config, record);
    if (!account) {
        return ServerError(kBadCredentials);
    }
    if (!account->pool_error.empty()) {
        return ServerError(account->pool_error);
    }
    const std::string_view class_code = FieldValue(record, "class_code").value_or("");
    std::string text;
    if (class_code.empty()) {
        for (const Band* band : AccountBands(config, *account)) {
            AppendPool(*band, text);
        }
        return text;
    }
    const Band* band = config.FindBand(class_code);
    if (!band) {
        return ServerError(kUnknownBand);
    }
    if (!band->error.empty()) {
        return ServerError(band->error);
    }
    AppendPool(*band, text);
    return text;
}

std::string IpChangeAnswer(const ServiceConfig& config, const Fields& record) {
    const Account* account = Authenticate(config, record);
    if (!account) {
        return ServerError(kBadCredentials);
    }
    if (!account->change_error.empty()) {
        return ServerError(account->change_error);
    }
    const PoolEntry* entry = FindCode(config, FieldValue(record, "ip_code").value_or(""));
    if (!entry) {
        return ServerError(kUnknownCode);
    }
    return "result=ok|select_ip=" + entry->address;
}

}  // namespace korvane::service
