#include "ui/qt/PopupMenus.h"

#include <QAction>

#include "ui/qt/SkinFonts.h"

namespace korvane {

std::unique_ptr<QMenu> BuildPopupMenu(const PopupMenu& menu) {
    auto qmenu = std::make_unique<QMenu>();
    qmenu->setFont(ControlFont());
    for (const MenuItem& item : menu.items) {
        if (item.separator) {
            qmenu->addSeparator();
            continue;
        }
        QAction* action = qmenu->addAction(QString::fromStdString(item.text));
        action->setData(item.id);
        if (item.is_default) {
            QFont bold = qmenu->font();
            bold.setBold(true);
            action->setFont(bold);
            qmenu->setDefaultAction(action);
        }
    }
    return qmenu;
}

int TrackMenu(QMenu& menu, const QPoint& where) {
    const QAction* chosen = menu.exec(where);
    return chosen == nullptr ? 0 : chosen->data().toInt();
}

}  // namespace korvane
