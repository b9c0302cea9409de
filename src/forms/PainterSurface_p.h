#pragma once
// Drawing operations in device pixels, shared by the surfaces that paint at
// once (image, printer) and the display list that records them for later
// replay. For use inside src/forms/*.cpp only.

#include "forms/Picture.h"

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QFontMetricsF>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <QColor>
#include <QPointF>

#include <memory>
#include <string>
#include <unordered_map>

class QPainter;

namespace forms {

// One line of text shaped once in a font: its glyphs, ready to draw with the
// baseline at y = 0.
struct ShapedLine {
    QList<QGlyphRun> runs;
};

struct PaintOp {
    enum class Kind : unsigned char {
        Line,        // (x1, y1)-(x2, y2)
        Box,         // outline through both corners, corners included
        FilledBox,   // box filled in the pen colour, corners included
        Text,        // text with its baseline origin at (x1, y1)
        TextInRect,  // text laid out in the rectangle with textFlags
        Image,       // picture source rect onto the target rect (x1, y1)-(x2, y2)
        Clip,        // clip to the pixel rect (x1, y1)-(x2, y2), right/bottom exclusive
        NoClip,      // back to the surface's own bounds
    };
    Kind kind = Kind::Line;
    unsigned char drawStyle = 0;
    unsigned short penWidth = 1;
    QRgb colour = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int textFlags = 0;
    QString text;
    std::shared_ptr<const QFont> font;   // pixel-sized
    double textScale = 1.0;              // drawn at this scale around the origin
    std::shared_ptr<const ShapedLine> shaped;   // Text: the glyphs of `text`, when known
    Picture picture;
    QRectF source;
};

// What the executor needs besides the operation: the clip of the target that
// the surface's own clip is intersected with, and whether lines are aliased.
struct PaintContext {
    QRegion baseClip;             // empty: no clip of the target
    bool hasBaseClip = false;
    bool antialiasLines = false;
};

// A font measured and drawn at an exact, possibly fractional, pixel size. Qt
// rounds every font to whole pixels, which would make 7.125 pt measure as 10 px
// on screen but 59 px at 600 dpi; so the font is made at the next whole pixel
// size and everything it measures or draws is scaled down by `scale`. With
// hinting off, advances grow linearly with the size, so the scaled figures are
// the exact ones and agree between screen and printer.
struct MeasuredFont {
    std::shared_ptr<const QFont> font;   // pixel-sized
    double scale = 1.0;                  // wanted pixel size / font pixel size
    QFontMetricsF metrics;
    double ascent = 0.0;
    double lineHeight = 0.0;             // ascent + descent

    MeasuredFont(std::shared_ptr<const QFont> f, double s)
        : font(std::move(f)), scale(s), metrics(*font)
    {
        ascent = metrics.ascent() * scale;
        lineHeight = (metrics.ascent() + metrics.descent()) * scale;
    }

    double advance(const QString& text) const { return metrics.horizontalAdvance(text) * scale; }

    // The width of one line of UTF-8 text. The person-box renderer measures the
    // same few characters over and over while it fits sizes, so widths are
    // remembered per font (shaping costs a microsecond or more each time).
    double lineAdvance(const std::string& line) const
    {
        auto it = widths.find(line);
        if (it != widths.end())
            return it->second;
        if (widths.size() > 8192)
            widths.clear();
        const double width = advance(QString::fromStdString(line));
        widths.emplace(line, width);
        return width;
    }

    // The glyphs of one line of UTF-8 text, shaped once and shared by every
    // Print of it, so that painting never shapes text again.
    std::shared_ptr<const ShapedLine> shapedLine(const std::string& line) const;

    mutable std::unordered_map<std::string, double> widths;
    mutable std::unordered_map<std::string, std::shared_ptr<const ShapedLine>> shapes;
};

// The shared font for these Font properties at a resolution; a size of 0 or
// less is drawn at 1 pt.
std::shared_ptr<const MeasuredFont> sharedFont(const std::string& name, double points, bool bold, bool italic,
                                               int dpi);

void executePaintOp(QPainter& painter, const PaintOp& op, const PaintContext& context);

// A one-pixel line in the pattern of DrawStyle 1..4, aliased.
void drawStyledLine(QPainter& painter, const QPointF& from, const QPointF& to, const QColor& colour, int drawStyle);

} // namespace forms
