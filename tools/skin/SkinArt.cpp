#include "SkinArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace korvane::skin {

namespace {

const QColor kStrip(0x29, 0x29, 0x29);
const QColor kAccent(0xFF, 0x96, 0x00);
const QColor kBody(0xEE, 0xEE, 0xEE);
const QColor kCard(0xF9, 0xF9, 0xF9);
const QColor kBorder(0xD2, 0xD2, 0xD2);
const QColor kLight(0xEA, 0xEA, 0xEA);

QFont SkinFont(int pixel_size, bool bold) {
    QFont font(kSkinFamily);
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage Blank(QSize size, QColor fill) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

struct Face {
    QColor top;
    QColor bottom;
    QColor border;
    QColor text;
};

Face FaceOf(ButtonStyle style, bool pressed) {
    switch (style) {
        case ButtonStyle::Primary:
            return pressed
                       ? Face{{0xE0, 0x7A, 0x00}, {0xF0, 0x8C, 0x00}, {0xC0, 0x68, 0x00}, Qt::white}
                       : Face{
                             {0xFF, 0xAE, 0x3A}, {0xF5, 0x8E, 0x00}, {0xD8, 0x7A, 0x00}, Qt::white};
        case ButtonStyle::Danger:
            return pressed
                       ? Face{{0xB8, 0x36, 0x24}, {0xC8, 0x40, 0x2C}, {0x9E, 0x2C, 0x1C}, Qt::white}
                       : Face{
                             {0xEE, 0x62, 0x4C}, {0xD0, 0x44, 0x30}, {0xB0, 0x36, 0x24}, Qt::white};
        case ButtonStyle::Title:
        case ButtonStyle::Caption:
            return pressed
                       ? Face{{0x55, 0x55, 0x55}, {0x48, 0x48, 0x48}, {0x66, 0x66, 0x66}, kLight}
                       : Face{{0x3C, 0x3C, 0x3C}, {0x31, 0x31, 0x31}, {0x4A, 0x4A, 0x4A}, kLight};
        case ButtonStyle::Header:
            return Face{{0x4A, 0x4A, 0x4A}, {0x36, 0x36, 0x36}, {0x30, 0x30, 0x30}, Qt::white};
        case ButtonStyle::Secondary:
        case ButtonStyle::Plain:
            break;
    }
    return pressed ? Face{{0xD8, 0xD8, 0xD8},
                          {0xE4, 0xE4, 0xE4},
                          {0xA8, 0xA8, 0xA8},
                          {0x33, 0x33, 0x33}}
                   : Face{{0xFF, 0xFF, 0xFF},
                          {0xE6, 0xE6, 0xE6},
                          {0xBB, 0xBB, 0xBB},
                          {0x33, 0x33, 0x33}};
}

void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, QColor colour) {
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c = box.center();
    switch (glyph) {
        case Glyph::Minimise:
            p.drawLine(QPointF(c.x() - 5, c.y() + 4), QPointF(c.x() + 5, c.y() + 4));
            break;
        case Glyph::Close:
            p.drawLine(QPointF(c.x() - 4, c.y() - 4), QPointF(c.x() + 4, c.y() + 4));
            p.drawLine(QPointF(c.x() + 4, c.y() - 4), QPointF(c.x() - 4, c.y() + 4));
            break;
        case Glyph::ArrowRight:
        case Glyph::ArrowLeft:
        case Glyph::Expand:
        case Glyph::Collapse: {
            const double d = glyph == Glyph::ArrowRight || glyph == Glyph::Expand ? 1 : -1;
            QPainterPath arrow;
            arrow.moveTo(c.x() - 4 * d, c.y() - 6);
            arrow.lineTo(c.x() + 5 * d, c.y());
            arrow.lineTo(c.x() - 4 * d, c.y() + 6);
            arrow.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPath(arrow);
            break;
        }
        case Glyph::None:
            break;
    }
}

void DrawTitleStrip(QPainter& p, int width, int height, const QString& title) {
    p.fillRect(0, 0, width, height, kStrip);
    p.fillRect(0, height - 2, width, 2, kAccent);
    if (!title.isEmpty()) {
        p.setPen(kLight);
        p.setFont(SkinFont(14, true));
        p.drawText(QRect(14, 0, width - 60, height - 2), Qt::AlignVCenter | Qt::AlignLeft, title);
    }
}

void DrawLogo(QPainter& p, QPoint at) {
    p.setPen(Qt::white);
    p.setFont(SkinFont(22, true));
    p.drawText(at, "Korvane");
    const int end = at.x() + QFontMetrics(p.font()).horizontalAdvance("Korvane");
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(end + 2, at.y() - 5, 5, 5));
}

void DrawCard(QPainter& p, const QRect& rect, QColor fill) {
    p.setPen(kBorder);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}

