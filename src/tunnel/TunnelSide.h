#pragma once

#include <functional>
#include <string>

#include "app/TunnelOperations.h"
#include "settings/CFileMgmt.h"
#include "settings/CRegCtrl.h"
#include "tunnel/COpenVpnMgmt.h"
#include "tunnel/CProcMonitor.h"
#include "tunnel/ProgramHooks.h"
#include "tunnel/TapEnvironment.h"
#include "tunnel/TunnelFiles.h"

namespace korvane {

class CNetworkMgmt;
class MessageBoxPort;
struct AccountInfo;
struct Platform;
struct SessionContext;

// The remote-access phonebook writer: negative on failure.
using PhonebookWriter = std::function<int(int vpn_type, int has_zero_address)>;

// The tunnel subsystem's long-lived objects, owned by the main window for
// its whole life, and what the session side asks of them. The platform
// record must carry the process, settings, environment and system ports.
class TunnelSide : public TunnelOperations {
  public:
    TunnelSide(SessionContext& session, AccountInfo& account, const Platform& platform,
               CNetworkMgmt& network, MessageBoxPort& boxes, PhonebookWriter write_phonebook = {});

    // Start-up: folders, file names, tunnel kind, session defaults.
    void PrepareTunnelEnvironment() { tap_.PrepareTunnelEnvironment(); }

    // --- TunnelOperations ---
    void StopTunnelProgram() override { openvpn_.Stop(); }
    void DeleteTunnelFiles() override { files_.DeleteTunnelFiles(); }
    int CheckTapAdapter() override { return tap_.CheckTapAdapter(); }
    // -1 while no phonebook writer was given.
    int WritePhonebook(int vpn_type, int has_zero_address) override;
    void RunProgramHook(const std::string& event) override { hooks_.RunProgramHook(event); }

    COpenVpnMgmt& openvpn() { return openvpn_; }
    TunnelFiles& files() { return files_; }
    CFileMgmt& file() { return file_; }
    TapEnvironment& tap() { return tap_; }
    const CRegCtrl& settings() const { return settings_; }

  private:
    CRegCtrl settings_;
    CFileMgmt file_;
    COpenVpnMgmt openvpn_;
    // The hooks' own monitor (the main window owns two).
    CProcMonitor hook_monitor_;
    TunnelFiles files_;
    ProgramHooks hooks_;
    TapEnvironment tap_;
    PhonebookWriter write_phonebook_;
};

}  // namespace korvane
