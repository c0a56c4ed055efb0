#include "update/UrlDownload.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>

namespace korvane {

namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// libcurl's process-wide state; its initialisation is reference-counted, so
// this sits beside the HTTP client's own.
void EnsureCurlGlobal() {
    struct Global {
        Global() { curl_global_init(CURL_GLOBAL_DEFAULT); }
        ~Global() { curl_global_cleanup(); }
    };
    static const Global global;
}

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* user) {
    return std::fwrite(data, size, count, static_cast<std::FILE*>(user)) * size;
}

int OnProgress(void* user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    const auto* check = static_cast<const ProgressCheck*>(user);
    return (*check)(received, total) ? 0 : 1;
}

// Loopback is never sent through a proxy from the environment.
constexpr const char* kNoProxy = "localhost,127.0.0.0/8,::1";

bool Fetch(const std::string& url, std::FILE* file, const ProgressCheck& progress) {
    EnsureCurlGlobal();
    const std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) {
        return false;
    }
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_NOPROXY, kNoProxy);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteToFile);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, file);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &progress);
    if (curl_easy_perform(h) != CURLE_OK) {
        return false;
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    return status == 200;
}

}  // namespace

int DownloadUrlToFile(const std::string& url, const std::string& target_path,
                      const ProgressCheck& progress) {
    const std::string partial = target_path + ".part";
    bool fetched = false;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(partial.c_str(), "wb"));
        if (!file) {
            return -1;
        }
        fetched = Fetch(url, file.get(), progress);
        fetched = std::fflush(file.get()) == 0 && fetched;
    }
    if (!fetched || std::rename(partial.c_str(), target_path.c_str()) != 0) {
        std::remove(partial.c_str());
        return -1;
    }
    return 0;
}

}  // namespace korvane
