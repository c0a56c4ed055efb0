// korvane-service: the service behind the authentication and web hosts.

#include <pthread.h>
#include <signal.h>
#include <atomic>
#include <chrono>

#include <cstdio>
#include <iostream>
#include <thread>

#include "CommandLine.h"
#include "ConfigParser.h"
#include "HttpService.h"
#include "Journal.h"
#include "platform/linux/SystemClock.h"

namespace {

using namespace korvane::service;

constexpr int kBadUsage = 2;
constexpr int kFailure = 1;

// Blocks the stop signals in this thread and every thread started later,
// so that only sigwait sees them.
sigset_t BlockStopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    return set;
}

int Serve(const CommandLine& line, ServiceConfig config, Journal* journal) {
    const korvane::SystemClock clock;
    HttpService service(std::move(config), journal, clock);
    const int port = service.Bind(line.host, line.port);
    if (port < 0) {
        std::cerr << "korvane-service: cannot listen on " << line.shown_host << ":" << line.port
                  << "\n";
        return kFailure;
    }
    const std::string address = line.shown_host + ":" + std::to_string(port);
    service.Prepare(address);

    const sigset_t stop_signals = BlockStopSignals();
    bool served = true;
    std::atomic<bool> ended{false};
    std::thread server([&] {
        served = service.Run();
        ended = true;
        // Wakes the main thread when the listener ends on its own.
        kill(getpid(), SIGTERM);
    });
    std::printf("listening on %s\n", address.c_str());
    std::fflush(stdout);

    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
    // A stop that comes before the listener thread has entered its loop is
    // lost, so it is repeated until the listener has really ended.
    while (!ended) {
        service.Stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    server.join();
    return served ? 0 : kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    // A peer that went away must not end the service.
    signal(SIGPIPE, SIG_IGN);
    CommandLine line;
    std::string error;
    if (!ParseCommandLine({argv + 1, argv + argc}, line, error)) {
        std::cerr << "korvane-service: " << error << "\n" << kUsage << "\n";
        return kBadUsage;
    }
    const korvane::SystemClock clock;
    ServiceConfig config;
    if (!LoadConfigFile(line.config, clock.LocalSecondsNow(), config, error)) {
        std::cerr << "korvane-service: " << error << "\n";
        return kBadUsage;
    }
    Journal journal;
    if (!line.journal.empty() && !journal.Open(line.journal)) {
        std::cerr << "korvane-service: cannot open the journal " << line.journal << "\n";
        return kFailure;
    }
    return Serve(line, std::move(config), line.journal.empty() ? nullptr : &journal);
}
