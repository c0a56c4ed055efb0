#pragma once

#include <string>

namespace korvane {

class CUpdateMgmt;
class CommandRunner;
class Dialog;
class MessageBoxPort;

inline constexpr const char* kUpdateFailedText =
    "CODE-021 : 시스템 장애로 업데이트를 정상적으로 수행하지 못했습니다. \n\n다음에 다시 시도해 "
    "주세요.";
inline constexpr const char* kUpdateFailedCaption = "통신 오류";

// Shows the progress window, downloads url to path and, on failure, hides the
// window and shows CODE-021. 1 on success, -1 on failure.
int DownloadUpdate(CUpdateMgmt& updates, Dialog* progress_window, const std::string& url,
                   const std::string& path, MessageBoxPort& boxes);

// Starts the downloaded installer without waiting. A download is a plain
// file, so it is made executable for its owner first. False when it cannot
// be started.
bool StartInstaller(CommandRunner& commands, const std::string& path);

}  // namespace korvane
