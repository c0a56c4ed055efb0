#pragma once

#include <QFont>
#include <QPainter>
#include <QRect>

namespace korvane {

class CFontStatic;
class CProgressEx;

// The font a CFontStatic paints with, made anew for every paint.
QFont FontOf(const CFontStatic& label);

// A CFontStatic: its fill (own colour or the button face), then its text in
// its font and colour, word-wrapped, with no prefix processing ("&" is drawn
// as it is), aligned left, centred or right.
void PaintFontStatic(QPainter& painter, const QRect& rect, const CFontStatic& label);

// The two-colour drawing of a CProgressEx: the filled part from the left to
// the position's share of the width, the rest unfilled, and the caption drawn
// centred once clipped to each part in that part's text colour.
void PaintTwoColourBar(QPainter& painter, const QRect& rect, const CProgressEx& bar,
                       const QFont& font);

}  // namespace korvane
