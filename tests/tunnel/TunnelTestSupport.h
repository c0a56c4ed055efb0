#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/CKorvaneDlg.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/RoutePlans.h"
#include "tunnel/ConnectProgress.h"
#include "tunnel/TunnelProcedures.h"
#include "tunnel/TunnelSide.h"
#include "ui/Dialog.h"

namespace korvane::test {

// The connecting dialog as the tunnel procedures see it: a panel that
// notes each call.
class RecordingProgress : public Dialog, public ConnectProgress {
  public:
    explicit RecordingProgress(Host& host) : Dialog(host, "connecting", 143) {}
    void StartProgress() override { calls.push_back("StartProgress"); }
    void StopProgress() override { calls.push_back("StopProgress"); }
    void ResetProgress() override { calls.push_back("ResetProgress"); }
    void StepProgress(const std::string& text, int step) override {
        calls.push_back("StepProgress(" + text + "," + std::to_string(step) + ")");
    }
    std::vector<std::string> calls;
};

// The session's operations as far as the tunnel needs them: logout and
// report are noted (with the tunnel state they found), and the OpenVPN
// tear-down does what the session's ReportTunnelEnd does to the tunnel side
// (timers, program, state, base route, dialog, tray icon, files, OUT
// hooks), without the HTTP report. Timer 1 reaches the procedures.
class TunnelTestOperations : public PendingOperations {
  public:
    void Attach(CKorvaneDlg& main, TunnelSide& tunnel, CNetworkMgmt& network,
                TunnelProcedures& procedures) {
        main_ = &main;
        tunnel_ = &tunnel;
        network_ = &network;
        procedures_ = &procedures;
    }

    int SendLogout(const std::string& mode) override {
        events.push_back("SendLogout(" + mode + ")");
        return 0;
    }
    int ReportTunnelEnd(int code, const std::string& reason) override {
        events.push_back("ReportTunnelEnd(" + std::to_string(code) + "," + reason + ")");
        log_at_report = ReadLog();
        main_->KillTimer(CKorvaneDlg::kTimerServiceTime);
        main_->KillTimer(CKorvaneDlg::kTimerTunnelCheck);
        tunnel_->StopTunnelProgram();
        main_->session().state = SessionState::Idle;
        const MainWindowState& f = main_->fields();
        RestoreBaseDefaultRoute(*network_, f.base_route, main_->session());
        if (auto* progress = dynamic_cast<ConnectProgress*>(main_->panels().connecting.get())) {
            progress->ResetProgress();
            progress->StopProgress();
        }
        main_->panels().connecting->Show(ShowMode::Hide);
        main_->tray().SetIcon(CTrayIcon::kIconDisconnected);
        tunnel_->DeleteTunnelFiles();
        tunnel_->RunProgramHook("OUT_START");
        tunnel_->RunProgramHook("OUT_STOP");
        return 1;
    }
    int StopRasTunnel() override {
        events.push_back("StopRasTunnel");
        return 0;
    }
    void OpenVpnTimerTick() override { procedures_->OpenVpnTimerTick(); }

    std::vector<std::string> events;
    std::string log_at_report;

  private:
    std::string ReadLog() const;

    CKorvaneDlg* main_ = nullptr;
    TunnelSide* tunnel_ = nullptr;
    CNetworkMgmt* network_ = nullptr;
    TunnelProcedures* procedures_ = nullptr;
};

// Template panels, with the connecting dialog replaced by a recording one.
MainPanels MakeTestPanels(CKorvaneDlg& main);

// A fetch of the URL into the file over HTTP (libcurl), as the update
// manager's download makes it: 1, or -1 (and no file) on any failure.
int CurlDownload(const std::string& url, const std::string& path);

}  // namespace korvane::test
