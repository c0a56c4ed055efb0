#include "TunnelTestSupport.h"

#include <curl/curl.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "tunnel/COpenVpnMgmt.h"

namespace korvane::test {

std::string TunnelTestOperations::ReadLog() const {
    const SessionContext& session = main_->session();
    std::ifstream in(TunnelFilePath(session, session.tunnel_log), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

MainPanels MakeTestPanels(CKorvaneDlg& main) {
    MainPanels panels = MakeTemplatePanels(main);
    panels.connecting = std::make_unique<RecordingProgress>(main.host());
    return panels;
}

int CurlDownload(const std::string& url, const std::string& path) {
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!curl || !file) {
        return -1;
    }
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, file.get());
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl.get(), CURLOPT_NOPROXY, "*");
    const CURLcode result = curl_easy_perform(curl.get());
    file.reset();
    if (result != CURLE_OK) {
        std::remove(path.c_str());
        return -1;
    }
    return 1;
}

}  // namespace korvane::test
