#include "platform/sim/SimInstance.h"

namespace korvane {

SimInstance::~SimInstance() {
    if (Holds()) {
        space_.holder = nullptr;
        space_.listener = nullptr;
    }
}

InstanceClaim SimInstance::Claim() {
    if (space_.claims_fail) {
        return InstanceClaim::Failed;
    }
    if (space_.holder != nullptr && !Holds()) {
        return InstanceClaim::AlreadyRunning;
    }
    space_.holder = this;
    return InstanceClaim::Acquired;
}

bool SimInstance::ActivateRunningCopy() {
    if (space_.holder == nullptr || Holds() || !space_.listener) {
        return false;
    }
    ++space_.activations;
    space_.listener();
    return true;
}

bool SimInstance::ListenForActivation(std::function<void()> on_activate) {
    if (!Holds()) {
        return false;
    }
    space_.listener = std::move(on_activate);
    return true;
}

void SimInstance::StopListening() {
    if (Holds()) {
        space_.listener = nullptr;
    }
}

}  // namespace korvane
