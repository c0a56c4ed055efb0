#include "platform/sim/SimRas.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/sim/SimRasErrors.h"

namespace korvane {

namespace {

using Entry = std::vector<std::pair<std::string, std::string>>;

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        return lower(x) == lower(y);
    });
}

// The keys of section [name] of an ini-format file, as the service would
// read its phonebook. False when the file or the section is missing.
bool ReadEntry(const std::string& path, const std::string& name, Entry& entry) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bool found = false;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            inside = SameIgnoringAsciiCase(line.substr(1, line.size() - 2), name);
            found = found || inside;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inside && equals != std::string::npos) {
            entry.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return found;
}

}  // namespace

std::vector<int> SimRasScript::Walk() const {
    if (!states.empty()) {
        return states;
    }
    if (error != 0) {
        return {0, 1, 2, 3, 4, ras_state::kAuthenticate};
    }
    return {0,
            1,
            2,
            3,
            4,
            ras_state::kAuthenticate,
            6,
            14,
            ras_state::kProjected,
            ras_state::kConnected};
}

SimRas::~SimRas() {
    StopAll();
}

void SimRas::SetScript(SimRasScript script) {
    std::lock_guard<std::mutex> lock(mutex_);
    script_ = std::move(script);
}

SimRasScript SimRas::script() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return script_;
}

int SimRas::Dial(const std::string& phonebook, const RasDialParams& params, RasNotifier notifier,
                 RasHandle& handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto connection = std::make_shared<Connection>();
    connection->handle = next_handle_++;
    connection->client_address = script_.client_address;
    connections_[connection->handle] = connection;
    handle = connection->handle;

    SimRasDial dial{phonebook, params, {}, handle};
    const bool has_entry = ReadEntry(phonebook, params.entry_name, dial.entry);
    dials_.push_back(std::move(dial));
    int refusal = script_.refuse;
    if (refusal == 0 && script_.check_phonebook && !has_entry) {
        refusal = ras_error::kCannotFindPhonebookEntry;
    }
    if (refusal != 0) {
        connection->status.error = refusal;
        return refusal;
    }
    JoinFinished();
    connection->busy = true;
    workers_.push_back(
        {connection, std::thread(&SimRas::Walk, this, connection, script_, std::move(notifier))});
    return 0;
}

// Waits `ms` unless the dial is given up first; false when it was.
bool SimRas::Pause(std::unique_lock<std::mutex>& lock, const Connection& connection, int ms) {
    return !changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        return stopping_ || connection.hung_up || connection.dropped;
    });
}

void SimRas::Walk(std::shared_ptr<Connection> connection, SimRasScript script,
                  RasNotifier notifier) {
    const std::vector<int> states = script.Walk();
    std::unique_lock<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (!Pause(lock, *connection, script.step_ms)) {
            Finish(*connection);
            return;
        }
        const int error = i + 1 == states.size() ? script.error : 0;
        connection->status = {states[i], error};
        connection->connected = states[i] == ras_state::kConnected && error == 0;
        lock.unlock();
        notifier(states[i], error);
        lock.lock();
        if (error != 0) {
            break;
        }
    }
    if (connection->connected && script.drop_after_ms > 0 &&
        Pause(lock, *connection, script.drop_after_ms)) {
        connection->dropped = true;
    }
    Finish(*connection);
}

// Threads whose walk is over hold the lock no more; joining them is quick.
void SimRas::JoinFinished() {
    auto done = std::partition(workers_.begin(), workers_.end(),
                               [](const Worker& w) { return w.connection->busy; });
    for (auto it = done; it != workers_.end(); ++it) {
        it->thread.join();
    }
    workers_.erase(done, workers_.end());
}

void SimRas::Finish(Connection& connection) {
    connection.busy = false;
    changed_.notify_all();
}

SimRas::Connection* SimRas::Live(RasHandle handle) {
    const auto it = connections_.find(handle);
    if (it == connections_.end() || it->second->hung_up || it->second->dropped) {
        return nullptr;
    }
    return it->second.get();
}

int SimRas::HangUp(RasHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = connections_.find(handle);
    if (it == connections_.end() || it->second->hung_up) {
        return ras_error::kInvalidHandle;
    }
    it->second->hung_up = true;
    hang_ups_.push_back(handle);
    changed_.notify_all();
    return 0;
}

int SimRas::GetConnectStatus(RasHandle handle, RasConnectionStatus& status) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Connection* connection = Live(handle);
    if (connection == nullptr) {
        return ras_error::kInvalidHandle;
    }
    status = connection->status;
    return 0;
}

int SimRas::GetClientAddress(RasHandle handle, std::string& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Connection* connection = Live(handle);
    if (connection == nullptr) {
        return ras_error::kInvalidHandle;
    }
    if (!connection->connected) {
        return ras_error::kProjectionNotComplete;
    }
    address = connection->client_address;
    return 0;
}

int SimRas::GetErrorText(int error, std::string& text) {
    text = SimRasErrorText(error);
    return 0;
}

std::vector<SimRasDial> SimRas::dials() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dials_;
}

std::vector<RasHandle> SimRas::hang_ups() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return hang_ups_;
}

bool SimRas::DropLink(RasHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Connection* connection = Live(handle);
    if (connection == nullptr || !connection->connected) {
        return false;
    }
    connection->dropped = true;
    changed_.notify_all();
    return true;
}

bool SimRas::WaitUntilIdle(int timeout_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] {
        return std::none_of(connections_.begin(), connections_.end(),
                            [](const auto& entry) { return entry.second->busy; });
    });
}

void SimRas::StopAll() {
    std::vector<Worker> workers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        workers.swap(workers_);
    }
    changed_.notify_all();
    for (Worker& worker : workers) {
        worker.thread.join();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
}

}  // namespace korvane
