#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::service {

// Dates in the config may be written relative to the service's clock so that
// scenarios never rot: "now", "+3m", "-1m", "+10h", "+2d", "+30s".

// True when the text is meant as a relative date (starts with "+" or "-", or
// is "now"), whether or not it is well formed.
bool LooksRelative(std::string_view text);

// The offset in seconds of a relative date, nullopt when it is malformed.
std::optional<std::int64_t> RelativeOffset(std::string_view text);

// "YYYY-MM-DD hh:mm:ss" of a local moment (seconds since 1970 local).
std::string FormatLocalDate(std::int64_t local_seconds);

// A relative date resolved against `now`; any other text as it stands.
std::string ResolveDate(std::string_view text, std::int64_t now);

}  // namespace korvane::service
