#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace korvane {

// Work other threads hand to the user-interface thread, each sender blocked
// until its work has run there (or the queue was shut).
class UiThreadSends {
  public:
    // `run` wraps each piece of work as the host delivers input.
    explicit UiThreadSends(std::function<void(const std::function<void()>&)> run);
    ~UiThreadSends();
    UiThreadSends(const UiThreadSends&) = delete;
    UiThreadSends& operator=(const UiThreadSends&) = delete;

    bool Send(std::function<void()> work);
    // Refuses further sends and releases every waiting sender.
    void Shut();
    bool on_ui_thread() const { return std::this_thread::get_id() == ui_thread_; }

  private:
    struct Pending {
        std::function<void()> work;
        std::promise<bool> done;
    };
    void Serve();

    std::function<void(const std::function<void()>&)> run_;
    const std::thread::id ui_thread_ = std::this_thread::get_id();
    QObject context_;
    std::mutex mutex_;
    std::deque<std::shared_ptr<Pending>> pending_;
    bool shut_ = false;
};

}  // namespace korvane
