#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/RegistryHive.h"

namespace korvane {

class SettingsStore;

// The settings values, read and written through the settings-store port. It
// keeps no state of its own: every call names the hive and the key, which the
// callers take from the session record. Results are 1 for success, 0 for failure.
class CRegCtrl {
  public:
    // Every caller reads through a buffer of this size; a longer value reads as absent.
    static constexpr std::size_t kReadCapacity = 1024;

    explicit CRegCtrl(SettingsStore& store) : store_(store) {}

    // Creates the key when missing (start-up).
    int CreateKey(RegistryHive hive, std::string_view key) const;

    // Copies the value's bytes into buffer. A value longer than capacity fails
    // and leaves the buffer untouched. length, when given, receives the byte count.
    int ReadValue(RegistryHive hive, std::string_view key, std::string_view name, char* buffer,
                  std::size_t capacity, std::size_t* length = nullptr) const;

    // The value as text, read with kReadCapacity: up to the first zero byte,
    // empty when the value is absent, unreadable or too long.
    std::string ReadText(RegistryHive hive, std::string_view key, std::string_view name) const;

    // Type 1 stores text, 4 the text's leading decimal digits as a 4-byte
    // little-endian number (0 when none, saturating), 7 text as a multi-string.
    // 0 when the key cannot be opened or created, the type is unknown or the
    // value could not be stored; 1 when it was stored.
    int WriteValue(RegistryHive hive, std::string_view key, std::string_view name, int type_code,
                   std::string_view text) const;

    int DeleteValue(RegistryHive hive, std::string_view key, std::string_view name) const;

  private:
    SettingsStore& store_;
};

}  // namespace korvane
