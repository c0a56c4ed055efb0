#include "StaticContent.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BuiltInPages.h"
#include "Placeholders.h"

namespace korvane::service {

namespace {

constexpr std::string_view kVersionPrefix = "/ClientVersion/";
constexpr std::string_view kSetupSuffix = "_setup.php";

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The value of a version line as the client reads it: blanks and CR
// removed, the text between the first and the second "=".
std::optional<std::string> DownloadValue(std::string_view line) {
    std::string clean;
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '\r') {
            clean += c;
        }
    }
    const std::size_t eq = clean.find('=');
    if (eq == std::string::npos || clean.substr(0, eq) != "download") {
        return std::nullopt;
    }
    const std::size_t end = clean.find('=', eq + 1);
    return clean.substr(eq + 1, end == std::string::npos ? std::string::npos : end - eq - 1);
}

void AddServedFile(const ServiceConfig& config, std::string_view url,
                   std::vector<ServedFile>& files) {
    const std::string path = UrlPath(url);
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || FileFor(files, path)) {
        return;
    }
    files.push_back({path, (std::filesystem::path(config.files_dir) / name).string()});
}

}  // namespace

std::optional<std::string> VersionFile(const ServiceConfig& config, std::string_view path) {
    if (path.substr(0, kVersionPrefix.size()) != kVersionPrefix || config.version_lines.empty()) {
        return std::nullopt;
    }
    const std::string_view rest = path.substr(kVersionPrefix.size());
    const std::size_t slash = rest.find('/');
    if (slash == 0 || slash == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view code = rest.substr(0, slash);
    if (rest.substr(slash + 1) != std::string(code) + std::string(kSetupSuffix)) {
        return std::nullopt;
    }
    std::string text;
    for (const std::string& line : config.version_lines) {
        text += line + "\n";
    }
    return text;
}

std::string UrlPath(std::string_view url) {
    const std::size_t scheme = url.find("://");
    std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) {
        return "";
    }
    rest = rest.substr(slash);
    return std::string(rest.substr(0, rest.find_first_of("?#")));
}

std::vector<ServedFile> ServedFiles(const ServiceConfig& config) {
    std::vector<ServedFile> files;
    for (const Account& account : config.accounts) {
        if (const auto crt = FieldValue(account.answer, "crt_file")) {
            AddServedFile(config, *crt, files);
        }
    }
    for (const std::string& line : config.version_lines) {
        if (const auto url = DownloadValue(line)) {
            AddServedFile(config, *url, files);
        }
    }
    return files;
}

const std::vector<WebPage>& WebPages() {
    static const std::vector<WebPage> pages = {
        {"/customer/faq.php", "faq.html"},          {"/member/join1.php", "join.html"},
        {"/member/idpw.php", "idpw.html"},          {"/vpn_program/update.php", "update.html"},
        {"/vpn_program/banner.php", "banner.html"},
    };
    return pages;
}

std::optional<std::string> PageHtml(const ServiceConfig& config, std::string_view path) {
    const auto& pages = WebPages();
    const auto page =
        std::find_if(pages.begin(), pages.end(), [&](const WebPage& p) { return p.path == path; });
    if (page == pages.end()) {
        return std::nullopt;
    }
    std::optional<std::string> html;
    if (!config.pages_dir.empty()) {
        html = ReadWholeFile((std::filesystem::path(config.pages_dir) / page->file).string());
    }
    if (!html) {
        const auto built_in = BuiltInPage(page->file);
        if (!built_in) {
            return std::nullopt;
        }
        html = std::string(*built_in);
    }
    return ReplaceAll(std::move(*html), "${web_host}", config.web_host);
}

std::optional<std::string> FileFor(const std::vector<ServedFile>& files, std::string_view path) {
    const std::string wanted = Lower(path);
    for (const ServedFile& file : files) {
        if (Lower(file.path) == wanted) {
            return file.source;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace korvane::service
