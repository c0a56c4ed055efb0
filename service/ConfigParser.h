#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ServiceConfig.h"

namespace korvane::service {

// Builds the service's config from INI text (format in service/README.md).
// Relative dates are resolved against `now` (local seconds). On failure
// returns false and sets `error` to "FILE:LINE: problem".
bool ParseConfig(std::string_view text, const std::string& file, std::int64_t now,
                 ServiceConfig& config, std::string& error);

// Reads the file, then ParseConfig. Relative folders of the config are taken
// from the config file's folder.
bool LoadConfigFile(const std::string& path, std::int64_t now, ServiceConfig& config,
                    std::string& error);

}  // namespace korvane::service
