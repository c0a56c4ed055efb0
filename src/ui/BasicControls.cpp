#include "ui/BasicControls.h"

namespace korvane {

void CheckBox::SetCheck(bool checked) {
    checked_ = checked;
    Notify({ChangeKind::Checked});
}

}  // namespace korvane
