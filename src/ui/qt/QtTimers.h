#pragma once

#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace korvane {

class Dialog;

// The windows' timers, one QTimer per window and id.
class QtTimers {
  public:
    // `fire` runs a due timer's handler as the host delivers input.
    explicit QtTimers(std::function<void(Dialog&, int)> fire);
    ~QtTimers();

    // Setting a running timer restarts it with the new period.
    void Set(Dialog& dialog, int id, int period_ms);
    bool Kill(Dialog& dialog, int id);
    void KillAll(Dialog& dialog);
    bool Running(const Dialog& dialog, int id) const;
    int Period(const Dialog& dialog, int id) const;

  private:
    using Key = std::pair<const Dialog*, int>;
    // A handler may stop its own timer; the object goes once the event is over.
    static void Retire(std::unique_ptr<QTimer> timer);

    std::function<void(Dialog&, int)> fire_;
    std::map<Key, std::unique_ptr<QTimer>> timers_;
};

}  // namespace korvane
