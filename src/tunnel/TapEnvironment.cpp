#include "tunnel/TapEnvironment.h"

#include "app/SessionContext.h"
#include "netenv/CNetworkMgmt.h"
#include "platform/Environment.h"
#include "platform/ProcessPort.h"
#include "platform/SystemQueries.h"
#include "protocol/AccountInfo.h"
#include "settings/CRegCtrl.h"
#include "settings/SlashPath.h"
#include "tunnel/COpenVpnMgmt.h"
#include "ui/MessageBoxPort.h"

namespace korvane {

namespace {

constexpr char kSettingsKey[] = "SOFTWARE\\Talvo";

void RunAndWait(ProcessPort& processes, const std::string& command_line) {
    LaunchRequest request;
    request.command_line = command_line;
    request.hidden = true;
    int error = 0;
    const int pid = processes.Launch(request, error);
    int exit_code = 0;
    if (pid > 0) {
        processes.Wait(pid, exit_code);
    }
}

}  // namespace

TapInstallCommands BuildTapInstallCommands(const std::string& folder, bool wow64) {
    const std::string bits = wow64 ? "64" : "32";
    const std::string installer = "\"" + folder + "/" + bits + "/tapinstall" + bits + ".exe\"";
    const std::string driver =
        "\"" + folder + "/" + bits + "/" + (wow64 ? "OemVista.inf" : "oemdrv.inf") + "\"";
    return {ForwardSlashes(installer + " remove " + driver + " tap0901"),
            ForwardSlashes(installer + " install " + driver + " tap0901")};
}

TapEnvironment::TapEnvironment(SessionContext& session, AccountInfo& account,
                               Environment& environment, SystemQueries& system,
                               const CRegCtrl& settings, CNetworkMgmt& network,
                               ProcessPort& processes, COpenVpnMgmt& openvpn, MessageBoxPort& boxes)
    : session_(session),
      account_(account),
      environment_(environment),
      system_(system),
      settings_(settings),
      network_(network),
      processes_(processes),
      openvpn_(openvpn),
      boxes_(boxes) {}

std::string TapEnvironment::EnterProgramFolder() {
    environment_.SetCurrentDirectory(environment_.ProgramFolder());
    return ForwardSlashes(environment_.CurrentDirectory());
}

void TapEnvironment::PrepareTunnelEnvironment() {
    session_.program_dir = EnterProgramFolder();
    session_.tap_adapter_description =
        system_.IsWow64Process() ? kTapDescription64 : kTapDescription32;
    session_.tunnel_program = "dovaop.exe";
    session_.tunnel_config = "dovaen.opc";
    session_.tunnel_log = "event.log";
    session_.credential_file = "ems.inf";
    session_.client_cert_version = 1001;
    session_.registry_root = RegistryHive::CurrentUser;
    session_.registry_key = kSettingsKey;

    const auto setting = [&](const char* name) {
        return settings_.ReadText(session_.registry_root, session_.registry_key, name);
    };
    session_.ip_change_type = setting("VSIpChgType") == "1" ? 1 : 0;
    const bool remote_access = setting("VCType") == "1";
    session_.vpn_type = remote_access ? 1 : 4;
    network_.SetConnectionEnabled(session_.tap_adapter_description, !remote_access);

    session_.login_delay = 30;
    session_.login_retry_count = 5;
    session_.state = SessionState::Idle;
    session_.ip_code = "0";
    session_.ping_check = 0;
    account_.xxxdate = "1970-01-01 23:59:59";
    account_.xxxtime = 0;
    account_.expire_text.clear();
    account_.my_point = "0";
    account_.mac_addr.clear();
    account_.gamefastmode = -1;
    account_.auto_conn_change = 0;

    session_.temp_dir = ForwardSlashes(session_.windows_dir + "/Temp");
    environment_.CreateFolder(session_.temp_dir);
}

int TapEnvironment::CheckTapAdapter() {
    const std::string& description = session_.tap_adapter_description;
    // A failed adapter query (-1) counts as found and as at most one.
    if (network_.FindAdapterIndex(description) != 0 &&
        network_.CountAdaptersByDescription(description) <= 1) {
        return 0;
    }
    openvpn_.Stop();
    boxes_.ShowMessageBox(kInstallNotice, kInstallCaption, BoxButtons::Ok);
    InstallTapDriver();
    return 0;
}

int TapEnvironment::InstallTapDriver() {
    const std::string folder = EnterProgramFolder();
    const TapInstallCommands commands = BuildTapInstallCommands(folder, system_.IsWow64Process());
    RunAndWait(processes_, commands.remove);
    RunAndWait(processes_, commands.install);
    return 1;
}

}  // namespace korvane
