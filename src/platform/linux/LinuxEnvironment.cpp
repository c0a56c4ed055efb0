#include "platform/linux/LinuxEnvironment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace korvane {

namespace {

std::string SelfPath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

// mkdir -p with mode 0700 for the folders it makes.
bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

LinuxEnvironment::LinuxEnvironment(std::string program_path)
    : program_path_(program_path.empty() ? SelfPath() : std::move(program_path)) {}

std::string LinuxEnvironment::UserDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/korvane";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/share/korvane";
    }
    return {};
}

std::string LinuxEnvironment::WindowsFolder() {
    const std::string folder = UserDataFolder();
    return !folder.empty() && MakeFolders(folder) ? folder : std::string();
}

std::string LinuxEnvironment::CurrentDirectory() const {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

bool LinuxEnvironment::SetCurrentDirectory(const std::string& folder) {
    return !folder.empty() && chdir(folder.c_str()) == 0;
}

bool LinuxEnvironment::CreateFolder(const std::string& folder) {
    if (mkdir(folder.c_str(), 0700) == 0) {
        return true;
    }
    struct stat info {};
    return errno == EEXIST && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace korvane
