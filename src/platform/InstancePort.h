#pragma once

#include <functional>

namespace korvane {

enum class InstanceClaim {
    Acquired,        // this is the one running copy
    AlreadyRunning,  // another copy holds the claim
    Failed,          // the claim could not even be tried
};

// One running copy per user. The first copy claims the instance and listens;
// a later copy finds the claim taken, asks the first to bring its window up
// and ends.
class InstancePort {
  public:
    virtual ~InstancePort() = default;

    // The claim is held until the port is destroyed (the process ends).
    virtual InstanceClaim Claim() = 0;
    // Asks the copy holding the claim to show its window and waits for its
    // answer; false when no copy answered.
    virtual bool ActivateRunningCopy() = 0;
    // The claiming copy: `on_activate` runs for every request, on a thread of
    // the port, and the requester waits until it returns. False when the
    // requests cannot be received.
    virtual bool ListenForActivation(std::function<void()> on_activate) = 0;
    virtual void StopListening() = 0;
};

}  // namespace korvane
