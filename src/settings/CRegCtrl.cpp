#include "settings/CRegCtrl.h"

#include <cstdint>
#include <cstring>

#include "platform/SettingsStore.h"

namespace korvane {
namespace {

// The hive's name in the store; empty when no hive is set.
std::string_view HiveName(RegistryHive hive) {
    switch (hive) {
        case RegistryHive::CurrentUser:
            return "HKEY_CURRENT_USER";
        case RegistryHive::None:
            break;
    }
    return {};
}

std::uint32_t LeadingDecimal(std::string_view text) {
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > UINT32_MAX) {
            return UINT32_MAX;
        }
    }
    return static_cast<std::uint32_t>(value);
}

std::string LittleEndian(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// The stored form of text under a type code; false for a code we do not store.
bool Encode(int type_code, std::string_view text, StoredValue& value) {
    switch (type_code) {
        case 1:
            value = {settings_type::kText, std::string(text)};
            return true;
        case 4:
            value = {settings_type::kDword, LittleEndian(LeadingDecimal(text))};
            return true;
        case 7:
            value = {settings_type::kMultiText, std::string(text)};
            return true;
        default:
            return false;
    }
}

}  // namespace

int CRegCtrl::CreateKey(RegistryHive hive, std::string_view key) const {
    const std::string_view hive_name = HiveName(hive);
    if (hive_name.empty() || key.empty()) {
        return 0;
    }
    return store_.CreateKey(hive_name, key) ? 1 : 0;
}

int CRegCtrl::ReadValue(RegistryHive hive, std::string_view key, std::string_view name,
                        char* buffer, std::size_t capacity, std::size_t* length) const {
    const std::string_view hive_name = HiveName(hive);
    if (hive_name.empty() || key.empty() || (buffer == nullptr && capacity > 0)) {
        return 0;
    }
    StoredValue value;
    if (!store_.QueryValue(hive_name, key, name, value) || value.bytes.size() > capacity) {
        return 0;
    }
    if (!value.bytes.empty()) {
        std::memcpy(buffer, value.bytes.data(), value.bytes.size());
    }
    if (length != nullptr) {
        *length = value.bytes.size();
    }
    return 1;
}

std::string CRegCtrl::ReadText(RegistryHive hive, std::string_view key,
                               std::string_view name) const {
    // A fresh buffer per read, so one read's length never limits the next.
    char buffer[kReadCapacity] = {};
    std::size_t length = 0;
    if (ReadValue(hive, key, name, buffer, sizeof buffer, &length) != 1) {
        return {};
    }
    const std::string_view text(buffer, length);
    return std::string(text.substr(0, text.find('\0')));
}

int CRegCtrl::WriteValue(RegistryHive hive, std::string_view key, std::string_view name,
                         int type_code, std::string_view text) const {
    if (CreateKey(hive, key) != 1) {
        return 0;
    }
    StoredValue value;
    if (!Encode(type_code, text, value)) {
        return 0;
    }
    return store_.SetValue(HiveName(hive), key, name, value) ? 1 : 0;
}

int CRegCtrl::DeleteValue(RegistryHive hive, std::string_view key, std::string_view name) const {
    const std::string_view hive_name = HiveName(hive);
    if (hive_name.empty() || key.empty()) {
        return 0;
    }
    return store_.DeleteValue(hive_name, key, name) ? 1 : 0;
}

}  // namespace korvane
