#include "forms/SurfaceForwarder.h"

namespace forms {

long SurfaceForwarder::foreColor() const
{
    return s().foreColor();
}

void SurfaceForwarder::setForeColor(long colour)
{
    s().setForeColor(colour);
}

long SurfaceForwarder::backColor() const
{
    return s().backColor();
}

void SurfaceForwarder::setBackColor(long colour)
{
    s().setBackColor(colour);
}

int SurfaceForwarder::drawWidth() const
{
    return s().drawWidth();
}

void SurfaceForwarder::setDrawWidth(int pixels)
{
    s().setDrawWidth(pixels);
}

int SurfaceForwarder::drawStyle() const
{
    return s().drawStyle();
}

void SurfaceForwarder::setDrawStyle(int style)
{
    s().setDrawStyle(style);
}

const std::string& SurfaceForwarder::fontName() const
{
    return s().fontName();
}

void SurfaceForwarder::setFontName(const std::string& name)
{
    s().setFontName(name);
}

double SurfaceForwarder::fontSize() const
{
    return s().fontSize();
}

void SurfaceForwarder::setFontSize(double points)
{
    s().setFontSize(points);
}

bool SurfaceForwarder::fontBold() const
{
    return s().fontBold();
}

void SurfaceForwarder::setFontBold(bool bold)
{
    s().setFontBold(bold);
}

bool SurfaceForwarder::fontItalic() const
{
    return s().fontItalic();
}

void SurfaceForwarder::setFontItalic(bool italic)
{
    s().setFontItalic(italic);
}

double SurfaceForwarder::currentX() const
{
    return s().currentX();
}

void SurfaceForwarder::setCurrentX(double twips)
{
    s().setCurrentX(twips);
}

double SurfaceForwarder::currentY() const
{
    return s().currentY();
}

void SurfaceForwarder::setCurrentY(double twips)
{
    s().setCurrentY(twips);
}

double SurfaceForwarder::scaleWidth() const
{
    return s().scaleWidth();
}

double SurfaceForwarder::scaleHeight() const
{
    return s().scaleHeight();
}

double SurfaceForwarder::twipsPerPixelX() const
{
    return s().twipsPerPixelX();
}

double SurfaceForwarder::twipsPerPixelY() const
{
    return s().twipsPerPixelY();
}

void SurfaceForwarder::line(double x1, double y1, double x2, double y2, long colour, LineShape shape)
{
    s().line(x1, y1, x2, y2, colour, shape);
}

void SurfaceForwarder::print(const std::string& text)
{
    s().print(text);
}

double SurfaceForwarder::textWidth(const std::string& text) const
{
    return s().textWidth(text);
}

double SurfaceForwarder::textHeight(const std::string& text) const
{
    return s().textHeight(text);
}

void SurfaceForwarder::cls()
{
    s().cls();
}

void SurfaceForwarder::paintPicture(const Picture& picture, double x, double y, double width, double height,
    double sourceX, double sourceY, double sourceWidth, double sourceHeight)
{
    s().paintPicture(picture, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight);
}

long SurfaceForwarder::textColor() const
{
    return s().textColor();
}

void SurfaceForwarder::setTextColor(long colour)
{
    s().setTextColor(colour);
}

void SurfaceForwarder::drawText(const std::string& text, const PixelRect& rect, int format)
{
    s().drawText(text, rect, format);
}

void SurfaceForwarder::setClipRect(const PixelRect& rect)
{
    s().setClipRect(rect);
}

void SurfaceForwarder::clearClip()
{
    s().clearClip();
}

bool SurfaceForwarder::hasClip() const
{
    return s().hasClip();
}

} // namespace forms
