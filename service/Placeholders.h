#pragma once

#include <string>
#include <string_view>

#include "ServiceConfig.h"

namespace korvane::service {

// Config values may name the service itself, whose port is known only once
// it listens: "${self}" becomes public_address (or, when that is unset, the
// address and port it listens on) and "${web_host}" the web host (by default
// "${self}"). Run once, after binding.
void ResolvePlaceholders(ServiceConfig& config, std::string_view listen_address);

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

}  // namespace korvane::service
