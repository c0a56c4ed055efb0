#pragma once

#include <string>
#include <vector>

namespace korvane {

class MachineDescription;
class SimNetwork;
class SimProcesses;
class SimSystemQueries;

// What the drivers of the two installer packages call their adapters.
inline constexpr char kSimTapDescription32[] = "Morvask PCI Fast Controller";
inline constexpr char kSimTapDescription64[] = "TAP-Windows Adapter V9";

// How the simulated tunnel program behaves on its next launches. Times are
// seconds after the launch; -1 means never.
struct SimTunnelScenario {
    // Lines of start-up chatter written at once.
    int log_lines = 20;
    // The completion marker; the TAP adapter gets its address then.
    int complete_after = 1;
    // A line holding this text (an error marker), when not empty.
    std::string error;
    int error_after = 0;
    // The program ends by itself (and the adapter loses its address).
    int exit_after = -1;
    std::string address = "10.8.0.2";
    std::string mask = "255.255.255.0";
};

// A program of the machine that is not one of the standard ones: it runs
// for a while (or until ended) and does nothing else.
struct SimPlainProgram {
    int runs_for = -1;
    std::vector<std::string> modules;
};

// The outside programs the client starts, installed on a simulated machine:
// - "dovaop.exe", the tunnel program: checks its command line (--config C
//   --log L TOKEN), the configuration file and the token file in its
//   working directory, then writes an OpenVPN-like log to L following
//   `tunnel`, and gives the first TAP adapter (description containing one
//   of the two above) its address while it is up. Without a TAP adapter it
//   logs the missing-adapter text and ends.
// - "tapinstall32.exe" / "tapinstall64.exe" remove|install <inf> tap0901:
//   remove every adapter of their driver, or add one.
// - "AdapterInstall.exe": removes the TAP adapters and installs the one the
//   machine's kind (WOW64 or not) calls for.
// - "taskkill.exe /T /F /IM name": ends the processes of that executable
//   and, with /T, their children; exit code 128 when none ran.
class SimOutsidePrograms {
  public:
    SimOutsidePrograms(SimProcesses& processes, SimNetwork& network, SimSystemQueries& system);

    // Read at every launch of the tunnel program.
    SimTunnelScenario tunnel;

    // Installs (or replaces) a plain program.
    void InstallPlain(const std::string& file_name, const SimPlainProgram& program);

    // [tunnel] and [program NAME] sections of machine descriptions
    // (docs/machine-file.md).
    void RegisterSections(MachineDescription& description);

  private:
    SimProcesses& processes_;
    SimNetwork& network_;
    SimSystemQueries& system_;
};

}  // namespace korvane
