#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ServiceConfig.h"

namespace korvane::service {

// The version file at /ClientVersion/<client_code>/<client_code>_setup.php:
// the [service] version lines, plain text. nullopt when the path is not of
// that form or no version lines are configured.
std::optional<std::string> VersionFile(const ServiceConfig& config, std::string_view path);

// The files the accounts' URLs name: every crt_file and the version file's
// download line. Each is served from files_dir under its last path piece.
std::vector<ServedFile> ServedFiles(const ServiceConfig& config);

// The path part of "http://host[:port]/path?query", empty when there is none.
std::string UrlPath(std::string_view url);

struct WebPage {
    std::string_view path;
    std::string_view file;  // in pages_dir, and the built-in copy's name
};

// The service's web pages (FAQ, join, find password, update, banner).
const std::vector<WebPage>& WebPages();

// The page's HTML (UTF-8) with ${web_host} filled in: pages_dir's copy when
// there is one, else the built-in one. nullopt for other paths.
std::optional<std::string> PageHtml(const ServiceConfig& config, std::string_view path);

// The file on disk for a request path (matched without regard to ASCII
// case: the client lower-cases the account answer), or nullopt.
std::optional<std::string> FileFor(const std::vector<ServedFile>& files, std::string_view path);

// The bytes of a file, nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace korvane::service
