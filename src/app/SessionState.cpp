#include "app/SessionState.h"

namespace korvane {

const char* SessionStateName(SessionState state) {
    switch (state) {
        case SessionState::Idle:
            return "Idle";
        case SessionState::LoggedIn:
            return "LoggedIn";
        case SessionState::ConnectRequested:
            return "ConnectRequested";
        case SessionState::Connecting:
            return "Connecting";
        case SessionState::Connected:
            return "Connected";
    }
    return "Unknown";
}

}  // namespace korvane
