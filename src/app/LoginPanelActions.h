#pragma once

namespace korvane {

// What the login panel asks of the main window once its input passed.
class LoginPanelActions {
  public:
    virtual ~LoginPanelActions() = default;
    // The login procedure; 0 logged in, negative refused.
    virtual int RunLogin() = 0;
    // The steps after a successful login from the panel: IP tab, remote-control
    // route, LoggedIn, wide layout, bypass routes.
    virtual void CompletePanelLogin() = 0;
};

}  // namespace korvane
