#include "app/CLoginDlg.h"

#include <filesystem>
#include <system_error>

#include "app/CKorvaneDlg.h"
#include "app/LoginPanelActions.h"
#include "app/SessionContext.h"
#include "protocol/AnswerFields.h"
#include "protocol/WireText.h"
#include "settings/CRegCtrl.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/CExplorer1.h"

namespace korvane {

namespace {

constexpr int kTextValue = 1;

struct ButtonBitmaps {
    int id;
    int normal;
    int pressed;
};

constexpr ButtonBitmaps kButtons[] = {
    {CLoginDlg::kLoginButton, 153, 154},
    {CLoginDlg::kJoinButton, 155, 156},
    {CLoginDlg::kFindPasswordButton, 151, 151},
};

}  // namespace

std::string NormalizeCredential(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != ' ') {
            out.push_back(c);
        }
    }
    return answer::ToLowerAscii(out);
}

CLoginDlg::CLoginDlg(CKorvaneDlg& main, CRegCtrl& settings, LoginPanelActions& actions)
    : Dialog(main.host(), "login", kTemplate), main_(main), settings_(settings), actions_(actions) {
    background_bitmap = kBackground;
    Add<Edit>(kIdEdit);
    Add<Edit>(kPasswordEdit, true);
    Add<CBitmapButton>(kLoginButton);
    Add<CheckBox>(kRememberBox);
    Add<CExplorer1>(kBrowser);
    Add<CBitmapButton>(kJoinButton, "회원가입");
    Add<CBitmapButton>(kFindPasswordButton, "비밀번호찾기");
    Add<CheckBox>(kTestLoginBox, "테스트 인증파일 사용").Show(false);
    MapCommand(kLoginButton, [this] { OnLogin(); });
    MapCommand(kRememberBox, [this] { OnRemember(); });
    MapCommand(kJoinButton, [this] {
        host().OpenUrl("http://" + main_.session().web_host + "/member/join1.php");
    });
    MapCommand(kFindPasswordButton, [this] {
        host().OpenUrl("http://" + main_.session().web_host + "/member/idpw.php");
    });
}

std::string CLoginDlg::ReadSetting(const char* name) const {
    const SessionContext& s = main_.session();
    return settings_.ReadText(s.registry_root, s.registry_key, name);
}

bool CLoginDlg::OnInitDialog() {
    for (const ButtonBitmaps& b : kButtons) {
        Get<CBitmapButton>(b.id)->LoadBitmaps(b.normal, b.pressed);
    }
    RestoreRememberedCredentials();
    ShowTestBoxWhenMarked();
    return true;
}

void CLoginDlg::RestoreRememberedCredentials() {
    const std::string id = DecodeFromWire(ReadSetting("ui1"));
    const std::string password = DecodeFromWire(ReadSetting("up2"));
    auto* remember = Get<CheckBox>(kRememberBox);
    if (ReadSetting("uipchk") == "1") {
        remember->SetCheck(true);
    }
    if (remember->checked()) {
        SessionContext& s = main_.session();
        s.user_id = id;
        s.password = password;
        Find(kIdEdit)->SetText(id);
        Find(kPasswordEdit)->SetText(password);
    }
}

// The marker file in the per-user folder opens the test login.
void CLoginDlg::ShowTestBoxWhenMarked() {
    const std::string path = main_.session().windows_dir + "/" + kTestMarker;
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        Find(kTestLoginBox)->Show(true);
    }
}

bool CLoginDlg::RefuseEmpty(const std::string& text, const char* message, int focus_id) {
    if (!text.empty()) {
        return false;
    }
    host().ShowMessageBox(message, kAccountCaption, BoxButtons::Ok);
    SetFocus(focus_id);
    Find(kLoginButton)->Enable(true);
    return true;
}

void CLoginDlg::OnLogin() {
    const std::string id = Find(kIdEdit)->text();
    const std::string password = Find(kPasswordEdit)->text();
    if (RefuseEmpty(id, kNoIdText, kIdEdit) ||
        RefuseEmpty(password, kNoPasswordText, kPasswordEdit)) {
        return;
    }
    SessionContext& s = main_.session();
    s.user_id = NormalizeCredential(id);
    s.password = NormalizeCredential(password);
    s.ip_code = "0";
    s.auth_mode = "user";
    main_.fields().day_warning_shown = 0;
    if (actions_.RunLogin() < 0) {
        return;
    }
    actions_.CompletePanelLogin();
}

void CLoginDlg::OnRemember() {
    const SessionContext& s = main_.session();
    if (Get<CheckBox>(kRememberBox)->checked()) {
        settings_.WriteValue(s.registry_root, s.registry_key, "uipchk", kTextValue, "1");
    } else {
        settings_.DeleteValue(s.registry_root, s.registry_key, "uipchk");
    }
}

bool CLoginDlg::PreTranslateKey(const KeyEvent& event) {
    if (IsAltF4(event) || IsEscapeDown(event)) {
        return true;
    }
    if (!IsEnterDown(event)) {
        return false;
    }
    if (focus_id() == kIdEdit) {
        SetFocus(kPasswordEdit);
    } else if (focus_id() == kPasswordEdit) {
        OnLogin();
    }
    return true;
}

}  // namespace korvane
