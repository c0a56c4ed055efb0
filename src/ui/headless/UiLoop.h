#pragma once

#include <functional>

namespace korvane {

// What drives the headless host between events: a script, or nothing in unit
// tests. RunUntil returns when `done` holds or the driver has nothing more.
class UiLoop {
  public:
    virtual ~UiLoop() = default;
    virtual void RunUntil(const std::function<bool()>& done) = 0;
};

}  // namespace korvane
