#pragma once

namespace korvane {

class Dialog;
class Host;

// The window the remote-access notifications go to, and the host whose
// interface thread runs its handlers. Written on the interface thread before
// a dial starts; every dial's notifier keeps the copy it was started with.
struct RasNotifyTarget {
    Host* host = nullptr;
    Dialog* window = nullptr;
};

// The status message the main window handles for every dialling state.
constexpr int kRasStatusMessage = 1224;

// The notifier of every dial, run on the service's thread: hands the state
// and the error to the target window as its status message on the interface
// thread and returns once the window has handled it, so states are shown one
// at a time and in order. Does nothing without a target, or once the host has
// stopped taking work.
void RasDialCallback(const RasNotifyTarget& target, int state, int error);

}  // namespace korvane
