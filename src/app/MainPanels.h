#pragma once

#include <functional>
#include <memory>

#include "ui/Dialog.h"

namespace korvane {

class CKorvaneDlg;

// The windows the main window owns for its whole life, built by its
// constructor and created as windows during its initialisation.
struct MainPanels {
    std::unique_ptr<Dialog> login;            // template 133
    std::unique_ptr<Dialog> status;           // template 131
    std::unique_ptr<Dialog> managed_ip;       // template 222
    std::unique_ptr<Dialog> service_ip;       // template 226
    std::unique_ptr<Dialog> connecting;       // template 143
    std::unique_ptr<Dialog> update_progress;  // template 134
};

// Builds the panels for a main window; the panels may keep a reference to it.
using PanelFactory = std::function<MainPanels(CKorvaneDlg& main)>;

// Panels that carry their templates' controls and nothing else: the base
// the program's panel factory replaces, panel by panel, with the real dialog
// classes, and what tests use where a panel's own behaviour is not at stake.
MainPanels MakeTemplatePanels(CKorvaneDlg& main);

}  // namespace korvane
