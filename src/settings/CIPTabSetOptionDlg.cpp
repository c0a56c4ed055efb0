#include "settings/CIPTabSetOptionDlg.h"

#include <cstdlib>

#include "app/CKorvaneDlg.h"
#include "app/SessionContext.h"
#include "ipselect/ListText.h"
#include "netenv/AddressText.h"
#include "netenv/CNetworkMgmt.h"
#include "netenv/RoutePlans.h"
#include "protocol/AccountInfo.h"
#include "settings/CRegCtrl.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/DropList.h"

namespace korvane {

namespace {

constexpr int kIpChangeGroup = 1;
constexpr int kTunnelGroup = 2;
// Labels and group captions that no handler addresses.
constexpr int kNoId = -1;

constexpr const char* kCountEntries[] = {"5", "4", "3", "2", "1"};
constexpr const char* kIntervalEntries[] = {"60", "90", "120"};

constexpr const char* kConnectedTypeText = "!!!현재 접속중입니다!!! \n\n접속을 끊고 설정을 하세요";
constexpr const char* kConnectedTypeCaption = "접속 방식 설정";
constexpr const char* kConnectedSaveText =
    "접속중인 상태에서 환경설정값을 변경하실 수 없습니다. \n\n접속끊기버튼을 클릭하신 후, "
    "환경설정값을 변경해 주세요.";
constexpr const char* kConnectedSaveCaption = "자동접속 설정 오류";
constexpr const char* kSavedText = "적용이 완료 되었습니다.";
constexpr const char* kSavedCaption = "적용설정";
constexpr const char* kRegisteredText = "원격제어 접속 공인 ip 등록 완료";
constexpr const char* kRegisteredCaption = "IP 등록";
constexpr const char* kResetText = "원격제어 접속 공인 ip 초기화 완료";
constexpr const char* kResetCaption = "등록 IP 초기화";

// Byte offsets where each UTF-8 character of text starts.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            starts.push_back(i);
        }
    }
    return starts;
}

}  // namespace

std::vector<CVpnConnServerList> ParseVpnServerList(std::string_view text) {
    std::vector<CVpnConnServerList> servers;
    for (const std::string& entry : SplitList(WithoutLastCharacter(text), '^')) {
        CVpnConnServerList server{PieceAt(entry, '/', 1), PieceAt(entry, '/', 0)};
        if (!server.code.empty()) {
            servers.push_back(std::move(server));
        }
    }
    return servers;
}

std::string AbbreviateProgramPath(std::string_view path) {
    const std::vector<std::size_t> starts = CharacterStarts(path);
    const std::size_t count = starts.size();
    const std::size_t head_end = count > 10 ? starts[10] : path.size();
    const std::size_t tail_start = count > 20 ? starts[count - 20] : 0;
    return std::string(path.substr(0, head_end)) + "..." + std::string(path.substr(tail_start));
}

const CIPTabSetOptionDlg::HookRow CIPTabSetOptionDlg::kHookRows[4] = {
    {1014, 1019, 1054, "inStart", "(시작)", kStartPrompt},
    {1015, 1018, 1055, "inStop", "(종료)", kStopPrompt},
    {1016, 1020, 1058, "OutStart", "(시작)", kStartPrompt},
    {1017, 1024, 1059, "OutStop", "(종료)", kStopPrompt},
};

CIPTabSetOptionDlg::CIPTabSetOptionDlg(CKorvaneDlg& main, AccountInfo& account, CRegCtrl& settings,
                                       CNetworkMgmt& network)
    : Dialog(main.host(), "options", kTemplate),
      main_(main),
      session_(main.session()),
      account_(account),
      settings_(settings),
      network_(network) {
    background_bitmap = kBackground;
    drags_anywhere = true;
    AddControls();
    MapHandlers();
}

