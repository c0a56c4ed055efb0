#pragma once

#include <cstdint>

namespace korvane {

// Colours are 0x00BBGGRR values, the byte order the dialogs' colour constants
// are written in (0x0000FF is red).
using Colour = std::uint32_t;

constexpr Colour Rgb(int red, int green, int blue) {
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// Stand-ins for the desktop's theme colours where a control starts with "the
// system's colour"; a desktop host may map these to its own palette.
constexpr Colour kSystemButtonFace = 0xF0F0F0;
constexpr Colour kSystemHighlight = 0xD77800;
constexpr Colour kSystemWindow = 0xFFFFFF;

}  // namespace korvane
