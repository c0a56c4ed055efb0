#include "platform/sim/SimPrograms.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>

#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimSystemQueries.h"

namespace korvane {

namespace {

constexpr char kPassPhrase[] = "we go on up";
constexpr char kHardwareId[] = "tap0901";
constexpr std::uint32_t kFirstTapIndex = 20;

// Start-up chatter of the kind the real program writes; none holds a marker.
constexpr const char* kChatter[] = {
    "OpenVPN 2.6.14 x86_64-pc-linux-gnu [SSL (OpenSSL)] [LZO] [LZ4] [EPOLL] [AEAD]",
    "library versions: OpenSSL 3.0.15 3 Sep 2024, LZO 2.10",
    "TCP/UDP: Preserving recently used remote address: [AF_INET]203.0.113.7:1194",
    "Socket Buffers: R=[212992->212992] S=[212992->212992]",
    "UDPv4 link local: (not bound)",
    "UDPv4 link remote: [AF_INET]203.0.113.7:1194",
    "TLS: Initial packet from [AF_INET]203.0.113.7:1194, sid=5a1c2b3d 4e5f6071",
    "VERIFY OK: depth=0, CN=Korvane CA",
    "Control Channel: TLSv1.3, cipher TLSv1.3 TLS_AES_256_GCM_SHA384",
    "[server] Peer Connection Initiated with [AF_INET]203.0.113.7:1194",
    "SENT CONTROL [server]: 'PUSH_REQUEST' (status=1)",
    "PUSH: Received control message: 'PUSH_REPLY,route-gateway 10.8.0.1,topology subnet'",
    "OPTIONS IMPORT: --ifconfig/up options modified",
    "OPTIONS IMPORT: route-related options modified",
    "Data Channel: cipher 'AES-256-GCM', peer-id: 0",
    "TAP-WIN32 device opened for the tunnel interface",
    "Notified TAP-Windows driver to set a DHCP IP/netmask of 10.8.0.2/255.255.255.0",
    "Successful ARP Flush on interface of the tunnel adapter",
};

Ipv4 ParseAddress(const std::string& text) {
    in_addr address{};
    return inet_pton(AF_INET, text.c_str(), &address) == 1 ? ntohl(address.s_addr) : 0;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!name.empty() && name[0] == '/') {
        return name;
    }
    return (folder.empty() ? std::string(".") : folder) + "/" + name;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

bool IsTap(const AdapterRecord& adapter) {
    return adapter.description.find(kSimTapDescription32) != std::string::npos ||
           adapter.description.find(kSimTapDescription64) != std::string::npos;
}

void RemoveAdapters(SimNetwork& network, const std::string& description) {
    std::vector<std::uint32_t> doomed;
    for (const SimAdapter& adapter : network.adapters()) {
        if (adapter.record.description.find(description) != std::string::npos) {
            doomed.push_back(adapter.record.index);
        }
    }
    for (const std::uint32_t index : doomed) {
        network.RemoveAdapter(index);
    }
}

// A driver that finds an adapter of its own already there numbers the new one.
void AddTapAdapter(SimNetwork& network, const std::string& description) {
    std::uint32_t index = kFirstTapIndex;
    int same = 0;
    for (const SimAdapter& adapter : network.adapters()) {
        index = std::max(index, adapter.record.index + 1);
        if (adapter.record.description.find(description) != std::string::npos) {
            ++same;
        }
    }
    AdapterRecord record;
    record.index = index;
    record.name = "tap" + std::to_string(index);
    record.description = same == 0 ? description : description + " #" + std::to_string(same + 1);
    record.hardware_address = {0x00, 0xFF, 0x5A, 0x00, 0x00, static_cast<std::uint8_t>(index)};
    char guid[64];
    std::snprintf(guid, sizeof guid, "{5AD7C0DE-0000-4000-8000-%012X}", index);
    record.guid = guid;
    network.AddAdapter(record, true);
}

class SimTunnelProgram : public SimProgram {
  public:
    SimTunnelProgram(const SimLaunch& launch, SimTunnelScenario scenario, SimNetwork& network)
        : launch_(launch), scenario_(std::move(scenario)), network_(network) {
        Schedule(0, Kind::Start);
        if (scenario_.complete_after >= 0) {
            Schedule(scenario_.complete_after, Kind::Complete);
        }
        if (!scenario_.error.empty()) {
            Schedule(scenario_.error_after, Kind::Error);
        }
        if (scenario_.exit_after >= 0) {
            Schedule(scenario_.exit_after, Kind::Exit);
        }
        std::stable_sort(events_.begin(), events_.end(),
                         [](const Event& a, const Event& b) { return a.at_ms < b.at_ms; });
    }

