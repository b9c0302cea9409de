#pragma once
// The one drawing-surface interface of the program. The chart's boxes, lines and
// captions are drawn through it whether they land on a picture box on screen, in
// the export image, on a preview page or on the printer, so there is one drawing
// path for all of them.
//
// Units: every position and size is in twips (Doubles) except where a name says
// px. A surface maps twips to its device pixels as floating point:
// px = twips / twipsPerPixel (15 on screen surfaces, 2.4 on a 600 dpi printer).
// Colours are 32-bit values &H00BBGGRR; a value with the high bit set names a
// system colour (see Colors.h).

#include <limits>
#include <string>

namespace forms {

class Picture;

// The B and BF suffixes of the Line statement.
enum class LineShape { Line, Box, FilledBox };

// A rectangle in device pixels; right and bottom are exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Formats accepted by Surface::drawText. Other bits raise RuntimeError 5.
namespace DrawTextFormat {
constexpr int TopLeft = 0;               // left/top; lines break only at LF
constexpr int CenteredSingleLine = 37;   // centred both ways, one line
}

// DrawStyle values.
namespace DrawStyle {
constexpr int Solid = 0;
constexpr int Dash = 1;
constexpr int Dot = 2;
constexpr int DashDot = 3;
constexpr int DashDotDot = 4;
}

// An argument of paintPicture left out: the picture's own size or origin is used.
inline constexpr double Omitted = std::numeric_limits<double>::quiet_NaN();

// Colour argument of line() meaning "the surface's ForeColor".
inline constexpr long UseForeColor = -1;

class Surface {
public:
    virtual ~Surface() = default;

    // Colours (&H00BBGGRR; read back exactly as set).
    virtual long foreColor() const = 0;
    virtual void setForeColor(long colour) = 0;
    virtual long backColor() const = 0;
    // Changing the back colour of a surface erases it: the drawing code sets the
    // back colour to start a clean page.
    virtual void setBackColor(long colour) = 0;

    // Pen width in device pixels, at least 1 (a smaller value raises RuntimeError 380).
    virtual int drawWidth() const = 0;
    virtual void setDrawWidth(int pixels) = 0;
    // 0 solid .. 4 dash-dot-dot (others raise 380). Patterns show only at width 1.
    virtual int drawStyle() const = 0;
    virtual void setDrawStyle(int style) = 0;

    // Font. The name is kept as given (Windows names are substituted only when
    // drawing); sizes are points, fractional sizes are kept, a size <= 0 draws at
    // 1 pt but reads back as set.
    virtual const std::string& fontName() const = 0;
    virtual void setFontName(const std::string& name) = 0;
    virtual double fontSize() const = 0;
    virtual void setFontSize(double points) = 0;
    virtual bool fontBold() const = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual bool fontItalic() const = 0;
    virtual void setFontItalic(bool italic) = 0;

    // Drawing position in twips.
    virtual double currentX() const = 0;
    virtual void setCurrentX(double twips) = 0;
    virtual double currentY() const = 0;
    virtual void setCurrentY(double twips) = 0;

    // Inner size in twips: client pixels x twipsPerPixel.
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;

    // Line (x1, y1)-(x2, y2)[, colour][, B|BF]. colour UseForeColor draws in
    // ForeColor. Leaves CurrentX/CurrentY at (x2, y2).
    virtual void line(double x1, double y1, double x2, double y2,
                      long colour = UseForeColor, LineShape shape = LineShape::Line) = 0;

    // Print: the top left of the text cell at CurrentX/CurrentY, in ForeColor,
    // transparent background. Then CurrentX = 0 and CurrentY += TextHeight(text).
    virtual void print(const std::string& text) = 0;

    // Extents in twips in the current font. TextHeight is ascent + descent; for
    // text with line breaks: the widest line, and lines x line height.
    virtual double textWidth(const std::string& text) const = 0;
    virtual double textHeight(const std::string& text) const = 0;

    // Fills with BackColor and sets CurrentX/CurrentY to 0. The clip stays.
    virtual void cls() = 0;

    // PaintPicture pic, x, y[, w, h[, sx, sy[, sw, sh]]]: stretches the source
    // part of the picture onto the destination; icons keep their transparency.
    // Omitted sizes take the picture's size, omitted source origin is 0.
    virtual void paintPicture(const Picture& picture, double x, double y,
                              double width = Omitted, double height = Omitted,
                              double sourceX = Omitted, double sourceY = Omitted,
                              double sourceWidth = Omitted, double sourceHeight = Omitted) = 0;

    // Device-context text: a colour of its own (black by default) and DrawText in
    // the current font into a pixel rectangle (see DrawTextFormat).
    virtual long textColor() const = 0;
    virtual void setTextColor(long colour) = 0;
    virtual void drawText(const std::string& text, const PixelRect& rect, int format) = 0;

    // Clip rectangle in device pixels. It stays until replaced or cleared; Cls keeps it.
    virtual void setClipRect(const PixelRect& rect) = 0;
    virtual void clearClip() = 0;
    virtual bool hasClip() const = 0;
};

} // namespace forms
