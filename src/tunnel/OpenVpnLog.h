#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// Results of a look at the tunnel program's log.
inline constexpr int kLogCompleted = 1;
inline constexpr int kLogEndedLongLog = -10;
inline constexpr int kLogCannotOpen = -11;
inline constexpr int kLogShortLog = -14;
inline constexpr int kLogRunning = -100;

// Lines shorter than this are counted but not examined; a log of fewer
// lines than kShortLogLines is a short log.
inline constexpr std::size_t kExaminedLineLength = 20;
inline constexpr int kShortLogLines = 15;

struct LogMarker {
    std::string_view text;
    int code;
};

// The error markers, in the order a line is tested for them.
inline constexpr LogMarker kErrorMarkers[] = {
    {"TCP/UDP: Closing socket", -1},
    {"error=certificate is not yet valid", -2},
    {"error=certificate has expired", -3},
    {"TLS Error: Need PEM pass phrase for private key", -4},
    {"EVP_DecryptFinal:bad decrypt", -5},
    {"PKCS12_parse:mac verify failure", -6},
    {"Received AUTH_FAILED control message", -7},
    {"Auth username is empty", -8},
    {"netsh command failed", -9},
    {"No Route to Host", -12},
    {"There are no TAP-Win32 adapters on this system", -13},
    {"SIGUSR1[soft,ping-restart] received, process restarting", -13},
};
// Tested last, and only while the program runs.
inline constexpr std::string_view kCompletionMarker = "Initialization Sequence Completed";
inline constexpr std::string_view kCompletionWithErrors =
    "Initialization Sequence Completed With Errors";

// Reads the log from its start, line by line; the first examined line that
// holds a marker decides (within the line, the first marker of the table).
// Without one: kLogShortLog under kShortLogLines lines, else kLogRunning or
// kLogEndedLongLog. The text is fed in pieces that end at a line end (the
// last piece may end without one).
class LogScan {
  public:
    explicit LogScan(bool running) : running_(running) {}

    // True once a marker has decided; the rest of the log does not matter.
    bool Feed(std::string_view whole_lines);
    // The result once everything was fed (or a marker decided).
    int Result() const;

  private:
    // Offset (within text) of the start of the first examined line from
    // `from` on that holds the marker, or npos.
    std::size_t FirstLine(std::string_view text, std::string_view marker, bool completion,
                          std::size_t from, std::size_t until) const;

    bool running_;
    int lines_ = 0;
    int decided_ = 0;
};

// The whole check on a file: kLogCannotOpen when it cannot be opened.
int ScanLogFile(const std::string& path, bool running);

}  // namespace korvane
