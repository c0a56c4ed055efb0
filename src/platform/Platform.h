#pragma once

namespace korvane {

class Clock;
class Random;
class SettingsStore;
class Environment;
class InstancePort;
class NetworkPort;
class SystemQueries;
class ProcessPort;
class RasPort;
class CommandRunner;

// Every operating-system facility the system uses, one port each. A backend
// (platform/linux, platform/sim) fills all of them; the objects above the
// platform layer only ever see this record. Not owning.
struct Platform {
    Clock* clock = nullptr;
    Random* random = nullptr;
    SettingsStore* settings = nullptr;
    Environment* environment = nullptr;
    InstancePort* instance = nullptr;
    NetworkPort* network = nullptr;
    SystemQueries* system = nullptr;
    ProcessPort* processes = nullptr;
    RasPort* ras = nullptr;
    CommandRunner* commands = nullptr;
};

}  // namespace korvane
