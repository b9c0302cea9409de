#pragma once
// The Surface state and drawing statements implemented once on top of QPainter.
// Subclasses only say where the operations go: straight onto an image or a
// printer page, or into a display list replayed later. Positions are mapped
// from twips to device pixels as floating point, px = twips / twipsPerPixel.

#include "forms/Surface.h"

#include <memory>
#include <optional>
#include <string>

namespace forms {

struct PaintOp;
struct MeasuredFont;

class PainterSurface : public Surface {
public:
    ~PainterSurface() override;

    long foreColor() const override { return m_foreColor; }
    void setForeColor(long colour) override { m_foreColor = colour; }
    long backColor() const override { return m_backColor; }
    void setBackColor(long colour) override;

    int drawWidth() const override { return m_drawWidth; }
    void setDrawWidth(int pixels) override;
    int drawStyle() const override { return m_drawStyle; }
    void setDrawStyle(int style) override;

    const std::string& fontName() const override { return m_fontName; }
    void setFontName(const std::string& name) override;
    double fontSize() const override { return m_fontSize; }
    void setFontSize(double points) override;
    bool fontBold() const override { return m_fontBold; }
    void setFontBold(bool bold) override;
    bool fontItalic() const override { return m_fontItalic; }
    void setFontItalic(bool italic) override;

    double currentX() const override { return m_currentX; }
    void setCurrentX(double twips) override { m_currentX = twips; }
    double currentY() const override { return m_currentY; }
    void setCurrentY(double twips) override { m_currentY = twips; }

    double scaleWidth() const override { return deviceWidth() * m_twipsPerPixelX; }
    double scaleHeight() const override { return deviceHeight() * m_twipsPerPixelY; }
    double twipsPerPixelX() const override { return m_twipsPerPixelX; }
    double twipsPerPixelY() const override { return m_twipsPerPixelY; }

    void line(double x1, double y1, double x2, double y2,
              long colour = UseForeColor, LineShape shape = LineShape::Line) override;
    void print(const std::string& text) override;
    double textWidth(const std::string& text) const override;
    double textHeight(const std::string& text) const override;
    void cls() override;
    void paintPicture(const Picture& picture, double x, double y,
                      double width = Omitted, double height = Omitted,
                      double sourceX = Omitted, double sourceY = Omitted,
                      double sourceWidth = Omitted, double sourceHeight = Omitted) override;

    long textColor() const override { return m_textColor; }
    void setTextColor(long colour) override { m_textColor = colour; }
    void drawText(const std::string& text, const PixelRect& rect, int format) override;

    void setClipRect(const PixelRect& rect) override;
    void clearClip() override;
    bool hasClip() const override { return m_clip.has_value(); }
    std::optional<PixelRect> clipRect() const { return m_clip; }

    // Back to a new surface's state (colours, pen, font, position, clip, no
    // backdrop), erased.
    void resetState();

    // Pixels per inch the fonts are measured and drawn at (1440 / twipsPerPixel).
    int dotsPerInch() const;

    // A picture that Cls puts back at the top left at its natural size (the
    // Picture property of a picture box). Setting it clears the surface to it.
    const Picture& backdrop() const;
    void setBackdrop(const Picture& picture);

protected:
    PainterSurface(double twipsPerPixelX, double twipsPerPixelY);

    // Size of the drawing area in device pixels.
    virtual int deviceWidth() const = 0;
    virtual int deviceHeight() const = 0;
    // Receives every drawing operation, in device pixels.
    virtual void emitOp(PaintOp&& op) = 0;
    // Erases the whole area to the back colour (the clip does not limit it).
    virtual void eraseAll(long backColor) = 0;

    // The font of the current Font properties, measured at dotsPerInch().
    const MeasuredFont& measuredFont() const;

private:
    void emitClipState();

    double m_twipsPerPixelX;
    double m_twipsPerPixelY;
    long m_foreColor = 0;
    long m_backColor = 0xFFFFFF;
    long m_textColor = 0;
    int m_drawWidth = 1;
    int m_drawStyle = 0;
    std::string m_fontName = "ＭＳ Ｐゴシック";
    double m_fontSize = 9.0;
    bool m_fontBold = false;
    bool m_fontItalic = false;
    double m_currentX = 0.0;
    double m_currentY = 0.0;
    std::optional<PixelRect> m_clip;
    std::unique_ptr<Picture> m_backdrop;
    mutable std::shared_ptr<const MeasuredFont> m_font;   // built on first use after a change
};

} // namespace forms
