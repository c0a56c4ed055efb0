#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace korvane {

// Settings as files under the user's configuration folder:
//   <config>/korvane/<hive>/<key component>/.../=<value name>
// One file per value: the type code in decimal, a line feed, then the bytes
// unchanged. Every write replaces the file atomically. Files are 0600 and the
// folders the store creates 0700: the stored password is only obfuscated.
//
// Names are escaped so that none can leave its folder: bytes below 0x20, 0x7F,
// "/", "\", "%", "=" and a leading "." become "%XX" (upper-case hex). Value
// files start with "=", which no escaped key component can, so a value and a
// subkey of the same name never collide; temporary files start with ".".
class FileSettingsStore : public SettingsStore {
  public:
    // The steps of one atomic write, for tests that make one of them fail.
    enum class WriteStep { CreateTemp, WriteData, SyncData, Rename, SyncFolder };
    // Returns false to make the step fail as if the system call had.
    using FaultHook = std::function<bool(WriteStep)>;

    // config_root is the folder that holds "korvane" (tests pass a temp folder).
    explicit FileSettingsStore(std::string config_root);

    // $XDG_CONFIG_HOME when set to an absolute path, else ~/.config; empty when
    // no home folder can be found.
    static std::string DefaultConfigRoot();

    bool CreateKey(std::string_view hive, std::string_view key) override;
    bool QueryValue(std::string_view hive, std::string_view key, std::string_view name,
                    StoredValue& value) const override;
    bool SetValue(std::string_view hive, std::string_view key, std::string_view name,
                  const StoredValue& value) override;
    bool DeleteValue(std::string_view hive, std::string_view key, std::string_view name) override;

    // Where a key's folder and a value's file live; empty for an invalid path.
    std::string KeyFolder(std::string_view hive, std::string_view key) const;
    std::string ValueFile(std::string_view hive, std::string_view key, std::string_view name) const;

    void SetFaultHook(FaultHook hook) { fault_hook_ = std::move(hook); }

  private:
    bool StepAllowed(WriteStep step) const { return !fault_hook_ || fault_hook_(step); }
    bool WriteAtomically(const std::string& folder, const std::string& file,
                         const std::string& content) const;

    std::string config_root_;
    FaultHook fault_hook_;
};

}  // namespace korvane
