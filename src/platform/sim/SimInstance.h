#pragma once

#include <functional>

#include "platform/InstancePort.h"

namespace korvane {

// What the copies of one simulated machine share: who holds the claim and
// how to reach it.
struct SimInstanceSpace {
    const void* holder = nullptr;
    std::function<void()> listener;
    int activations = 0;
    // Makes every claim fail, as when the lock cannot be created.
    bool claims_fail = false;
};

// Copies of the program in one test process, each with its own port over a
// shared space. Activation runs the listener on the caller's thread.
class SimInstance : public InstancePort {
  public:
    explicit SimInstance(SimInstanceSpace& space) : space_(space) {}
    ~SimInstance() override;
    SimInstance(const SimInstance&) = delete;
    SimInstance& operator=(const SimInstance&) = delete;

    InstanceClaim Claim() override;
    bool ActivateRunningCopy() override;
    bool ListenForActivation(std::function<void()> on_activate) override;
    void StopListening() override;

  private:
    bool Holds() const { return space_.holder == this; }

    SimInstanceSpace& space_;
};

}  // namespace korvane
