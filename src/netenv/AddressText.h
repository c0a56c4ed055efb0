#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/NetworkPort.h"

namespace korvane {

// Four decimal parts of 0..255 separated by dots, nothing else. Unlike the
// lenient classic parser, which turns any unparsable text into
// 255.255.255.255, a bad text is reported so that no route to the broadcast
// address is ever made from it.
bool ParseDottedAddress(std::string_view text, Ipv4& address);
std::string FormatDottedAddress(Ipv4 address);

// Hardware address bytes as two upper-case hex digits each, no separators.
std::string FormatHardwareAddress(const std::vector<std::uint8_t>& bytes);

}  // namespace korvane
