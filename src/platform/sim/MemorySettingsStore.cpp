#include "platform/sim/MemorySettingsStore.h"

#include <vector>

namespace korvane {

bool MemorySettingsStore::MakeId(std::string_view hive, std::string_view key, KeyId& id) {
    std::vector<std::string_view> parts;
    if (!SplitSettingsKey(hive, key, parts)) {
        return false;
    }
    id = {std::string(hive), std::string(key)};
    return true;
}

bool MemorySettingsStore::CreateKey(std::string_view hive, std::string_view key) {
    KeyId id;
    if (deny_writes_ || !MakeId(hive, key, id)) {
        return false;
    }
    // Parents exist too, as they would in a tree of keys.
    std::size_t end = 0;
    while ((end = key.find('\\', end)) != std::string_view::npos) {
        keys_.insert({std::string(hive), std::string(key.substr(0, end))});
        ++end;
    }
    keys_.insert(id);
    return true;
}

bool MemorySettingsStore::QueryValue(std::string_view hive, std::string_view key,
                                     std::string_view name, StoredValue& value) const {
    KeyId id;
    if (!MakeId(hive, key, id)) {
        return false;
    }
    const auto values = values_.find(id);
    if (values == values_.end()) {
        return false;
    }
    const auto found = values->second.find(name);
    if (found == values->second.end()) {
        return false;
    }
    value = found->second;
    return true;
}

bool MemorySettingsStore::SetValue(std::string_view hive, std::string_view key,
                                   std::string_view name, const StoredValue& value) {
    KeyId id;
    if (deny_writes_ || !MakeId(hive, key, id) || !keys_.contains(id)) {
        return false;
    }
    values_[id].insert_or_assign(std::string(name), value);
    return true;
}

bool MemorySettingsStore::DeleteValue(std::string_view hive, std::string_view key,
                                      std::string_view name) {
    KeyId id;
    if (deny_writes_ || !MakeId(hive, key, id)) {
        return false;
    }
    const auto values = values_.find(id);
    if (values == values_.end()) {
        return false;
    }
    const auto found = values->second.find(name);
    if (found == values->second.end()) {
        return false;
    }
    values->second.erase(found);
    return true;
}

bool MemorySettingsStore::HasKey(std::string_view hive, std::string_view key) const {
    KeyId id;
    return MakeId(hive, key, id) && keys_.contains(id);
}

std::size_t MemorySettingsStore::ValueCount(std::string_view hive, std::string_view key) const {
    KeyId id;
    if (!MakeId(hive, key, id)) {
        return 0;
    }
    const auto values = values_.find(id);
    return values == values_.end() ? 0 : values->second.size();
}

}  // namespace korvane
