#include "KernelNamespace.h"

#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>

namespace korvane::systest {

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TestNamespace::TestNamespace(std::string name) : name_(std::move(name)) {
    const CommandResult added = RunCommand("ip netns add " + name_);
    created_ = added.status == 0;
    if (!created_) {
        error_ = "ip netns add " + name_ + ": " + added.output;
    }
}

TestNamespace::~TestNamespace() {
    if (created_) {
        RunCommand("ip netns del " + name_);
    }
}

bool TestNamespace::Ip(const std::string& arguments) {
    const CommandResult result = IpOutput(arguments);
    if (result.status != 0) {
        error_ = "ip -n " + name_ + " " + arguments + ": " + result.output;
        return false;
    }
    return true;
}

CommandResult TestNamespace::IpOutput(const std::string& arguments) const {
    return RunCommand("ip -n " + name_ + " " + arguments);
}

CommandResult TestNamespace::Exec(const std::string& command) const {
    return RunCommand("ip netns exec " + name_ + " " + command);
}

NamespaceEntry::NamespaceEntry(const std::string& name) {
    original_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const int target = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (original_ >= 0 && target >= 0) {
        entered_ = setns(target, CLONE_NEWNET) == 0;
    }
    if (target >= 0) {
        close(target);
    }
}

NamespaceEntry::~NamespaceEntry() {
    if (entered_) {
        setns(original_, CLONE_NEWNET);
    }
    if (original_ >= 0) {
        close(original_);
    }
}

unsigned long CurrentNamespaceId() {
    struct stat info {};
    return stat("/proc/thread-self/ns/net", &info) == 0 ? info.st_ino : 0;
}

TapDevice::TapDevice(const std::string& name) {
    const int fd = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    ifreq request{};
    request.ifr_flags = IFF_TAP | IFF_NO_PI;
    std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
    if (ioctl(fd, TUNSETIFF, &request) != 0) {
        close(fd);
        return;
    }
    fd_ = fd;
}

TapDevice::~TapDevice() {
    Close();
}

bool TapDevice::Persist() {
    return fd_ >= 0 && ioctl(fd_, TUNSETPERSIST, 1) == 0;
}

void TapDevice::Close() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

std::vector<KernelRoute> ParseIpRoutes(const std::string& json) {
    std::vector<KernelRoute> routes;
    const nlohmann::json parsed = nlohmann::json::parse(json, nullptr, false);
    if (!parsed.is_array()) {
        return routes;
    }
    for (const auto& item : parsed) {
        KernelRoute route;
        route.destination = item.value("dst", "");
        route.gateway = item.value("gateway", "");
        route.device = item.value("dev", "");
        route.metric = item.value("metric", 0u);
        routes.push_back(route);
    }
    return routes;
}

}  // namespace korvane::systest
