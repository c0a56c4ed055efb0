#pragma once

#include <string>

#include "ui/Dialog.h"

namespace korvane {

class CKorvaneDlg;
class CRegCtrl;
class LoginPanelActions;

// The login panel: id and password, the remember box, the join and
// find-password pages, and the login button that starts the login procedure.
class CLoginDlg : public Dialog {
  public:
    static constexpr int kTemplate = 133;
    static constexpr int kBackground = 148;

    static constexpr int kIdEdit = 1005;
    static constexpr int kPasswordEdit = 1006;
    static constexpr int kLoginButton = 1007;
    static constexpr int kRememberBox = 1008;
    static constexpr int kBrowser = 1010;
    static constexpr int kJoinButton = 1014;
    static constexpr int kFindPasswordButton = 1015;
    static constexpr int kTestLoginBox = 1052;

    static constexpr const char* kAccountCaption = "계정정보";
    static constexpr const char* kNoIdText = " 아이디를 입력 해주세요. ";
    static constexpr const char* kNoPasswordText = " 패스워드를 입력 해주세요. ";
    static constexpr const char* kTestMarker = "core_debug";

    CLoginDlg(CKorvaneDlg& main, CRegCtrl& settings, LoginPanelActions& actions);

    // The login button's action; Enter in the password edit runs it too.
    void OnLogin();

  protected:
    bool OnInitDialog() override;
    bool PreTranslateKey(const KeyEvent& event) override;

  private:
    void RestoreRememberedCredentials();
    void ShowTestBoxWhenMarked();
    void OnRemember();
    bool RefuseEmpty(const std::string& text, const char* message, int focus_id);
    std::string ReadSetting(const char* name) const;

    CKorvaneDlg& main_;
    CRegCtrl& settings_;
    LoginPanelActions& actions_;
};

// Blanks removed and ASCII letters lower-cased, as ids and passwords are sent.
std::string NormalizeCredential(const std::string& text);

}  // namespace korvane
