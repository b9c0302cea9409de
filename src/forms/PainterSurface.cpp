#include "forms/PainterSurface.h"
#include "forms/PainterSurface_p.h"

#include "forms/Colors_p.h"
#include "forms/Fonts.h"
#include "forms/Picture.h"
#include "forms/Picture_p.h"

#include "platform/Errors.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

namespace forms {

namespace {

// The lines of a text: broken at LF, with every CR dropped.
std::vector<std::string> splitAtLineFeeds(const std::string& text)
{
    std::vector<std::string> lines;
    if (text.find_first_of("\r\n") == std::string::npos) {
        lines.push_back(text);
        return lines;
    }
    std::string current;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else if (c != '\r') {
            current.push_back(c);
        }
    }
    lines.push_back(current);
    return lines;
}

bool isOmitted(double value) { return std::isnan(value); }

QPen opPen(const PaintOp& op)
{
    return QPen(QColor::fromRgb(op.colour), op.penWidth, Qt::SolidLine,
                op.penWidth > 1 ? Qt::RoundCap : Qt::SquareCap, Qt::MiterJoin);
}

// On/off run lengths in pixels of the cosmetic pen patterns, DrawStyle 1..4.
const std::vector<int>& dashPattern(int drawStyle)
{
    static const std::vector<int> patterns[] = {
        {18, 6},               // dash
        {3, 3},                // dot
        {9, 6, 3, 6},          // dash-dot
        {9, 3, 3, 3, 3, 3},    // dash-dot-dot
    };
    return patterns[std::clamp(drawStyle, 1, 4) - 1];
}

// The pixel a device coordinate falls in (the tiny bias keeps 10.0 computed
// as 149.99999 / 15 on pixel 10).
int pixelOf(double coordinate)
{
    return static_cast<int>(std::floor(coordinate + 1e-7));
}

// Fills the pixels from (x1, y1) to (x2, y2) inclusive, grown by half the pen
// width on every side as a wide pen grows a line.
void fillPixels(QPainter& painter, const PaintOp& op, int penWidth)
{
    const int grow = (penWidth - 1) / 2;
    const int left = pixelOf(std::min(op.x1, op.x2)) - grow;
    const int top = pixelOf(std::min(op.y1, op.y2)) - grow;
    const int right = pixelOf(std::max(op.x1, op.x2)) + (penWidth - 1 - grow);
    const int bottom = pixelOf(std::max(op.y1, op.y2)) + (penWidth - 1 - grow);
    painter.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), QColor::fromRgb(op.colour));
}

// Adds pixel p to the dots of a patterned line: it lengthens the last dot when it
// continues it along its row or column, else it starts a dot of its own.
void addDotPixel(QVector<QRect>& dots, const QPoint& p)
{
    if (!dots.isEmpty()) {
        QRect& last = dots.back();
        const QRect grown = last.united(QRect(p, QSize(1, 1)));
        if ((grown.width() == 1 || grown.height() == 1) && grown.width() * grown.height() == last.width() * last.height() + 1) {
            last = grown;
            return;
        }
    }
    dots.append(QRect(p, QSize(1, 1)));
}

// Draws text at a scale around its origin (see MeasuredFont).
void drawScaledText(QPainter& painter, const PaintOp& op, const std::function<void()>& draw)
{
    painter.setFont(*op.font);
    painter.setPen(QColor::fromRgb(op.colour));
    if (op.textScale == 1.0) {
        draw();
        return;
    }
    painter.save();
    painter.scale(op.textScale, op.textScale);
    draw();
    painter.restore();
}

} // namespace

// Fonts are shared by every surface: the person-box renderer switches sizes
// for each item it fits, and building a QFont with its metrics each time would
// dominate the drawing.
std::shared_ptr<const ShapedLine> MeasuredFont::shapedLine(const std::string& line) const
{
    auto it = shapes.find(line);
    if (it != shapes.end())
        return it->second;
    if (shapes.size() > 4096)
        shapes.clear();
    QTextLayout layout(QString::fromStdString(line), *font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    if (textLine.isValid())
        textLine.setPosition(QPointF(0, 0));
    layout.endLayout();
    // The line is laid out by endLayout; only then does it know its ascent.
    const double ascent = textLine.isValid() ? textLine.ascent() : 0.0;
    auto shaped = std::make_shared<ShapedLine>();
    shaped->runs = layout.glyphRuns();
    // Glyph positions come relative to the line's top; make them baseline-relative.
    for (QGlyphRun& run : shaped->runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions)
            p.ry() -= ascent;
        run.setPositions(positions);
    }
    std::shared_ptr<const ShapedLine> result = std::move(shaped);
    shapes.emplace(line, result);
    return result;
}

