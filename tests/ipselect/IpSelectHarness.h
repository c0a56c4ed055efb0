#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TranscriptLines.h"
#include "app/CKorvaneDlg.h"
#include "app/MainPanels.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "ipselect/CIpMgmtTab5Dlg.h"
#include "ipselect/ConnectSteps.h"
#include "ipselect/DynamicIpTabDlg.h"
#include "ipselect/IpRequests.h"
#include "ipselect/IpSelection.h"
#include "netenv/CNetworkMgmt.h"
#include "platform/Random.h"
#include "platform/sim/MemorySettingsStore.h"
#include "platform/sim/SimCommandRunner.h"
#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimSystemQueries.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountInfo.h"
#include "protocol/CWebMgmt.h"
#include "protocol/HttpHeaders.h"
#include "settings/CRegCtrl.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane::test {

inline constexpr char kTapDescription[] = "TAP-Windows Adapter V9";
inline constexpr char kTapGuid[] = "{0E2F8C41-7D5A-4B3C-9E1F-2A3B4C5D6E7F}";

// Records every step in order, as "RunLogin(vpn,a02)" and the like, and
// moves the session state the way the real steps do.
class RecordingConnectSteps : public ConnectSteps {
  public:
    explicit RecordingConnectSteps(SessionContext& session) : session_(session) {}

    int RunLogin() override {
        calls.push_back("RunLogin(" + session_.auth_mode + "," + session_.ip_code + ")");
        return login_result;
    }
    int ConnectTunnel() override {
        calls.push_back("ConnectTunnel");
        session_.state = SessionState::Connecting;
        return connect_result;
    }
    void StopTunnelProgram() override { calls.push_back("StopTunnelProgram"); }
    void StopConnectingDialog() override { calls.push_back("StopConnectingDialog"); }
    int SendLogout(const std::string& mode) override {
        calls.push_back("SendLogout(" + mode + ")");
        return 1;
    }
    int ReportTunnelEnd(int code, const std::string& reason) override {
        calls.push_back("ReportTunnelEnd(" + std::to_string(code) + "," + reason + ")");
        session_.state = SessionState::Idle;
        return 1;
    }
    int StopRasTunnel() override {
        calls.push_back("StopRasTunnel");
        session_.state = SessionState::Idle;
        return 1;
    }
    void ShowStatusIpLine(const std::string& text) override {
        calls.push_back("ShowStatusIpLine(" + text + ")");
        ip_line = text;
    }

    // The calls since the last look.
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

    std::vector<std::string> calls;
    std::string ip_line;
    int login_result = 0;
    int connect_result = 1;

  private:
    SessionContext& session_;
};

// Yields the queued numbers, then 0.
class QueuedRandom : public Random {
  public:
    void Seed(unsigned) override {}
    int Next() override {
        if (values.empty()) {
            return 0;
        }
        const int v = values.front();
        values.pop_front();
        return v;
    }
    std::deque<int> values;
};

// The main window on the headless host with the two real IP tabs in its
// panels, a simulated network with a TAP adapter, settings in memory and
// recording connect steps. Requests go to 127.0.0.1 at service_port.
class IpSelectHarness : public ::testing::Test {
  protected:
    IpSelectHarness() {
        session_.ccver = 1187;
        session_.client_code = "korvane";
        session_.user_id = "user1";
        session_.password = "pw1";
        session_.auth_host = "127.0.0.1";
        session_.ip_code = "0";
        session_.vpn_type = 4;
        session_.state = SessionState::LoggedIn;
        session_.http_headers = std::string(kHttpHeaderBlock);
        session_.registry_root = RegistryHive::CurrentUser;
        session_.registry_key = "SOFTWARE\\Talvo";
        session_.tap_adapter_description = kTapDescription;
        store_.CreateKey("HKEY_CURRENT_USER", "SOFTWARE\\Talvo");
        // Start-up resolves the authentication host; the service listens here.
        ops_.resolved_auth_host = "127.0.0.1";

        AdapterRecord tap;
        tap.index = 12;
        tap.name = "tap";
        tap.description = kTapDescription;
        tap.guid = kTapGuid;
        network_.AddAdapter(tap);
    }
    ~IpSelectHarness() override {
        // The hook goes before the window it is installed in.
        selection_.reset();
    }

