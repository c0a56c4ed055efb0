#include "platform/linux/NetlinkNetwork.h"

#include <netdb.h>
#include <sys/socket.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/linux/NetlinkAttributes.h"
#include "platform/linux/ProcNetTcp.h"

namespace korvane {

namespace {

std::uint64_t Fnv1a(std::string_view text, std::uint64_t basis) {
    std::uint64_t hash = basis;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 0x100000001B3ull;
    }
    return hash;
}

bool ReadWholeFile(const char* path, std::string& text) {
    std::ifstream file(path);
    if (!file) {
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

}  // namespace

std::string LinkGuid(std::string_view link_name) {
    const std::string key = "korvane-link:" + std::string(link_name);
    std::uint64_t high = Fnv1a(key, 0xCBF29CE484222325ull);
    std::uint64_t low = Fnv1a(key, 0x84222325CBF29CE4ull);
    // Version 8 (vendor-defined) and the standard variant.
    high = (high & ~0xF000ull) | 0x8000ull;
    low = (low & ~(0xC000ull << 48)) | (0x8000ull << 48);
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}",
                  static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xFFFF),
                  static_cast<unsigned>(high & 0xFFFF), static_cast<unsigned>(low >> 48),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
    return text;
}

bool NetlinkNetwork::ResolveHostV4(const std::string& name, Ipv4& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    address = ntohl(ipv4->sin_addr.s_addr);
    return true;
}

bool NetlinkNetwork::ReadTcpTable(std::vector<TcpRow>& rows) {
    // thread-self: the namespace of this thread, which may differ from the
    // process's first thread.
    std::string text;
    if (!ReadWholeFile("/proc/thread-self/net/tcp", text) &&
        !ReadWholeFile("/proc/self/net/tcp", text)) {
        return false;
    }
    return ParseProcNetTcp(text, rows);
}

}  // namespace korvane
