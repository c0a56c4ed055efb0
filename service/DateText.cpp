#include "DateText.h"

#include <charconv>
#include <cstdio>
#include <limits>

#include "platform/Clock.h"

namespace korvane::service {

namespace {

std::optional<std::int64_t> UnitSeconds(char unit) {
    switch (unit) {
        case 's':
            return 1;
        case 'm':
            return 60;
        case 'h':
            return 3600;
        case 'd':
            return 86400;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool LooksRelative(std::string_view text) {
    return text == "now" || (!text.empty() && (text.front() == '+' || text.front() == '-'));
}

std::optional<std::int64_t> RelativeOffset(std::string_view text) {
    if (text == "now") {
        return 0;
    }
    if (text.size() < 3 || (text.front() != '+' && text.front() != '-')) {
        return std::nullopt;
    }
    const auto unit = UnitSeconds(text.back());
    const std::string_view digits = text.substr(1, text.size() - 2);
    std::int64_t count = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    // Ten thousand years is more than any scenario needs and cannot overflow.
    constexpr std::int64_t kMaxSeconds = 10000LL * 366 * 86400;
    if (!unit || ec != std::errc() || end != digits.data() + digits.size() || count < 0 ||
        count > kMaxSeconds / *unit) {
        return std::nullopt;
    }
    return (text.front() == '-' ? -count : count) * *unit;
}

std::string FormatLocalDate(std::int64_t local_seconds) {
    const LocalTime t = FromLocalSeconds(local_seconds);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::string ResolveDate(std::string_view text, std::int64_t now) {
    const auto offset = RelativeOffset(text);
    return offset ? FormatLocalDate(now + *offset) : std::string(text);
}

}  // namespace korvane::service
