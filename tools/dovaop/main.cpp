// dovaop.exe --config CONFIG --log LOG TOKEN
//
// The tunnel program of the client on Linux, installed in the client's
// folder. The client starts it with exactly this command line in that
// folder. It checks that the token file holds the pass phrase, then runs
// the OpenVPN program (Debian's openvpn package) on the configuration and
// log, directed to the persistent TAP link that the TAP installer made
// (the link whose alias holds the adapter description), and stays its
// parent until it ends: the client finds and ends the tunnel by this
// program's name. A signal to this program is passed on to OpenVPN; when
// this program dies, OpenVPN gets SIGTERM from the kernel.
//
// Environment (tests): KORVANE_OPENVPN, the OpenVPN program to run.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/linux/NetlinkNetwork.h"
#include "tunnel/TapEnvironment.h"

namespace {

constexpr char kPassPhrase[] = "we go on up";
constexpr int kExitUsage = 2;
constexpr int kExitToken = 3;
constexpr int kExitNoOpenVpn = 4;
constexpr int kExitStart = 5;

volatile sig_atomic_t g_child = 0;

void PassOn(int signal) {
    if (g_child > 0) {
        kill(g_child, signal);
    }
}

std::string Environment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

// The client reads this log; a line of our own says why OpenVPN never ran.
void AppendLog(const std::string& log, const std::string& line) {
    std::ofstream(log, std::ios::app) << "dovaop: " << line << "\n";
}

bool TokenHolds(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line == kPassPhrase;
}

std::string FindOpenVpn() {
    const std::string given = Environment("KORVANE_OPENVPN", "");
    if (!given.empty()) {
        return access(given.c_str(), X_OK) == 0 ? given : std::string();
    }
    const std::string path = Environment("PATH", "/usr/bin:/bin") + ":/usr/sbin:/sbin";
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t colon = std::min(path.find(':', start), path.size());
        const std::string candidate = path.substr(start, colon - start) + "/openvpn";
        if (colon > start && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = colon + 1;
    }
    return {};
}

// The description the client looks for: the 64-bit package's for a 32-bit
// program on a 64-bit kernel, the 32-bit package's otherwise.
std::vector<std::string> Descriptions() {
    utsname system{};
    const bool wow64 =
        sizeof(void*) == 4 && uname(&system) == 0 && std::strcmp(system.machine, "x86_64") == 0;
    if (wow64) {
        return {korvane::kTapDescription64, korvane::kTapDescription32};
    }
    return {korvane::kTapDescription32, korvane::kTapDescription64};
}

// The link the client's adapter lookup finds: the first adapter in list
// order whose description (the link's alias) holds the TAP description.
std::string FindTapLink() {
    korvane::NetlinkNetwork network;
    std::vector<korvane::AdapterRecord> adapters;
    if (network.ReadAdapters(adapters) != 0) {
        return {};
    }
    for (const std::string& description : Descriptions()) {
        for (const korvane::AdapterRecord& adapter : adapters) {
            if (adapter.description.find(description) != std::string::npos) {
                return adapter.name;
            }
        }
    }
    return {};
}

int Run(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    struct sigaction pass {};
    pass.sa_handler = PassOn;
    sigemptyset(&pass.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2}) {
        sigaction(signal, &pass, nullptr);
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        return kExitStart;
    }
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(kExitStart);
        }
        for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2}) {
            ::signal(signal, SIG_DFL);
        }
        execv(argv[0], argv.data());
        _exit(kExitStart);
    }
    g_child = child;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return kExitStart;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : kExitStart;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 || std::strcmp(argv[1], "--config") != 0 || std::strcmp(argv[3], "--log") != 0) {
        std::cerr << "usage: dovaop.exe --config CONFIG --log LOG TOKEN\n";
        return kExitUsage;
    }
    const std::string config = argv[2];
    const std::string log = argv[4];
    const std::string token = argv[5];
    if (!TokenHolds(token)) {
        AppendLog(log, "the token file " + token + " does not hold the pass phrase, not starting");
        return kExitToken;
    }
    const std::string openvpn = FindOpenVpn();
    if (openvpn.empty()) {
        AppendLog(log, "the OpenVPN program (package openvpn) was not found, not starting");
        return kExitNoOpenVpn;
    }
    std::vector<std::string> arguments = {openvpn, "--config", config};
    // Given after the file, these override its "dev tap".
    if (const std::string link = FindTapLink(); !link.empty()) {
        arguments.insert(arguments.end(), {"--dev", link, "--dev-type", "tap"});
    }
    arguments.insert(arguments.end(), {"--log", log});
    return Run(arguments);
}
