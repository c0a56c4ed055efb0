#pragma once

#include <string>
#include <string_view>

namespace korvane {

// Reads a whole file. A missing file reads as empty text (true); any other
// failure is false, so a caller never mistakes an unreadable file for an empty one.
bool ReadFileOrEmpty(const std::string& path, std::string& content);

// Replaces the file's content in one step: a temporary file beside it is
// written and renamed over it, so readers see the old text or the new, never
// a part. An existing file keeps its mode; a new one is 0644.
bool ReplaceFileContent(const std::string& path, std::string_view content);

}  // namespace korvane
