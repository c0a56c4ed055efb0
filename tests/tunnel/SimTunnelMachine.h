#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../settings/TempFolder.h"
#include "TranscriptLines.h"
#include "TunnelTestSupport.h"
#include "app/CKorvaneDlg.h"
#include "app/DeploySettings.h"
#include "app/SessionContext.h"
#include "netenv/AddressText.h"
#include "netenv/CNetworkMgmt.h"
#include "platform/Platform.h"
#include "platform/QuotedText.h"
#include "platform/sim/MemorySettingsStore.h"
#include "platform/sim/SimCommandRunner.h"
#include "platform/sim/SimEnvironment.h"
#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimPrograms.h"
#include "platform/sim/SimSystemQueries.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountInfo.h"
#include "settings/CRegCtrl.h"
#include "tunnel/TunnelProcedures.h"
#include "tunnel/TunnelSide.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane::test {

inline constexpr std::uint32_t kEthernet = 7;
inline constexpr std::uint32_t kTapIndex = 12;

inline Ipv4 Address(const char* text) {
    Ipv4 address = 0;
    ParseDottedAddress(text, address);
    return address;
}

// A simulated 64-bit Windows machine with an Ethernet adapter carrying the
// default route and an unaddressed TAP adapter, the standard outside
// programs, a headless main window on a virtual clock and the tunnel side.
// The program folder is a real temporary folder: the tunnel files and the
// tunnel program's log are real files there.
struct SimTunnelMachine {
    TempFolder folder;
    std::ostringstream out;
    VirtualClock clock;
    HeadlessHost host{out, clock};
    SimNetwork network;
    SimSystemQueries system;
    SimCommandRunner commands;
    SimProcesses processes{clock};
    SimOutsidePrograms programs{processes, network, system};
    SimEnvironment environment;
    MemorySettingsStore store;
    CRegCtrl settings{store};
    Platform platform;
    CNetworkMgmt mgmt{network, system, commands};
    SessionContext session;
    AccountInfo account;
    DeploySettings deploy;
    TunnelTestOperations operations;
    TunnelSeams seams;
    std::vector<std::string> ip_changes;
    std::vector<std::pair<std::string, std::string>> downloads;
    int download_result = 1;
    std::unique_ptr<CKorvaneDlg> main;
    std::unique_ptr<TunnelSide> tunnel;
    std::unique_ptr<TunnelProcedures> procedures;

    SimTunnelMachine() {
        environment.program_path = folder / "korvane";
        environment.AddFolder(folder.path());
        environment.windows_folder = folder / "windows";
        environment.AddFolder(environment.windows_folder);
        platform.clock = &clock;
        platform.settings = &store;
        platform.environment = &environment;
        platform.network = &network;
        platform.system = &system;
        platform.processes = &processes;
        platform.commands = &commands;

        AdapterRecord ethernet;
        ethernet.index = kEthernet;
        ethernet.name = "eth0";
        ethernet.description = "Realtek PCIe GBE Family Controller";
        ethernet.hardware_address = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xef};
        ethernet.guid = "{5B6A8F10-0C1D-4E2F-8A9B-0C1D2E3F4A5B}";
        ethernet.addresses = {{Address("192.168.0.10"), Address("255.255.255.0")}};
        network.AddAdapter(ethernet);
        AddTap(kSimTapDescription64);
        ForwardRow base;
        base.destination = 0;
        base.mask = 0;
        base.next_hop = Address("192.168.0.1");
        base.interface_index = kEthernet;
        base.type = kRouteTypeIndirect;
        base.metric = 25;
        network.AddRow(base);
        ForwardRow subnet;
        subnet.destination = Address("192.168.0.0");
        subnet.mask = Address("255.255.255.0");
        subnet.interface_index = kEthernet;
        subnet.metric = 25;
        network.AddRow(subnet);

