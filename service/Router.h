#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ServiceConfig.h"

namespace korvane::service {

// What one request leaves for the journal besides method, path and status.
struct ExchangeNotes {
    std::string endpoint;
    Fields fields;
    std::string note;
    std::vector<std::string> injected;
    std::optional<std::string> answer;
    bool dropped = false;
    bool logged = false;
};

struct Reply {
    int status = 200;
    std::string content_type = "text/plain";
    std::string body;
    bool encoded = false;  // the body is a transport text
};

// Which endpoint serves the path, nullopt for an unknown path (404).
std::optional<Endpoint> RouteFor(const ServiceConfig& config, const std::vector<ServedFile>& files,
                                 std::string_view path);

struct RequestView {
    std::string_view path;    // decoded path
    std::string_view target;  // raw request target, with the query
    std::string_view body;
};

// The reply of an endpoint to a request, before any injected failure. `now`
// is the service's clock (local seconds).
Reply BuildReply(const ServiceConfig& config, const std::vector<ServedFile>& files,
                 Endpoint endpoint, const RequestView& request, std::int64_t now,
                 ExchangeNotes& notes);

}  // namespace korvane::service
