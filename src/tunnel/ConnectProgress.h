#pragma once

#include <string>

namespace korvane {

// What the login, the connect procedure and the tunnel monitors ask of the
// connecting dialog. The dialog (template 143) implements it besides being
// the main window's `connecting` panel; showing and hiding stay with the
// panel itself.
class ConnectProgress {
  public:
    virtual ~ConnectProgress() = default;

    // Status line "접속중....", bar at 0, the 100 ms progress timer started.
    virtual void StartProgress() = 0;
    // Bar at 0, caption " Please wait... ", the timer stopped.
    virtual void StopProgress() = 0;
    // Tick counter, range and caption set back for a new attempt.
    virtual void ResetProgress() = 0;
    // Status line = text; a step within the login delay moves the bar.
    virtual void StepProgress(const std::string& text, int step) = 0;
};

}  // namespace korvane
