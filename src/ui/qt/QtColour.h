#pragma once

#include <QColor>

#include "ui/Colour.h"

namespace korvane {

// The models' colours are 0x00BBGGRR values.
inline QColor ToQColor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

inline Colour FromQColor(const QColor& colour) {
    return Rgb(colour.red(), colour.green(), colour.blue());
}

}  // namespace korvane
