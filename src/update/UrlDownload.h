#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace korvane {

// Called at every progress report of a transfer with the bytes received so
// far and the total (0 while unknown); false aborts the transfer.
using ProgressCheck = std::function<bool(std::int64_t received, std::int64_t total)>;

// Fetches url (GET, no redirects followed) into target_path through a
// temporary file beside it that replaces the target only when the whole
// answer arrived with status 200. 0 on success, -1 on failure; a failure
// leaves no file at target_path and none beside it.
int DownloadUrlToFile(const std::string& url, const std::string& target_path,
                      const ProgressCheck& progress);

}  // namespace korvane
