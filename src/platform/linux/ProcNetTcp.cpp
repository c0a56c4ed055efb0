#include "platform/linux/ProcNetTcp.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <tuple>

namespace korvane {

namespace {

// Kernel TCP states (1 established ... 11 closing) in the port's numbering.
std::uint32_t StateOf(unsigned kernel_state) {
    static constexpr std::uint32_t kStates[] = {
        0,
        kTcpEstablished,
        kTcpSynSent,
        kTcpSynReceived,
        kTcpFinWait1,
        kTcpFinWait2,
        kTcpTimeWait,
        kTcpClosed,
        kTcpCloseWait,
        kTcpLastAck,
        kTcpListen,
        kTcpClosing,
    };
    return kernel_state < std::size(kStates) ? kStates[kernel_state] : 0;
}

bool Hex(std::string_view text, std::uint32_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "0100007F:1F90": the address as the kernel's 32-bit word in memory order,
// the port in host order.
bool Endpoint(std::string_view text, Ipv4& address, std::uint16_t& port) {
    const std::size_t colon = text.find(':');
    std::uint32_t word = 0;
    std::uint32_t number = 0;
    if (colon != 8 || !Hex(text.substr(0, colon), word) || !Hex(text.substr(colon + 1), number) ||
        number > 0xFFFF) {
        return false;
    }
    address = ntohl(word);
    port = static_cast<std::uint16_t>(number);
    return true;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

bool ParseRow(std::string_view line, TcpRow& row) {
    const std::vector<std::string_view> f = Fields(line);
    std::uint32_t state = 0;
    if (f.size() < 4 || !Endpoint(f[1], row.local_address, row.local_port) ||
        !Endpoint(f[2], row.remote_address, row.remote_port) || !Hex(f[3], state)) {
        return false;
    }
    row.state = StateOf(state);
    return row.state != 0;
}

}  // namespace

bool ParseProcNetTcp(std::string_view text, std::vector<TcpRow>& rows) {
    const std::size_t first_end = text.find('\n');
    if (text.substr(0, first_end).find("local_address") == std::string_view::npos) {
        return false;
    }
    std::vector<TcpRow> parsed;
    std::size_t at = first_end;
    while (at != std::string_view::npos && at < text.size()) {
        const std::size_t start = at + 1;
        at = text.find('\n', start);
        TcpRow row;
        if (ParseRow(text.substr(start, at == std::string_view::npos ? at : at - start), row)) {
            parsed.push_back(row);
        }
    }
    std::stable_sort(parsed.begin(), parsed.end(), [](const TcpRow& a, const TcpRow& b) {
        return std::tie(a.local_address, a.local_port, a.remote_address, a.remote_port) <
               std::tie(b.local_address, b.local_port, b.remote_address, b.remote_port);
    });
    rows = std::move(parsed);
    return true;
}

}  // namespace korvane
