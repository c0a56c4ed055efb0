#pragma once

#include <string>

namespace korvane {

class ProcessPort;

// Process queries and endings by executable or module name (file names
// without folders). Keeps no state.
class CProcMonitor {
  public:
    static constexpr const char* kTaskKill = "taskkill.exe /T /F /IM";

    explicit CProcMonitor(ProcessPort& processes) : processes_(processes) {}
    virtual ~CProcMonitor() = default;

    // 1 when a running process's executable file name equals name, letter
    // case ignored; 0 otherwise or when the process list cannot be read.
    int IsProcessRunning(const std::string& name);
    // Ends the first process (in list order) that has the module and can be
    // opened. 0 when the process list cannot be read, otherwise 1.
    int KillByModuleName(const std::string& name);
    // 1 when the process has a module of exactly this name (letter case
    // counts); 0 otherwise or when its modules cannot be read.
    int HasModule(int pid, const std::string& name);
    // Runs "taskkill.exe /T /F /IM <name>" hidden and waits for it: 1 once
    // it has ended, 0 when it could not be started. Where the machine has no
    // taskkill, the processes of that executable name and all their
    // descendants are ended here instead (1, or 0 when the process list
    // cannot be read).
    int TaskKill(const std::string& name);

  private:
    int EndProcessTrees(const std::string& name);

    ProcessPort& processes_;
};

// ASCII letters folded to lower case; other bytes (UTF-8 or CP949 text) stay.
std::string LowerAscii(std::string text);

}  // namespace korvane
