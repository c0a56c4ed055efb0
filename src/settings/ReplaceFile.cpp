#include "settings/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace korvane {
namespace {

class FdCloser {
  public:
    explicit FdCloser(int fd) : fd_(fd) {}
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    ~FdCloser() { Close(); }
    int get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

mode_t ModeToKeep(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & 07777;
    }
    return 0644;
}

}  // namespace

bool ReadFileOrEmpty(const std::string& path, std::string& content) {
    content.clear();
    FdCloser fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return errno == ENOENT;
    }
    char chunk[8192];
    while (true) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        content.append(chunk, static_cast<std::size_t>(got));
    }
}

// No fsync: the files written this way are rewritten on every use and
// removed soon after, and a phonebook entry is written one key at a time, so
// syncing each rename would cost far more than a lost file after a power cut.
bool ReplaceFileContent(const std::string& path, std::string_view content) {
    std::string temp = path + ".tmp-XXXXXX";
    FdCloser fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    const bool written = ::fchmod(fd.get(), ModeToKeep(path)) == 0 && WriteAll(fd.get(), content) &&
                         fd.Close() && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!written) {
        ::unlink(temp.c_str());
    }
    return written;
}

}  // namespace korvane
