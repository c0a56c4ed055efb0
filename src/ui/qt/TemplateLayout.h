#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "ui/Geometry.h"

namespace korvane {

// The dialog templates: where each control of a template sits and how big a
// window of that template is. Dialog models keep only ids and state; the
// desktop host places a control from here unless the model moved it itself.
//
// Text form, one entry a line ("#" starts a comment line):
//   TEMPLATE ID X Y WIDTH HEIGHT
// with ID 0 for the window itself (X and Y are then ignored).
class TemplateLayout {
  public:
    // 0 on success; -1 with "line N: reason" for the first bad line.
    int Parse(const std::string& text, std::string& error);

    std::optional<Rect> ControlRect(int template_id, int control_id) const;
    std::optional<Rect> WindowRect(int template_id) const;
    bool empty() const { return entries_.empty(); }
    const std::map<std::pair<int, int>, Rect>& entries() const { return entries_; }

  private:
    std::map<std::pair<int, int>, Rect> entries_;
};

}  // namespace korvane
