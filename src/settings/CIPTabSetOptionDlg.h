#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/Dialog.h"

namespace korvane {

struct AccountInfo;
struct SessionContext;
class CKorvaneDlg;
class CNetworkMgmt;
class CRegCtrl;
class DropList;

// One connection server the account may use: its display name and code.
struct CVpnConnServerList {
    std::string name;
    std::string code;

    bool operator==(const CVpnConnServerList&) const = default;
};

// The servers of vpn_server_list ("code/name" entries joined by "^" and one
// closing character); entries without a code are left out.
std::vector<CVpnConnServerList> ParseVpnServerList(std::string_view text);

// A program path as its row's label shows it: the first 10 characters, "..."
// and the last 20 (the pieces overlap for short paths). Characters, not
// bytes, so a Korean folder name is never cut in half.
std::string AbbreviateProgramPath(std::string_view path);

// The modal options dialog: one-click IP change, tunnel type, reconnection,
// connection server, program hooks and the registered remote-control
// addresses. Radios and program rows are stored the moment they are clicked;
// Save applies the reconnection group and the server choice.
class CIPTabSetOptionDlg : public Dialog {
  public:
    static constexpr int kTemplate = 145;
    static constexpr int kBackground = 206;

    static constexpr int kCloseButton = 1004;
    static constexpr int kSaveButton = 1012;
    static constexpr int kCancelButton = 1013;
    static constexpr int kIpChangeOn = 1060;
    static constexpr int kIpChangeOff = 1061;
    static constexpr int kOpenVpnRadio = 1021;
    static constexpr int kPptpRadio = 1022;
    static constexpr int kReconnectList = 1027;
    static constexpr int kIntervalList = 1026;
    static constexpr int kCountList = 1025;
    static constexpr int kServerList = 1056;
    static constexpr int kServerApplyButton = 1057;
    static constexpr int kRemoteAddress = 1063;
    static constexpr int kRemoteRegister = 1064;
    static constexpr int kRemoteReset = 1065;

    static constexpr const char* kReconnectOff = "해제";
    static constexpr const char* kReconnectOn = "설정";
    static constexpr const char* kStartPrompt = "실행할 프로그램 경로를 설정해 주세요";
    static constexpr const char* kStopPrompt = "종료할 프로그램 경로를 설정 해주세요";
    static constexpr const char* kFileFilter = "실행파일 (*.exe) | *.exe||";

    CIPTabSetOptionDlg(CKorvaneDlg& main, AccountInfo& account, CRegCtrl& settings,
                       CNetworkMgmt& network);

    const std::vector<CVpnConnServerList>& servers() const { return servers_; }

  protected:
    bool OnInitDialog() override;

  private:
    struct HookRow {
        int browse;
        int remove;
        int label;
        const char* value;
        const char* caption;  // "(시작)" or "(종료)"
        const char* prompt;
    };
    static const HookRow kHookRows[4];

    void AddControls();
    void MapHandlers();
    void LoadServers();
    void FillReconnectLists();
    void ShowReconnectGroup();
    void ShowStoredChoices();

    void OnIpChangeRadio(bool on);
    void OnTunnelRadio(int radio);
    void OnReconnectChoice();
    void OnBrowse(const HookRow& row);
    void OnRemoveHook(const HookRow& row);
    void ApplyServerChoice();
    void OnRegisterRemoteAddress();
    void OnResetRemoteAddresses();
    void OnSave();
    void ApplyReconnectGroup();

    std::string Read(std::string_view name) const;
    void Write(std::string_view name, std::string_view text) const;
    DropList& List(int id) const;

    CKorvaneDlg& main_;
    SessionContext& session_;
    AccountInfo& account_;
    CRegCtrl& settings_;
    CNetworkMgmt& network_;
    std::vector<CVpnConnServerList> servers_;
    // The tunnel radio that shows the stored type; a refused click goes back to it.
    int tunnel_radio_ = kOpenVpnRadio;
};

}  // namespace korvane