void CIPTabSetOptionDlg::AddControls() {
    Add<CBitmapButton>(kCloseButton, "x");
    Add<CBitmapButton>(kSaveButton, "저장");
    Add<CBitmapButton>(kCancelButton, "취소");

    Add<StaticText>(kNoId, "원클릭 IP 변경 설정");
    Add<RadioButton>(kIpChangeOn, kIpChangeGroup, "설정");
    Add<RadioButton>(kIpChangeOff, kIpChangeGroup, "해제");
    Add<StaticText>(kNoId, "접속방식");
    Add<RadioButton>(kOpenVpnRadio, kTunnelGroup, "OpenVPN");
    Add<RadioButton>(kPptpRadio, kTunnelGroup, "PPTP");

    Add<StaticText>(kNoId, "연결이 끊어지면 다시 연결");
    Add<DropList>(kReconnectList);
    Add<StaticText>(kNoId, "재연결 시도 간격");
    Add<DropList>(kIntervalList).Enable(false);
    Add<StaticText>(kNoId, "초");
    Add<StaticText>(kNoId, "재연결 시도 횟수");
    Add<DropList>(kCountList).Enable(false);
    Add<StaticText>(kNoId, "번");

    Add<StaticText>(kNoId, "접속 서버 변경");
    Add<DropList>(kServerList);
    Add<PushButton>(kServerApplyButton, "설정").Show(false);

    Add<StaticText>(kNoId, "VPN 로그인 완료후 실행 프로그램 등록");
    Add<StaticText>(kNoId, "VPN 로그아웃 후 실행 프로그램 등록");
    for (const HookRow& row : kHookRows) {
        Add<StaticText>(kNoId, row.caption);
        Add<StaticText>(row.label);
        Add<PushButton>(row.browse, "등록");
        Add<PushButton>(row.remove, "삭제");
    }

    // The remote-control group is never shown.
    Control* remote_group[] = {
        &Add<StaticText>(kNoId, "원격제어 접속 공인 ip 등록"), &Add<Edit>(kRemoteAddress),
        &Add<PushButton>(kRemoteRegister, "등록"), &Add<PushButton>(kRemoteReset, "초기화")};
    for (Control* c : remote_group) {
        c->Show(false);
        c->Enable(false);
    }
}

void CIPTabSetOptionDlg::MapHandlers() {
    MapCommand(kCloseButton, [this] { EndDialog(kIdCancel); });
    MapCommand(kCancelButton, [this] { EndDialog(kIdCancel); });
    MapCommand(kSaveButton, [this] { OnSave(); });
    MapCommand(kIpChangeOn, [this] { OnIpChangeRadio(true); });
    MapCommand(kIpChangeOff, [this] { OnIpChangeRadio(false); });
    MapCommand(kOpenVpnRadio, [this] { OnTunnelRadio(kOpenVpnRadio); });
    MapCommand(kPptpRadio, [this] { OnTunnelRadio(kPptpRadio); });
    MapNotify(kReconnectList, Notification::SelectionChange, [this] { OnReconnectChoice(); });
    MapCommand(kServerApplyButton, [this] { ApplyServerChoice(); });
    for (const HookRow& row : kHookRows) {
        MapCommand(row.browse, [this, &row] { OnBrowse(row); });
        MapCommand(row.remove, [this, &row] { OnRemoveHook(row); });
    }
    MapCommand(kRemoteRegister, [this] { OnRegisterRemoteAddress(); });
    MapCommand(kRemoteReset, [this] { OnResetRemoteAddresses(); });
}

std::string CIPTabSetOptionDlg::Read(std::string_view name) const {
    return settings_.ReadText(session_.registry_root, session_.registry_key, name);
}

void CIPTabSetOptionDlg::Write(std::string_view name, std::string_view text) const {
    settings_.WriteValue(session_.registry_root, session_.registry_key, name, 1, text);
}

DropList& CIPTabSetOptionDlg::List(int id) const {
    return *Get<DropList>(id);
}

