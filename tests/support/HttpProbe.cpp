#include "HttpProbe.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace korvane::testing {

namespace {

// The client's header block.
constexpr const char* kContentType = "Content-Type: application/x-www-form-urlencoded";
constexpr const char* kUserAgent =
    "User-Agent: Moziila/4.0 (compatible; MSIE 7.0; Windows NT 6.0; SLCCC1; .NET CLR "
    "2.0.50728; Medla Centrr PC 5.0; .NET CLR 3.0.04506)";

std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

std::size_t CollectHeader(char* data, std::size_t size, std::size_t count, void* user) {
    const std::string line(data, size * count);
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos) {
        std::string name = line.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of("\r\n") + 1);
        (*static_cast<std::map<std::string, std::string>*>(user))[name] = value;
    }
    return size * count;
}

enum class Method { kGet, kPost };

HttpReply Exchange(const std::string& url, Method method, const std::string_view* body,
                   long timeout_ms) {
    HttpReply reply;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    curl_slist* raw_headers = nullptr;
    raw_headers = curl_slist_append(raw_headers, kContentType);
    raw_headers = curl_slist_append(raw_headers, kUserAgent);
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(raw_headers,
                                                                        curl_slist_free_all);
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeout_ms);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply.body);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, CollectHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &reply.headers);
    if (method == Method::kPost) {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, body ? body->data() : "");
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, body ? static_cast<long>(body->size()) : 0L);
    }
    reply.curl_code = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
    return reply;
}

}  // namespace

HttpReply PostQuery(const std::string& url, long timeout_ms) {
    return Exchange(url, Method::kPost, nullptr, timeout_ms);
}

HttpReply PostForm(const std::string& url, std::string_view body, long timeout_ms) {
    return Exchange(url, Method::kPost, &body, timeout_ms);
}

HttpReply Get(const std::string& url, long timeout_ms) {
    return Exchange(url, Method::kGet, nullptr, timeout_ms);
}

std::string QueryEscape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string RawExchange(int port, std::string_view request, int timeout_ms) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return "";
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::size_t sent = 0;
        while (sent < request.size()) {
            const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            pollfd p{fd, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) {
                break;
            }
            char buffer[4096];
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            answer.append(buffer, static_cast<std::size_t>(n));
        }
    }
    close(fd);
    return answer;
}

}  // namespace korvane::testing
