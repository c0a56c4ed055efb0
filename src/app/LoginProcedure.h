#pragma once

#include <string>

namespace korvane {

class CKorvaneDlg;
class MainWindowOperations;
struct SessionServices;

// The login: the record sent to the authentication host, the judging of its
// answer, the status panel's lines, the login host routes and the update
// check that follows an accepted login, and the login panel's steps after it.
class LoginProcedure {
  public:
    static constexpr const char* kLoginCaption = "접속오류";
    static constexpr const char* kNoAnswerText = "CODE-006 : 인증서버와 통신 오류";
    static constexpr const char* kRefusedText = "CODE-007 : 인증 실패";
    static constexpr const char* kSuspendedText =
        "CODE-008 :고객님 서비스는 일시 정지 상태입니다.  \n\n고객 센터로 문의 바랍니다.";
    static constexpr const char* kUpdateText =
        "프로그램이 업데이트 되었습니다. \n\n지금부터 프로그램을 업데이트 시작 합니다.";
    static constexpr const char* kUpdateCaption = "프로그램 업데이트";
    static constexpr const char* kNoEndDate = "1970-01-01 23:59:59";

    // `operations` is the main window's set, for the tear-down before an update.
    LoginProcedure(SessionServices& services, CKorvaneDlg& main, MainWindowOperations& operations);

    // 0 logged in; -1 refused, failed, busy connecting or an installer was
    // started; -2 an update was due and its download failed.
    int RunLogin();
    // 1 accepted and parsed; -1 no answer, server messages or no service
    // time; -2 authentication refused; -3 account suspended.
    int SendLoginRequest();
    // After RunLogin returned 0 from the login panel.
    void CompletePanelLogin();

  private:
    void StoreCredentials();
    std::string BuildLoginRecord();
    int JudgeAnswer(const std::string& answer);
    void ShowServerMessages(const std::string& answer);
    void PrepareTunnelKind();
    void ShowAccountLines();
    int RunUpdateIfDue();
    void ShowIpTab();
    void ShowConnectingDialog();
    void HideConnectingDialog();

    SessionServices& services_;
    CKorvaneDlg& main_;
    MainWindowOperations& operations_;
};

// "<year>년 <month>월 <day>일" from an end date, or empty for the placeholder
// date that stands for "no end date".
std::string EndDateLine(const std::string& xxxdate);

}  // namespace korvane
