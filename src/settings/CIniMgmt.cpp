#include "settings/CIniMgmt.h"

#include "settings/IniText.h"
#include "settings/ReplaceFile.h"

namespace korvane {

int CIniMgmt::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) const {
    if (path_.empty() || !IsValidIniEntry(section, key, value)) {
        return -1;
    }
    std::string content;
    if (!ReadFileOrEmpty(path_, content)) {
        return -1;
    }
    return ReplaceFileContent(path_, SetIniValue(content, section, key, value)) ? 1 : -1;
}

int CIniMgmt::Clear() const {
    return !path_.empty() && ReplaceFileContent(path_, {}) ? 1 : -1;
}

}  // namespace korvane
