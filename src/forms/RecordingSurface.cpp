#include "forms/RecordingSurface.h"

#include "forms/ImageSurface.h"
#include "forms/Picture.h"

namespace forms {

RecordingSurface::RecordingSurface(int widthPixels, int heightPixels, int dotsPerInch)
    : m_ownImage(std::make_unique<ImageSurface>(widthPixels, heightPixels, dotsPerInch)),
      m_target(*m_ownImage)
{
}

RecordingSurface::RecordingSurface(Surface& target) : m_target(target) {}

RecordingSurface::~RecordingSurface() = default;

void RecordingSurface::record(std::string name, std::vector<double> numbers, std::string text, long value)
{
    m_calls.push_back(Call{std::move(name), std::move(numbers), std::move(text), value});
}

std::vector<RecordingSurface::Call> RecordingSurface::callsNamed(const std::string& name) const
{
    std::vector<Call> found;
    for (const Call& call : m_calls) {
        if (call.name == name)
            found.push_back(call);
    }
    return found;
}

long RecordingSurface::foreColor() const { return m_target.foreColor(); }
void RecordingSurface::setForeColor(long colour)
{
    record("ForeColor", {}, {}, colour);
    m_target.setForeColor(colour);
}
long RecordingSurface::backColor() const { return m_target.backColor(); }
void RecordingSurface::setBackColor(long colour)
{
    record("BackColor", {}, {}, colour);
    m_target.setBackColor(colour);
}
int RecordingSurface::drawWidth() const { return m_target.drawWidth(); }
void RecordingSurface::setDrawWidth(int pixels)
{
    record("DrawWidth", {}, {}, pixels);
    m_target.setDrawWidth(pixels);
}
int RecordingSurface::drawStyle() const { return m_target.drawStyle(); }
void RecordingSurface::setDrawStyle(int style)
{
    record("DrawStyle", {}, {}, style);
    m_target.setDrawStyle(style);
}
const std::string& RecordingSurface::fontName() const { return m_target.fontName(); }
void RecordingSurface::setFontName(const std::string& name)
{
    record("FontName", {}, name);
    m_target.setFontName(name);
}
double RecordingSurface::fontSize() const { return m_target.fontSize(); }
void RecordingSurface::setFontSize(double points)
{
    record("FontSize", {points});
    m_target.setFontSize(points);
}
bool RecordingSurface::fontBold() const { return m_target.fontBold(); }
void RecordingSurface::setFontBold(bool bold)
{
    record("FontBold", {}, {}, bold ? 1 : 0);
    m_target.setFontBold(bold);
}
bool RecordingSurface::fontItalic() const { return m_target.fontItalic(); }
void RecordingSurface::setFontItalic(bool italic)
{
    record("FontItalic", {}, {}, italic ? 1 : 0);
    m_target.setFontItalic(italic);
}
double RecordingSurface::currentX() const { return m_target.currentX(); }
void RecordingSurface::setCurrentX(double twips)
{
    record("CurrentX", {twips});
    m_target.setCurrentX(twips);
}
double RecordingSurface::currentY() const { return m_target.currentY(); }
void RecordingSurface::setCurrentY(double twips)
{
    record("CurrentY", {twips});
    m_target.setCurrentY(twips);
}
double RecordingSurface::scaleWidth() const { return m_target.scaleWidth(); }
double RecordingSurface::scaleHeight() const { return m_target.scaleHeight(); }
double RecordingSurface::twipsPerPixelX() const { return m_target.twipsPerPixelX(); }
double RecordingSurface::twipsPerPixelY() const { return m_target.twipsPerPixelY(); }

void RecordingSurface::line(double x1, double y1, double x2, double y2, long colour, LineShape shape)
{
    const char* suffix = shape == LineShape::Box ? "B" : shape == LineShape::FilledBox ? "BF" : "";
    record("Line", {x1, y1, x2, y2}, suffix, colour == UseForeColor ? m_target.foreColor() : colour);
    m_target.line(x1, y1, x2, y2, colour, shape);
}

void RecordingSurface::print(const std::string& text)
{
    record("Print", {m_target.currentX(), m_target.currentY()}, text, m_target.foreColor());
    m_target.print(text);
}

double RecordingSurface::textWidth(const std::string& text) const { return m_target.textWidth(text); }
double RecordingSurface::textHeight(const std::string& text) const { return m_target.textHeight(text); }

void RecordingSurface::cls()
{
    record("Cls", {}, {}, m_target.backColor());
    m_target.cls();
}

void RecordingSurface::paintPicture(const Picture& picture, double x, double y, double width,
                                    double height, double sourceX, double sourceY, double sourceWidth,
                                    double sourceHeight)
{
    record("PaintPicture", {x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight},
           picture.sourcePath());
    m_target.paintPicture(picture, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight);
}

long RecordingSurface::textColor() const { return m_target.textColor(); }
void RecordingSurface::setTextColor(long colour)
{
    record("SetTextColor", {}, {}, colour);
    m_target.setTextColor(colour);
}

void RecordingSurface::drawText(const std::string& text, const PixelRect& rect, int format)
{
    record("DrawText",
           {double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)}, text, format);
    m_target.drawText(text, rect, format);
}

void RecordingSurface::setClipRect(const PixelRect& rect)
{
    record("SelectClipRgn",
           {double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)});
    m_target.setClipRect(rect);
}

void RecordingSurface::clearClip()
{
    record("SelectClipRgn");
    m_target.clearClip();
}

bool RecordingSurface::hasClip() const { return m_target.hasClip(); }

} // namespace forms
