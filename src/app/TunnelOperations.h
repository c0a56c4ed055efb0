#pragma once

#include <string>

namespace korvane {

// What the session side (login, logout, tear-down) asks of the tunnel side.
// The tunnel subsystem implements it; the main window hands it to the login
// and logout procedures.
class TunnelOperations {
  public:
    virtual ~TunnelOperations() = default;

    // Ends a tunnel program still running (the OpenVPN manager's Stop).
    virtual void StopTunnelProgram() = 0;
    // Deletes the configuration, credential, log and token files.
    virtual void DeleteTunnelFiles() = 0;
    // After a connect-login of an OpenVPN account: one usable TAP adapter, or
    // install the driver. Returns 0.
    virtual int CheckTapAdapter() = 0;
    // The remote-access phonebook entry for vpn_type 1 or 3; negative on failure.
    virtual int WritePhonebook(int vpn_type, int has_zero_address) = 0;
    // Starts or ends the user's program registered for the event
    // ("IN_START", "IN_STOP", "OUT_START", "OUT_STOP").
    virtual void RunProgramHook(const std::string& event) = 0;
};

}  // namespace korvane
