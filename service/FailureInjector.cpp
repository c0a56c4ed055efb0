#include "FailureInjector.h"

namespace korvane::service {

const FailureRule* FailureInjector::Next(Endpoint endpoint) {
    const FailureRule& rule = config_.Failure(endpoint);
    if (!rule.configured) {
        return nullptr;
    }
    if (rule.count >= 0) {
        const int used = used_[static_cast<std::size_t>(endpoint)].fetch_add(1);
        if (used >= rule.count) {
            return nullptr;
        }
    }
    return &rule;
}

std::string_view GarbageBody() {
    // "오류" (error) in CP949 inside an HTML error page.
    return "<html><body><h1>500 \xbf\xc0\xb7\xf9</h1>Fatal error: "
           "Call to undefined function on line 42</body></html>\r\n";
}

}  // namespace korvane::service