void DrawGroup(QPainter& p, const GroupDecoration& group) {
    DrawCard(p, group.rect, Qt::white);
    if (!group.title.isEmpty()) {
        p.setPen(QColor(0x29, 0x29, 0x29));
        p.setFont(SkinFont(12, true));
        p.drawText(group.rect.topLeft() + QPoint(12, 17), group.title);
    }
}

void DrawBackdrop(QPainter& p, const BackgroundDesign& d) {
    const int w = d.size.width();
    const int h = d.size.height();
    switch (d.backdrop) {
        case Backdrop::MainWindow:
            p.fillRect(0, 0, w, h, kBody);
            DrawTitleStrip(p, w, 47, {});
            DrawLogo(p, {16, 32});
            // The seam between the panels of the wide layout.
            p.fillRect(451, 47, 9, h - 47, QColor(0xDD, 0xDD, 0xDD));
            break;
        case Backdrop::LoginPanel:
        case Backdrop::StatusPanel:
            p.fillRect(0, 0, w, h, kBody);
            p.fillRect(24, 44, 40, 2, kAccent);
            if (d.backdrop == Backdrop::StatusPanel) {
                DrawCard(p, {20, 50, 411, 146}, kCard);
                p.setPen(QColor(0xE4, 0xE4, 0xE4));
                for (int y : {80, 108, 136, 164}) {
                    p.drawLine(30, y, 420, y);
                }
            } else {
                DrawCard(p, {20, 54, 411, 148}, kCard);
            }
            break;
        case Backdrop::IpTab: {
            QLinearGradient fade(0, 0, 0, h);
            fade.setColorAt(0, QColor(0xF2, 0xF2, 0xF2));
            fade.setColorAt(1, QColor(0xE6, 0xE6, 0xE6));
            p.fillRect(0, 0, w, h, fade);
            break;
        }
        case Backdrop::SmallProgress:
            p.fillRect(0, 0, w, h, kCard);
            DrawTitleStrip(p, w, 30, d.title);
            p.setPen(kBorder);
            p.setBrush(Qt::NoBrush);
            p.drawRect(0, 0, w - 1, h - 1);
            break;
        case Backdrop::UpdateDialog:
        case Backdrop::OptionsDialog:
            p.fillRect(0, 0, w, h, kBody);
            DrawTitleStrip(p, w, 36, d.title);
            p.setPen(QColor(0x29, 0x29, 0x29));
            p.setBrush(Qt::NoBrush);
            p.drawRect(0, 0, w - 1, h - 1);
            if (d.backdrop == Backdrop::UpdateDialog) {
                p.fillRect(12, 200, 376, 36, kStrip);
            }
            break;
    }
}

}  // namespace

QImage DrawButton(const ButtonDesign& design, bool pressed) {
    QImage image = Blank(design.size, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const Face face = FaceOf(design.style, pressed);
    const QRectF box = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(0, 0, 0, design.size.height());
    fill.setColorAt(0, face.top);
    fill.setColorAt(1, face.bottom);
    p.setPen(face.border);
    p.setBrush(fill);
    const double radius = design.style == ButtonStyle::Caption ? 3 : 4;
    p.drawRoundedRect(box, radius, radius);
    const QPointF shift = pressed ? QPointF(1, 1) : QPointF(0, 0);
    if (design.glyph != Glyph::None) {
        DrawGlyph(p, design.glyph, box.translated(shift), face.text);
    }
    if (!design.label.isEmpty()) {
        const bool small = design.size.height() <= 24;
        p.setPen(face.text);
        p.setFont(SkinFont(small ? 12 : 13, true));
        p.drawText(box.translated(shift), Qt::AlignCenter, design.label);
    }
    return image;
}

QImage DrawBackground(const BackgroundDesign& design) {
    QImage image = Blank(design.size, kBody);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawBackdrop(p, design);
    for (const GroupDecoration& group : design.groups) {
        DrawGroup(p, group);
    }
    for (const QRect& frame : design.frames) {
        DrawCard(p, frame.adjusted(-2, -2, 2, 2), Qt::white);
    }
    for (const TextDecoration& text : design.texts) {
        p.setPen(text.colour);
        p.setFont(SkinFont(text.pixel_size, text.bold));
        const QFontMetrics metrics(p.font());
        p.drawText(text.at + QPoint(0, metrics.ascent()), text.text);
    }
    return image;
}

QImage DrawIcon(const IconDesign& design) {
    const int s = design.size;
    QImage image = Blank({s, s}, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kStrip);
    p.drawRoundedRect(QRectF(0, 0, s, s), s / 5.0, s / 5.0);
    p.setBrush(design.colour);
    p.drawEllipse(QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76));
    p.setPen(Qt::white);
    p.setFont(SkinFont(s * 6 / 10, true));
    p.drawText(QRect(0, 0, s, s), Qt::AlignCenter, "K");
    return image;
}

}  // namespace korvane::skin
