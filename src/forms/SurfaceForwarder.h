#pragma once
// A Surface that passes every call on to a drawing surface it holds; the base
// of the controls and chart elements that are drawing surfaces (picture boxes,
// the chart's person boxes). drawingSurface() is asked for the target before
// each call, so a control can bring the target up to date with its own
// properties (size, font) first.

#include "forms/Surface.h"

#include <string>

namespace forms {

class SurfaceForwarder : public Surface {
public:
    long foreColor() const override;
    void setForeColor(long colour) override;
    long backColor() const override;
    void setBackColor(long colour) override;
    int drawWidth() const override;
    void setDrawWidth(int pixels) override;
    int drawStyle() const override;
    void setDrawStyle(int style) override;
    const std::string& fontName() const override;
    void setFontName(const std::string& name) override;
    double fontSize() const override;
    void setFontSize(double points) override;
    bool fontBold() const override;
    void setFontBold(bool bold) override;
    bool fontItalic() const override;
    void setFontItalic(bool italic) override;
    double currentX() const override;
    void setCurrentX(double twips) override;
    double currentY() const override;
    void setCurrentY(double twips) override;
    double scaleWidth() const override;
    double scaleHeight() const override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    void line(double x1, double y1, double x2, double y2, long colour = UseForeColor,
        LineShape shape = LineShape::Line) override;
    void print(const std::string& text) override;
    double textWidth(const std::string& text) const override;
    double textHeight(const std::string& text) const override;
    void cls() override;
    void paintPicture(const Picture& picture, double x, double y, double width = Omitted,
        double height = Omitted, double sourceX = Omitted, double sourceY = Omitted,
        double sourceWidth = Omitted, double sourceHeight = Omitted) override;
    long textColor() const override;
    void setTextColor(long colour) override;
    void drawText(const std::string& text, const PixelRect& rect, int format) override;
    void setClipRect(const PixelRect& rect) override;
    void clearClip() override;
    bool hasClip() const override;

protected:
    virtual Surface& drawingSurface() = 0;
    const Surface& drawingSurface() const { return const_cast<SurfaceForwarder*>(this)->drawingSurface(); }

private:
    Surface& s() { return drawingSurface(); }
    const Surface& s() const { return drawingSurface(); }
};

} // namespace forms
