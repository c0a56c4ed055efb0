#pragma once

#include <string>
#include <string_view>

#include "ServiceConfig.h"

namespace korvane::service {

// Account refresh ("client_code=..|user_id=.."): the end date and the minutes
// bought since, as configured. An unknown user gets an empty answer.
std::string RefreshAnswer(const ServiceConfig& config, const Fields& record);

// Logout and event report: the client does not read the answer.
std::string AcknowledgeAnswer();

// The event record cut into its three fields, the event text whole: the
// tunnel log it carries may hold "|" and "=" of its own.
Fields EventRecordFields(std::string_view record);

}  // namespace korvane::service