    // Builds the main window; requests go to `service_port` (a closed port
    // when the test talks to no service).
    CKorvaneDlg& Start(int service_port = 9) {
        web_ = std::make_unique<CWebMgmt>(session_, host_, HttpSettings{service_port, 5, 5});
        requests_ = std::make_unique<IpRequests>(session_, account_, *web_, steps_);
        main_ = std::make_unique<CKorvaneDlg>(
            host_, session_, ops_, deploy_, [this](CKorvaneDlg& main) {
                MainPanels panels = MakeTemplatePanels(main);
                selection_ = std::make_unique<IpSelection>(main, steps_, *requests_, mgmt_);
                panels.service_ip =
                    std::make_unique<DynamicIpTabDlg>(*selection_, account_, reg_, random_);
                panels.managed_ip =
                    std::make_unique<CIpMgmtTab5Dlg>(*selection_, account_, reg_, random_);
                return panels;
            });
        main_->BeginModal(nullptr);
        return *main_;
    }

    DynamicIpTabDlg& ServiceTab() {
        return static_cast<DynamicIpTabDlg&>(*main_->panels().service_ip);
    }
    CIpMgmtTab5Dlg& ManagedTab() {
        return static_cast<CIpMgmtTab5Dlg&>(*main_->panels().managed_ip);
    }

    std::string Setting(const std::string& name) const {
        return reg_.ReadText(session_.registry_root, session_.registry_key, name);
    }
    void SetSetting(const std::string& name, const std::string& text) {
        reg_.WriteValue(session_.registry_root, session_.registry_key, name, 1, text);
    }

    // A double-click on one row, as the user makes it.
    static void DoubleClick(Dialog& tab, int list, int row) {
        ListView& view = *tab.Get<ListView>(list);
        view.ClearSelection();
        view.SetRowState(row, true, true);
        tab.DispatchNotify(list, Notification::DoubleClick);
    }
    static void Select(Dialog& tab, int list, const std::vector<int>& rows) {
        ListView& view = *tab.Get<ListView>(list);
        view.ClearSelection();
        for (int row : rows) {
            view.SetRowState(row, true, false);
        }
    }
    static std::vector<std::string> Rows(const ListView& list) {
        std::vector<std::string> rows;
        for (int i = 0; i < list.RowCount(); ++i) {
            rows.push_back(list.RowText(i));
        }
        return rows;
    }
    // used_rows without the positions that no longer count.
    static std::vector<int> CountedRows(const IpListTab& tab) {
        std::vector<int> rows;
        for (int r : tab.used_rows()) {
            if (r != IpListTab::kRemovedRow) {
                rows.push_back(r);
            }
        }
        return rows;
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(out_.str());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> Boxes() const {
        return korvane::testing::TranscriptLinesStartingWith(out_.str(), "box ");
    }

    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    SessionContext session_;
    AccountInfo account_;
    PendingOperations ops_;
    DeploySettings deploy_;
    SimNetwork network_;
    SimSystemQueries system_;
    SimCommandRunner commands_;
    CNetworkMgmt mgmt_{network_, system_, commands_};
    MemorySettingsStore store_;
    CRegCtrl reg_{store_};
    QueuedRandom random_;
    RecordingConnectSteps steps_{session_};
    std::unique_ptr<CWebMgmt> web_;
    std::unique_ptr<IpRequests> requests_;
    std::unique_ptr<CKorvaneDlg> main_;
    std::unique_ptr<IpSelection> selection_;
};

}  // namespace korvane::test
