#include "ui/qt/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

#include "ui/qt/QtHost.h"

namespace korvane {

namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

// The write end the handler reaches; a handler may only touch such a value.
volatile sig_atomic_t g_write_end = -1;

}  // namespace

TerminationSignals::TerminationSignals(QtHost& host) : host_(host) {
    if (g_write_end >= 0 || pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    g_write_end = pipe_[1];
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Drain(); });
    struct sigaction action {};
    action.sa_handler = &TerminationSignals::OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &action, &previous_[i]);
    }
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_) {
        return;
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &previous_[i], nullptr);
    }
    g_write_end = -1;
    notifier_.reset();
    close(pipe_[0]);
    close(pipe_[1]);
}

void TerminationSignals::OnSignal(int) {
    const int saved_errno = errno;
    const char byte = 1;
    if (g_write_end >= 0) {
        static_cast<void>(write(g_write_end, &byte, 1));
    }
    errno = saved_errno;
}

void TerminationSignals::Drain() {
    char bytes[16];
    while (read(pipe_[0], bytes, sizeof bytes) > 0) {
    }
    host_.EndSession();
}

}  // namespace korvane
