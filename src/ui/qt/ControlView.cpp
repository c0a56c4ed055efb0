#include "ui/qt/ControlView.h"

#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/CExplorer1.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/DropList.h"
#include "ui/ListView.h"
#include "ui/qt/BrowserView.h"
#include "ui/qt/ControlViews.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/ListViewView.h"

namespace korvane {

void ControlView::Deliver(const std::function<void()>& action) const {
    window_.Deliver(action);
}

ControlView* CreateControlView(Control& control, DialogWindow& window) {
    switch (control.kind()) {
        case ControlKind::FontStatic:
            return new FontStaticView(static_cast<CFontStatic&>(control), window);
        case ControlKind::Edit:
            return new EditView(static_cast<Edit&>(control), window);
        case ControlKind::CheckBox:
            return new CheckBoxView(static_cast<CheckBox&>(control), window);
        case ControlKind::Radio:
            return new RadioView(static_cast<RadioButton&>(control), window);
        case ControlKind::PushButton:
            return new PushButtonView(control, window);
        case ControlKind::BitmapButton:
            return new BitmapButtonView(static_cast<CBitmapButton&>(control), window);
        case ControlKind::ListView:
            return new ListViewView(static_cast<ListView&>(control), window);
        case ControlKind::DropList:
            return new DropListView(static_cast<DropList&>(control), window);
        case ControlKind::Progress:
            return new ProgressView(static_cast<CProgressEx&>(control), window);
        case ControlKind::Browser:
            return new BrowserView(static_cast<CExplorer1&>(control), window);
        case ControlKind::Static:
            break;
    }
    return new StaticView(control, window);
}

}  // namespace korvane
