#include "ui/DropList.h"

namespace korvane {

int DropList::AddString(std::string text) {
    items_.push_back(std::move(text));
    const int index = Count() - 1;
    Notify({ChangeKind::ItemAdded, index});
    return index;
}

void DropList::ResetContent() {
    items_.clear();
    current_ = -1;
    Notify({ChangeKind::ItemsCleared});
}

bool DropList::SetCurSel(int index) {
    if (index < -1 || index >= Count()) {
        return false;
    }
    current_ = index;
    Notify({ChangeKind::ItemChosen, index});
    return true;
}

std::string DropList::ItemText(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return items_[index];
}

int DropList::FindExact(const std::string& text) const {
    for (int i = 0; i < Count(); ++i) {
        if (items_[i] == text) {
            return i;
        }
    }
    return -1;
}

}  // namespace korvane
