#include "app/PlatformSetup.h"

#include "platform/linux/LinuxEnvironment.h"
#include "platform/linux/LinuxInstance.h"
#include "platform/sim/SimEnvironment.h"

namespace korvane {

namespace {

void FillCommon(PlatformBackends& b) {
    b.platform.clock = &b.clock;
    b.platform.random = &b.random;
    b.platform.environment = b.environment.get();
    b.platform.instance = b.instance.get();
}

}  // namespace

std::unique_ptr<PlatformBackends> BuildLinuxBackends(const std::string& instance_folder) {
    auto b = std::make_unique<PlatformBackends>();
    b->environment = std::make_unique<LinuxEnvironment>();
    b->instance = std::make_unique<LinuxInstance>(instance_folder);
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
    FillCommon(*b);
    if (!machine_file.empty() && b->description.LoadFile(machine_file, error) != 0) {
        return nullptr;
    }
    return b;
}

}  // namespace korvane
