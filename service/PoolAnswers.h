#pragma once

#include <string>

#include "ServiceConfig.h"

namespace korvane::service {

// IP pool record: the pool of the band named by class_code, or with an empty
// class_code the whole pool of the account (the bands its ip_pool_class
// names, or every band when it names none). Entries "code^address", each
// followed by "|" (the client drops the last character).
std::string IpPoolAnswer(const ServiceConfig& config, const Fields& record);

// IP change record: "result=ok|select_ip=<address>" for the code asked.
std::string IpChangeAnswer(const ServiceConfig& config, const Fields& record);

}  // namespace korvane::service
