#include "platform/sim/SimNetwork.h"

#include <algorithm>
#include <bit>
#include <tuple>

namespace korvane {

namespace {

auto RowKey(const ForwardRow& r) {
    return std::tie(r.destination, r.mask, r.next_hop, r.interface_index, r.metric);
}

// The kernel keeps one route per destination, mask and metric.
bool Twins(const ForwardRow& a, const ForwardRow& b) {
    return a.destination == b.destination && a.mask == b.mask && a.metric == b.metric;
}

}  // namespace

SimAdapter& SimNetwork::AddAdapter(const AdapterRecord& record, bool connected) {
    SimAdapter adapter;
    adapter.record = record;
    adapter.connected = connected;
    adapters_.push_back(adapter);
    return adapters_.back();
}

SimAdapter* SimNetwork::FindAdapter(std::uint32_t index) {
    for (SimAdapter& adapter : adapters_) {
        if (adapter.record.index == index) {
            return &adapter;
        }
    }
    return nullptr;
}

SimAdapter* SimNetwork::FindAdapterByGuid(const std::string& guid) {
    for (SimAdapter& adapter : adapters_) {
        if (adapter.record.guid == guid) {
            return &adapter;
        }
    }
    return nullptr;
}

void SimNetwork::RemoveAdapter(std::uint32_t index) {
    std::erase_if(adapters_, [&](const SimAdapter& a) { return a.record.index == index; });
    std::erase_if(routes_, [&](const ForwardRow& r) { return r.interface_index == index; });
}

void SimNetwork::ScriptConnectionResults(const std::string& guid,
                                         std::deque<std::int32_t> results) {
    scripted_results_[guid] = std::move(results);
}

std::vector<ForwardRow> SimNetwork::RoutesWithMetric(std::uint32_t metric) const {
    std::vector<ForwardRow> rows;
    for (const ForwardRow& row : routes_) {
        if (row.metric == metric) {
            rows.push_back(row);
        }
    }
    return rows;
}

bool SimNetwork::ReadForwardTable(std::vector<ForwardRow>& rows) {
    if (forward_table_fails_) {
        return false;
    }
    rows = routes_;
    std::sort(rows.begin(), rows.end(),
              [](const ForwardRow& a, const ForwardRow& b) { return RowKey(a) < RowKey(b); });
    if (after_forward_read_) {
        after_forward_read_();
    }
    return true;
}

bool SimNetwork::CreateForwardRow(const ForwardRow& row) {
    const SimAdapter* adapter = FindAdapter(row.interface_index);
    if (adapter == nullptr || !adapter->connected ||
        (row.destination & row.mask) != row.destination) {
        return false;
    }
    if (std::any_of(routes_.begin(), routes_.end(),
                    [&](const ForwardRow& r) { return Twins(r, row); })) {
        return false;
    }
    routes_.push_back(row);
    ++create_count_;
    return true;
}

bool SimNetwork::DeleteForwardRow(const ForwardRow& row) {
    const auto found = std::find_if(routes_.begin(), routes_.end(), [&](const ForwardRow& r) {
        return r.destination == row.destination && r.mask == row.mask &&
               r.next_hop == row.next_hop && r.interface_index == row.interface_index &&
               r.metric == row.metric;
    });
    if (found == routes_.end()) {
        return false;
    }
    routes_.erase(found);
    ++delete_count_;
    return true;
}

bool SimNetwork::FindBestRoute(Ipv4 destination, ForwardRow& route) {
    const ForwardRow* best = nullptr;
    for (const ForwardRow& row : routes_) {
        if ((destination & row.mask) != row.destination) {
            continue;
        }
        if (best == nullptr || std::popcount(row.mask) > std::popcount(best->mask) ||
            (row.mask == best->mask && row.metric < best->metric)) {
            best = &row;
        }
    }
    if (best == nullptr) {
        return false;
    }
    route = *best;
    return true;
}

bool SimNetwork::ReadAddressTable(std::vector<AddressRow>& rows) {
    if (address_table_fails_) {
        return false;
    }
    rows.clear();
    for (const SimAdapter& adapter : adapters_) {
        for (const InterfaceAddress& a : adapter.record.addresses) {
            rows.push_back({adapter.record.index, a.address, a.mask});
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const AddressRow& a, const AddressRow& b) {
        return a.address < b.address;
    });
    return true;
}

int SimNetwork::ReadAdapters(std::vector<AdapterRecord>& adapters) {
    adapters.clear();
    if (adapter_list_error_ != 0) {
        return adapter_list_error_;
    }
    for (const SimAdapter& adapter : adapters_) {
        adapters.push_back(adapter.record);
    }
    return 0;
}

bool SimNetwork::ResolveHostV4(const std::string& name, Ipv4& address) {
    const auto found = hosts_.find(name);
    if (found == hosts_.end()) {
        return false;
    }
    address = found->second;
    return true;
}

void SimNetwork::SetHardwareAddressOverride(const std::string& guid,
                                            const std::optional<std::string>& address) {
    if (SimAdapter* adapter = FindAdapterByGuid(guid)) {
        adapter->address_override = address;
    }
}

std::int32_t SimNetwork::ListConnections(std::vector<ConnectionRecord>& connections) {
    connections.clear();
    if (connection_list_error_ != kConnectionOk) {
        return connection_list_error_;
    }
    for (const SimAdapter& adapter : adapters_) {
        connections.push_back({adapter.record.guid, adapter.record.description, adapter.connected});
    }
    return kConnectionOk;
}

std::int32_t SimNetwork::SwitchConnection(const std::string& guid, bool connect) {
    connection_switches_.push_back(guid + (connect ? " connect" : " disconnect"));
    SimAdapter* adapter = FindAdapterByGuid(guid);
    if (adapter == nullptr) {
        return kConnectionNotFound;
    }
    auto& scripted = scripted_results_[guid];
    if (!scripted.empty()) {
        const std::int32_t result = scripted.front();
        scripted.pop_front();
        if (result != kConnectionOk) {
            return result;
        }
    }
    if (connect) {
        Connect(*adapter);
    } else {
        Disconnect(*adapter);
    }
    return kConnectionOk;
}

void SimNetwork::Connect(SimAdapter& adapter) {
    std::vector<std::uint8_t> bytes;
    if (adapter.address_override && ParseHardwareAddressText(*adapter.address_override, bytes)) {
        adapter.record.hardware_address = bytes;
    }
    adapter.connected = true;
}

void SimNetwork::Disconnect(SimAdapter& adapter) {
    adapter.connected = false;
    const std::uint32_t index = adapter.record.index;
    std::erase_if(routes_, [&](const ForwardRow& r) { return r.interface_index == index; });
}

bool SimNetwork::RunBindingSwitch(const BindingSwitch& binding) {
    const std::string program = binding.command_line.substr(0, binding.command_line.find(' '));
    if (missing_programs_.count(program) != 0) {
        return false;
    }
    binding_commands_.push_back(binding.command_line);
    for (SimAdapter& adapter : adapters_) {
        if (adapter.record.description == binding.adapter_description) {
            adapter.unbound_components.insert(binding.component);
        }
    }
    return true;
}

bool SimNetwork::ReadTcpTable(std::vector<TcpRow>& rows) {
    if (tcp_table_fails_) {
        return false;
    }
    rows = tcp_;
    std::stable_sort(rows.begin(), rows.end(), [](const TcpRow& a, const TcpRow& b) {
        return std::tie(a.local_address, a.local_port, a.remote_address, a.remote_port) <
               std::tie(b.local_address, b.local_port, b.remote_address, b.remote_port);
    });
    return true;
}

}  // namespace korvane
