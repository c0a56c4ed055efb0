#include "ui/qt/QtTimers.h"

#include <algorithm>

namespace korvane {

namespace {

// The shortest period a timer gets, as on the system the windows come from.
constexpr int kMinimumPeriodMs = 10;

}  // namespace

QtTimers::QtTimers(std::function<void(Dialog&, int)> fire) : fire_(std::move(fire)) {}

QtTimers::~QtTimers() = default;

void QtTimers::Retire(std::unique_ptr<QTimer> timer) {
    timer->stop();
    timer.release()->deleteLater();
}

void QtTimers::Set(Dialog& dialog, int id, int period_ms) {
    auto& slot = timers_[{&dialog, id}];
    if (!slot) {
        slot = std::make_unique<QTimer>();
        Dialog* window = &dialog;
        QObject::connect(slot.get(), &QTimer::timeout, [this, window, id] { fire_(*window, id); });
    }
    slot->start(std::max(period_ms, kMinimumPeriodMs));
}

bool QtTimers::Kill(Dialog& dialog, int id) {
    const auto it = timers_.find({&dialog, id});
    if (it == timers_.end()) {
        return false;
    }
    Retire(std::move(it->second));
    timers_.erase(it);
    return true;
}

void QtTimers::KillAll(Dialog& dialog) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->first.first == &dialog) {
            Retire(std::move(it->second));
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

bool QtTimers::Running(const Dialog& dialog, int id) const {
    return timers_.count({&dialog, id}) != 0;
}

int QtTimers::Period(const Dialog& dialog, int id) const {
    const auto it = timers_.find({&dialog, id});
    return it == timers_.end() ? 0 : it->second->interval();
}

}  // namespace korvane
