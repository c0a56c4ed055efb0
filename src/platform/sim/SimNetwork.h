#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/NetworkPort.h"

namespace korvane {

// One adapter of the simulated machine, with its network connection.
struct SimAdapter {
    AdapterRecord record;
    bool connected = true;
    // The hardware address the adapter takes at its next connect.
    std::optional<std::string> address_override;
    // Binding components switched off by the binding programs.
    std::set<std::string> unbound_components;
};

// The network of a simulated machine: adapters, forward table, TCP rows, host
// names, and the binding programs' command lines. Tests and the demo build
// it, run the system against it and inspect it afterwards.
//
// The table follows the rules of the Linux kernel's where the plans depend
// on them: a row needs a connected interface, a destination within its mask
// and no twin (same destination, mask and metric, whatever the next hop); a
// delete of a row that is not there fails; disconnecting or removing an
// adapter takes its routes with it.
class SimNetwork : public NetworkPort {
  public:
    // --- building the machine ---
    SimAdapter& AddAdapter(const AdapterRecord& record, bool connected = true);
    SimAdapter* FindAdapter(std::uint32_t index);
    SimAdapter* FindAdapterByGuid(const std::string& guid);
    // Removes the adapter and every route through it (a tunnel ending).
    void RemoveAdapter(std::uint32_t index);
    void AddRow(const ForwardRow& row) { routes_.push_back(row); }
    void AddTcpRow(const TcpRow& row) { tcp_.push_back(row); }
    void AddHost(const std::string& name, Ipv4 address) { hosts_[name] = address; }

    // --- failures ---
    void set_forward_table_fails(bool fails) { forward_table_fails_ = fails; }
    void set_address_table_fails(bool fails) { address_table_fails_ = fails; }
    void set_adapter_list_error(int error) { adapter_list_error_ = error; }
    void set_tcp_table_fails(bool fails) { tcp_table_fails_ = fails; }
    void set_connection_list_error(std::int32_t error) { connection_list_error_ = error; }
    // Results the next switches of this connection return, in order; once
    // used up, switches succeed.
    void ScriptConnectionResults(const std::string& guid, std::deque<std::int32_t> results);
    // Binding programs of this name cannot be started.
    void MarkProgramMissing(const std::string& program) { missing_programs_.insert(program); }
    // Runs after every forward-table snapshot: lets a test change the table
    // between snapshot and delete, as another process could.
    void set_after_forward_read(std::function<void()> hook) { after_forward_read_ = hook; }

    // --- inspection ---
    const std::vector<ForwardRow>& routes() const { return routes_; }
    std::vector<ForwardRow> RoutesWithMetric(std::uint32_t metric) const;
    const std::vector<SimAdapter>& adapters() const { return adapters_; }
    const std::vector<std::string>& binding_commands() const { return binding_commands_; }
    // Every switch asked for, "guid connect" or "guid disconnect".
    const std::vector<std::string>& connection_switches() const { return connection_switches_; }
    int create_count() const { return create_count_; }
    int delete_count() const { return delete_count_; }

    // --- NetworkPort ---
    bool ReadForwardTable(std::vector<ForwardRow>& rows) override;
    bool CreateForwardRow(const ForwardRow& row) override;
    bool DeleteForwardRow(const ForwardRow& row) override;
    bool FindBestRoute(Ipv4 destination, ForwardRow& route) override;
    bool ReadAddressTable(std::vector<AddressRow>& rows) override;
    int ReadAdapters(std::vector<AdapterRecord>& adapters) override;
    bool ResolveHostV4(const std::string& name, Ipv4& address) override;
    void SetHardwareAddressOverride(const std::string& guid,
                                    const std::optional<std::string>& address) override;
    std::int32_t ListConnections(std::vector<ConnectionRecord>& connections) override;
    std::int32_t SwitchConnection(const std::string& guid, bool connect) override;
    bool RunBindingSwitch(const BindingSwitch& binding) override;
    bool ReadTcpTable(std::vector<TcpRow>& rows) override;

  private:
    void Connect(SimAdapter& adapter);
    void Disconnect(SimAdapter& adapter);

    std::vector<SimAdapter> adapters_;
    std::vector<ForwardRow> routes_;
    std::vector<TcpRow> tcp_;
    std::map<std::string, Ipv4> hosts_;
    std::map<std::string, std::deque<std::int32_t>> scripted_results_;
    std::set<std::string> missing_programs_;
    std::vector<std::string> binding_commands_;
    std::vector<std::string> connection_switches_;
    std::function<void()> after_forward_read_;
    bool forward_table_fails_ = false;
    bool address_table_fails_ = false;
    int adapter_list_error_ = 0;
    bool tcp_table_fails_ = false;
    std::int32_t connection_list_error_ = kConnectionOk;
    int create_count_ = 0;
    int delete_count_ = 0;
};

}  // namespace korvane
