#pragma once

#include <map>
#include <string>
#include <string_view>

namespace korvane::testing {

// An HTTP exchange as the client makes it (POST, the client's header block),
// through libcurl, for tests that talk to the service directly.
struct HttpReply {
    int curl_code = 0;  // CURLcode; 0 when the exchange completed
    long status = 0;
    std::string body;
    std::map<std::string, std::string> headers;  // names lower-cased

    bool Has(const std::string& header) const { return headers.count(header) != 0; }
};

// POST without a body, the data in the URL's query.
HttpReply PostQuery(const std::string& url, long timeout_ms = 10000);
// POST with the body as it stands (no form encoding).
HttpReply PostForm(const std::string& url, std::string_view body, long timeout_ms = 10000);
HttpReply Get(const std::string& url, long timeout_ms = 10000);

// Percent-encodes every byte outside A-Z a-z 0-9 - _ . ~
std::string QueryEscape(std::string_view text);

// Sends the bytes as they stand on a new connection to 127.0.0.1:port and
// returns everything received until the peer closes (or the timeout).
std::string RawExchange(int port, std::string_view request, int timeout_ms = 10000);

}  // namespace korvane::testing
