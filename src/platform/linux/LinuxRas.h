#pragma once

#include "platform/RasPort.h"

namespace korvane {

// This machine has no remote-access service to dial PPTP or L2TP through.
// Every dial is refused with kServiceUnavailable (711), so the user sees the
// refusal box with its text instead of a dial that never answers; the other
// queries find no connection.
class LinuxRas : public RasPort {
  public:
    static constexpr const char* kUnavailableText =
        "이 컴퓨터에는 PPTP/L2TP 연결을 만드는 원격 액세스 서비스가 없습니다.";

    int Dial(const std::string& phonebook, const RasDialParams& params, RasNotifier notifier,
             RasHandle& handle) override;
    int HangUp(RasHandle handle) override;
    int GetConnectStatus(RasHandle handle, RasConnectionStatus& status) override;
    int GetClientAddress(RasHandle handle, std::string& address) override;
    int GetErrorText(int error, std::string& text) override;
};

}  // namespace korvane
