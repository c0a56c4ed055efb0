// The options dialog on the headless host over a simulated network and
// settings kept in memory.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "TranscriptLines.h"
#include "app/CKorvaneDlg.h"
#include "app/MainPanels.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "netenv/AddressText.h"
#include "netenv/CNetworkMgmt.h"
#include "platform/sim/MemorySettingsStore.h"
#include "platform/sim/SimCommandRunner.h"
#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimSystemQueries.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountInfo.h"
#include "settings/CIPTabSetOptionDlg.h"
#include "settings/CRegCtrl.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/DropList.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

using Strings = std::vector<std::string>;
using Dlg = CIPTabSetOptionDlg;

constexpr char kTap[] = "TAP-Windows Adapter V9";
constexpr char kTapGuid[] = "{0E2F8C41-7D5A-4B3C-9E1F-2A3B4C5D6E7F}";
constexpr char kKey[] = "SOFTWARE\\Talvo";

Ipv4 Addr(const char* text) {
    Ipv4 a = 0;
    ParseDottedAddress(text, a);
    return a;
}

class OptionsDialogTest : public ::testing::Test {
  protected:
    OptionsDialogTest() {
        session_.registry_root = RegistryHive::CurrentUser;
        session_.registry_key = kKey;
        session_.tap_adapter_description = kTap;
        session_.vpn_type = 4;
        session_.state = SessionState::LoggedIn;
        store_.CreateKey("HKEY_CURRENT_USER", kKey);
        account_.vpn_server_list = "A1/Seoul^B2/Busan^";
        account_.auto_conn_change = 1;

        AdapterRecord ethernet;
        ethernet.index = 7;
        ethernet.name = "eth0";
        ethernet.description = "Ethernet";
        ethernet.guid = "{5B6A8F10-0C1D-4E2F-8A9B-0C1D2E3F4A5B}";
        ethernet.addresses = {{Addr("192.168.0.10"), Addr("255.255.255.0")}};
        ethernet.gateway = Addr("192.168.0.1");
        network_.AddAdapter(ethernet);
        AdapterRecord tap;
        tap.index = 12;
        tap.name = "tap";
        tap.description = kTap;
        tap.guid = kTapGuid;
        network_.AddAdapter(tap);

        main_ = std::make_unique<CKorvaneDlg>(host_, session_, ops_, deploy_, MakeTemplatePanels);
        main_->BeginModal(nullptr);
        main_->fields().base_route.interface_index = 7;
        main_->fields().base_route.gateway = "192.168.0.1";
    }

    // Opens a fresh dialog as its modal run does.
    Dlg& Open() {
        dialog_.reset();
        dialog_ = std::make_unique<Dlg>(*main_, account_, reg_, mgmt_);
        dialog_->BeginModal(main_.get());
        return *dialog_;
    }

