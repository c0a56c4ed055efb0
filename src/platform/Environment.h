#pragma once

#include <string>

namespace korvane {

// Where the program lives and where its per-user files go. Folder texts use
// "/" separators and carry no trailing "/".
class Environment {
  public:
    virtual ~Environment() = default;

    // Full path of the running program file.
    virtual std::string ProgramPath() const = 0;
    // The folder of the program file.
    virtual std::string ProgramFolder() const = 0;
    // The per-user folder that plays the part of the system folder: the
    // session's windows_dir (the Temp folder and markers live below it). The
    // folder exists when this returns a non-empty text.
    virtual std::string WindowsFolder() = 0;

    virtual std::string CurrentDirectory() const = 0;
    // False when the folder cannot be made current.
    virtual bool SetCurrentDirectory(const std::string& folder) = 0;
    // One level; an existing folder counts as success.
    virtual bool CreateFolder(const std::string& folder) = 0;
};

// The folder part of a "/"-separated path ("" for a bare name).
std::string FolderOf(const std::string& path);

}  // namespace korvane