    std::optional<int> Advance(std::int64_t elapsed_ms) override {
        while (next_ < events_.size() && events_[next_].at_ms <= elapsed_ms && !exit_code_) {
            const Event event = events_[next_++];
            Happen(event);
        }
        return exit_code_;
    }

    void Ended() override {
        if (!exit_code_) {
            Write(now_ms_, "SIGTERM[hard,] received, process exiting");
            Release();
        }
    }

  private:
    enum class Kind { Start, Complete, Error, Exit };
    struct Event {
        std::int64_t at_ms;
        Kind kind;
    };

    void Schedule(int seconds, Kind kind) { events_.push_back({seconds * 1000LL, kind}); }

    void Happen(const Event& event) {
        now_ms_ = event.at_ms;
        switch (event.kind) {
            case Kind::Start:
                Start();
                break;
            case Kind::Complete:
                Complete();
                break;
            case Kind::Error:
                Write(event.at_ms, scenario_.error);
                break;
            case Kind::Exit:
                Write(event.at_ms, "SIGTERM[soft,exit] received, process exiting");
                Release();
                exit_code_ = 0;
                break;
        }
    }

    void Start() {
        const std::vector<std::string>& a = launch_.arguments;
        if (a.size() != 6 || a[1] != "--config" || a[3] != "--log") {
            exit_code_ = 1;
            return;
        }
        log_path_ = JoinPath(launch_.working_directory, a[4]);
        std::ofstream(log_path_, std::ios::trunc);
        if (!std::ifstream(JoinPath(launch_.working_directory, a[2]))) {
            Fail("Options error: In [CMD-LINE]:1: Error opening configuration file: " + a[2]);
            return;
        }
        if (FirstLine(JoinPath(launch_.working_directory, a[5])) != kPassPhrase) {
            Fail("dovaop: the token file " + a[5] + " does not hold the pass phrase");
            return;
        }
        const auto tap = std::find_if(network_.adapters().begin(), network_.adapters().end(),
                                      [](const SimAdapter& s) { return IsTap(s.record); });
        if (tap == network_.adapters().end()) {
            Write(0,
                  "There are no TAP-Win32 adapters on this system.  You should be able to create "
                  "a TAP-Win32 adapter by going to Start -> All Programs -> TAP-Win32 -> Add a "
                  "new TAP-Win32 virtual ethernet adapter.");
            Fail("Exiting due to fatal error");
            return;
        }
        tap_index_ = tap->record.index;
        for (int i = 0; i < scenario_.log_lines; ++i) {
            Write(0, kChatter[static_cast<std::size_t>(i) % std::size(kChatter)]);
        }
    }

    void Complete() {
        if (SimAdapter* tap = network_.FindAdapter(tap_index_)) {
            const Ipv4 address = ParseAddress(scenario_.address);
            const Ipv4 mask = ParseAddress(scenario_.mask);
            tap->record.addresses = {{address, mask}};
            ForwardRow subnet;
            subnet.destination = address & mask;
            subnet.mask = mask;
            subnet.interface_index = tap_index_;
            subnet.metric = 30;
            network_.AddRow(subnet);
        }
        Write(now_ms_, "Initialization Sequence Completed");
    }

    // The adapter's media goes off: its address and routes go with it.
    void Release() {
        if (SimAdapter* tap = network_.FindAdapter(tap_index_)) {
            tap->record.addresses.clear();
            std::vector<ForwardRow> doomed;
            for (const ForwardRow& row : network_.routes()) {
                if (row.interface_index == tap_index_) {
                    doomed.push_back(row);
                }
            }
            for (const ForwardRow& row : doomed) {
                network_.DeleteForwardRow(row);
            }
        }
    }

    void Fail(const std::string& line) {
        Write(0, line);
        exit_code_ = 1;
    }

    void Write(std::int64_t at_ms, const std::string& text) {
        if (log_path_.empty()) {
            return;
        }
        const LocalTime t = FromLocalSeconds(launch_.local_seconds + at_ms / 1000);
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day,
                      t.hour, t.minute, t.second);
        std::ofstream(log_path_, std::ios::app) << stamp << text << "\n";
    }

