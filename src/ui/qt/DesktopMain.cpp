#include "ui/qt/DesktopMain.h"

#include <QApplication>
#include <cstdlib>

#include "app/KorvaneMain.h"
#include "app/KorvaneOptions.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/Skin.h"
#include "ui/qt/TerminationSignals.h"

namespace korvane {

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

bool DisplayAvailable() {
    return Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

void PrepareQtProcess() {
    // The web engine shares its graphics contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int RunDesktop(const KorvaneOptions& options, const std::function<int(Host& host)>& run,
               std::ostream& err) {
    if (!DisplayAvailable()) {
        err << "korvane: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
               "unset); run with --headless (docs/automation.md)\n";
        return kExitNoDesktop;
    }
    PrepareQtProcess();
    // Qt reads its own options from the command line; the program's are not
    // for it.
    int qt_argc = 1;
    char name[] = "korvane";
    char* qt_argv[] = {name, nullptr};
    QApplication application(qt_argc, qt_argv);
    QApplication::setApplicationName("korvane");
    // Closing the last window is the main window's own business.
    QApplication::setQuitOnLastWindowClosed(false);
    const Skin& skin = Skin::Builtin();
    if (!skin.layout_error().empty()) {
        err << "korvane: " << skin.layout_error() << "\n";
    }
    QtHost host(skin);
    host.SetTrayAvailable(!options.no_tray);
    const TerminationSignals session_end(host);
    return run(host);
}

}  // namespace korvane
