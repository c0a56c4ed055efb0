#pragma once

#include <functional>
#include <ostream>

namespace korvane {

class Host;
struct KorvaneOptions;

// The desktop side of the korvane program: the Qt application object, the
// desktop host with the compiled-in skin, then `run` on that host. Without a
// display to open windows on it says so and returns the no-desktop code.
int RunDesktop(const KorvaneOptions& options, const std::function<int(Host& host)>& run,
               std::ostream& err);

// True when Qt has a display to open windows on: a platform named in
// QT_QPA_PLATFORM, or an X11 or Wayland display.
bool DisplayAvailable();

// Settings the process needs before the Qt application object exists.
void PrepareQtProcess();

}  // namespace korvane
