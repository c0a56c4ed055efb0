#include "update/DownloadUpdate.h"

#include <filesystem>
#include <system_error>

#include "platform/CommandRunner.h"
#include "ui/Dialog.h"
#include "update/CUpdateMgmt.h"

namespace korvane {

int DownloadUpdate(CUpdateMgmt& updates, Dialog* progress_window, const std::string& url,
                   const std::string& path, MessageBoxPort& boxes) {
    if (progress_window != nullptr) {
        progress_window->Show(ShowMode::Show);
        progress_window->RedrawNow();
    }
    if (updates.Download(url, path) != 0) {
        if (progress_window != nullptr) {
            progress_window->Show(ShowMode::Hide);
        }
        boxes.ShowMessageBox(kUpdateFailedText, kUpdateFailedCaption, BoxButtons::Ok);
        return -1;
    }
    return 1;
}

bool StartInstaller(CommandRunner& commands, const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add, error);
    // Quoted: the per-user folder may hold blanks.
    return commands.StartHidden("\"" + path + "\"");
}

}  // namespace korvane
