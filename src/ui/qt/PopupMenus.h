#pragma once

#include <QMenu>
#include <QPoint>
#include <memory>

#include "ui/Host.h"

namespace korvane {

// A menu resource as a Qt menu: each item's action carries its command id;
// the default item is drawn bold, separators stay separators.
std::unique_ptr<QMenu> BuildPopupMenu(const PopupMenu& menu);

// Runs the menu at `where` until the user chooses or dismisses it: the
// chosen command id, 0 when dismissed.
int TrackMenu(QMenu& menu, const QPoint& where);

}  // namespace korvane
