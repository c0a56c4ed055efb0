#include "platform/sim/SimRasErrors.h"

namespace korvane {

namespace {

struct ErrorText {
    int error;
    const char* text;
};

// Worded as the operating system words its dialling errors: what happened,
// then what to look at.
constexpr ErrorText kErrorTexts[] = {
    {6, "연결 핸들이 올바르지 않습니다. 연결이 이미 끊어졌을 수 있습니다."},
    {619, "원격 컴퓨터와 연결을 만들지 못해 이 연결에 쓰던 포트를 닫았습니다."},
    {623, "전화번호부에서 이 연결의 항목을 찾을 수 없습니다."},
    {629, "원격 컴퓨터가 연결을 끊었습니다."},
    {633, "연결에 쓸 장치가 이미 사용 중이거나 연결에 맞게 설정되어 있지 않습니다."},
    {678, "원격 컴퓨터가 응답하지 않습니다."},
    {691, "원격 컴퓨터가 사용자 이름과 암호를 받아들이지 않아 접속이 거부되었습니다."},
    {711, "원격 액세스 연결 관리자 서비스를 시작할 수 없습니다."},
    {730, "원격 컴퓨터의 네트워크 등록 정보가 아직 준비되지 않았습니다."},
    {800,
     "VPN 연결을 만들 수 없습니다. VPN 서버에 닿을 수 없거나 이 연결의 보안 설정이 "
     "서버와 맞지 않습니다."},
    {809,
     "이 컴퓨터와 VPN 서버 사이에 네트워크 연결을 만들 수 없습니다. 중간의 방화벽이나 "
     "NAT 장비가 VPN 통신을 막고 있을 수 있습니다."},
    {868, "원격 액세스 서버의 이름을 주소로 바꾸지 못해 연결하지 못했습니다."},
};

}  // namespace

std::string SimRasErrorText(int error) {
    for (const ErrorText& entry : kErrorTexts) {
        if (entry.error == error) {
            return entry.text;
        }
    }
    return "알 수 없는 원격 액세스 오류입니다. (오류 " + std::to_string(error) + ")";
}

}  // namespace korvane
