#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/TunnelOperations.h"

namespace korvane::test {

// Notes every call the session side makes of the tunnel side, in order.
class RecordingTunnel : public TunnelOperations {
  public:
    void StopTunnelProgram() override { calls.push_back("StopTunnelProgram"); }
    void DeleteTunnelFiles() override {
        calls.push_back("DeleteTunnelFiles");
        if (on_delete_files) {
            on_delete_files();
        }
    }
    int CheckTapAdapter() override {
        calls.push_back("CheckTapAdapter");
        return 0;
    }
    int WritePhonebook(int vpn_type, int has_zero_address) override {
        calls.push_back("WritePhonebook(" + std::to_string(vpn_type) + "," +
                        std::to_string(has_zero_address) + ")");
        return 0;
    }
    void RunProgramHook(const std::string& event) override {
        calls.push_back("RunProgramHook(" + event + ")");
    }

    std::vector<std::string> calls;
    // What the real deletion would do (remove the log), run at the call.
    std::function<void()> on_delete_files;
};

}  // namespace korvane::test
