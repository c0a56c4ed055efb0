#include "ui/qt/SkinPainters.h"

#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/qt/QtColour.h"
#include "ui/qt/SkinFonts.h"

namespace korvane {

namespace {

int AlignmentFlag(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Centre:
            return Qt::AlignHCenter;
        case TextAlignment::Right:
            return Qt::AlignRight;
        case TextAlignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

QFont FontOf(const CFontStatic& label) {
    return MakeFont({label.face_name(), label.height(), label.bold(), label.italic(),
                     label.underline(), label.strike_out()});
}

void PaintFontStatic(QPainter& painter, const QRect& rect, const CFontStatic& label) {
    painter.fillRect(rect, ToQColor(label.FillColour()));
    painter.setPen(ToQColor(label.text_colour()));
    painter.setFont(FontOf(label));
    const int flags = Qt::AlignTop | Qt::TextWordWrap | AlignmentFlag(label.alignment());
    painter.drawText(rect, flags, QString::fromStdString(label.text()));
}

void PaintTwoColourBar(QPainter& painter, const QRect& rect, const CProgressEx& bar,
                       const QFont& font) {
    const int filled_width = bar.FilledWidth(rect.width());
    const QRect filled(rect.left(), rect.top(), filled_width, rect.height());
    const QRect unfilled(rect.left() + filled_width, rect.top(), rect.width() - filled_width,
                         rect.height());
    painter.fillRect(filled, ToQColor(bar.bar_colour));
    painter.fillRect(unfilled, ToQColor(bar.background_colour));
    const QString caption = QString::fromStdString(bar.caption());
    painter.setFont(font);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.save();
    painter.setClipRect(filled);
    painter.setPen(ToQColor(bar.bar_text_colour));
    painter.drawText(rect, flags, caption);
    painter.setClipRect(unfilled);
    painter.setPen(ToQColor(bar.text_colour));
    painter.drawText(rect, flags, caption);
    painter.restore();
}

}  // namespace korvane
