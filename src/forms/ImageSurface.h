#pragma once
// A drawing surface on an image in memory: 96 dpi (15 twips per pixel) unless
// another resolution is asked for. It keeps everything drawn, can be read back
// pixel by pixel (Point) and saved as a 24-bit BMP.

#include "forms/PainterSurface.h"
#include "forms/Picture.h"

#include <cstdint>
#include <memory>
#include <string>

class QImage;
class QPainter;

namespace forms {

class ImageSurface : public PainterSurface {
public:
    // Allocation failure raises RuntimeError 7.
    explicit ImageSurface(int widthPixels = 1, int heightPixels = 1, int dotsPerInch = 96);
    ~ImageSurface() override;
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    int widthPixels() const;
    int heightPixels() const;
    // Keeps the drawing at the top left; new area is filled with BackColor.
    // On failure (RuntimeError 7) the old image stays.
    void resizePixels(int widthPixels, int heightPixels);

    // The colour (&H00BBGGRR) of the pixel at (x, y) twips; -1 outside, as Point gives.
    long point(double x, double y) const;
    // The pixels as a picture (Image property); later drawing does not change it.
    Picture image() const;
    // SavePicture Image, path: a 24-bit BMP of exactly widthPixels x heightPixels.
    void savePicture(const std::string& path) const;

protected:
    int deviceWidth() const override;
    int deviceHeight() const override;
    void emitOp(PaintOp&& op) override;
    void eraseAll(long backColor) override;

    // Called before an image of this many bytes is allocated; may refuse with
    // RuntimeError 7.
    virtual void checkAllocation(int64_t bytes) const;

private:
    QPainter& painter();
    void finishPainting() const;

    std::unique_ptr<QImage> m_image;
    mutable std::unique_ptr<QPainter> m_painter;   // open while drawing goes on
    int m_dotsPerInch;
};

} // namespace forms
