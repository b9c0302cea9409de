#pragma once
// A surface that records every drawing statement and property change with its
// arguments and passes it on to another surface (by default an image surface
// of its own), so tests can check both what was asked and what it drew.

#include "forms/Surface.h"

#include <memory>
#include <string>
#include <vector>

namespace forms {

class ImageSurface;

class RecordingSurface : public Surface {
public:
    struct Call {
        std::string name;              // "Line", "Print", "Cls", "PaintPicture", "DrawText", "ForeColor", ...
        std::vector<double> numbers;   // coordinates and sizes as passed (Omitted stays NaN)
        std::string text;              // Print/DrawText text, Line shape ("", "B", "BF"), font name, picture path
        long value = 0;                // colour used, format, width, style, bold/italic
    };

    // Records and draws into an image surface of its own of this pixel size.
    explicit RecordingSurface(int widthPixels = 640, int heightPixels = 480, int dotsPerInch = 96);
    // Records and forwards to target, which must outlive this object.
    explicit RecordingSurface(Surface& target);
    ~RecordingSurface() override;

    const std::vector<Call>& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    // The calls with this name, in order.
    std::vector<Call> callsNamed(const std::string& name) const;
    // The image surface of its own; null when forwarding to another target.
    ImageSurface* imageSurface() const { return m_ownImage.get(); }

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
    long textColor() const override;
    void setTextColor(long colour) override;
    void drawText(const std::string& text, const PixelRect& rect, int format) override;
    void setClipRect(const PixelRect& rect) override;
    void clearClip() override;
    bool hasClip() const override;

private:
    void record(std::string name, std::vector<double> numbers = {}, std::string text = {}, long value = 0);

    std::unique_ptr<ImageSurface> m_ownImage;
    Surface& m_target;
    std::vector<Call> m_calls;
};

} // namespace forms
