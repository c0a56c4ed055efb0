#include "platform/sim/SimNetworkSections.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <set>

#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimSystemQueries.h"

namespace korvane {

namespace {

// Reads the values of one section, remembering what went wrong first.
class SectionReader {
  public:
    SectionReader(std::string_view section, std::string& error)
        : section_(section), error_(error) {}

    bool ok() const { return ok_; }

    void Fail(const std::string& key, const std::string& why) {
        if (ok_) {
            error_ = "[" + std::string(section_) + "] " + key + ": " + why;
            ok_ = false;
        }
    }

    template <typename T>
    void Number(const std::string& key, const std::string& text, T& out) {
        std::uint64_t value = 0;
        std::string_view digits = text;
        int base = 10;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            digits.remove_prefix(2);
            base = 16;
        }
        const auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
        if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
            value > static_cast<std::uint64_t>(static_cast<T>(~T{}))) {
            Fail(key, "not a number: " + text);
            return;
        }
        out = static_cast<T>(value);
    }

    void Flag(const std::string& key, const std::string& text, bool& out) {
        if (text != "0" && text != "1") {
            Fail(key, "expected 0 or 1: " + text);
            return;
        }
        out = text == "1";
    }

    void Address(const std::string& key, const std::string& text, Ipv4& out) {
        Ipv4 value = 0;
        std::size_t start = 0;
        for (int part = 0; part < 4; ++part) {
            const std::size_t end = part < 3 ? text.find('.', start) : text.size();
            unsigned byte = 256;
            if (end == std::string::npos || end == start ||
                std::from_chars(text.data() + start, text.data() + end, byte).ptr !=
                    text.data() + end ||
                byte > 255) {
                Fail(key, "not a dotted address: " + text);
                return;
            }
            value = (value << 8) | byte;
            start = end + 1;
        }
        out = value;
    }

    // "address/mask".
    void AddressWithMask(const std::string& key, const std::string& text, InterfaceAddress& out) {
        const std::size_t cut = text.find('/');
        if (cut == std::string::npos) {
            Fail(key, "expected address/mask: " + text);
            return;
        }
        Address(key, text.substr(0, cut), out.address);
        Address(key, text.substr(cut + 1), out.mask);
    }

    // "address:port".
    void Endpoint(const std::string& key, const std::string& text, Ipv4& address,
                  std::uint16_t& port) {
        const std::size_t cut = text.find(':');
        if (cut == std::string::npos) {
            Fail(key, "expected address:port: " + text);
            return;
        }
        Address(key, text.substr(0, cut), address);
        Number(key, text.substr(cut + 1), port);
    }

    void Require(const std::set<std::string>& seen, const std::string& key) {
        if (seen.count(key) == 0) {
            Fail(key, "missing");
        }
    }

  private:
    std::string_view section_;
    std::string& error_;
    bool ok_ = true;
};

bool ApplyAdapter(SimNetwork& network, std::string_view name, const SectionEntries& entries,
                  SectionReader& in) {
    AdapterRecord record;
    record.name = std::string(name);
    bool connected = true;
    std::set<std::string> seen;
    for (const auto& [key, value] : entries) {
        seen.insert(key);
        if (key == "index") {
            in.Number(key, value, record.index);
        } else if (key == "description") {
            record.description = value;
        } else if (key == "mac") {
            if (!value.empty() && !ParseHardwareAddressText(value, record.hardware_address)) {
                in.Fail(key, "not a hardware address: " + value);
            }
        } else if (key == "guid") {
            record.guid = value;
        } else if (key == "address") {
            InterfaceAddress a;
            in.AddressWithMask(key, value, a);
            record.addresses.push_back(a);
        } else if (key == "gateway") {
            in.Address(key, value, record.gateway);
        } else if (key == "dhcp") {
            in.Flag(key, value, record.dhcp_enabled);
        } else if (key == "dhcp_server") {
            in.Address(key, value, record.dhcp_server);
        } else if (key == "type") {
            in.Number(key, value, record.type);
        } else if (key == "connected") {
            in.Flag(key, value, connected);
        } else {
            in.Fail(key, "unknown key");
        }
    }
    in.Require(seen, "index");
    if (in.ok() && network.FindAdapter(record.index) != nullptr) {
        in.Fail("index", "adapter " + std::to_string(record.index) + " exists already");
    }
    if (!in.ok()) {
        return false;
    }
    if (record.guid.empty()) {
        char guid[40];
        std::snprintf(guid, sizeof guid, "{00000000-0000-0000-0000-%012X}", record.index);
        record.guid = guid;
    }
    network.AddAdapter(record, connected);
    return true;
}

