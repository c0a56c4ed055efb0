#include "protocol/HttpExchange.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "protocol/QueryEscape.h"

namespace korvane {

namespace {

// libcurl's process-wide state, set up once before the first request and
// released at exit.
class CurlGlobal {
  public:
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;
};

void EnsureCurlGlobal() {
    static const CurlGlobal global;
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool Append(HeaderList& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown == nullptr) {
        return false;
    }
    static_cast<void>(list.release());
    list.reset(grown);
    return true;
}

// The block's lines, then empty "Name:" entries that stop libcurl from adding
// headers of its own that the block does not carry.
HeaderList BuildHeaderList(std::string_view block) {
    HeaderList list;
    bool has_content_type = false;
    std::size_t pos = 0;
    while (pos <= block.size()) {
        const std::size_t end = std::min(block.find("\r\n", pos), block.size());
        const std::string_view line = block.substr(pos, end - pos);
        if (!line.empty()) {
            has_content_type = has_content_type || StartsWithNoCase(line, "content-type:");
            Append(list, std::string(line));
        }
        pos = end + 2;
    }
    if (!has_content_type) {
        Append(list, "Content-Type:");
    }
    Append(list, "Accept:");
    Append(list, "Expect:");
    return list;
}

// Proxies come from the environment (http_proxy, no_proxy), the desktop's
// preconfigured settings on Linux; loopback is never sent through one.
std::string NoProxyList() {
    std::string list = "localhost,127.0.0.0/8,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return std::string(value) + "," + list;
        }
    }
    return list;
}

struct BodySink {
    std::string body;
    std::size_t limit = 0;
};

std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    std::size_t room = sink->limit - std::min(sink->limit, sink->body.size());
    sink->body.append(data, std::min(bytes, room));
    // Returning less than offered ends the transfer; what came stays.
    return bytes <= room ? bytes : 0;
}

void SetOptions(CURL* handle, const std::string& url, curl_slist* headers, std::string_view body,
                const HttpSettings& settings, BodySink& sink, const std::string& no_proxy) {
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PORT, static_cast<long>(settings.port));
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    // Never a null pointer: libcurl would then read the body from stdin.
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.empty() ? "" : body.data());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, settings.connect_timeout_seconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, settings.receive_timeout_seconds);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_NOPROXY, no_proxy.c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
}

}  // namespace

HttpExchangeResult PostExchange(std::string_view url, std::string_view header_block,
                                std::string_view body, std::size_t body_limit,
                                const HttpSettings& settings) {
    EnsureCurlGlobal();
    HttpExchangeResult result;
    const EasyHandle handle(curl_easy_init());
    if (!handle) {
        return result;
    }
    const std::string escaped = PercentEncodeQuery(url);
    const HeaderList headers = BuildHeaderList(header_block);
    const std::string no_proxy = NoProxyList();
    BodySink sink{{}, body_limit};
    SetOptions(handle.get(), escaped, headers.get(), body, settings, sink, no_proxy);

    curl_easy_perform(handle.get());

    curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &result.status);
    curl_off_t length = -1;
    curl_easy_getinfo(handle.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    result.responded = result.status != 0;
    result.content_length = length;
    result.body = std::move(sink.body);
    return result;
}

}  // namespace korvane