bool CIPTabSetOptionDlg::OnInitDialog() {
    LoadServers();
    FillReconnectLists();
    Get<CBitmapButton>(kCloseButton)->LoadBitmaps(157, 158);
    Get<CBitmapButton>(kSaveButton)->LoadBitmaps(219, 220);
    Get<CBitmapButton>(kCancelButton)->LoadBitmaps(217, 218);
    ShowReconnectGroup();
    ShowStoredChoices();
    return true;
}

void CIPTabSetOptionDlg::LoadServers() {
    servers_ = ParseVpnServerList(account_.vpn_server_list);
    const std::vector<std::string> entries =
        SplitList(WithoutLastCharacter(account_.vpn_server_list), '^');
    if (!entries.empty() && !PieceAt(entries[0], '/', 0).empty()) {
        session_.vpn_conn_server_code = PieceAt(entries[0], '/', 0);
    }
    const std::string stored = Read("VSvrCode");
    DropList& list = List(kServerList);
    int chosen = 0;
    for (std::size_t i = 0; i < servers_.size(); ++i) {
        list.AddString(servers_[i].name);
        if (servers_[i].code == stored) {
            chosen = static_cast<int>(i);
        }
    }
    list.SetCurSel(chosen);
}

void CIPTabSetOptionDlg::FillReconnectLists() {
    for (const char* entry : kCountEntries) {
        List(kCountList).AddString(entry);
    }
    List(kCountList).SetCurSel(0);
    for (const char* entry : kIntervalEntries) {
        List(kIntervalList).AddString(entry);
    }
    List(kIntervalList).SetCurSel(0);
    List(kReconnectList).AddString(kReconnectOff);
    List(kReconnectList).AddString(kReconnectOn);
    List(kReconnectList).SetCurSel(0);
}

void CIPTabSetOptionDlg::ShowReconnectGroup() {
    MainWindowState& fields = main_.fields();
    List(kReconnectList).Enable(account_.auto_conn_change != 0);
    if (fields.reconnect_locked == 1) {
        for (int id : {kReconnectList, kIntervalList, kCountList}) {
            List(id).Enable(false);
        }
        fields.redial_count = 0;
        fields.redial_interval_seconds = 0;
    }
    if (fields.reconnect_switch != 1) {
        return;
    }
    List(kReconnectList).SetCurSel(List(kReconnectList).FindExact(kReconnectOn));
    // Values the lists do not offer leave the first entries chosen.
    const int count = List(kCountList).FindExact(std::to_string(fields.redial_count));
    if (count >= 0) {
        List(kCountList).SetCurSel(count);
    }
    List(kCountList).Enable(true);
    const int interval =
        List(kIntervalList).FindExact(std::to_string(fields.redial_interval_seconds));
    if (interval >= 0) {
        List(kIntervalList).SetCurSel(interval);
    }
    List(kIntervalList).Enable(true);
    List(kReconnectList).Enable(true);
}

void CIPTabSetOptionDlg::ShowStoredChoices() {
    const bool pptp = Read("VCType") == "1";
    tunnel_radio_ = pptp ? kPptpRadio : kOpenVpnRadio;
    Get<RadioButton>(tunnel_radio_)->SetCheck(true);
    network_.SetConnectionEnabled(session_.tap_adapter_description, !pptp);

    const bool one_click = Read("VSIpChgType") == "1";
    Get<RadioButton>(one_click ? kIpChangeOn : kIpChangeOff)->SetCheck(true);
    session_.ip_change_type = one_click ? 1 : 0;

    for (const HookRow& row : kHookRows) {
        const std::string path = Read(row.value);
        Find(row.label)->SetText(path.empty() ? row.prompt : path);
    }
    Find(kRemoteAddress)->SetText("0.0.0.0");
}

void CIPTabSetOptionDlg::OnIpChangeRadio(bool on) {
    Write("VSIpChgType", on ? "1" : "0");
    session_.ip_change_type = on ? 1 : 0;
}