std::shared_ptr<const MeasuredFont> sharedFont(const std::string& name, double points, bool bold, bool italic,
                                               int dpi)
{
    static std::unordered_map<std::string, std::shared_ptr<const MeasuredFont>> fonts;
    std::string key = name;
    key.push_back('\x1f');
    char bits[sizeof(double)];
    std::memcpy(bits, &points, sizeof bits);
    key.append(bits, sizeof bits);
    key.push_back(bold ? 'B' : '-');
    key.push_back(italic ? 'I' : '-');
    key += std::to_string(dpi);
    auto it = fonts.find(key);
    if (it != fonts.end())
        return it->second;
    if (fonts.size() > 1024)
        fonts.clear();
    // A size of 0 or less draws at 1 pt (the property still reads back as set).
    const double drawnPoints = points > 0.0 ? points : 1.0;
    const double wantedPixels = drawnPoints * dpi / 72.0;
    int fontPixels = static_cast<int>(std::lround(wantedPixels));
    if (std::abs(wantedPixels - fontPixels) > 1e-9)
        fontPixels = static_cast<int>(std::ceil(wantedPixels));
    fontPixels = std::max(fontPixels, 1);
    QFont font = makeFont(name, drawnPoints, bold, italic);
    font.setPixelSize(fontPixels);
    auto measured = std::make_shared<const MeasuredFont>(std::make_shared<const QFont>(std::move(font)),
                                                         wantedPixels / fontPixels);
    fonts.emplace(std::move(key), measured);
    return measured;
}

