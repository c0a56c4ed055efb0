#pragma once

#include <string>
#include <string_view>

namespace korvane {

// Writes keys into one ini-format file (the phonebook). Each write reads the
// file, sets the key (see IniText.h for the rules) and replaces the file in one
// step. Results are 1, or -1 when nothing was written.
class CIniMgmt {
  public:
    CIniMgmt() = default;
    explicit CIniMgmt(std::string path) : path_(std::move(path)) {}

    void SetPath(std::string path) { path_ = std::move(path); }
    const std::string& path() const { return path_; }

    // Creates the file and the section when missing. A file that exists but
    // cannot be read is left alone rather than rewritten without its content.
    int WriteString(std::string_view section, std::string_view key, std::string_view value) const;

    // Creates the file or empties it.
    int Clear() const;

  private:
    std::string path_;
};

}  // namespace korvane
