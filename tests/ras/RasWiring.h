#pragma once

#include <functional>
#include <string>

#include "RasFakes.h"
#include "app/PendingOperations.h"
#include "tunnel/RasTunnel.h"

namespace korvane::test {

// The main window's operations as the program wires them for remote-access
// tunnels: message 1224, timer 1 and the tear-down reach the RasTunnel; the
// logout is noted (and handed on when a test says how).
class RasWiredOperations : public PendingOperations {
  public:
    explicit RasWiredOperations(CallLog& log) : log_(log) {}

    int SendLogout(const std::string& mode) override {
        log_.Add("SendLogout(" + mode + ")");
        if (logout) {
            logout(mode);
        }
        return 0;
    }
    int StopRasTunnel() override { return ras->StopRasTunnel(); }
    void CheckRasLink() override { ras->CheckRasLink(); }
    int OnRasStatus(int state, int error) override { return ras->OnRasStatus(state, error); }
    void TickServiceTime() override { log_.Add("TickServiceTime"); }

    RasTunnel* ras = nullptr;
    std::function<void(const std::string&)> logout;

  private:
    CallLog& log_;
};

}  // namespace korvane::test