void drawStyledLine(QPainter& painter, const QPointF& from, const QPointF& to, const QColor& colour, int drawStyle)
{
    // Patterns are laid pixel by pixel from the line's own start, so that a
    // line repainted in pieces (scrolling, exposed strips) keeps its dots in
    // place; Qt restarts a dash pattern where a clip cuts the line.
    const QPoint a(pixelOf(from.x()), pixelOf(from.y()));
    const QPoint b(pixelOf(to.x()), pixelOf(to.y()));
    const int steps = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
    const std::vector<int>& pattern = dashPattern(drawStyle);
    int period = 0;
    for (int run : pattern)
        period += run;
    const QRect limit = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : QRect();
    QPolygon points;
    for (int i = 0; i <= steps; ++i) {
        int phase = i % period;
        size_t run = 0;
        while (phase >= pattern[run]) {
            phase -= pattern[run];
            ++run;
        }
        if (run % 2 != 0)
            continue;   // an off run
        const QPoint p = steps == 0 ? a
                                    : QPoint(a.x() + static_cast<int>(std::lround(double(b.x() - a.x()) * i / steps)),
                                             a.y() + static_cast<int>(std::lround(double(b.y() - a.y()) * i / steps)));
        if (limit.isNull() || limit.contains(p))
            points.append(p);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (painter.paintEngine()->type() == QPaintEngine::Raster) {
        painter.setPen(QPen(colour, 1));
        painter.drawPoints(points);
        return;
    }
    // On paper a point is a line of no length, which a printing chain drops: each
    // dot is filled as the squares of its pixels, joined into one short dash along
    // a row or a column, so that it looks as on screen.
    QVector<QRect> dots;
    for (const QPoint& p : points)
        addDotPixel(dots, p);
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRects(dots);
    painter.setPen(pen);
    painter.setBrush(brush);
}

void executePaintOp(QPainter& painter, const PaintOp& op, const PaintContext& context)
{
    switch (op.kind) {
    case PaintOp::Kind::Line:
        painter.setRenderHint(QPainter::Antialiasing, context.antialiasLines);
        if (op.x1 == op.x2 && op.y1 == op.y2) {
            // A line to its own start point still sets that pixel.
            fillPixels(painter, op, op.penWidth);
            break;
        }
        if (op.penWidth == 1 && op.drawStyle != DrawStyle::Solid) {
            drawStyledLine(painter, QPointF(op.x1, op.y1), QPointF(op.x2, op.y2), QColor::fromRgb(op.colour),
                           op.drawStyle);
            break;
        }
        painter.setPen(opPen(op));
        painter.drawLine(QLineF(op.x1, op.y1, op.x2, op.y2));
        break;
    case PaintOp::Kind::Box:
    case PaintOp::Kind::FilledBox:
        painter.setRenderHint(QPainter::Antialiasing, context.antialiasLines);
        if (op.kind == PaintOp::Kind::FilledBox || op.x1 == op.x2 || op.y1 == op.y2) {
            // Filled, or so thin that the outline is all there is: the pixels
            // from corner to corner inclusive, widened by a wide pen.
            fillPixels(painter, op, op.penWidth);
        } else if (op.penWidth == 1 && op.drawStyle != DrawStyle::Solid) {
            const QRectF box = QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized();
            const QColor colour = QColor::fromRgb(op.colour);
            drawStyledLine(painter, box.topLeft(), box.topRight(), colour, op.drawStyle);
            drawStyledLine(painter, box.topRight(), box.bottomRight(), colour, op.drawStyle);
            drawStyledLine(painter, box.bottomRight(), box.bottomLeft(), colour, op.drawStyle);
            drawStyledLine(painter, box.bottomLeft(), box.topLeft(), colour, op.drawStyle);
        } else {
            painter.setPen(opPen(op));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized());
        }
        break;
    case PaintOp::Kind::Text: {
        const double s = op.textScale;
        const QPointF baseline(op.x1 / s, op.y1 / s);
        if (!op.shaped) {
            drawScaledText(painter, op, [&] { painter.drawText(baseline, op.text); });
            break;
        }
        // Shaped glyphs carry their font; only the colour and the scale are set.
        painter.setPen(QColor::fromRgb(op.colour));
        if (s != 1.0) {
            painter.save();
            painter.scale(s, s);
        }
        for (const QGlyphRun& run : op.shaped->runs)
            painter.drawGlyphRun(baseline, run);
        if (s != 1.0)
            painter.restore();
        break;
    }
    case PaintOp::Kind::TextInRect: {
        const double s = op.textScale;
        const QRectF rect(QPointF(op.x1 / s, op.y1 / s), QPointF(op.x2 / s, op.y2 / s));
        drawScaledText(painter, op, [&] { painter.drawText(rect, op.textFlags, op.text); });
        break;
    }
    case PaintOp::Kind::Image: {
        const QImage& image = pictureImage(op.picture);
        const double width = op.x2 - op.x1;
        const double height = op.y2 - op.y1;
        if (width >= 0 && height >= 0) {
            painter.drawImage(QRectF(op.x1, op.y1, width, height), image, op.source);
        } else {
            // A negative size mirrors the picture about its origin.
            painter.save();
            painter.translate(op.x1, op.y1);
            painter.scale(width < 0 ? -1.0 : 1.0, height < 0 ? -1.0 : 1.0);
            painter.drawImage(QRectF(0, 0, std::abs(width), std::abs(height)), image, op.source);
            painter.restore();
        }
        break;
    }
    case PaintOp::Kind::Clip: {
        const QRect rect(QPoint(static_cast<int>(op.x1), static_cast<int>(op.y1)),
                         QPoint(static_cast<int>(op.x2) - 1, static_cast<int>(op.y2) - 1));
        if (context.hasBaseClip) {
            painter.setClipRegion(context.baseClip);
            painter.setClipRect(rect, Qt::IntersectClip);
        } else {
            painter.setClipRect(rect);
        }
        break;
    }
    case PaintOp::Kind::NoClip:
        if (context.hasBaseClip)
            painter.setClipRegion(context.baseClip);
        else
            painter.setClipping(false);
        break;
    }
}

PainterSurface::PainterSurface(double twipsPerPixelX, double twipsPerPixelY)
    : m_twipsPerPixelX(twipsPerPixelX), m_twipsPerPixelY(twipsPerPixelY)
{
}

PainterSurface::~PainterSurface() = default;

int PainterSurface::dotsPerInch() const
{
    return static_cast<int>(std::lround(1440.0 / m_twipsPerPixelY));
}

