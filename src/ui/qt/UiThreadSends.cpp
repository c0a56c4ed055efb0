#include "ui/qt/UiThreadSends.h"

#include <QMetaObject>

namespace korvane {

UiThreadSends::UiThreadSends(std::function<void(const std::function<void()>&)> run)
    : run_(std::move(run)) {}

UiThreadSends::~UiThreadSends() {
    Shut();
}

bool UiThreadSends::Send(std::function<void()> work) {
    if (on_ui_thread()) {
        run_(work);
        return true;
    }
    auto pending = std::make_shared<Pending>();
    pending->work = std::move(work);
    std::future<bool> done = pending->done.get_future();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (shut_) {
            return false;
        }
        pending_.push_back(pending);
    }
    // The queued call runs in the interface thread's event loop, whichever
    // loop (the main window's or a modal dialog's) is running then.
    QMetaObject::invokeMethod(
        &context_, [this] { Serve(); }, Qt::QueuedConnection);
    return done.get();
}

void UiThreadSends::Serve() {
    for (;;) {
        std::shared_ptr<Pending> next;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (pending_.empty() || shut_) {
                return;
            }
            next = pending_.front();
            pending_.pop_front();
        }
        run_(next->work);
        next->done.set_value(true);
    }
}

void UiThreadSends::Shut() {
    std::deque<std::shared_ptr<Pending>> abandoned;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shut_ = true;
        abandoned.swap(pending_);
    }
    for (auto& pending : abandoned) {
        pending->done.set_value(false);
    }
}

}  // namespace korvane
