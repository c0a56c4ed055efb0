#pragma once

#include <string>
#include <vector>

namespace korvane::screenshots {

struct Options {
    std::string output_folder;
    // host:port of a korvane-service serving the demo accounts
    // (service/demo.ini): the program logs in there and its pages come from
    // there.
    std::string web_host;
    // How long to wait for a page, real time.
    int page_timeout_ms = 10000;
};

struct Shot {
    std::string file;  // the PNG's path
    int width = 0;
    int height = 0;
    // Texts that do not fit their control, controls outside their window or
    // on top of each other; empty when the window is clean.
    std::vector<std::string> problems;
    // Pages the shot's browsers were asked for and whether they loaded.
    std::vector<std::string> pages;
};

// Runs the program on the desktop host and a simulated machine, plays a user
// through every window in its main states, saves one PNG of each and checks
// it. A QApplication must exist. 0, or -1 with a reason.
int TakeScreenshots(const Options& options, std::vector<Shot>& shots, std::string& error);

}  // namespace korvane::screenshots
