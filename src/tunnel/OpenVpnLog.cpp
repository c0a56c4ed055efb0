#include "tunnel/OpenVpnLog.h"

#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace korvane {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::size_t kReadSize = 1 << 20;

std::size_t LineEnd(std::string_view text, std::size_t at) {
    const std::size_t end = text.find('\n', at);
    return end == kNone ? text.size() : end;
}

std::size_t LineStart(std::string_view text, std::size_t at) {
    const std::size_t newline = at == 0 ? kNone : text.rfind('\n', at - 1);
    return newline == kNone ? 0 : newline + 1;
}

// glibc's memmem is far quicker than a byte-wise search on long logs.
std::size_t Find(std::string_view text, std::string_view what, std::size_t from,
                 std::size_t until) {
    if (from >= until || until - from < what.size()) {
        return kNone;
    }
    const void* hit = memmem(text.data() + from, until - from, what.data(), what.size());
    return hit == nullptr ? kNone
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

struct FileCloser {
    int fd;
    ~FileCloser() { close(fd); }
};

}  // namespace

std::size_t LogScan::FirstLine(std::string_view text, std::string_view marker, bool completion,
                               std::size_t from, std::size_t until) const {
    for (std::size_t at = Find(text, marker, from, until); at != kNone;
         at = Find(text, marker, from, until)) {
        const std::size_t start = LineStart(text, at);
        const std::size_t end = LineEnd(text, at);
        std::size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r') {
            --length;
        }
        const std::string_view line = text.substr(start, length);
        const bool examined = length >= kExaminedLineLength;
        if (examined && !(completion && line.find(kCompletionWithErrors) != kNone)) {
            return start;
        }
        from = end + 1;
    }
    return kNone;
}

bool LogScan::Feed(std::string_view text) {
    if (decided_ != 0) {
        return true;
    }
    if (text.empty()) {
        return false;
    }
    lines_ += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    if (text.back() != '\n') {
        ++lines_;
    }
    std::size_t best = kNone;
    std::size_t until = text.size();
    const auto consider = [&](std::string_view marker, int code, bool completion) {
        const std::size_t line = FirstLine(text, marker, completion, 0, until);
        if (line != kNone && line < best) {
            best = line;
            decided_ = code;
            until = LineEnd(text, line);
        }
    };
    for (const LogMarker& marker : kErrorMarkers) {
        consider(marker.text, marker.code, false);
    }
    if (running_) {
        consider(kCompletionMarker, kLogCompleted, true);
    }
    return decided_ != 0;
}

int LogScan::Result() const {
    if (decided_ != 0) {
        return decided_;
    }
    if (lines_ < kShortLogLines) {
        return kLogShortLog;
    }
    return running_ ? kLogRunning : kLogEndedLongLog;
}

int ScanLogFile(const std::string& path, bool running) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return kLogCannotOpen;
    }
    const FileCloser closer{fd};
    LogScan scan(running);
    std::string buffer;
    for (;;) {
        const std::size_t kept = buffer.size();
        buffer.resize(kept + kReadSize);
        ssize_t got = 0;
        while ((got = read(fd, buffer.data() + kept, kReadSize)) < 0 && errno == EINTR) {
        }
        buffer.resize(kept + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got <= 0) {
            // The last line may be only partly written yet; it is a line too.
            scan.Feed(buffer);
            return scan.Result();
        }
        const std::size_t last = buffer.rfind('\n');
        if (last != kNone) {
            if (scan.Feed(std::string_view(buffer).substr(0, last + 1))) {
                return scan.Result();
            }
            buffer.erase(0, last + 1);
        }
    }
}

}  // namespace korvane
