#pragma once

#include <functional>
#include <string>
#include <thread>

#include "platform/InstancePort.h"

namespace korvane {

// The running copy holds an flock on "DIZidezod_Client_Program.lock" and
// listens on the local socket "DIZidezod.sock", both in a folder only the
// user can enter: $KORVANE_INSTANCE_DIR when set, else $XDG_RUNTIME_DIR/korvane,
// else /tmp/korvane-UID. A later copy sends "show" and waits for "0".
class LinuxInstance : public InstancePort {
  public:
    static constexpr const char* kLockName = "DIZidezod_Client_Program.lock";
    static constexpr const char* kSocketName = "DIZidezod.sock";
    // How long a later copy waits for the running one to answer.
    static constexpr int kAnswerTimeoutMs = 5000;

    // An empty folder picks the default above.
    explicit LinuxInstance(std::string folder = {});
    ~LinuxInstance() override;
    LinuxInstance(const LinuxInstance&) = delete;
    LinuxInstance& operator=(const LinuxInstance&) = delete;

    InstanceClaim Claim() override;
    bool ActivateRunningCopy() override;
    bool ListenForActivation(std::function<void()> on_activate) override;
    void StopListening() override;

    const std::string& folder() const { return folder_; }
    static std::string DefaultFolder();

  private:
    bool PrepareFolder() const;
    std::string SocketPath() const { return folder_ + "/" + kSocketName; }
    void Serve();
    void Answer(int connection);

    std::string folder_;
    int lock_fd_ = -1;
    int listen_fd_ = -1;
    int stop_pipe_[2] = {-1, -1};
    std::function<void()> on_activate_;
    std::thread listener_;
};

}  // namespace korvane
