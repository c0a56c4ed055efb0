#pragma once

#include <string>
#include <vector>

#include "ui/Control.h"

namespace korvane {

// A drop-down list: fixed entries, at most one chosen.
class DropList : public Control {
  public:
    explicit DropList(int id) : Control(id, ControlKind::DropList) {}

    // Appends and returns the entry's index.
    int AddString(std::string text);
    void ResetContent();
    // -1 clears the choice; an index that does not exist is refused (false).
    bool SetCurSel(int index);
    int GetCurSel() const { return current_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Empty for an index that does not exist.
    std::string ItemText(int index) const;
    std::string SelectedText() const { return ItemText(current_); }
    // First entry equal to `text`, -1 when none.
    int FindExact(const std::string& text) const;

  private:
    std::vector<std::string> items_;
    int current_ = -1;
};

}  // namespace korvane
