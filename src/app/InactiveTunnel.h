#pragma once

#include <string>

#include "app/TunnelOperations.h"

namespace korvane {

// Stands in for the tunnel side in the korvane program until that side is
// wired in (the lead replaces it with the tunnel subsystem's object): no
// tunnel program to stop, no tunnel files, no adapter, no phonebook and no
// hooks, so every call does nothing visible and succeeds.
class InactiveTunnel : public TunnelOperations {
  public:
    void StopTunnelProgram() override {}
    void DeleteTunnelFiles() override {}
    int CheckTapAdapter() override { return 0; }
    int WritePhonebook(int, int) override { return 0; }
    void RunProgramHook(const std::string&) override {}
};

}  // namespace korvane
