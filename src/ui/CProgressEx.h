#pragma once

#include <string>

#include "ui/Colour.h"
#include "ui/Control.h"

namespace korvane {

// A progress bar that can draw itself in two colours with a caption whose
// letters change colour where the bar passes under them.
class CProgressEx : public Control {
  public:
    static constexpr int kSystemStyle = 1;
    static constexpr int kTwoColourStyle = 2;

    explicit CProgressEx(int id) : Control(id, ControlKind::Progress) {}

    // An inverted range is refused; the stored range is sent either way.
    void SetRange(int lower, int upper);
    // A value outside the range leaves the position as it was; the stored
    // position is sent either way.
    void SetPos(int value);
    void SetCaption(std::string caption);

    int lower() const { return lower_; }
    int upper() const { return upper_; }
    int position() const { return position_; }
    const std::string& caption() const { return caption_; }
    // What the underlying bar was last given: the range travels as 16-bit
    // values.
    int control_lower() const { return control_lower_; }
    int control_upper() const { return control_upper_; }

    // Width of the filled part for a bar `width` pixels wide. An empty range
    // draws an empty bar.
    int FilledWidth(int width) const;

    // Set directly by the owning dialog.
    int draw_style = kSystemStyle;
    Colour background_colour = kSystemButtonFace;
    Colour bar_colour = kSystemHighlight;
    Colour bar_text_colour = kSystemWindow;
    Colour text_colour = kSystemHighlight;

  private:
    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    int control_lower_ = 0;
    int control_upper_ = 100;
    std::string caption_;
};

}  // namespace korvane
