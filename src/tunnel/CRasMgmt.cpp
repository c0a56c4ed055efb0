#include "tunnel/CRasMgmt.h"

namespace korvane {

namespace {

// Characters, not bytes: the limits of the dial parameters count characters.
std::size_t Utf8Length(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

bool Fits(const std::string& text, std::size_t limit) {
    return !text.empty() && Utf8Length(text) <= limit;
}

// At most `bytes` bytes, not ending inside a character.
std::string CutUtf8(std::string text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return text;
    }
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return text;
}

struct StateName {
    int state;
    const char* text;
};

constexpr StateName kStateTexts[] = {
    {0, "통신포트 여는중..."},
    {1, "통신포트 열었습니다 접속 시도 중입니다"},
    {2, "디바이스에 연결중"},
    {3, "디바이스에 연결되었습니다"},
    {4, "모든 디바이스의 연결 완료"},
    {5, "사용자명과 암호 확인중"},
    {6, "인증내용 확인"},
    {7, "새로운 사용자 확인자료 요청"},
    {8, "인증 Callback "},
    {9, "암호변경"},
    {10, "네트워크에 등록중..."},
    {11, "접속속도 산정중"},
    {12, "확인요청 확정"},
    {13, "재확인시작"},
    {14, "인증완료"},
    {15, "Callback 준비"},
    {16, "모뎀초기화 대기중"},
    {17, "Callback 대기"},
    {18, "수행된 정보정상"},
    {ras_state::kConnected, "접속되었습니다\nTCP/IP 통신가능합니다..."},
    {ras_state::kDisconnected, "접속해제"},
};

}  // namespace

CRasMgmt::CRasMgmt(RasPort& port, const RasNotifyTarget& target) : port_(port), target_(target) {}

// A dial still under way would go on notifying a window that is gone; a
// connected link is left up, as the service would keep it.
CRasMgmt::~CRasMgmt() {
    RasConnectionStatus status;
    if (handle_ != 0 && port_.GetConnectStatus(handle_, status) == 0 &&
        status.state != ras_state::kConnected && status.error == 0) {
        static_cast<void>(port_.HangUp(handle_));
    }
}

int CRasMgmt::Dial(const std::string& phonebook, const std::string& server, const std::string& user,
                   const std::string& password) {
    refusal_ = {};
    if (!Fits(server, RasDialParams::kPhoneNumberLimit) ||
        !Fits(user, RasDialParams::kUserNameLimit) ||
        !Fits(password, RasDialParams::kPasswordLimit)) {
        return -1;
    }
    if (IsConnected() == 1) {
        return 1;
    }
    handle_ = 0;
    RasDialParams params;
    params.entry_name = kEntryName;
    params.phone_number = server;
    params.user_name = user;
    params.password = password;
    const RasNotifyTarget target = target_;
    const int error = port_.Dial(
        phonebook, params,
        [target](int state, int state_error) { RasDialCallback(target, state, state_error); },
        handle_);
    if (error != 0) {
        refusal_ = {error, ErrorText(error, kDialErrorTextBytes)};
        if (handle_ != 0) {
            static_cast<void>(port_.HangUp(handle_));
        }
        return -1;
    }
    return 0;
}

int CRasMgmt::HangUp() {
    if (handle_ == 0) {
        return -1;
    }
    return port_.HangUp(handle_);
}

int CRasMgmt::IsConnected() {
    RasConnectionStatus status;
    return handle_ != 0 && port_.GetConnectStatus(handle_, status) == 0 ? 1 : 0;
}

std::string CRasMgmt::GetAssignedAddress() {
    std::string address;
    if (handle_ == 0 || port_.GetClientAddress(handle_, address) != 0) {
        return {};
    }
    return address;
}

std::string CRasMgmt::ErrorText(int error, std::size_t buffer_bytes) {
    std::string text;
    if (buffer_bytes == 0 || port_.GetErrorText(error, text) != 0) {
        return {};
    }
    return CutUtf8(std::move(text), buffer_bytes - 1);
}

std::string CRasMgmt::StateText(int state) {
    for (const StateName& entry : kStateTexts) {
        if (entry.state == state) {
            return entry.text;
        }
    }
    return "(처리중~)";
}

}  // namespace korvane
