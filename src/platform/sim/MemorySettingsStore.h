#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "platform/SettingsStore.h"

namespace korvane {

// Settings held in memory: the simulated machine's registry and the tests'.
class MemorySettingsStore : public SettingsStore {
  public:
    bool CreateKey(std::string_view hive, std::string_view key) override;
    bool QueryValue(std::string_view hive, std::string_view key, std::string_view name,
                    StoredValue& value) const override;
    bool SetValue(std::string_view hive, std::string_view key, std::string_view name,
                  const StoredValue& value) override;
    bool DeleteValue(std::string_view hive, std::string_view key, std::string_view name) override;

    // A store that refuses every change, as a key denied to the user would:
    // creating or opening a key for writing, setting and deleting all fail.
    void DenyWrites(bool deny) { deny_writes_ = deny; }

    bool HasKey(std::string_view hive, std::string_view key) const;
    std::size_t ValueCount(std::string_view hive, std::string_view key) const;

  private:
    using KeyId = std::pair<std::string, std::string>;
    // The key's id with its components joined again; false for an invalid path.
    static bool MakeId(std::string_view hive, std::string_view key, KeyId& id);

    std::set<KeyId> keys_;
    std::map<KeyId, std::map<std::string, StoredValue, std::less<>>> values_;
    bool deny_writes_ = false;
};

}  // namespace korvane
