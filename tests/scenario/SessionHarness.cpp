#include "SessionHarness.h"

#include <cstdlib>
#include <filesystem>

#include "TranscriptLines.h"
#include "app/SessionPanels.h"
#include "netenv/AddressText.h"
#include "protocol/WireText.h"

namespace korvane::test {

namespace {

std::string MakeFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvane-session-XXXXXX").string();
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

Ipv4 Addr(const char* text) {
    Ipv4 address = 0;
    ParseDottedAddress(text, address);
    return address;
}

HttpSettings ServicePort(const testing::ServiceFixture& service) {
    HttpSettings settings;
    settings.port = service.port();
    settings.connect_timeout_seconds = 5;
    settings.receive_timeout_seconds = 10;
    return settings;
}

}  // namespace

SessionHarness::SessionHarness(const testing::ServiceFixture& service,
                               std::int64_t download_limit_ms)
    : folder(MakeFolder()),
      web(session, host, ServicePort(service)),
      updates(download_clock, download_limit_ms),
      services{session, account, clock,    random,  environment, commands,
               web,     net,     settings, updates, tunnel,      ip_selection},
      operations(services, tunnel_side) {
    host.WatchSession(&session);
    // What the application object sets.
    session.ccver = 1187;
    session.client_code = "korvane";
    session.setup_page = "korvane_setup.php";
    session.web_host = service.address();
    session.windows_dir = folder;
    // What the tunnel side's start-up sets.
    session.ip_code = "0";
    session.login_retry_count = 5;
    session.login_delay = 30;
    session.vpn_type = 4;
    session.registry_root = RegistryHive::CurrentUser;
    session.registry_key = "SOFTWARE\\Talvo";
    session.program_dir = folder;
    session.temp_dir = folder + "/Temp";
    std::filesystem::create_directories(session.temp_dir);
    session.tunnel_program = "dovaop.exe";
    session.tunnel_config = "dovaen.opc";
    session.tunnel_log = "event.log";
    session.credential_file = "ems.inf";
    deploy.auth_host_name = "127.0.0.1";
    deploy.web_host = service.address();
    deploy.port = service.port();

    AdapterRecord ethernet;
    ethernet.index = 7;
    ethernet.name = "eth0";
    ethernet.description = "Realtek PCIe GBE Family Controller";
    ethernet.hardware_address = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    ethernet.addresses.push_back({Addr("192.168.0.10"), Addr("255.255.255.0")});
    network.AddAdapter(ethernet);
    ForwardRow route;
    route.next_hop = Addr("192.168.0.1");
    route.interface_index = 7;
    route.type = kRouteTypeIndirect;
    route.protocol = kRouteProtocolNetMgmt;
    route.metric = 10;
    network.AddRow(route);
}

SessionHarness::~SessionHarness() {
    main.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

CKorvaneDlg& SessionHarness::Start() {
    const PanelFactory panels = [this](CKorvaneDlg& m) { return MakeSessionPanels(m, operations); };
    main = std::make_unique<CKorvaneDlg>(host, session, operations, deploy, panels);
    main->BeginModal(nullptr);
    main->Show(ShowMode::Show);
    return *main;
}

void SessionHarness::LogIn(const std::string& id, const std::string& password) {
    Dialog& login = Panel("login");
    login.Find(1005)->SetText(id);
    login.Find(1006)->SetText(password);
    login.DispatchCommand(1007);
}

std::vector<std::string> SessionHarness::NewLines() {
    std::vector<std::string> lines;
    std::istringstream in(out.str().substr(seen_));
    seen_ = out.str().size();
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SessionHarness::LinesStartingWith(const std::string& prefix) const {
    return korvane::testing::TranscriptLinesStartingWith(out.str(), prefix);
}

std::string SessionHarness::Setting(const std::string& name) const {
    return DecodeFromWire(settings.ReadText(session.registry_root, session.registry_key, name));
}

}  // namespace korvane::test
