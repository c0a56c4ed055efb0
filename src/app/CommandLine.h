#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct SessionContext;

// The gate value that lets a launcher hand over the account.
constexpr const char* kLaunchGate = "7194";
constexpr const char* kDefaultClientCode = "korvane";

// Cuts `text` at every `separator`; an empty text is one empty piece.
std::vector<std::string> SplitFields(const std::string& text, char separator);

// The launcher's argument: "client code^user id^password^gate". Absent or
// empty: the default client code. With the gate: client code, user id and
// password are taken. Otherwise nothing is taken and the client code stays
// empty. Then the setup page name follows from the client code.
void ApplyLaunchArgument(const std::optional<std::string>& argument, SessionContext& session);

}  // namespace korvane
