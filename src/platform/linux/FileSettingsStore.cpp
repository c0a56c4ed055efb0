#include "platform/linux/FileSettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace korvane {
namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

class UniqueFd {
  public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Close(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closing reports the last deferred write error, so a writer checks it.
    bool Close() {
        if (fd_ < 0) {
            return true;
        }
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

  private:
    int fd_;
};

// Removes a temporary file unless it was renamed into place.
class TempFileGuard {
  public:
    explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    ~TempFileGuard() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    void Release() { path_.clear(); }

  private:
    std::string path_;
};

bool NeedsEscape(unsigned char byte, bool first) {
    return byte < 0x20 || byte == 0x7F || byte == '/' || byte == '\\' || byte == '%' ||
           byte == '=' || (first && byte == '.');
}

std::string Escape(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (NeedsEscape(byte, i == 0)) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool ReadAll(int fd, std::string& out) {
    char chunk[4096];
    while (true) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            return true;
        }
        out.append(chunk, static_cast<std::size_t>(got));
    }
}

bool SyncFolder(const std::string& folder) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.valid() && ::fsync(fd.get()) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates one folder when missing, with exactly kFolderMode whatever the umask.
bool EnsureFolder(const std::string& path) {
    if (IsFolder(path)) {
        return true;
    }
    if (::mkdir(path.c_str(), kFolderMode) != 0) {
        return errno == EEXIST && IsFolder(path);
    }
    return ::chmod(path.c_str(), kFolderMode) == 0;
}

// Creates path and every missing parent.
bool EnsureFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (!EnsureFolder(path.substr(0, slash))) {
            return false;
        }
    }
    return EnsureFolder(path);
}

// "<type>\n<bytes>"; anything else is unreadable.
bool ParseValueFile(const std::string& content, StoredValue& value) {
    const std::size_t newline = content.find('\n');
    if (newline == 0 || newline == std::string::npos) {
        return false;
    }
    std::uint32_t type = 0;
    const char* end = content.data() + newline;
    const auto [stop, error] = std::from_chars(content.data(), end, type);
    if (error != std::errc() || stop != end) {
        return false;
    }
    value.type = type;
    value.bytes = content.substr(newline + 1);
    return true;
}

}  // namespace

FileSettingsStore::FileSettingsStore(std::string config_root)
    : config_root_(std::move(config_root)) {
    while (config_root_.size() > 1 && config_root_.back() == '/') {
        config_root_.pop_back();
    }
}

std::string FileSettingsStore::DefaultConfigRoot() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config";
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return std::string(found->pw_dir) + "/.config";
    }
    return {};
}

std::string FileSettingsStore::KeyFolder(std::string_view hive, std::string_view key) const {
    std::vector<std::string_view> parts;
    if (config_root_.empty() || !SplitSettingsKey(hive, key, parts)) {
        return {};
    }
    std::string folder = config_root_ + "/korvane/" + Escape(hive);
    for (const std::string_view part : parts) {
        folder += '/';
        folder += Escape(part);
    }
    return folder;
}

std::string FileSettingsStore::ValueFile(std::string_view hive, std::string_view key,
                                         std::string_view name) const {
    const std::string folder = KeyFolder(hive, key);
    return folder.empty() ? std::string() : folder + "/=" + Escape(name);
}

bool FileSettingsStore::CreateKey(std::string_view hive, std::string_view key) {
    const std::string folder = KeyFolder(hive, key);
    return !folder.empty() && EnsureFolders(folder);
}

bool FileSettingsStore::QueryValue(std::string_view hive, std::string_view key,
                                   std::string_view name, StoredValue& value) const {
    const std::string file = ValueFile(hive, key, name);
    if (file.empty()) {
        return false;
    }
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    std::string content;
    return fd.valid() && ReadAll(fd.get(), content) && ParseValueFile(content, value);
}

bool FileSettingsStore::SetValue(std::string_view hive, std::string_view key, std::string_view name,
                                 const StoredValue& value) {
    const std::string folder = KeyFolder(hive, key);
    if (folder.empty() || !IsFolder(folder)) {
        return false;
    }
    const std::string content = std::to_string(value.type) + '\n' + value.bytes;
    return WriteAtomically(folder, folder + "/=" + Escape(name), content);
}

bool FileSettingsStore::DeleteValue(std::string_view hive, std::string_view key,
                                    std::string_view name) {
    const std::string folder = KeyFolder(hive, key);
    if (folder.empty() || ::unlink((folder + "/=" + Escape(name)).c_str()) != 0) {
        return false;
    }
    return SyncFolder(folder);
}

// Temp file in the same folder, data synced, renamed over the old file, folder
// synced: a reader sees the old value or the new one, never a mix, and a crash
// leaves at worst a stray ".tmp-" file that no lookup can match.
bool FileSettingsStore::WriteAtomically(const std::string& folder, const std::string& file,
                                        const std::string& content) const {
    if (!StepAllowed(WriteStep::CreateTemp)) {
        return false;
    }
    std::string temp = folder + "/.tmp-XXXXXX";
    UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    TempFileGuard guard(temp);
    if (::fchmod(fd.get(), kFileMode) != 0) {
        return false;
    }
    if (!StepAllowed(WriteStep::WriteData)) {
        WriteAll(fd.get(), std::string_view(content).substr(0, content.size() / 2));
        return false;
    }
    if (!WriteAll(fd.get(), content)) {
        return false;
    }
    if (!StepAllowed(WriteStep::SyncData) || ::fsync(fd.get()) != 0 || !fd.Close()) {
        return false;
    }
    if (!StepAllowed(WriteStep::Rename) || ::rename(temp.c_str(), file.c_str()) != 0) {
        return false;
    }
    guard.Release();
    // The new value is in place but may not survive a power loss: say so.
    return StepAllowed(WriteStep::SyncFolder) && SyncFolder(folder);
}

}  // namespace korvane
