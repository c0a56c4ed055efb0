#pragma once

namespace korvane {

// Values 1 and 4 are never used; the numbers are part of the session's contract.
enum class SessionState : int {
    Idle = 0,
    LoggedIn = 2,
    ConnectRequested = 3,
    Connecting = 5,
    Connected = 6,
};

const char* SessionStateName(SessionState state);

}  // namespace korvane
