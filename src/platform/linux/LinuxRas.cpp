#include "platform/linux/LinuxRas.h"

namespace korvane {

int LinuxRas::Dial(const std::string&, const RasDialParams&, RasNotifier, RasHandle& handle) {
    handle = 0;
    return ras_error::kServiceUnavailable;
}

int LinuxRas::HangUp(RasHandle) {
    return ras_error::kInvalidHandle;
}

int LinuxRas::GetConnectStatus(RasHandle, RasConnectionStatus&) {
    return ras_error::kInvalidHandle;
}

int LinuxRas::GetClientAddress(RasHandle, std::string&) {
    return ras_error::kInvalidHandle;
}

int LinuxRas::GetErrorText(int error, std::string& text) {
    switch (error) {
        case ras_error::kServiceUnavailable:
            text = kUnavailableText;
            return 0;
        case ras_error::kInvalidHandle:
            text = "연결 핸들이 올바르지 않습니다.";
            return 0;
        default:
            text = "알 수 없는 원격 액세스 오류입니다. (오류 " + std::to_string(error) + ")";
            return 0;
    }
}

}  // namespace korvane