bool ApplyRoute(SimNetwork& network, const SectionEntries& entries, SectionReader& in) {
    ForwardRow row;
    row.type = kRouteTypeIndirect;
    std::set<std::string> seen;
    for (const auto& [key, value] : entries) {
        seen.insert(key);
        if (key == "destination") {
            in.Address(key, value, row.destination);
        } else if (key == "mask") {
            in.Address(key, value, row.mask);
        } else if (key == "next_hop") {
            in.Address(key, value, row.next_hop);
        } else if (key == "interface") {
            in.Number(key, value, row.interface_index);
        } else if (key == "metric") {
            in.Number(key, value, row.metric);
        } else if (key == "type") {
            in.Number(key, value, row.type);
        } else if (key == "protocol") {
            in.Number(key, value, row.protocol);
        } else {
            in.Fail(key, "unknown key");
        }
    }
    for (const char* key : {"destination", "mask", "interface", "metric"}) {
        in.Require(seen, key);
    }
    if (!in.ok()) {
        return false;
    }
    network.AddRow(row);
    return true;
}

bool ApplyTcp(SimNetwork& network, const SectionEntries& entries, SectionReader& in) {
    TcpRow row;
    std::set<std::string> seen;
    for (const auto& [key, value] : entries) {
        seen.insert(key);
        if (key == "state") {
            in.Number(key, value, row.state);
        } else if (key == "local") {
            in.Endpoint(key, value, row.local_address, row.local_port);
        } else if (key == "remote") {
            in.Endpoint(key, value, row.remote_address, row.remote_port);
        } else if (key == "pid") {
            in.Number(key, value, row.owning_pid);
        } else {
            in.Fail(key, "unknown key");
        }
    }
    for (const char* key : {"state", "local", "remote"}) {
        in.Require(seen, key);
    }
    if (!in.ok()) {
        return false;
    }
    network.AddTcpRow(row);
    return true;
}

bool ApplyOs(SimSystemQueries& system, const SectionEntries& entries, SectionReader& in) {
    OsVersionRecord v = system.version.value_or(OsVersionRecord{});
    SimSystemQueries next = system;
    bool readable = true;
    for (const auto& [key, value] : entries) {
        if (key == "major") {
            in.Number(key, value, v.major);
        } else if (key == "minor") {
            in.Number(key, value, v.minor);
        } else if (key == "build") {
            in.Number(key, value, v.build);
        } else if (key == "platform") {
            in.Number(key, value, v.platform_id);
        } else if (key == "service_pack") {
            v.service_pack = value;
        } else if (key == "suite_mask") {
            in.Number(key, value, v.suite_mask);
        } else if (key == "product_type") {
            in.Number(key, value, v.product_type);
        } else if (key == "system_name") {
            v.system_name = value;
        } else if (key == "system_release") {
            v.system_release = value;
        } else if (key == "readable") {
            in.Flag(key, value, readable);
        } else if (key == "processor") {
            in.Number(key, value, next.processor);
        } else if (key == "product_info") {
            if (value == "none") {
                next.product_info.reset();
            } else {
                std::uint32_t type = 0;
                in.Number(key, value, type);
                next.product_info = type;
            }
        } else if (key == "r2") {
            bool r2 = false;
            in.Flag(key, value, r2);
            next.metrics[kMetricServerR2] = r2 ? 1 : 0;
        } else if (key == "browser") {
            next.browser_version = value;
        } else if (key == "wow64") {
            in.Flag(key, value, next.wow64);
        } else {
            in.Fail(key, "unknown key");
        }
    }
    if (!in.ok()) {
        return false;
    }
    next.version = readable ? std::optional<OsVersionRecord>(v) : std::nullopt;
    system = next;
    return true;
}

bool ApplyHost(SimNetwork& network, std::string_view name, const SectionEntries& entries,
               SectionReader& in) {
    Ipv4 address = 0;
    std::set<std::string> seen;
    for (const auto& [key, value] : entries) {
        seen.insert(key);
        if (key == "address") {
            in.Address(key, value, address);
        } else {
            in.Fail(key, "unknown key");
        }
    }
    in.Require(seen, "address");
    if (name.empty()) {
        in.Fail("name", "a host section needs a name");
    }
    if (!in.ok()) {
        return false;
    }
    network.AddHost(std::string(name), address);
    return true;
}

}  // namespace

bool ApplyMachineSection(SimNetwork& network, SimSystemQueries& system, std::string_view section,
                         std::string_view name, const SectionEntries& entries, std::string& error) {
    SectionReader in(section, error);
    if (section == "adapter") {
        return ApplyAdapter(network, name, entries, in);
    }
    if (section == "route") {
        return ApplyRoute(network, entries, in);
    }
    if (section == "tcp") {
        return ApplyTcp(network, entries, in);
    }
    if (section == "os") {
        return ApplyOs(system, entries, in);
    }
    if (section == "host") {
        return ApplyHost(network, name, entries, in);
    }
    error = "unknown section [" + std::string(section) + "]";
    return false;
}

}  // namespace korvane
