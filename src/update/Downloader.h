#pragma once

#include <functional>
#include <string>

namespace korvane {

// Fetches a URL into a file: positive on success, 0 or negative on failure.
// The update manager's Download is the real one; the certificate refresh and
// tests take it as a function.
using DownloadFunction = std::function<int(const std::string& url, const std::string& path)>;

}  // namespace korvane
