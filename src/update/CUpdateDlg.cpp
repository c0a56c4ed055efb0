#include "update/CUpdateDlg.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/SessionContext.h"
#include "protocol/AccountInfo.h"
#include "ui/CBitmapButton.h"
#include "ui/CExplorer1.h"
#include "ui/CFontStatic.h"
#include "update/CheckVersion.h"
#include "update/DownloadUpdate.h"

namespace korvane {

namespace {

struct ButtonBitmaps {
    int id;
    int normal;
    int pressed;
};

constexpr ButtonBitmaps kButtons[] = {
    {CUpdateDlg::kUpdateButton, 197, 198},
    {CUpdateDlg::kCancelButton, 189, 189},
    {CUpdateDlg::kCloseButton, 157, 158},
};

}  // namespace

CUpdateDlg::CUpdateDlg(Host& host, UpdateDialogServices services)
    : Dialog(host, "update", kTemplate), services_(std::move(services)) {
    background_bitmap = kBackground;
    drags_anywhere = true;
    Move({0, 0, 400, 282});
    Add<CExplorer1>(kBrowser);
    Add<CFontStatic>(kLabel);
    Add<CBitmapButton>(kUpdateButton, "업데이트");
    Add<CBitmapButton>(kCancelButton, "취소");
    Add<CBitmapButton>(kCloseButton, "X");
    MapCommand(kUpdateButton, [this] { OnUpdate(); });
    MapCommand(kCancelButton, [this] { EndDialog(kIdCancel); });
    MapCommand(kCloseButton, [this] { EndDialog(kIdCancel); });
}

bool CUpdateDlg::OnInitDialog() {
    auto* label = Get<CFontStatic>(kLabel);
    // Near-white text needs the dark strip of the background under it, not
    // the button face, to be read.
    label->own_background = true;
    label->background_colour = kLabelBackground;
    label->SetFontStatic("굴림", 12, 0xF9F9F9, 0x41);
    for (const ButtonBitmaps& b : kButtons) {
        Get<CBitmapButton>(b.id)->LoadBitmaps(b.normal, b.pressed);
    }
    Get<CExplorer1>(kBrowser)->Navigate2("http://" + services_.session.web_host +
                                         "/vpn_program/update.php");
    CheckVersion(services_.web, services_.session, services_.account);
    ShowVersionLabel();
    return true;
}

void CUpdateDlg::ShowVersionLabel() {
    char text[256];
    if (UpdateIsDue(services_.session, services_.account)) {
        std::snprintf(text, sizeof text,
                      "최신 버전 (Ver %d)이 확인 되었습니다. \n\n최신 버전으로 업데이트 하시기 "
                      "바랍니다",
                      services_.account.update_version);
    } else {
        std::snprintf(text, sizeof text, "현재 최신 버전 (Ver %d)을 사용하고 계십니다.",
                      services_.session.ccver);
    }
    auto* label = Get<CFontStatic>(kLabel);
    label->SetText(text);
    label->RedrawNow();
}

// The button relies on the installer the login's update step left in the
// temporary folder. When it is not there (the user opened this dialog before
// any login saw the update), it is downloaded first, so the button never
// closes the program without updating it.
bool CUpdateDlg::EnsureInstallerDownloaded() {
    const std::string path = UpdateFilePath(services_.session, services_.account);
    std::error_code error;
    if (!services_.account.update_file.empty() && std::filesystem::is_regular_file(path, error)) {
        return true;
    }
    return DownloadUpdate(services_.updates, services_.progress_window,
                          services_.account.update_url, path, host()) > 0;
}

void CUpdateDlg::OnUpdate() {
    if (!UpdateIsDue(services_.session, services_.account)) {
        host().ShowMessageBox(kCurrentText, kInfoCaption, BoxButtons::Ok);
        return;
    }
    if (!EnsureInstallerDownloaded()) {
        // CODE-021 has been shown; the program goes on as it was.
        return;
    }
    StartInstaller(services_.commands, UpdateFilePath(services_.session, services_.account));
    EndDialog(kIdOk);
    if (services_.close_program) {
        services_.close_program();
    }
}

}  // namespace korvane
