#pragma once

#include <memory>
#include <string>

#include "platform/CommandRunner.h"
#include "platform/LcgRandom.h"
#include "platform/NetworkPort.h"
#include "platform/Platform.h"
#include "platform/ProcessPort.h"
#include "platform/RasPort.h"
#include "platform/SettingsStore.h"
#include "platform/SystemQueries.h"
#include "platform/sim/MachineDescription.h"
#include "platform/sim/SimInstance.h"
#include "platform/sim/SimPrograms.h"
#include "platform/sim/VirtualClock.h"

namespace korvane {

class Environment;
class InstancePort;

// The backends behind one run's Platform record, owned together. Ports whose
// backends are not built yet stay null in the record.
struct PlatformBackends {
    // A headless run keeps virtual time on either machine, so timers and the
    // clock agree.
    VirtualClock clock;
    LcgRandom random;
    std::unique_ptr<Environment> environment;
    std::unique_ptr<InstancePort> instance;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<NetworkPort> network;
    std::unique_ptr<SystemQueries> system;
    std::unique_ptr<CommandRunner> commands;
    // The simulated one's dial threads end with it.
    std::unique_ptr<RasPort> ras;
    std::unique_ptr<ProcessPort> processes;
    // The simulated machine's outside programs (null on this machine).
    std::unique_ptr<SimOutsidePrograms> programs;
    SimInstanceSpace instance_space;
    MachineDescription description;
    Platform platform;
};

// This machine. `instance_folder` overrides where the single-copy lock and
// socket live (empty: the default).
std::unique_ptr<PlatformBackends> BuildLinuxBackends(const std::string& instance_folder);

// A simulated machine, described by `machine_file` when it is not empty.
// Null with a reason when the description is faulty.
std::unique_ptr<PlatformBackends> BuildSimBackends(const std::string& machine_file,
                                                   std::string& error);

}  // namespace korvane
