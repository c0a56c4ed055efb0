#include "app/PlatformSetup.h"

#include "platform/linux/FileSettingsStore.h"
#include "platform/linux/LinuxCommandRunner.h"
#include "platform/linux/LinuxEnvironment.h"
#include "platform/linux/LinuxInstance.h"
#include "platform/linux/LinuxProcesses.h"
#include "platform/linux/LinuxRas.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/NetlinkNetwork.h"
#include "platform/sim/MemorySettingsStore.h"
#include "platform/sim/SimCommandRunner.h"
#include "platform/sim/SimEnvironment.h"
#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimNetworkSections.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimRas.h"
#include "platform/sim/SimRasSection.h"
#include "platform/sim/SimSystemQueries.h"

namespace korvane {

namespace {

void FillCommon(PlatformBackends& b) {
    b.platform.clock = &b.clock;
    b.platform.random = &b.random;
    b.platform.environment = b.environment.get();
    b.platform.instance = b.instance.get();
    b.platform.settings = b.settings.get();
    b.platform.network = b.network.get();
    b.platform.system = b.system.get();
    b.platform.commands = b.commands.get();
    b.platform.ras = b.ras.get();
    b.platform.processes = b.processes.get();
}

// The network and operating-system sections of a machine description.
void RegisterNetworkSections(MachineDescription& description, SimNetwork& network,
                             SimSystemQueries& system) {
    for (const char* type : {"adapter", "route", "tcp", "os", "host"}) {
        description.Register(type, MachineDescription::Naming::Optional,
                             [&network, &system](const IniSection& section, IniError& error) {
                                 SectionEntries entries;
                                 for (const IniEntry& entry : section.entries) {
                                     entries.emplace_back(entry.key, entry.value);
                                 }
                                 std::string message;
                                 if (!ApplyMachineSection(network, system, section.type,
                                                          section.name, entries, message)) {
                                     error = {section.line, message};
                                     return -1;
                                 }
                                 return 0;
                             });
    }
}

}  // namespace

std::unique_ptr<PlatformBackends> BuildLinuxBackends(const std::string& instance_folder) {
    auto b = std::make_unique<PlatformBackends>();
    b->environment = std::make_unique<LinuxEnvironment>();
    b->instance = std::make_unique<LinuxInstance>(instance_folder);
    b->settings = std::make_unique<FileSettingsStore>(FileSettingsStore::DefaultConfigRoot());
    b->network = std::make_unique<NetlinkNetwork>();
    b->system = std::make_unique<LinuxSystemQueries>();
    b->commands = std::make_unique<LinuxCommandRunner>(b->environment->ProgramFolder());
    b->ras = std::make_unique<LinuxRas>();
    b->processes = std::make_unique<LinuxProcesses>(b->environment->ProgramFolder());
    FillCommon(*b);
    return b;
}

std::unique_ptr<PlatformBackends> BuildSimBackends(const std::string& machine_file,
                                                   std::string& error) {
    auto b = std::make_unique<PlatformBackends>();
    auto environment = std::make_unique<SimEnvironment>();
    // Every simulated port registers the sections it reads here.
    environment->RegisterSection(b->description);
    b->environment = std::move(environment);
    b->instance = std::make_unique<SimInstance>(b->instance_space);
    b->settings = std::make_unique<MemorySettingsStore>();
    auto network = std::make_unique<SimNetwork>();
    auto system = std::make_unique<SimSystemQueries>();
    RegisterNetworkSections(b->description, *network, *system);
    auto processes = std::make_unique<SimProcesses>(b->clock);
    b->programs = std::make_unique<SimOutsidePrograms>(*processes, *network, *system);
    b->programs->RegisterSections(b->description);
    b->processes = std::move(processes);
    b->network = std::move(network);
    b->system = std::move(system);
    b->commands = std::make_unique<SimCommandRunner>();
    auto ras = std::make_unique<SimRas>();
    RegisterRasSection(b->description, *ras);
    b->ras = std::move(ras);
    FillCommon(*b);
    if (!machine_file.empty() && b->description.LoadFile(machine_file, error) != 0) {
        return nullptr;
    }
    return b;
}

}  // namespace korvane
