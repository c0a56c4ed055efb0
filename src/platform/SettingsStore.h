#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Type codes a stored value carries; the store keeps whatever code it is given.
namespace settings_type {
inline constexpr std::uint32_t kText = 1;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiText = 7;
}  // namespace settings_type

// One stored value: its type code and its bytes, kept exactly as written.
struct StoredValue {
    std::uint32_t type = 0;
    std::string bytes;
};

// The persisted settings (a registry where there is one). Values live in keys;
// a key is named by a hive name ("HKEY_CURRENT_USER") and a path of components
// separated by "\". Names are compared exactly as given.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // Opens the key, creating it and its parents when missing.
    virtual bool CreateKey(std::string_view hive, std::string_view key) = 0;
    // False when the key or the value does not exist or cannot be read.
    virtual bool QueryValue(std::string_view hive, std::string_view key, std::string_view name,
                            StoredValue& value) const = 0;
    // Stores into an existing key; false when the key is missing or the write failed.
    virtual bool SetValue(std::string_view hive, std::string_view key, std::string_view name,
                          const StoredValue& value) = 0;
    // False when the key or the value does not exist or cannot be removed.
    virtual bool DeleteValue(std::string_view hive, std::string_view key,
                             std::string_view name) = 0;
};

// Splits a key path at "\" into its components. False for an empty hive or key
// and for an empty component ("A\\B", "\A", "A\"), which no backend accepts.
inline bool SplitSettingsKey(std::string_view hive, std::string_view key,
                             std::vector<std::string_view>& parts) {
    parts.clear();
    if (hive.empty() || key.empty()) {
        return false;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = key.find('\\', start);
        const std::string_view part =
            key.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (part.empty()) {
            parts.clear();
            return false;
        }
        parts.push_back(part);
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

}  // namespace korvane
