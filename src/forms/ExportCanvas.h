#pragma once
// The off-screen canvas of the picture export: an image surface sized in twips
// (Width / 15 x Height / 15 pixels, white by default) whose image is saved as a
// BMP. A size whose image would exceed the memory cap, or whose allocation
// fails, raises RuntimeError 7 and leaves the previous size and drawing intact,
// so the caller can report it and shrink the canvas again.

#include "forms/ImageSurface.h"

#include <cstdint>

namespace forms {

class ExportCanvas : public ImageSurface {
public:
    static constexpr int64_t StandardMemoryCap = int64_t(1) << 30;   // 1 GiB

    ExportCanvas();

    // Geometry in twips; a read returns exactly the value set.
    double width() const { return m_width; }
    void setWidth(double twips);
    double height() const { return m_height; }
    void setHeight(double twips);
    void setSize(double widthTwips, double heightTwips);

    // Largest image in bytes (4 per pixel) this canvas accepts.
    void setMemoryCap(int64_t bytes) { m_memoryCap = bytes; }
    // The cap new canvases start with (StandardMemoryCap unless changed).
    static int64_t defaultMemoryCap();
    static void setDefaultMemoryCap(int64_t bytes);

protected:
    void checkAllocation(int64_t bytes) const override;

private:
    double m_width = 15.0;
    double m_height = 15.0;
    int64_t m_memoryCap;
};

} // namespace forms