void PainterSurface::resetState()
{
    m_foreColor = 0;
    m_backColor = 0xFFFFFF;
    m_textColor = 0;
    m_drawWidth = 1;
    m_drawStyle = 0;
    m_fontName = "ＭＳ Ｐゴシック";
    m_fontSize = 9.0;
    m_fontBold = false;
    m_fontItalic = false;
    m_font.reset();
    m_clip.reset();
    m_backdrop.reset();
    cls();
}

const Picture& PainterSurface::backdrop() const
{
    static const Picture none;
    return m_backdrop ? *m_backdrop : none;
}

void PainterSurface::setBackdrop(const Picture& picture)
{
    m_backdrop = std::make_unique<Picture>(picture);
    cls();
}

void PainterSurface::setBackColor(long colour)
{
    if (colour == m_backColor)
        return;
    m_backColor = colour;
    cls();
}

void PainterSurface::setDrawWidth(int pixels)
{
    if (pixels < 1 || pixels > 32767)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "Invalid property value");
    m_drawWidth = pixels;
}

void PainterSurface::setDrawStyle(int style)
{
    if (style < DrawStyle::Solid || style > DrawStyle::DashDotDot)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "Invalid property value");
    m_drawStyle = style;
}

void PainterSurface::setFontName(const std::string& name)
{
    if (name == m_fontName)
        return;
    m_fontName = name;
    m_font.reset();
}

void PainterSurface::setFontSize(double points)
{
    if (points == m_fontSize)
        return;
    m_fontSize = points;
    m_font.reset();
}

void PainterSurface::setFontBold(bool bold)
{
    if (bold == m_fontBold)
        return;
    m_fontBold = bold;
    m_font.reset();
}

void PainterSurface::setFontItalic(bool italic)
{
    if (italic == m_fontItalic)
        return;
    m_fontItalic = italic;
    m_font.reset();
}

const MeasuredFont& PainterSurface::measuredFont() const
{
    if (!m_font)
        m_font = sharedFont(m_fontName, m_fontSize, m_fontBold, m_fontItalic, dotsPerInch());
    return *m_font;
}

void PainterSurface::line(double x1, double y1, double x2, double y2, long colour, LineShape shape)
{
    PaintOp op;
    switch (shape) {
    case LineShape::Line: op.kind = PaintOp::Kind::Line; break;
    case LineShape::Box: op.kind = PaintOp::Kind::Box; break;
    case LineShape::FilledBox: op.kind = PaintOp::Kind::FilledBox; break;
    }
    op.colour = toQRgb(colour == UseForeColor ? m_foreColor : colour);
    op.penWidth = static_cast<unsigned short>(m_drawWidth);
    op.drawStyle = static_cast<unsigned char>(m_drawStyle);
    op.x1 = x1 / m_twipsPerPixelX;
    op.y1 = y1 / m_twipsPerPixelY;
    op.x2 = x2 / m_twipsPerPixelX;
    op.y2 = y2 / m_twipsPerPixelY;
    emitOp(std::move(op));
    m_currentX = x2;
    m_currentY = y2;
}

void PainterSurface::print(const std::string& text)
{
    const MeasuredFont& font = measuredFont();
    const std::vector<std::string> lines = splitAtLineFeeds(text);
    double x = m_currentX / m_twipsPerPixelX;
    double top = m_currentY / m_twipsPerPixelY;
    for (const std::string& lineText : lines) {
        if (!lineText.empty()) {
            PaintOp op;
            op.kind = PaintOp::Kind::Text;
            op.colour = toQRgb(m_foreColor);
            op.x1 = x;
            op.y1 = top + font.ascent;
            op.shaped = font.shapedLine(lineText);
            op.font = font.font;
            op.textScale = font.scale;
            emitOp(std::move(op));
        }
        // Later lines start at the left edge, as the Print statement does.
        x = 0.0;
        top += font.lineHeight;
    }
    m_currentX = 0.0;
    m_currentY += font.lineHeight * static_cast<double>(lines.size()) * m_twipsPerPixelY;
}

double PainterSurface::textWidth(const std::string& text) const
{
    const MeasuredFont& font = measuredFont();
    double widest = 0.0;
    for (const std::string& lineText : splitAtLineFeeds(text))
        widest = std::max(widest, font.lineAdvance(lineText));
    return widest * m_twipsPerPixelX;
}

