// The [tunnel] and [program NAME] sections of machine descriptions.
#include "platform/sim/MachineDescription.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimPrograms.h"

namespace korvane {

namespace {

constexpr long long kLongest = 24 * 3600;

// Reads an optional number of seconds (-1 for never) into value.
bool ReadSeconds(SectionReader& reader, const char* key, int& value, IniError& error) {
    long long read = 0;
    const int got = reader.Integer(key, -1, kLongest, read, error);
    if (got > 0) {
        value = static_cast<int>(read);
    }
    return got >= 0;
}

int ApplyTunnel(const IniSection& section, SimTunnelScenario& tunnel, IniError& error) {
    SectionReader reader(section);
    SimTunnelScenario read = tunnel;
    long long lines = 0;
    const int got_lines = reader.Integer("lines", 0, 100000, lines, error);
    if (got_lines < 0 || !ReadSeconds(reader, "complete_after", read.complete_after, error) ||
        !ReadSeconds(reader, "error_after", read.error_after, error) ||
        !ReadSeconds(reader, "exit_after", read.exit_after, error)) {
        return -1;
    }
    if (got_lines > 0) {
        read.log_lines = static_cast<int>(lines);
    }
    reader.Text("error", read.error);
    reader.Text("address", read.address);
    reader.Text("mask", read.mask);
    if (reader.Finish(error) != 0) {
        return -1;
    }
    tunnel = read;
    return 0;
}

int ApplyProgram(const IniSection& section, SimOutsidePrograms& programs, SimProcesses& processes,
                 IniError& error) {
    SectionReader reader(section);
    bool missing = false;
    long long running = 0;
    SimPlainProgram plain;
    if (reader.Flag("missing", missing, error) < 0 ||
        reader.Integer("running", 0, 64, running, error) < 0 ||
        !ReadSeconds(reader, "runs_for", plain.runs_for, error)) {
        return -1;
    }
    const bool own_behaviour = reader.Get("runs_for") != nullptr;
    for (const IniEntry* entry : reader.All("module")) {
        plain.modules.push_back(entry->value);
    }
    if (reader.Finish(error) != 0) {
        return -1;
    }
    if (missing) {
        processes.Uninstall(section.name);
    } else if (own_behaviour || !plain.modules.empty() || !processes.Installed(section.name)) {
        programs.InstallPlain(section.name, plain);
    }
    for (long long i = 0; i < running; ++i) {
        processes.AddRunning(section.name, plain.modules);
    }
    return 0;
}

}  // namespace

void SimOutsidePrograms::RegisterSections(MachineDescription& description) {
    description.Register("tunnel", MachineDescription::Naming::None,
                         [this](const IniSection& section, IniError& error) {
                             return ApplyTunnel(section, tunnel, error);
                         });
    description.Register("program", MachineDescription::Naming::Required,
                         [this](const IniSection& section, IniError& error) {
                             return ApplyProgram(section, *this, processes_, error);
                         });
}

}  // namespace korvane
