#pragma once

#include <string>
#include <utility>

namespace korvane {

// What the remote-access operations ask of windows and requests that other
// work owns: the connecting dialog's progress, the status panel's connected
// look and the IP change request. The main window's wiring forwards them;
// tests record them.
class RasWindowCalls {
  public:
    virtual ~RasWindowCalls() = default;

    // The connecting dialog's ResetProgress and StepProgress.
    virtual void ResetProgress() = 0;
    virtual void StepProgress(const std::string& text, int step) = 0;
    // The status panel's ShowConnectedLook.
    virtual void ShowConnectedLook() = 0;
    // The IP change request for a service IP code, on the main window.
    virtual void RequestIpChange(const std::string& code) = 0;
};

// Forwards to the connecting dialog and the status panel, which have these
// operations under the same names, and to a callable for the IP change:
// RasWindowCallsOf calls(connecting_dialog, status_panel, [&](code) {...});
template <class Connecting, class Status, class Request>
class RasWindowCallsOf : public RasWindowCalls {
  public:
    RasWindowCallsOf(Connecting& connecting, Status& status, Request request)
        : connecting_(connecting), status_(status), request_(std::move(request)) {}

    void ResetProgress() override { connecting_.ResetProgress(); }
    void StepProgress(const std::string& text, int step) override {
        connecting_.StepProgress(text, step);
    }
    void ShowConnectedLook() override { status_.ShowConnectedLook(); }
    void RequestIpChange(const std::string& code) override { request_(code); }

  private:
    Connecting& connecting_;
    Status& status_;
    Request request_;
};

}  // namespace korvane