double PainterSurface::textHeight(const std::string& text) const
{
    const MeasuredFont& font = measuredFont();
    const auto lines = static_cast<double>(std::count(text.begin(), text.end(), '\n') + 1);
    return font.lineHeight * lines * m_twipsPerPixelY;
}

void PainterSurface::cls()
{
    eraseAll(m_backColor);
    if (m_clip)
        emitClipState();
    if (m_backdrop && !m_backdrop->isEmpty())
        paintPicture(*m_backdrop, 0.0, 0.0);
    m_currentX = 0.0;
    m_currentY = 0.0;
}

void PainterSurface::paintPicture(const Picture& picture, double x, double y, double width,
                                  double height, double sourceX, double sourceY, double sourceWidth,
                                  double sourceHeight)
{
    if (picture.isEmpty())
        throw platform::RuntimeError(platform::err::InvalidPicture, "Invalid picture");
    // Pictures measure 15 twips per pixel of their own, whatever the target.
    constexpr double PictureTwipsPerPixel = 15.0;
    if (isOmitted(width))
        width = picture.widthTwips();
    if (isOmitted(height))
        height = picture.heightTwips();
    if (isOmitted(sourceX))
        sourceX = 0.0;
    if (isOmitted(sourceY))
        sourceY = 0.0;
    if (isOmitted(sourceWidth))
        sourceWidth = picture.widthTwips() - sourceX;
    if (isOmitted(sourceHeight))
        sourceHeight = picture.heightTwips() - sourceY;

    PaintOp op;
    op.kind = PaintOp::Kind::Image;
    op.picture = picture;
    op.x1 = x / m_twipsPerPixelX;
    op.y1 = y / m_twipsPerPixelY;
    op.x2 = (x + width) / m_twipsPerPixelX;
    op.y2 = (y + height) / m_twipsPerPixelY;
    op.source = QRectF(sourceX / PictureTwipsPerPixel, sourceY / PictureTwipsPerPixel,
                       sourceWidth / PictureTwipsPerPixel, sourceHeight / PictureTwipsPerPixel);
    emitOp(std::move(op));
}

void PainterSurface::drawText(const std::string& text, const PixelRect& rect, int format)
{
    constexpr int Center = 1, VerticalCenter = 4, SingleLine = 32;
    if ((format & ~(Center | VerticalCenter | SingleLine)) != 0)
        throw platform::RuntimeError(platform::err::InvalidCall,
                                     "Unsupported DrawText format " + std::to_string(format));
    int flags = Qt::AlignTop | Qt::AlignLeft;
    if (format & Center)
        flags = (flags & ~Qt::AlignLeft) | Qt::AlignHCenter;
    if (format & SingleLine) {
        flags |= Qt::TextSingleLine;
        // Vertical centring applies to single lines only, as DrawText defines it.
        if (format & VerticalCenter)
            flags = (flags & ~Qt::AlignTop) | Qt::AlignVCenter;
    }
    QString content;
    for (QChar c : QString::fromStdString(text)) {
        if (c != QLatin1Char('\r'))
            content.append(c);
    }
    if (flags & Qt::TextSingleLine)
        content.replace(QLatin1Char('\n'), QLatin1Char(' '));

    PaintOp op;
    op.kind = PaintOp::Kind::TextInRect;
    op.colour = toQRgb(m_textColor);
    op.x1 = rect.left;
    op.y1 = rect.top;
    op.x2 = rect.right;
    op.y2 = rect.bottom;
    op.textFlags = flags;
    op.text = content;
    op.font = measuredFont().font;
    op.textScale = measuredFont().scale;
    emitOp(std::move(op));
}

void PainterSurface::setClipRect(const PixelRect& rect)
{
    m_clip = rect;
    emitClipState();
}

void PainterSurface::clearClip()
{
    m_clip.reset();
    emitClipState();
}

void PainterSurface::emitClipState()
{
    PaintOp op;
    if (m_clip) {
        op.kind = PaintOp::Kind::Clip;
        op.x1 = m_clip->left;
        op.y1 = m_clip->top;
        op.x2 = m_clip->right;
        op.y2 = m_clip->bottom;
    } else {
        op.kind = PaintOp::Kind::NoClip;
    }
    emitOp(std::move(op));
}

} // namespace forms
