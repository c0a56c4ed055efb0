#include "settings/CertificateVersionFile.h"

#include <charconv>
#include <string>

#include "settings/CFileMgmt.h"

namespace korvane {
namespace {

constexpr std::string_view kFileName = "crtver.ini";

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

int ReadCertificateVersion(std::string_view program_dir) {
    CFileMgmt file;
    if (file.OpenForRead(program_dir, kFileName) != 0) {
        return -1;
    }
    const std::string line = file.ReadLine();
    file.Close();
    const std::string_view text = TrimBlanks(line);
    int version = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), version);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return -1;
    }
    return version;
}

int WriteCertificateVersion(std::string_view program_dir, int version) {
    CFileMgmt file;
    if (file.OpenForWrite(program_dir, kFileName) != 0) {
        return -1;
    }
    const int appended = file.AppendLine(std::to_string(version));
    const int closed = file.Close();
    return appended == 0 && closed == 0 ? 0 : -1;
}

}  // namespace korvane
