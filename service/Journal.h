#pragma once

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ServiceConfig.h"

namespace korvane::service {

// What the journal records of one request.
struct JournalEntry {
    std::string time;  // UTC, ISO 8601 with milliseconds
    std::string method;
    std::string path;
    int status = 0;  // the HTTP status sent; 0 when the connection was dropped
    std::string endpoint;
    Fields fields;  // the decoded record
    std::string note;
    std::vector<std::string> injected;
    std::optional<std::string> answer;  // the plain answer before encoding
};

// One JSON object, no line break. Control bytes and quotes are escaped;
// bytes that are not UTF-8 become U+FFFD. A key that comes twice in the
// record keeps its first value.
std::string JournalLine(const JournalEntry& entry);

std::string UtcTimestampNow();

// Appends one line per request to a file, flushed per line. Safe to call
// from the server's worker threads.
class Journal {
  public:
    Journal() = default;
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // False when the file cannot be opened for appending.
    bool Open(const std::string& path);
    void Write(const JournalEntry& entry);

  private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

}  // namespace korvane::service
