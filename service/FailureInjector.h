#pragma once

#include <array>
#include <atomic>
#include <string_view>

#include "ServiceConfig.h"

namespace korvane::service {

// Hands out the configured failure of an endpoint, counting the requests it
// has affected so that a rule with a count stops after that many.
class FailureInjector {
  public:
    explicit FailureInjector(const ServiceConfig& config) : config_(config) {}

    // The rule for this request, or nullptr (none configured, or used up).
    const FailureRule* Next(Endpoint endpoint);

  private:
    const ServiceConfig& config_;
    std::array<std::atomic<int>, kEndpointCount> used_{};
};

// What an endpoint sends instead of its answer when told to send garbage: a
// web server's error page in CP949, not a transport text.
std::string_view GarbageBody();

}  // namespace korvane::service
