#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace korvane::service {

// Lets injected delays end early when the service is told to stop.
class StopSignal {
  public:
    void Raise() {
        {
            std::lock_guard lock(mutex_);
            raised_ = true;
        }
        changed_.notify_all();
    }

    // Waits for the duration; false when the stop came first.
    bool WaitFor(std::chrono::milliseconds duration) {
        std::unique_lock lock(mutex_);
        return !changed_.wait_for(lock, duration, [this] { return raised_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool raised_ = false;
};

}  // namespace korvane::service