        session.ccver = 1187;
        session.client_code = "korvane";
        seams.run_login = [] { return 0; };
        seams.request_ip_change = [this](const std::string& code) { ip_changes.push_back(code); };
        seams.download = [this](const std::string& url, const std::string& path) {
            downloads.emplace_back(url, path);
            if (download_result > 0) {
                WriteBytes(path, "-----BEGIN CERTIFICATE-----\n");
            }
            return download_result;
        };
    }

    // What a login of an OpenVPN account leaves in the records.
    void LogIn() {
        session.auth_host = "198.51.100.20";
        session.user_id = "tester";
        session.password = "Pass Word 1";
        session.auth_file = "zentra.txt";
        session.vpn_type = 4;
        account.server_ip = "203.0.113.7";
        account.vpnport = "1194";
        account.gateway_ip = "10.8.0.1";
        account.route_list = "0.0.0.0/0.0.0.0";
        account.crt_file = "http://files.korvane.example/crt/ca.crt";
        account.crt_file_name = "ca.crt";
        account.server_cert_version = 1001;
        account.xxxdate = "2026-02-05 23:59:59";
    }

    void AddTap(const char* description, std::uint32_t index = kTapIndex) {
        AdapterRecord tap;
        tap.index = index;
        tap.name = "tap" + std::to_string(index);
        tap.description = description;
        tap.hardware_address = {0x00, 0xff, 0x11, 0x22, 0x33, static_cast<std::uint8_t>(index)};
        tap.guid = "{0E2F8C41-7D5A-4B3C-9E1F-2A3B4C5D6E" + std::to_string(10 + index) + "}";
        network.AddAdapter(tap);
    }

    // The main window and the tunnel side, started up; then a login of an
    // OpenVPN account has recorded the base route and the certificate of
    // its version is present.
    void Start() {
        tunnel = std::make_unique<TunnelSide>(session, account, platform, mgmt, host);
        main = std::make_unique<CKorvaneDlg>(host, session, operations, deploy, MakeTestPanels);
        procedures =
            std::make_unique<TunnelProcedures>(*main, account, *tunnel, mgmt, operations, seams);
        operations.Attach(*main, *tunnel, mgmt, *procedures);
        main->BeginModal(nullptr);
        tunnel->PrepareTunnelEnvironment();
        LogIn();
        BaseRoute base;
        AddLoginHostRoutes(mgmt, base, session, account);
        main->fields().base_route = base;
        WriteBytes(folder / "ca.crt", "-----BEGIN CERTIFICATE-----\n");
        WriteBytes(folder / "crtver.ini", "1001\n");
        session.state = SessionState::ConnectRequested;
        seen_ = out.str().size();
    }

    void Tick(int seconds = 1) {
        for (int i = 0; i < seconds; ++i) {
            host.AdvanceMilliseconds(1000);
        }
    }
    int counter() { return main->fields().tunnel_poll_counter; }
    RecordingProgress& progress() {
        return static_cast<RecordingProgress&>(*main->panels().connecting);
    }
    Control& StatusLine(int id) { return *main->panels().status->Find(id); }
    bool TimerRuns(int id) { return host.FindTimer(*main, id).has_value(); }

    // Transcript lines of the boxes shown since Start (or the last call).
    std::vector<std::string> NewBoxes() {
        const std::string text = out.str();
        const std::size_t from = seen_;
        seen_ = text.size();
        return korvane::testing::TranscriptLinesStartingWith(std::string_view(text).substr(from),
                                                             "box ");
    }
    static std::string Box(const std::string& text, const std::string& caption) {
        return "box caption=" + Quote(caption) + " text=" + Quote(text) + " buttons=ok answer=ok";
    }

    // Routes of the table as "destination/mask via next hop on interface metric".
    std::vector<std::string> Routes(std::uint32_t metric) const {
        std::vector<std::string> rows;
        for (const ForwardRow& row : network.RoutesWithMetric(metric)) {
            rows.push_back(FormatDottedAddress(row.destination) + "/" +
                           FormatDottedAddress(row.mask) + " via " +
                           FormatDottedAddress(row.next_hop) + " on " +
                           std::to_string(row.interface_index));
        }
        return rows;
    }

    bool Exists(const std::string& name) const { return std::ifstream(folder / name).good(); }

    void SetSetting(const std::string& name, const std::string& value) {
        settings.WriteValue(RegistryHive::CurrentUser, "SOFTWARE\\Talvo", name, 1, value);
    }

  private:
    std::size_t seen_ = 0;
};

}  // namespace korvane::test