    std::string Setting(const char* name) const {
        return reg_.ReadText(session_.registry_root, kKey, name);
    }
    void SetSetting(const char* name, const std::string& text) {
        reg_.WriteValue(session_.registry_root, kKey, name, 1, text);
    }
    bool HasSetting(const char* name) const {
        StoredValue v;
        return store_.QueryValue("HKEY_CURRENT_USER", kKey, name, v);
    }
    DropList& List(int id) const { return *dialog_->Get<DropList>(id); }
    bool Checked(int id) const { return dialog_->Get<RadioButton>(id)->checked(); }
    // A click as the user makes it: a radio is ticked first.
    void Click(int id) {
        if (auto* radio = dialog_->Get<RadioButton>(id)) {
            dialog_->CheckRadioButton(radio->id());
        }
        dialog_->DispatchCommand(id);
    }
    void Choose(int list, const std::string& text) {
        List(list).SetCurSel(List(list).FindExact(text));
        dialog_->DispatchNotify(list, Notification::SelectionChange);
    }
    Strings Items(int id) const {
        Strings items;
        for (int i = 0; i < List(id).Count(); ++i) {
            items.push_back(List(id).ItemText(i));
        }
        return items;
    }
    Strings Boxes() const {
        return korvane::testing::TranscriptLinesStartingWith(out_.str(), "box ");
    }
    Strings NewSwitches() {
        const Strings& all = network_.connection_switches();
        Strings fresh(all.begin() + static_cast<long>(switches_seen_), all.end());
        switches_seen_ = all.size();
        return fresh;
    }
    Strings RegisteredRoutes() const {
        Strings routes;
        for (const ForwardRow& row : network_.RoutesWithMetric(9999)) {
            routes.push_back(FormatDottedAddress(row.destination) + "/" +
                             FormatDottedAddress(row.mask) + " via " +
                             FormatDottedAddress(row.next_hop) + " if " +
                             std::to_string(row.interface_index));
        }
        return routes;
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
    std::unique_ptr<CKorvaneDlg> main_;
    std::unique_ptr<Dlg> dialog_;
    std::size_t switches_seen_ = 0;
};

TEST_F(OptionsDialogTest, ServerListShowsNamesAndPreselectsTheStoredCode) {
    struct Case {
        const char* list;
        const char* stored;
        Strings names;
        const char* chosen;
        const char* session_code;
    };
    const Case cases[] = {
        {"A1/Seoul^B2/Busan^", "", {"Seoul", "Busan"}, "Seoul", "A1"},
        {"A1/Seoul^B2/Busan^", "B2", {"Seoul", "Busan"}, "Busan", "A1"},
        {"A1/Seoul^B2/Busan^", "Z9", {"Seoul", "Busan"}, "Seoul", "A1"},
        // The last entry of the code wins.
        {"A1/Seoul^A1/Seoul2^", "A1", {"Seoul", "Seoul2"}, "Seoul2", "A1"},
        // Entries without a code are left out; the first entry is not used,
        // so the session's code stays.
        {"/Nowhere^B2/Busan^", "", {"Busan"}, "Busan", "kept"},
        {"", "", {}, "", "kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        account_.vpn_server_list = c.list;
        SetSetting("VSvrCode", c.stored);
        session_.vpn_conn_server_code = "kept";
        Open();
        EXPECT_EQ(Items(Dlg::kServerList), c.names);
        EXPECT_EQ(List(Dlg::kServerList).SelectedText(), c.chosen);
        EXPECT_EQ(session_.vpn_conn_server_code, c.session_code);
    }
}

TEST_F(OptionsDialogTest, OpensWithEveryControlInItsStartState) {
    Dlg& d = Open();
    EXPECT_EQ(d.template_id(), 145);
    EXPECT_EQ(d.background_bitmap, 206);
    EXPECT_TRUE(d.drags_anywhere);
    EXPECT_EQ(Items(Dlg::kCountList), (Strings{"5", "4", "3", "2", "1"}));
    EXPECT_EQ(Items(Dlg::kIntervalList), (Strings{"60", "90", "120"}));
    EXPECT_EQ(Items(Dlg::kReconnectList), (Strings{"해제", "설정"}));
    EXPECT_EQ(List(Dlg::kCountList).SelectedText(), "5");
    EXPECT_EQ(List(Dlg::kIntervalList).SelectedText(), "60");
    EXPECT_EQ(List(Dlg::kReconnectList).SelectedText(), "해제");
    EXPECT_TRUE(List(Dlg::kReconnectList).enabled());
    EXPECT_FALSE(List(Dlg::kIntervalList).enabled());
    EXPECT_FALSE(List(Dlg::kCountList).enabled());
    struct Bitmaps {
        int id, normal, pressed;
    };
    for (const Bitmaps& b :
         {Bitmaps{1004, 157, 158}, Bitmaps{1012, 219, 220}, Bitmaps{1013, 217, 218}}) {
        EXPECT_EQ(d.Get<CBitmapButton>(b.id)->normal_bitmap(), b.normal);
        EXPECT_EQ(d.Get<CBitmapButton>(b.id)->pressed_bitmap(), b.pressed);
    }
    EXPECT_FALSE(d.Find(Dlg::kServerApplyButton)->visible());
    for (int id : {Dlg::kRemoteAddress, Dlg::kRemoteRegister, Dlg::kRemoteReset}) {
        EXPECT_FALSE(d.Find(id)->visible());
        EXPECT_FALSE(d.Find(id)->enabled());
    }
    EXPECT_EQ(d.Find(Dlg::kRemoteAddress)->text(), "0.0.0.0");
}

TEST_F(OptionsDialogTest, ReconnectListFollowsTheAccountAndTheMainWindowFields) {
    struct Case {
        const char* name;
        int auto_conn_change;
        int locked, on, count, interval;
        const char* reconnect;
        const char* count_text;
        const char* interval_text;
        bool reconnect_enabled, others_enabled;
        int count_after, interval_after;
    };
    const Case cases[] = {
        {"no auto change", 0, 0, 0, 0, 0, "해제", "5", "60", false, false, 0, 0},
        {"switch on", 1, 0, 1, 3, 90, "설정", "3", "90", true, true, 3, 90},
        {"switch on, odd values", 0, 0, 1, 7, 45, "설정", "5", "60", true, true, 7, 45},
        {"locked", 1, 1, 0, 3, 90, "해제", "5", "60", false, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        account_.auto_conn_change = c.auto_conn_change;
        MainWindowState& f = main_->fields();
        f.reconnect_locked = c.locked;
        f.reconnect_switch = c.on;
        f.redial_count = c.count;
        f.redial_interval_seconds = c.interval;
        Open();
        EXPECT_EQ(List(Dlg::kReconnectList).SelectedText(), c.reconnect);
        EXPECT_EQ(List(Dlg::kCountList).SelectedText(), c.count_text);
        EXPECT_EQ(List(Dlg::kIntervalList).SelectedText(), c.interval_text);
        EXPECT_EQ(List(Dlg::kReconnectList).enabled(), c.reconnect_enabled);
        EXPECT_EQ(List(Dlg::kCountList).enabled(), c.others_enabled);
        EXPECT_EQ(List(Dlg::kIntervalList).enabled(), c.others_enabled);
        EXPECT_EQ(f.redial_count, c.count_after);
        EXPECT_EQ(f.redial_interval_seconds, c.interval_after);
    }
}

TEST_F(OptionsDialogTest, ChoosingReconnectEnablesTheListsAndOffResetsThem) {
    main_->fields().reconnect_locked = 1;
    account_.auto_conn_change = 1;
    Open();
    // Locked: the whole group is off; unlock it as the list would allow.
    List(Dlg::kReconnectList).Enable(true);
    Choose(Dlg::kReconnectList, "설정");
    EXPECT_TRUE(List(Dlg::kIntervalList).enabled());
    EXPECT_TRUE(List(Dlg::kCountList).enabled());
    EXPECT_EQ(main_->fields().reconnect_locked, 0);
    Choose(Dlg::kIntervalList, "120");
    Choose(Dlg::kCountList, "2");
    Choose(Dlg::kReconnectList, "해제");
    EXPECT_FALSE(List(Dlg::kIntervalList).enabled());
    EXPECT_FALSE(List(Dlg::kCountList).enabled());
    EXPECT_EQ(List(Dlg::kIntervalList).SelectedText(), "60");
    EXPECT_EQ(List(Dlg::kCountList).SelectedText(), "5");
}

TEST_F(OptionsDialogTest, StoredTunnelTypeAndOneClickChangeShowOnOpening) {
    struct Case {
        const char* vctype;
        bool pptp;
        Strings switches;
    };
    const Case types[] = {
        {"1", true, {std::string(kTapGuid) + " disconnect"}},
        {"4", false, {std::string(kTapGuid) + " connect"}},
        {"", false, {std::string(kTapGuid) + " connect"}},
        {"11", false, {std::string(kTapGuid) + " connect"}},
    };
    for (const Case& c : types) {
        SCOPED_TRACE(c.vctype);
        SetSetting("VCType", c.vctype);
        NewSwitches();
        Open();
        EXPECT_EQ(Checked(Dlg::kPptpRadio), c.pptp);
        EXPECT_EQ(Checked(Dlg::kOpenVpnRadio), !c.pptp);
        EXPECT_EQ(NewSwitches(), c.switches);
    }
    struct OneClick {
        const char* stored;
        int type;
    };
    for (const OneClick& c :
         {OneClick{"1", 1}, OneClick{"0", 0}, OneClick{"", 0}, OneClick{"11", 0}}) {
        SCOPED_TRACE(c.stored);
        SetSetting("VSIpChgType", c.stored);
        session_.ip_change_type = 1 - c.type;
        Open();
        EXPECT_EQ(session_.ip_change_type, c.type);
        EXPECT_EQ(Checked(Dlg::kIpChangeOn), c.type == 1);
        EXPECT_EQ(Checked(Dlg::kIpChangeOff), c.type == 0);
    }
}

TEST_F(OptionsDialogTest, OneClickRadiosStoreAtOnce) {
    Open();
    Click(Dlg::kIpChangeOn);
    EXPECT_EQ(Setting("VSIpChgType"), "1");
    EXPECT_EQ(session_.ip_change_type, 1);
    Click(Dlg::kIpChangeOff);
    EXPECT_EQ(Setting("VSIpChgType"), "0");
    EXPECT_EQ(session_.ip_change_type, 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(OptionsDialogTest, TunnelTypeChangesOnlyWithoutATunnel) {
    SetSetting("VCType", "4");
    Open();
    NewSwitches();
    Click(Dlg::kPptpRadio);
    EXPECT_EQ(Setting("VCType"), "1");
    EXPECT_EQ(session_.vpn_type, 1);
    EXPECT_EQ(NewSwitches(), (Strings{std::string(kTapGuid) + " disconnect"}));
    Click(Dlg::kOpenVpnRadio);
    EXPECT_EQ(Setting("VCType"), "4");
    EXPECT_EQ(session_.vpn_type, 4);
    EXPECT_EQ(NewSwitches(), (Strings{std::string(kTapGuid) + " connect"}));

    session_.state = SessionState::Connected;
    Click(Dlg::kPptpRadio);
    EXPECT_TRUE(Checked(Dlg::kOpenVpnRadio)) << "put back before the message";
    EXPECT_FALSE(Checked(Dlg::kPptpRadio));
    EXPECT_EQ(Setting("VCType"), "4");
    EXPECT_EQ(session_.vpn_type, 4);
    EXPECT_TRUE(NewSwitches().empty());
    EXPECT_EQ(Boxes(), (Strings{"box caption=\"접속 방식 설정\" text=\"!!!현재 접속중입니다!!! "
                                "\\n\\n접속을 끊고 설정을 하세요\" buttons=ok answer=ok"}));
}

TEST_F(OptionsDialogTest, ProgramRowsTakeThePathFromTheFileDialog) {
    struct Case {
        int browse;
        int label;
        const char* value;
        std::optional<std::string> chosen;
        std::string label_text;  // empty: the label keeps its prompt
        std::string stored;
    };
    const std::string long_path = "/home/user/programs/remote/helper.exe";
    const Case cases[] = {
        {1014, 1054, "inStart", "C:/a.exe", "C:/a.exe...C:/a.exe", "C:/a.exe"},
        {1015, 1055, "inStop", long_path, "/home/user...ms/remote/helper.exe", long_path},
        {1016, 1058, "OutStart", "/opt/프로그램/실행기/도구/시작.exe",
         "/opt/프로그램/...t/프로그램/실행기/도구/시작.exe", "/opt/프로그램/실행기/도구/시작.exe"},
        {1017, 1059, "OutStop", std::nullopt, "", ""},
        {1017, 1059, "OutStop", "x", "", ""},
    };
    Dlg& d = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const std::string before = d.Find(c.label)->text();
        host_.QueueFile(c.chosen);
        d.DispatchCommand(c.browse);
        EXPECT_EQ(d.Find(c.label)->text(), c.label_text.empty() ? before : c.label_text);
        EXPECT_EQ(Setting(c.value), c.stored);
    }
    const Strings lines = [&] {
        Strings l;
        std::istringstream in(out_.str());
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("fileopen ", 0) == 0) {
                l.push_back(line);
            }
        }
        return l;
    }();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "fileopen filter=\"실행파일 (*.exe) | *.exe||\" result=\"C:/a.exe\"");
}

TEST_F(OptionsDialogTest, ProgramLabelsShowStoredPathsOrThePromptsAndDeleteKeepsTheLabel) {
    SetSetting("inStart", "/usr/bin/start-me.exe");
    SetSetting("OutStop", "/usr/bin/stop-me.exe");
    Dlg& d = Open();
    EXPECT_EQ(d.Find(1054)->text(), "/usr/bin/start-me.exe") << "in full";
    EXPECT_EQ(d.Find(1055)->text(), "종료할 프로그램 경로를 설정 해주세요");
    EXPECT_EQ(d.Find(1058)->text(), "실행할 프로그램 경로를 설정해 주세요");
    EXPECT_EQ(d.Find(1059)->text(), "/usr/bin/stop-me.exe");

    d.DispatchCommand(1019);  // delete inStart
    d.DispatchCommand(1024);  // delete OutStop
    EXPECT_FALSE(HasSetting("inStart"));
    EXPECT_FALSE(HasSetting("OutStop"));
    EXPECT_EQ(d.Find(1054)->text(), "/usr/bin/start-me.exe");

    Dlg& again = Open();
    EXPECT_EQ(again.Find(1054)->text(), "실행할 프로그램 경로를 설정해 주세요");
    EXPECT_EQ(again.Find(1059)->text(), "종료할 프로그램 경로를 설정 해주세요");
}

TEST_F(OptionsDialogTest, SaveWhileConnectedKeepsTheDialogOpenAndChangesNothing) {
    Dlg& d = Open();
    main_->SetTimer(CKorvaneDlg::kTimerRedial, 60000);
    Choose(Dlg::kReconnectList, "설정");
    session_.state = SessionState::Connected;
    d.DispatchCommand(Dlg::kSaveButton);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(main_->fields().reconnect_switch, 0);
    EXPECT_FALSE(HasSetting("VSvrCode"));
    EXPECT_TRUE(host_.FindTimer(*main_, CKorvaneDlg::kTimerRedial).has_value());
    EXPECT_EQ(Boxes(), (Strings{"box caption=\"자동접속 설정 오류\" text=\"접속중인 상태에서 "
                                "환경설정값을 변경하실 수 없습니다. \\n\\n접속끊기버튼을 클릭하신 "
                                "후, 환경설정값을 변경해 주세요.\" buttons=ok answer=ok"}));
}

TEST_F(OptionsDialogTest, SaveTakesTheReconnectionListsAndTheServerOver) {
    struct Case {
        const char* reconnect;
        const char* count;
        const char* interval;
        int on;
    };
    for (const Case& c : {Case{"설정", "3", "90", 1}, Case{"해제", "5", "60", 0}}) {
        SCOPED_TRACE(c.reconnect);
        MainWindowState& f = main_->fields();
        f.reconnect_switch = 1 - c.on;
        f.reconnect_locked = 1;
        Dlg& d = Open();
        List(Dlg::kReconnectList).Enable(true);
        Choose(Dlg::kReconnectList, c.reconnect);
        Choose(Dlg::kCountList, c.count);
        Choose(Dlg::kIntervalList, c.interval);
        Choose(Dlg::kServerList, "Busan");
        main_->SetTimer(CKorvaneDlg::kTimerRedial, 30000);
        main_->SetTimer(CKorvaneDlg::kTimerRedialWait, 20000);
        d.DispatchCommand(Dlg::kSaveButton);
        EXPECT_TRUE(d.ended());
        EXPECT_EQ(d.result(), kIdOk);
        EXPECT_FALSE(host_.FindTimer(*main_, CKorvaneDlg::kTimerRedial).has_value());
        EXPECT_FALSE(host_.FindTimer(*main_, CKorvaneDlg::kTimerRedialWait).has_value());
        EXPECT_EQ(f.reconnect_switch, c.on);
        EXPECT_EQ(f.redial_count, std::stoi(c.count));
        EXPECT_EQ(f.redial_interval_seconds, std::stoi(c.interval));
        EXPECT_EQ(Setting("VSvrCode"), "B2");
        EXPECT_EQ(Boxes().back(),
                  "box caption=\"적용설정\" text=\"적용이 완료 되었습니다.\" buttons=ok answer=ok");
    }
    // Opened again, the dialog shows what Save took over.
    main_->fields().reconnect_switch = 1;
    main_->fields().reconnect_locked = 0;
    Open();
    EXPECT_EQ(List(Dlg::kServerList).SelectedText(), "Busan");
}

TEST_F(OptionsDialogTest, CloseButtonsKeepClickedChoicesButNotTheServer) {
    for (int button : {Dlg::kCloseButton, Dlg::kCancelButton}) {
        SCOPED_TRACE(button);
        Dlg& d = Open();
        Click(Dlg::kIpChangeOn);
        Choose(Dlg::kServerList, "Busan");
        d.DispatchCommand(button);
        EXPECT_TRUE(d.ended());
        EXPECT_EQ(d.result(), kIdCancel);
        EXPECT_EQ(Setting("VSIpChgType"), "1");
        EXPECT_FALSE(HasSetting("VSvrCode"));
    }
}

TEST_F(OptionsDialogTest, RemoteControlAddressesAreRegisteredWithRoutesAndReset) {
    Dlg& d = Open();
    d.Find(Dlg::kRemoteAddress)->SetText("0.0.0.0");
    d.DispatchCommand(Dlg::kRemoteRegister);
    EXPECT_FALSE(HasSetting("RCConnIp"));
    EXPECT_TRUE(Boxes().empty());

    d.Find(Dlg::kRemoteAddress)->SetText("203.0.113.7");
    d.DispatchCommand(Dlg::kRemoteRegister);
    d.Find(Dlg::kRemoteAddress)->SetText("198.51.100.9");
    d.DispatchCommand(Dlg::kRemoteRegister);
    EXPECT_EQ(Setting("RCConnIp"), "203.0.113.7^198.51.100.9");
    EXPECT_EQ(RegisteredRoutes(), (Strings{"203.0.113.7/255.255.255.255 via 192.168.0.1 if 7",
                                           "198.51.100.9/255.255.255.255 via 192.168.0.1 if 7"}));
    EXPECT_EQ(Boxes(), (Strings(2,
                                "box caption=\"IP 등록\" text=\"원격제어 접속 공인 ip 등록 "
                                "완료\" buttons=ok answer=ok")));

    d.DispatchCommand(Dlg::kRemoteReset);
    EXPECT_FALSE(HasSetting("RCConnIp"));
    EXPECT_TRUE(RegisteredRoutes().empty());
    EXPECT_EQ(Boxes().back(),
              "box caption=\"등록 IP 초기화\" text=\"원격제어 접속 공인 ip "
              "초기화 완료\" buttons=ok answer=ok");
}

TEST(AbbreviateProgramPath, KeepsTenCharactersInFrontAndTwentyBehind) {
    struct Case {
        const char* path;
        const char* label;
    };
    const Case cases[] = {
        {"C:/a.exe", "C:/a.exe...C:/a.exe"},
        {"0123456789abcdefghijklmnopqrstu", "0123456789...bcdefghijklmnopqrstu"},
        {"0123456789abcdefghij", "0123456789...0123456789abcdefghij"},
        {"가나다라마바사아자차카타파하", "가나다라마바사아자차...가나다라마바사아자차카타파하"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AbbreviateProgramPath(c.path), c.label) << c.path;
    }
}

}  // namespace
}  // namespace korvane
