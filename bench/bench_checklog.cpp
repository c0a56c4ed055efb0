// The once-a-second look at the tunnel program's log: CheckLog on logs of
// 1 MB and 10 MB that hold no marker (the whole file is read, the worst
// case), with the tunnel program running.
//   bench_checklog --write-log=PATH --megabytes=N   writes such a log
//   bench_checklog --write-markers=PATH             writes the marker texts
// so that other tools can be measured on the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "app/SessionContext.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/VirtualClock.h"
#include "tunnel/COpenVpnMgmt.h"
#include "tunnel/OpenVpnLog.h"
#include "ui/MessageBoxPort.h"

namespace {

// Lines of the kind a long-running tunnel program writes, none a marker.
std::string MakeLog(std::size_t bytes) {
    static constexpr std::string_view kLines[] = {
        "2026-01-05 09:00:00 UDPv4 link remote: [AF_INET]203.0.113.7:1194\n",
        "2026-01-05 09:00:01 TLS: soft reset sec=3600/3600 bytes=1234567/-1 pkts=8910/0\n",
        "2026-01-05 09:00:02 VERIFY OK: depth=0, CN=Korvane CA\n",
        "2026-01-05 09:00:03 Control Channel: TLSv1.3, cipher TLSv1.3 TLS_AES_256_GCM_SHA384\n",
        "2026-01-05 09:00:04 Outgoing Data Channel: Cipher 'AES-256-GCM' initialized\n",
        "short line\n",
        "2026-01-05 09:00:05 [server] Inactivity timeout (--ping), sending ping\n",
    };
    std::string log;
    log.reserve(bytes + 128);
    for (std::size_t i = 0; log.size() < bytes; ++i) {
        log.append(kLines[i % std::size(kLines)]);
    }
    return log;
}

class NoBoxes : public korvane::MessageBoxPort {
  public:
    korvane::BoxAnswer ShowMessageBox(const std::string&, const std::string&,
                                      korvane::BoxButtons) override {
        return korvane::BoxAnswer::Ok;
    }
};

void BM_CheckLog(benchmark::State& state) {
    const std::size_t megabytes = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("korvane-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "event.log", std::ios::binary) << MakeLog(megabytes << 20);

    korvane::VirtualClock clock;
    korvane::SimProcesses processes(clock);
    processes.AddRunning("dovaop.exe");
    NoBoxes boxes;
    korvane::SessionContext session;
    session.program_dir = folder.string();
    session.tunnel_program = "dovaop.exe";
    session.tunnel_log = "event.log";
    korvane::COpenVpnMgmt openvpn(session, processes, boxes);
    if (openvpn.CheckLog() != korvane::kLogRunning) {
        state.SkipWithError("the log is not read as a running program's log without markers");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(openvpn.CheckLog());
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations()) *
        static_cast<std::int64_t>(std::filesystem::file_size(folder / "event.log")));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CheckLog)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

bool Option(std::string_view argument, std::string_view name, std::string& value) {
    if (!argument.starts_with(name)) {
        return false;
    }
    value = std::string(argument.substr(name.size()));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string log_path;
    std::string markers_path;
    std::string megabytes = "1";
    for (int i = 1; i < argc; ++i) {
        Option(argv[i], "--write-log=", log_path) || Option(argv[i], "--megabytes=", megabytes) ||
            Option(argv[i], "--write-markers=", markers_path);
    }
    if (!log_path.empty()) {
        std::ofstream out(log_path, std::ios::binary);
        out << MakeLog(static_cast<std::size_t>(std::atoi(megabytes.c_str())) << 20);
        return out ? 0 : 1;
    }
    if (!markers_path.empty()) {
        std::ofstream out(markers_path, std::ios::binary);
        for (const korvane::LogMarker& marker : korvane::kErrorMarkers) {
            out << marker.text << "\n";
        }
        out << korvane::kCompletionMarker << "\n";
        return out ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