    SimLaunch launch_;
    SimTunnelScenario scenario_;
    SimNetwork& network_;
    std::vector<Event> events_;
    std::size_t next_ = 0;
    std::int64_t now_ms_ = 0;
    std::optional<int> exit_code_;
    std::string log_path_;
    std::uint32_t tap_index_ = 0;
};

// Programs that do all their work at their launch.
class SimInstantProgram : public SimProgram {
  public:
    explicit SimInstantProgram(std::function<int()> work) : work_(std::move(work)) {}
    std::optional<int> Advance(std::int64_t) override {
        if (!code_) {
            code_ = work_();
        }
        return code_;
    }

  private:
    std::function<int()> work_;
    std::optional<int> code_;
};

class SimRunningProgram : public SimProgram {
  public:
    explicit SimRunningProgram(int runs_for) : runs_for_(runs_for) {}
    std::optional<int> Advance(std::int64_t elapsed_ms) override {
        if (runs_for_ >= 0 && elapsed_ms >= runs_for_ * 1000LL) {
            return 0;
        }
        return std::nullopt;
    }

  private:
    int runs_for_;
};

int RunTapInstaller(SimNetwork& network, const std::string& description,
                    const std::vector<std::string>& a) {
    if (a.size() != 4 || a[3] != kHardwareId) {
        return 1;
    }
    if (a[1] == "remove") {
        RemoveAdapters(network, description);
        return 0;
    }
    if (a[1] == "install") {
        AddTapAdapter(network, description);
        return 0;
    }
    return 1;
}

// The process and all its descendants, children first.
void CollectTree(const std::vector<ProcessEntry>& all, std::uint32_t pid,
                 std::vector<std::uint32_t>& out) {
    for (const ProcessEntry& entry : all) {
        if (entry.parent_pid == pid && entry.pid != pid) {
            CollectTree(all, entry.pid, out);
        }
    }
    out.push_back(pid);
}

int RunTaskKill(SimProcesses& processes, const std::vector<std::string>& a) {
    bool tree = false;
    std::string image;
    for (std::size_t i = 1; i < a.size(); ++i) {
        const std::string flag = FoldFileName(a[i]);
        if (flag == "/t") {
            tree = true;
        } else if (flag == "/im" && i + 1 < a.size()) {
            image = a[++i];
        }
    }
    std::vector<ProcessEntry> all;
    if (image.empty() || !processes.Snapshot(all)) {
        return 1;
    }
    std::vector<std::uint32_t> doomed;
    for (const ProcessEntry& entry : all) {
        if (FoldFileName(entry.executable) == FoldFileName(image)) {
            if (tree) {
                CollectTree(all, entry.pid, doomed);
            } else {
                doomed.push_back(entry.pid);
            }
        }
    }
    for (const std::uint32_t pid : doomed) {
        processes.Terminate(static_cast<int>(pid));
    }
    return doomed.empty() ? 128 : 0;
}

}  // namespace

SimOutsidePrograms::SimOutsidePrograms(SimProcesses& processes, SimNetwork& network,
                                       SimSystemQueries& system)
    : processes_(processes), network_(network), system_(system) {
    processes_.Install("dovaop.exe", [this](const SimLaunch& launch) {
        return std::make_unique<SimTunnelProgram>(launch, tunnel, network_);
    });
    for (const auto& [file, description] : {std::pair{"tapinstall32.exe", kSimTapDescription32},
                                            std::pair{"tapinstall64.exe", kSimTapDescription64}}) {
        const std::string text = description;
        processes_.Install(file, [this, text](const SimLaunch& launch) {
            const std::vector<std::string> arguments = launch.arguments;
            return std::make_unique<SimInstantProgram>(
                [this, text, arguments] { return RunTapInstaller(network_, text, arguments); });
        });
    }
    processes_.Install("AdapterInstall.exe", [this](const SimLaunch&) {
        return std::make_unique<SimInstantProgram>([this] {
            RemoveAdapters(network_, kSimTapDescription32);
            RemoveAdapters(network_, kSimTapDescription64);
            AddTapAdapter(network_,
                          system_.IsWow64Process() ? kSimTapDescription64 : kSimTapDescription32);
            return 0;
        });
    });
    processes_.Install("taskkill.exe", [this](const SimLaunch& launch) {
        const std::vector<std::string> arguments = launch.arguments;
        return std::make_unique<SimInstantProgram>(
            [this, arguments] { return RunTaskKill(processes_, arguments); });
    });
}

void SimOutsidePrograms::InstallPlain(const std::string& file_name,
                                      const SimPlainProgram& program) {
    const int runs_for = program.runs_for;
    processes_.Install(
        file_name,
        [runs_for](const SimLaunch&) { return std::make_unique<SimRunningProgram>(runs_for); },
        program.modules);
}

}  // namespace korvane
