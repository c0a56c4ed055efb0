#include "ui/CFontStatic.h"

namespace korvane {

void CFontStatic::SetFontStatic(const std::string& face, int height, Colour text_colour,
                                std::uint8_t flags) {
    face_name_ = face;
    height_ = height;
    text_colour_ = text_colour;
    bold_ = bold_ || (flags & kBold) != 0;
    italic_ = italic_ || (flags & kItalic) != 0;
    underline_ = underline_ || (flags & kUnderline) != 0;
    strike_out_ = strike_out_ || (flags & kStrikeOut) != 0;
    if ((flags & kCentre) != 0) {
        alignment_ = TextAlignment::Centre;
    } else if ((flags & kRight) != 0) {
        alignment_ = TextAlignment::Right;
    } else {
        alignment_ = TextAlignment::Left;
    }
}

Colour CFontStatic::FillColour() const {
    if (own_background && background_colour.has_value()) {
        return *background_colour;
    }
    return kSystemButtonFace;
}

}  // namespace korvane
