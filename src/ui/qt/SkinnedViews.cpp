#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionProgressBar>

#include "ui/CBitmapButton.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/Dialog.h"
#include "ui/qt/ControlViews.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/Skin.h"
#include "ui/qt/SkinFonts.h"
#include "ui/qt/SkinPainters.h"

namespace korvane {

FontStaticView::FontStaticView(CFontStatic& label, DialogWindow& window)
    : QWidget(&window), ControlView(label, window), label_(label) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FontStaticView::Refresh(ControlChange) {
    update();
}

void FontStaticView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFontStatic(painter, rect(), label_);
}

void FontStaticView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

ProgressView::ProgressView(CProgressEx& bar, DialogWindow& window)
    : QWidget(&window), ControlView(bar, window), bar_(bar) {}

void ProgressView::Refresh(ControlChange) {
    // The two-colour drawing paints every pixel: no erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent, bar_.draw_style == CProgressEx::kTwoColourStyle);
    update();
}

void ProgressView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (bar_.draw_style == CProgressEx::kTwoColourStyle) {
        PaintTwoColourBar(painter, rect(), bar_, ControlFont());
        return;
    }
    QStyleOptionProgressBar option;
    option.initFrom(this);
    option.minimum = bar_.control_lower();
    option.maximum = bar_.control_upper();
    option.progress = bar_.position();
    option.textVisible = false;
    style()->drawControl(QStyle::CE_ProgressBar, &option, &painter, this);
}

BitmapButtonView::BitmapButtonView(CBitmapButton& button, DialogWindow& window)
    : QAbstractButton(&window), ControlView(button, window), button_(button) {
    connect(this, &QAbstractButton::clicked,
            [this] { Deliver([this] { button_.owner()->DispatchCommand(button_.id()); }); });
}

void BitmapButtonView::Refresh(ControlChange) {
    update();
}

int BitmapButtonView::ShownBitmap() const {
    const int shown = button_.ShownBitmap(isDown());
    if (shown != button_.normal_bitmap() && !dialog_window().skin().Has(shown)) {
        return button_.normal_bitmap();
    }
    return shown;
}

void BitmapButtonView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap bitmap = dialog_window().skin().Bitmap(ShownBitmap());
    if (!bitmap.isNull()) {
        painter.drawPixmap(0, 0, bitmap);
        return;
    }
    // No picture: a plain face with the template text, so the button can
    // still be found and pressed.
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = QString::fromStdString(button_.text());
    if (isDown()) {
        option.state |= QStyle::State_Sunken;
    }
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
}

}  // namespace korvane
