#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/HttpSettings.h"

namespace korvane {

struct HttpExchangeResult {
    // A status line arrived. False when the request could not be sent or no
    // answer came (refused, unreachable, time-out before the answer).
    bool responded = false;
    long status = 0;
    // -1 when the answer named no Content-Length.
    std::int64_t content_length = -1;
    // The body bytes gathered, also when the transfer broke off midway.
    std::string body;
};

// One POST exchange, synchronous. `header_block` is CR LF separated header
// lines, sent exactly as given; the library adds no Content-Type, User-Agent,
// Accept or Expect of its own. The query of `url` is percent-encoded
// (QueryEscape.h); its port is replaced by settings.port; redirects are not
// followed. At most `body_limit` body bytes are kept; a longer answer is cut
// there.
HttpExchangeResult PostExchange(std::string_view url, std::string_view header_block,
                                std::string_view body, std::size_t body_limit,
                                const HttpSettings& settings);

}  // namespace korvane
