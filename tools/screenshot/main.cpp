// Saves a PNG of every window in its main states and checks each for clipped
// texts and overlapping controls.
//
//   korvane-screenshots OUTPUT_FOLDER SERVICE
//
// SERVICE is host:port of a running korvane-service with the demo accounts
// (service/demo.ini). Without a display the windows are drawn offscreen.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "Screenshots.h"
#include "ui/qt/DesktopMain.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvane-screenshots OUTPUT_FOLDER SERVICE\n");
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    korvane::PrepareQtProcess();
    int qt_argc = 1;
    QApplication application(qt_argc, argv);
    korvane::screenshots::Options options;
    options.output_folder = argv[1];
    options.web_host = argv[2];
    std::vector<korvane::screenshots::Shot> shots;
    std::string error;
    if (korvane::screenshots::TakeScreenshots(options, shots, error) != 0) {
        std::fprintf(stderr, "korvane-screenshots: %s\n", error.c_str());
        return 1;
    }
    int problems = 0;
    for (const auto& shot : shots) {
        std::printf("%s %dx%d\n", shot.file.c_str(), shot.width, shot.height);
        for (const auto& page : shot.pages) {
            std::printf("  page %s\n", page.c_str());
        }
        for (const auto& problem : shot.problems) {
            std::printf("  PROBLEM %s\n", problem.c_str());
            ++problems;
        }
    }
    return problems == 0 ? 0 : 1;
}
