#include "app/PendingOperations.h"

namespace korvane {

// Network environment work replaces this with the real name resolution; until
// then the host counts as unresolvable unless a test says otherwise.
std::string PendingOperations::ResolveAuthHost(const std::string& host_name) {
    calls_.push_back("ResolveAuthHost(" + host_name + ")");
    return resolved_auth_host;
}

// Network environment work.
void PendingOperations::AddFirewallExceptions() {
    calls_.push_back("AddFirewallExceptions");
}

// Tunnel work.
void PendingOperations::PrepareTunnelEnvironment() {
    calls_.push_back("PrepareTunnelEnvironment");
}

// Settings work.
bool PendingOperations::CreateSettingsKey() {
    calls_.push_back("CreateSettingsKey");
    return settings_key_created;
}

// Logout and event reporting work.
int PendingOperations::SendLogout(const std::string& mode) {
    calls_.push_back("SendLogout(" + mode + ")");
    return 0;
}

int PendingOperations::ReportTunnelEnd(int code, const std::string& reason) {
    calls_.push_back("ReportTunnelEnd(" + std::to_string(code) + "," + reason + ")");
    return 1;
}

// Remote-access tunnel work.
int PendingOperations::StopRasTunnel() {
    calls_.push_back("StopRasTunnel");
    return 1;
}

// OpenVPN monitor work.
void PendingOperations::OpenVpnTimerTick() {
    calls_.push_back("OpenVpnTimerTick");
}

void PendingOperations::CheckRasLink() {
    calls_.push_back("CheckRasLink");
}

// Service time work.
void PendingOperations::TickServiceTime() {
    calls_.push_back("TickServiceTime");
}

int PendingOperations::OnRasStatus(int state, int error) {
    calls_.push_back("OnRasStatus(" + std::to_string(state) + "," + std::to_string(error) + ")");
    return 1;
}

// Update dialogs work.
void PendingOperations::RunUpdateDialog() {
    calls_.push_back("RunUpdateDialog");
}

// Options dialog work.
void PendingOperations::RunOptionsDialog() {
    calls_.push_back("RunOptionsDialog");
}

}  // namespace korvane
