#pragma once

#include <cstdint>
#include <string>

#include "ServiceConfig.h"

namespace korvane::service {

// The account whose id and password the record carries (under the given
// keys), or nullptr.
const Account* Authenticate(const ServiceConfig& config, const Fields& record,
                            std::string_view id_key = "id",
                            std::string_view password_key = "password");

// Writes one answer value: a "/" travels as "==", which the client turns back.
std::string AnswerValue(std::string_view value);

// The plain (not yet encoded) answer to a login record, judged in this order:
// unknown id or wrong password, suspended, server messages, no paid time,
// accepted. `now` is the service's clock (local seconds) for server_time.
std::string LoginAnswer(const ServiceConfig& config, const Fields& record, std::int64_t now);

}  // namespace korvane::service
