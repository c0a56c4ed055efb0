#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane::service {

// The transport text of the `bin` parameter: from the request target's query
// (raw or percent-encoded), else from a form body ("bin=<encoded>"). The
// encoded text may hold control bytes; "+" is kept as it is (the transport
// text is not form-encoded). nullopt when neither carries one.
std::optional<std::string> FindBin(std::string_view target, std::string_view body);

// Undoes %XX escapes; anything else, "+" included, stays as it is.
std::string PercentDecode(std::string_view text);

}  // namespace korvane::service
