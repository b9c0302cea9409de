#include "forms/ExportCanvas.h"

#include "forms/Colors.h"

#include "platform/Errors.h"

#include <cmath>
#include <limits>

namespace forms {

namespace {

int64_t& defaultCap()
{
    static int64_t cap = ExportCanvas::StandardMemoryCap;
    return cap;
}

// Pixels for a length in twips, rounded; lengths beyond any image raise 7.
int pixelsFor(double twips)
{
    const double pixels = std::round(twips / 15.0);
    if (!(pixels >= 0.0))
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "Invalid property value");
    if (pixels > std::numeric_limits<int>::max() / 4)
        throw platform::RuntimeError(platform::err::OutOfMemory, "Out of memory");
    return static_cast<int>(pixels);
}

} // namespace

ExportCanvas::ExportCanvas() : ImageSurface(1, 1), m_memoryCap(defaultCap())
{
    setBackColor(RGB(255, 255, 255));
}

int64_t ExportCanvas::defaultMemoryCap() { return defaultCap(); }
void ExportCanvas::setDefaultMemoryCap(int64_t bytes) { defaultCap() = bytes; }

void ExportCanvas::checkAllocation(int64_t bytes) const
{
    if (bytes > m_memoryCap)
        throw platform::RuntimeError(platform::err::OutOfMemory, "Out of memory");
}

void ExportCanvas::setWidth(double twips) { setSize(twips, m_height); }
void ExportCanvas::setHeight(double twips) { setSize(m_width, twips); }

void ExportCanvas::setSize(double widthTwips, double heightTwips)
{
    resizePixels(pixelsFor(widthTwips), pixelsFor(heightTwips));
    m_width = widthTwips;
    m_height = heightTwips;
}

} // namespace forms
