#pragma once

#include <signal.h>

#include <QObject>
#include <QSocketNotifier>
#include <array>
#include <memory>

namespace korvane {

class QtHost;

// While it lives, SIGTERM, SIGINT and SIGHUP end the program's desktop
// session (the host's EndSession on the interface thread) instead of killing
// it, so a tunnel, its routes and its credential file do not outlive the
// program. One at a time.
class TerminationSignals : public QObject {
  public:
    explicit TerminationSignals(QtHost& host);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool installed() const { return notifier_ != nullptr; }

  private:
    static void OnSignal(int number);
    void Drain();

    QtHost& host_;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::array<struct sigaction, 3> previous_{};
};

}  // namespace korvane
