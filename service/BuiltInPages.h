#pragma once

#include <optional>
#include <string_view>

namespace korvane::service {

// The HTML pages compiled into the service (service/pages/*.html), by file
// name. Generated at build time.
std::optional<std::string_view> BuiltInPage(std::string_view file);

}  // namespace korvane::service
