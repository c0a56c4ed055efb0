#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/Colour.h"
#include "ui/Control.h"
#include "ui/Geometry.h"

namespace korvane {

// A static text drawn with its own face, size, colours and style.
class CFontStatic : public Control {
  public:
    // Style flag bits of SetFontStatic.
    static constexpr std::uint8_t kBold = 0x01;
    static constexpr std::uint8_t kItalic = 0x02;
    static constexpr std::uint8_t kUnderline = 0x04;
    static constexpr std::uint8_t kStrikeOut = 0x08;
    static constexpr std::uint8_t kCentre = 0x20;
    static constexpr std::uint8_t kRight = 0x80;
    // The notify style a static gets when it is attached to its dialog.
    static constexpr int kNotifyStyle = 0x100;

    explicit CFontStatic(int id, std::string text = {})
        : Control(id, ControlKind::FontStatic, std::move(text)) {}

    // Style bits only ever set their flag; the alignment is decided anew at
    // every call.
    void SetFontStatic(const std::string& face, int height, Colour text_colour, std::uint8_t flags);

    // Set directly by the owning dialog.
    bool own_background = false;
    std::optional<Colour> background_colour;

    const std::string& face_name() const { return face_name_; }
    int height() const { return height_; }
    Colour text_colour() const { return text_colour_; }
    bool bold() const { return bold_; }
    bool italic() const { return italic_; }
    bool underline() const { return underline_; }
    bool strike_out() const { return strike_out_; }
    TextAlignment alignment() const { return alignment_; }
    int style() const { return style_; }

    // The fill a painter uses: the own colour when set, else the button face.
    Colour FillColour() const;

  private:
    void OnAttached() override { style_ |= kNotifyStyle; }

    std::string face_name_ = "MS Sans Serif";
    int height_ = 8;
    Colour text_colour_ = 0;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool strike_out_ = false;
    TextAlignment alignment_ = TextAlignment::Left;
    int style_ = 0;
};

}  // namespace korvane
