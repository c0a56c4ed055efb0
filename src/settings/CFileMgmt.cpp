#include "settings/CFileMgmt.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "settings/SlashPath.h"

namespace korvane {
namespace {

std::string JoinPath(std::string_view folder, std::string_view name) {
    return ForwardSlashes(folder) + "/" + ForwardSlashes(name);
}

std::string StripLineEnd(std::string line) {
    if (!line.empty() && line.back() == '\n') {
        line.pop_back();
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
    }
    return line;
}

}  // namespace

int CFileMgmt::Adopt(std::FILE* file) {
    if (file == nullptr) {
        return -1;
    }
    file_.reset(file);
    return 0;
}

int CFileMgmt::OpenForWrite(std::string_view folder, std::string_view name) {
    Close();
    const std::string path = JoinPath(folder, name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    std::FILE* file = ::fdopen(fd, "w+");
    if (file == nullptr) {
        ::close(fd);
    }
    return Adopt(file);
}

int CFileMgmt::OpenForRead(std::string_view folder, std::string_view name) {
    Close();
    return Adopt(std::fopen(JoinPath(folder, name).c_str(), "re"));
}

int CFileMgmt::OpenPath(std::string_view path) {
    Close();
    return Adopt(std::fopen(ForwardSlashes(path).c_str(), "re"));
}

int CFileMgmt::AppendLine(std::string_view text) {
    if (!file_ || std::fseek(file_.get(), 0, SEEK_END) != 0) {
        return -1;
    }
    std::string line;
    line.reserve(text.size() + 2);
    for (const char c : text) {
        if (c == '\n') {
            line += '\r';
        }
        line += c;
    }
    line += "\r\n";
    const bool written = std::fwrite(line.data(), 1, line.size(), file_.get()) == line.size();
    // Flushing here reports a full disk to this caller, not to a later Close.
    return written && std::fflush(file_.get()) == 0 ? 0 : -1;
}

std::string CFileMgmt::ReadLine() {
    if (!file_) {
        return "-1";
    }
    char* raw = nullptr;
    std::size_t capacity = 0;
    const ssize_t got = ::getline(&raw, &capacity, file_.get());
    const std::unique_ptr<char, decltype(&std::free)> owned(raw, &std::free);
    if (got <= 0) {
        return "-1";
    }
    return StripLineEnd(std::string(raw, static_cast<std::size_t>(got)));
}

int CFileMgmt::ReadAllLines(std::string_view path, std::string& out) const {
    FilePtr file(std::fopen(ForwardSlashes(path).c_str(), "rbe"));
    if (!file) {
        return -11;
    }
    std::string content;
    char chunk[8192];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        content.append(chunk, got);
    }
    if (std::ferror(file.get())) {
        return -11;
    }
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const std::size_t next = end == std::string::npos ? content.size() : end + 1;
        std::string_view line(content.data() + start, next - start);
        if (!line.empty() && line.back() == '\n') {
            line.remove_suffix(1);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
        }
        out.append(line);
        out += "\r\n";
        start = next;
    }
    return 1;
}

int CFileMgmt::Close() {
    if (!file_) {
        return 0;
    }
    const int result = std::fclose(file_.release());
    return result == 0 ? 0 : -1;
}

}  // namespace korvane