void CIPTabSetOptionDlg::OnTunnelRadio(int radio) {
    if (session_.state == SessionState::Connected) {
        CheckRadioButton(tunnel_radio_);
        host().ShowMessageBox(kConnectedTypeText, kConnectedTypeCaption, BoxButtons::Ok);
        return;
    }
    const bool pptp = radio == kPptpRadio;
    network_.SetConnectionEnabled(session_.tap_adapter_description, !pptp);
    Write("VCType", pptp ? "1" : "4");
    session_.vpn_type = pptp ? 1 : 4;
    tunnel_radio_ = radio;
}

void CIPTabSetOptionDlg::OnReconnectChoice() {
    if (List(kReconnectList).SelectedText() == kReconnectOn) {
        List(kIntervalList).Enable(true);
        List(kCountList).Enable(true);
        main_.fields().reconnect_locked = 0;
        return;
    }
    List(kIntervalList).Enable(false);
    List(kCountList).Enable(false);
    List(kIntervalList).SetCurSel(0);
    List(kCountList).SetCurSel(0);
}

void CIPTabSetOptionDlg::OnBrowse(const HookRow& row) {
    FileOpenRequest request;
    request.filter = kFileFilter;
    request.hide_read_only = true;
    const std::optional<std::string> path = host().ShowFileOpenDialog(request);
    if (!path || CharacterStarts(*path).size() <= 1) {
        return;
    }
    Find(row.label)->SetText(AbbreviateProgramPath(*path));
    Write(row.value, *path);
}

// The label keeps its text until the dialog opens again.
void CIPTabSetOptionDlg::OnRemoveHook(const HookRow& row) {
    settings_.DeleteValue(session_.registry_root, session_.registry_key, row.value);
}

void CIPTabSetOptionDlg::ApplyServerChoice() {
    const std::string name = List(kServerList).SelectedText();
    for (const CVpnConnServerList& server : servers_) {
        if (server.name == name) {
            Write("VSvrCode", server.code);
        }
    }
}

void CIPTabSetOptionDlg::OnRegisterRemoteAddress() {
    Ipv4 address = 0;
    if (!ParseDottedAddress(Find(kRemoteAddress)->text(), address) || address == 0) {
        return;
    }
    const std::string text = FormatDottedAddress(address);
    const std::string old = Read("RCConnIp");
    const std::string list = old.empty() ? text : old + "^" + text;
    AddRegisteredRemoteControlRoutes(network_, main_.fields().base_route, list);
    Write("RCConnIp", list);
    host().ShowMessageBox(kRegisteredText, kRegisteredCaption, BoxButtons::Ok);
}

void CIPTabSetOptionDlg::OnResetRemoteAddresses() {
    settings_.DeleteValue(session_.registry_root, session_.registry_key, "RCConnIp");
    ResetRegisteredRemoteControlRoutes(network_);
    host().ShowMessageBox(kResetText, kResetCaption, BoxButtons::Ok);
}

void CIPTabSetOptionDlg::OnSave() {
    if (session_.state == SessionState::Connected) {
        host().ShowMessageBox(kConnectedSaveText, kConnectedSaveCaption, BoxButtons::Ok);
        return;
    }
    main_.KillTimer(CKorvaneDlg::kTimerRedial);
    main_.KillTimer(CKorvaneDlg::kTimerRedialWait);
    ApplyReconnectGroup();
    ApplyServerChoice();
    host().ShowMessageBox(kSavedText, kSavedCaption, BoxButtons::Ok);
    EndDialog(kIdOk);
}

// The reconnection group takes effect: count and interval from the lists, and
// the switch follows the reconnect list ("해제" turns it off).
void CIPTabSetOptionDlg::ApplyReconnectGroup() {
    MainWindowState& fields = main_.fields();
    fields.redial_count = std::atoi(List(kCountList).SelectedText().c_str());
    fields.redial_interval_seconds = std::atoi(List(kIntervalList).SelectedText().c_str());
    if (List(kReconnectList).SelectedText() != kReconnectOff) {
        fields.reconnect_switch = 1;
        fields.reconnect_locked = 0;
    } else {
        fields.reconnect_switch = 0;
    }
}

}  // namespace korvane
