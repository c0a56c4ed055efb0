#pragma once

#include "app/MainPanels.h"

namespace korvane {

class SessionOperations;
class CRegCtrl;
class IpSelectionSteps;

// The main window's panels with the real login panel, status panel,
// connecting dialog and update progress window; the two IP tabs keep their
// template panels (the program's ClientAssembly puts in the real ones).
MainPanels MakeSessionPanels(CKorvaneDlg& main, SessionOperations& operations);

}  // namespace korvane
