#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/Dialog.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/Skin.h"

namespace korvane::gui {

// Runs the event loop for `ms` real milliseconds.
void Pump(int ms = 30);
// Runs the event loop until `done` holds; false when the time ran out.
bool WaitUntil(const std::function<bool()>& done, int timeout_ms = 5000);
// Once a modal widget (message box, file dialog, menu) is up, `act` runs on
// it; used to answer what a call under test opens.
void WhenModalShows(std::function<void(QWidget&)> act, int timeout_ms = 5000);

// Gives the widget the keyboard focus in its active window.
void Focus(QWidget& widget);

// The pixels of `area` that `pick` accepts.
int CountPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& pick);
// The smallest rectangle of `area` holding every pixel unlike `background`.
QRect InkBounds(const QImage& image, const QRect& area, QColor background);
bool Near(QColor a, QColor b, int tolerance = 12);

// A dialog whose commands and notifications are recorded.
class TestDialog : public Dialog {
  public:
    TestDialog(Host& host, std::string name, int template_id)
        : Dialog(host, std::move(name), template_id) {}

    void Record(int id) {
        MapCommand(id, [this, id] { commands.push_back(id); });
    }
    void RecordNotify(int id, Notification code) {
        MapNotify(id, code, [this, id, code] { notifications.emplace_back(id, code); });
    }
    void OnCommand(int id, std::function<void()> handler) { MapCommand(id, std::move(handler)); }
    void OnNotify(int id, Notification code, std::function<void()> handler) {
        MapNotify(id, code, std::move(handler));
    }
    std::function<bool(const KeyEvent&)> key_filter;
    std::vector<int> commands;
    std::vector<std::pair<int, Notification>> notifications;
    std::vector<int> timer_events;

  protected:
    bool PreTranslateKey(const KeyEvent& event) override {
        return key_filter ? key_filter(event) : false;
    }
    void OnTimer(int id) override { timer_events.push_back(id); }
};

// A desktop host on the built-in skin, torn down after each test.
class GuiTest : public ::testing::Test {
  protected:
    DialogWindow& WindowOf(const Dialog& dialog) { return *host_.WindowOf(dialog); }
    template <class W = QWidget>
    W& WidgetOf(const Dialog& dialog, int id) {
        auto* widget = dynamic_cast<W*>(host_.ControlWidget(dialog, id));
        EXPECT_NE(widget, nullptr) << dialog.name() << "." << id;
        return *widget;
    }
    // Creates and shows a window; it gets the template's size.
    void Open(Dialog& dialog, Dialog* parent = nullptr) {
        dialog.Create(parent);
        dialog.Show(ShowMode::Normal);
        Pump(10);
    }

    QtHost host_{Skin::Builtin()};
};

}  // namespace korvane::gui
