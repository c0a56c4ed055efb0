#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/Dialog.h"

namespace korvane::screenshots {

// Until the real dialog classes are in, the template panels carry only their
// controls. These put them in the states the screenshots show, the way the
// dialogs' own initialisation and handlers will: bitmaps, fonts and colours,
// texts, rows and their colours.

// Every bitmap button of the dialog gets its pictures and its bitmap's size.
void LoadTemplateBitmaps(Dialog& dialog);

void StageLoginPanel(Dialog& login, const std::string& user_id);
// The status panel's five lines in their style; `connected` adds the
// disconnect button's connected look.
void StageStatusPanel(Dialog& status, bool connected, const std::string& web_host);

struct IpRows {
    std::vector<std::string> bands;
    std::vector<std::string> pool;
    std::vector<std::string> saved;
    int selected_band = -1;
    std::vector<int> used_rows;
    int current_row = -1;
};
// The lists of an IP tab with their columns, styles and row colours.
void StageServiceIpTab(Dialog& tab, const IpRows& rows);
void StageManagedIpTab(Dialog& tab, const IpRows& rows);

// The connecting dialog at `percent` of its run.
void StageConnecting(Dialog& connecting, int percent);
void StageUpdateProgress(Dialog& progress);

// Stand-ins for the options and update dialogs: their templates' controls,
// initialised as the dialogs will be.
std::unique_ptr<Dialog> MakeOptionsTemplate(Host& host);
void StageOptions(Dialog& options);
std::unique_ptr<Dialog> MakeUpdateTemplate(Host& host);
void StageUpdate(Dialog& update, const std::string& web_host);

}  // namespace korvane::screenshots
