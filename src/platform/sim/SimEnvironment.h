#pragma once

#include <set>
#include <string>

#include "platform/Environment.h"

namespace korvane {

class MachineDescription;

// A machine that exists only in memory: the paths are whatever the test or
// the description says, changing the directory and creating folders are only
// recorded, and the real process's directory is never touched.
class SimEnvironment : public Environment {
  public:
    static constexpr const char* kDefaultProgramPath = "/opt/korvane/korvane";
    static constexpr const char* kDefaultWindowsFolder = "/home/user/.local/share/korvane";

    std::string ProgramPath() const override { return program_path; }
    std::string ProgramFolder() const override { return FolderOf(program_path); }
    std::string WindowsFolder() override { return windows_folder; }
    std::string CurrentDirectory() const override { return current_directory; }
    bool SetCurrentDirectory(const std::string& folder) override;
    bool CreateFolder(const std::string& folder) override;

    bool FolderExists(const std::string& folder) const { return folders.count(folder) != 0; }
    // Adds the folder and every parent it lacks.
    void AddFolder(const std::string& folder);

    // Registers the [environment] section of machine descriptions.
    void RegisterSection(MachineDescription& description);

    std::string program_path = kDefaultProgramPath;
    std::string windows_folder = kDefaultWindowsFolder;
    std::string current_directory = "/";
    std::set<std::string> folders = {"/", "/opt", "/opt/korvane", kDefaultWindowsFolder};
};

}  // namespace korvane
