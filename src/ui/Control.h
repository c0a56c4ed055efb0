#pragma once

#include <string>

#include "ui/Geometry.h"

namespace korvane {

class Dialog;

enum class ControlKind {
    Static,
    FontStatic,
    Edit,
    CheckBox,
    Radio,
    PushButton,
    BitmapButton,
    ListView,
    DropList,
    Progress,
    Browser,
};

const char* ControlKindName(ControlKind kind);

// What a control change touched, so a host can repaint or record it. `index`
// names the row or item for list changes, -1 otherwise.
enum class ChangeKind {
    Text,
    Visible,
    Enabled,
    Checked,
    Bitmaps,
    Moved,
    Redraw,
    RowInserted,
    RowChanged,
    RowDeleted,
    RowsCleared,
    Selection,
    Scrolled,
    ItemAdded,
    ItemsCleared,
    ItemChosen,
    Range,
    Position,
    Caption,
    Navigated,
};

struct ControlChange {
    ChangeKind kind;
    int index = -1;
};

// A child control of a dialog, addressed by its control id. Controls hold
// state only; every change is reported to the owning dialog, which hands it
// to the host that draws (or records) it.
class Control {
  public:
    Control(int id, ControlKind kind, std::string text = {});
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int id() const { return id_; }
    ControlKind kind() const { return kind_; }
    Dialog* owner() const { return owner_; }

    const std::string& text() const { return text_; }
    void SetText(std::string text);

    bool visible() const { return visible_; }
    void Show(bool visible);
    bool enabled() const { return enabled_; }
    void Enable(bool enabled);

    const Rect& rect() const { return rect_; }
    void Move(const Rect& rect);

    // Repaint at once (invalidate, erase, update now).
    void RedrawNow();

  protected:
    void Notify(ControlChange change);

  private:
    friend class Dialog;
    void AttachTo(Dialog* owner);
    // Runs once when the control joins its dialog.
    virtual void OnAttached() {}

    int id_;
    ControlKind kind_;
    std::string text_;
    bool visible_ = true;
    bool enabled_ = true;
    Rect rect_;
    Dialog* owner_ = nullptr;
};

}  // namespace korvane
