#pragma once

#include <string>

#include "platform/Environment.h"

namespace korvane {

// The real machine: the program file is /proc/self/exe (or the path given),
// and the per-user folder is $XDG_DATA_HOME/korvane, falling back to
// ~/.local/share/korvane, created with mode 0700 when first asked for.
class LinuxEnvironment : public Environment {
  public:
    explicit LinuxEnvironment(std::string program_path = {});

    std::string ProgramPath() const override { return program_path_; }
    std::string ProgramFolder() const override { return FolderOf(program_path_); }
    std::string WindowsFolder() override;
    std::string CurrentDirectory() const override;
    bool SetCurrentDirectory(const std::string& folder) override;
    bool CreateFolder(const std::string& folder) override;

    // The per-user folder as the variables name it, without creating it.
    static std::string UserDataFolder();

  private:
    std::string program_path_;
};

}  // namespace korvane
