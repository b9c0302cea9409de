#pragma once
// Pens of Line controls and line elements, for use inside src/forms/*.cpp only.

#include <QPen>
#include <QPoint>

class QPainter;

namespace forms {

// The solid pen of a Line control's border (BorderStyle 0 gives no pen).
QPen linePen(long borderColor, int borderStyle, int borderWidth);

// Draws a Line control's line from a to b (pixels) with its border settings:
// BorderStyle 0 transparent, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot,
// 6 inside solid. Patterns show only at width 1, as with GDI pens.
void paintBorderLine(QPainter& painter, const QPoint& a, const QPoint& b, long borderColor, int borderStyle,
                     int borderWidth);

} // namespace forms
