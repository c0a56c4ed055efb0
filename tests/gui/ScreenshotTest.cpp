// Runs the screenshot tool (the program played through its windows) against
// the service with the demo accounts; the PNGs stay in the build folder
// (screenshots/) as the run's artifacts.
#include <QImage>
#include <fstream>
#include <map>
#include <sstream>

#include "GuiFixture.h"
#include "Screenshots.h"
#include "ServiceFixture.h"
#include "ui/qt/BrowserView.h"

namespace korvane::gui {
namespace {

using korvane::testing::ServiceFixture;

std::string DemoConfig() {
    std::ifstream in(KORVANE_DEMO_CONFIG);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Screenshots, EveryWindowIsSavedAtItsSizeWithNothingClipped) {
    ServiceFixture service;
    // The simulated tunnel program does not read the certificate.
    ASSERT_TRUE(service.Start(DemoConfig(), {{"korvane_ca.crt",
                                              "-----BEGIN CERTIFICATE-----\n"
                                              "-----END CERTIFICATE-----\n"}}));
    screenshots::Options options;
    options.output_folder = KORVANE_SCREENSHOT_DIR;
    options.web_host = service.address();
    std::vector<screenshots::Shot> shots;
    std::string error;
    ASSERT_EQ(screenshots::TakeScreenshots(options, shots, error), 0) << error;

    const std::map<std::string, QSize> expected = {
        {"login", {450, 400}},
        {"status-logged-in", {900, 400}},
        {"status-connected", {900, 400}},
        {"service-ip-changed", {900, 400}},
        {"managed-ip", {900, 400}},
        {"connecting", {260, 128}},
        {"update-progress", {260, 128}},
        {"options", {400, 600}},
        {"update", {400, 282}},
        {"tray-menu", {0, 0}},
    };
    std::map<std::string, const screenshots::Shot*> by_name;
    for (const auto& shot : shots) {
        const std::string name = shot.file.substr(shot.file.rfind('/') + 1);
        by_name[name.substr(0, name.size() - 4)] = &shot;
    }
    for (const auto& [name, size] : expected) {
        ASSERT_EQ(by_name.count(name), 1u) << name;
        const screenshots::Shot& shot = *by_name[name];
        const QImage image(QString::fromStdString(shot.file));
        ASSERT_FALSE(image.isNull()) << shot.file;
        if (!size.isEmpty()) {
            EXPECT_EQ(image.size(), size) << name;
        }
        for (const std::string& problem : shot.problems) {
            ADD_FAILURE() << name << ": " << problem;
        }
        for (const std::string& page : shot.pages) {
            EXPECT_NE(page.find(": loaded"), std::string::npos) << name << ": " << page;
        }
    }
    EXPECT_EQ(by_name["status-logged-in"]->pages.size(), 1u);
    // The banner page was drawn inside the status panel, below its buttons.
    if (WebEngineBuilt()) {
        const QImage status(QString::fromStdString(by_name["status-logged-in"]->file));
        const QColor banner(0x1d, 0x4f, 0x91);
        EXPECT_GT(
            CountPixels(status, {20, 303, 411, 84}, [&](QColor c) { return Near(c, banner); }),
            2000);
    }
    EXPECT_EQ(by_name["update"]->pages.size(), 1u);
    // The version label's near-white text is read on the dark strip.
    const QImage update(QString::fromStdString(by_name["update"]->file));
    const QRect label(12, 200, 376, 36);
    EXPECT_GT(
        CountPixels(update, label, [](QColor c) { return Near(c, QColor(0x29, 0x29, 0x29)); }),
        label.width() * label.height() / 2);
    EXPECT_GT(CountPixels(update, label, [](QColor c) { return c.lightness() > 200; }), 100);
}

}  // namespace
}  // namespace korvane::gui
