#pragma once

namespace korvane {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

// How a window is shown; the names follow the show states the windows ask for.
enum class ShowMode {
    Hide,
    Normal,    // shown and restored from minimised
    Show,      // shown, minimised state kept
    Minimize,  // shown as minimised
};

enum class TextAlignment { Left, Centre, Right };

const char* ShowModeName(ShowMode mode);

}  // namespace korvane
