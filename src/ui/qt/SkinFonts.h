#pragma once

#include <QFont>
#include <string>

namespace korvane {

// The faces the windows ask for ("굴림", "굴림체", "MS Sans Serif") are not on
// a Linux desktop; each is replaced by an installed face with Korean glyphs.
// Call once after the application object exists.
void InstallFaceSubstitutes();

// The installed family that stands in for `face`, or `face` itself.
QString SubstituteFamily(const std::string& face);

struct FontRequest {
    std::string face;
    int height = 0;  // pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
};

// A font as the windows describe one. The faces they name have a cell about
// as high as their em, so the height becomes the substitute's pixel size:
// the texts keep the size the templates were laid out for. Bold is the
// heaviest weight (900); the substitute draws its heaviest face.
QFont MakeFont(const FontRequest& request);

// The font of plain controls (edits, check boxes, lists, message boxes).
QFont ControlFont();

}  // namespace korvane
