#include "app/SessionPanels.h"

#include "app/CKorvaneDlg.h"
#include "app/CLoginDlg.h"
#include "app/SessionOperations.h"
#include "tunnel/CVpnConnDlg.h"
#include "ui/CLogoutDlg.h"
#include "update/CProgUpdateDlg.h"

namespace korvane {

MainPanels MakeSessionPanels(CKorvaneDlg& main, SessionOperations& operations) {
    SessionServices& services = operations.services();
    MainPanels panels = MakeTemplatePanels(main);
    panels.login = std::make_unique<CLoginDlg>(main, services.settings, operations);
    panels.status = std::make_unique<CLogoutDlg>(main, services.ip_selection);
    panels.connecting = std::make_unique<CVpnConnDlg>(main.host(), services.session);
    panels.update_progress = std::make_unique<CProgUpdateDlg>(main.host());
    return panels;
}

}  // namespace korvane
