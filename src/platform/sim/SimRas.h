#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/RasPort.h"

namespace korvane {

// What the simulated service does with each dial.
struct SimRasScript {
    // The states reported in order; empty: the default walk (ending in the
    // connected state, or at authentication when `error` is set).
    std::vector<int> states;
    // Real time before each state. Short, so tests and scripted runs stay quick.
    int step_ms = 20;
    // Reported with the last state; the attempt ends there.
    int error = 0;
    // The dial is refused at once with this number (0: not refused).
    int refuse = 0;
    std::string client_address = "10.8.1.10";
    // Real time from the connected state until the server drops the line
    // (0: never).
    int drop_after_ms = 0;
    // The entry must be in the phonebook file (error 623 otherwise).
    bool check_phonebook = true;

    std::vector<int> Walk() const;
};

// One dial as the service received it.
struct SimRasDial {
    std::string phonebook;
    RasDialParams params;
    // The entry's keys and values as the phonebook file held them; empty when
    // the entry was not found.
    std::vector<std::pair<std::string, std::string>> entry;
    RasHandle handle = 0;
};

// A remote-access service in memory. Every dial gets a thread of its own
// that walks the script's states with real delays and calls the notifier
// there, one state at a time. The link drop and the hang-ups are seen by the
// status queries of the interface thread.
//
// The threads end when their walk is over, on a hang-up, or in StopAll (also
// run by the destructor). A notifier blocked on the interface thread must be
// released (the host's EndSends) before StopAll runs on that thread.
class SimRas : public RasPort {
  public:
    SimRas() = default;
    ~SimRas() override;
    SimRas(const SimRas&) = delete;
    SimRas& operator=(const SimRas&) = delete;

    // Applies to the dials that follow.
    void SetScript(SimRasScript script);
    SimRasScript script() const;

    int Dial(const std::string& phonebook, const RasDialParams& params, RasNotifier notifier,
             RasHandle& handle) override;
    int HangUp(RasHandle handle) override;
    int GetConnectStatus(RasHandle handle, RasConnectionStatus& status) override;
    int GetClientAddress(RasHandle handle, std::string& address) override;
    int GetErrorText(int error, std::string& text) override;

    std::vector<SimRasDial> dials() const;
    std::vector<RasHandle> hang_ups() const;
    // The server ends a connected link now; false when it is not up.
    bool DropLink(RasHandle handle);
    // Waits (real time) until no dial is walking or waiting to drop its link.
    bool WaitUntilIdle(int timeout_ms);
    // Stops every walk and joins the threads; the connections stay as they are.
    void StopAll();

  private:
    struct Connection {
        RasHandle handle = 0;
        RasConnectionStatus status;
        bool connected = false;
        bool hung_up = false;
        bool dropped = false;
        bool busy = false;
        std::string client_address;
    };

    struct Worker {
        std::shared_ptr<Connection> connection;
        std::thread thread;
    };

    void Walk(std::shared_ptr<Connection> connection, SimRasScript script, RasNotifier notifier);
    void JoinFinished();
    bool Pause(std::unique_lock<std::mutex>& lock, const Connection& connection, int ms);
    void Finish(Connection& connection);
    Connection* Live(RasHandle handle);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    SimRasScript script_;
    RasHandle next_handle_ = 0x5100;
    bool stopping_ = false;
    std::map<RasHandle, std::shared_ptr<Connection>> connections_;
    std::vector<SimRasDial> dials_;
    std::vector<RasHandle> hang_ups_;
    std::vector<Worker> workers_;
};

}  // namespace korvane
