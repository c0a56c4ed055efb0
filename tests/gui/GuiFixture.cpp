#include "GuiFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace korvane::gui {

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (clock.elapsed() < ms);
}

bool WaitUntil(const std::function<bool()>& done, int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout_ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(5);
    }
    return true;
}

void WhenModalShows(std::function<void(QWidget&)> act, int timeout_ms) {
    auto* poll = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, act, timeout_ms] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            modal = QApplication::activePopupWidget();
        }
        if (modal != nullptr && modal->isVisible()) {
            poll->stop();
            act(*modal);
        } else if (clock->elapsed() < timeout_ms) {
            return;
        }
        poll->deleteLater();
        delete clock;
    });
    poll->start(10);
}

void Focus(QWidget& widget) {
    QWidget* window = widget.window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    widget.setFocus(Qt::OtherFocusReason);
    Pump(5);
}

int CountPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& pick) {
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            count += pick(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return count;
}

bool Near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QRect InkBounds(const QImage& image, const QRect& area, QColor background) {
    QRect ink;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (!Near(image.pixelColor(x, y), background, 40)) {
                ink = ink.united(QRect(x, y, 1, 1));
            }
        }
    }
    return ink;
}

}  // namespace korvane::gui
