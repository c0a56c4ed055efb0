#pragma once

#include <string>
#include <vector>

namespace korvane {
class Dialog;
class QtHost;
}  // namespace korvane

namespace korvane::screenshots {

// What the eye would catch in a window: a visible text wider or taller than
// its control (clipped), a visible control reaching outside its window, two
// visible controls on top of each other, a text drawn in a face without
// Korean glyphs. One line per finding.
std::vector<std::string> CheckLayout(QtHost& host, Dialog& dialog);

}  // namespace korvane::screenshots
