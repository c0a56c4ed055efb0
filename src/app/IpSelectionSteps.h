#pragma once

namespace korvane {

// What the session side asks of the two IP tabs. The IP selection work
// supplies the real steps; until it is wired in, this base class stands in:
// each step does nothing, so a login ends with the tab shown but empty.
class IpSelectionSteps {
  public:
    virtual ~IpSelectionSteps() = default;

    // The pool request for the whole pool (class_code already emptied).
    // 0 when a pool was stored, -1 when the service refused.
    virtual int RequestIpPool() { return 0; }
    // Fill the managed-IP tab's list from the pool.
    virtual void RefreshManagedIpList() {}
    // Fill the service-IP tab's list from the account's bands.
    virtual void RefreshServiceIpList() {}
    // Logout: both tabs forget their used rows and their current row.
    virtual void ForgetRows() {}
    // Disconnect: both tabs lose their current row and redraw their lists.
    virtual void ClearCurrentRows() {}
};

}  // namespace korvane
