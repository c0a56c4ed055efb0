#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvane {

class CKorvaneDlg;
class MainWindowOperations;
struct SessionServices;

// The one-second countdown of the paid service time while a tunnel is up,
// and the account refresh near its end.
class ServiceTime {
  public:
    static constexpr const char* kOverText = "CODE-001 : 서비스 제공이 종료 되었읍니다.";
    static constexpr const char* kOverCaption = "결제오류";
    static constexpr const char* kDayWarningText =
        "서비스 제공 시간이 하루 이내 입니다. \n 추가로 이용시 결제 처리해 주세요";
    static constexpr const char* kDayWarningCaption = "결제정보";
    static constexpr const char* kRefreshFailedText =
        "CODE-011 : 시스템상에 예기지 않은 일이 발생하였습니다. \n\n잠시 후 다시 이용해 주세요.";
    static constexpr const char* kRefreshFailedCaption = "접속오류";
    static constexpr const char* kOverReason = "VPN USER STATIC SERVICE TIME ZERO ERROR";

    ServiceTime(SessionServices& services, CKorvaneDlg& main, MainWindowOperations& operations);

    // Timer 3.
    void TickServiceTime();
    // 1 when an answer arrived and was parsed, -1 when it was empty.
    int RefreshAccountInfo();

  private:
    void ShowConnectedTime();
    void EndService();

    SessionServices& services_;
    CKorvaneDlg& main_;
    MainWindowOperations& operations_;
};

// The end moment of "YYYY-MM-DD hh:mm:ss" as local seconds; nothing when the
// text names no valid moment (year below 1900, a part out of range, a day the
// month does not have).
std::optional<std::int64_t> EndMoment(const std::string& xxxdate);

// "%d:%02d:%02d" of a count of seconds.
std::string ConnectedTimeText(int elapsed_seconds);

}  // namespace korvane
