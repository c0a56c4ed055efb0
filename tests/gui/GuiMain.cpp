// The GUI tests draw offscreen. The web engine's sandbox cannot start as
// root, so these tests (and only they) switch it off.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/qt/DesktopMain.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    ::testing::InitGoogleTest(&argc, argv);
    korvane::PrepareQtProcess();
    int qt_argc = 1;
    QApplication application(qt_argc, argv);
    return RUN_ALL_TESTS();
}
