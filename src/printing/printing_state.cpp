#include "printing/printing_state.h"

#include "platform/Conversions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace printing {

namespace {

// A page count as the 16-bit form variable holds it: 1 + quotient, where an
// empty page size cannot divide (a printer reporting no printable area gives one
// page rather than a division by zero) and a count beyond the 16-bit range stops
// at its top rather than wrapping round to a negative count.
int16_t pagesAcross(double chartExtent, double pageExtent)
{
    const double page = nearestInt(pageExtent);
    if (page <= 0)
        return 1;
    const double quotient = std::trunc(nearestInt(chartExtent) / page);
    const double pages = 1.0 + std::max(0.0, quotient);
    return static_cast<int16_t>(std::min(pages, static_cast<double>(std::numeric_limits<int16_t>::max())));
}

} // namespace

int32_t nearestInt(double value)
{
    const double rounded = platform::roundHalfEven(value);
    if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(rounded);
}

double boxValue(const std::string& text)
{
    return platform::Val(text);
}

ChartExtent chartExtent(const std::vector<drawing::BoxRec>& boxes, int count)
{
    ChartExtent extent;
    const int last = std::min(count, static_cast<int>(boxes.size()));
    for (int i = 0; i < last; ++i) {
        const drawing::BoxRec& box = boxes[static_cast<size_t>(i)];
        for (double x : {box.Left, box.Right}) {
            extent.left = std::min(extent.left, x);
            extent.right = std::max(extent.right, x);
        }
        for (double y : {box.Top, box.Bottom}) {
            extent.top = std::min(extent.top, y);
            extent.bottom = std::max(extent.bottom, y);
        }
    }
    return extent;
}

void setupPageGrid(PageGrid& grid, const PageSetupInput& input)
{
    grid.PageH = input.pageHeight;
    grid.PageW = input.pageWidth;
    grid.PrevPageH = grid.PageH / PreviewDivisor;
    grid.PrevPageW = grid.PageW / PreviewDivisor;
    grid.OldPagesX = grid.PagesX;
    grid.OldPagesY = grid.PagesY;

    double left = 0;
    double top = 0;
    if (input.boxCount != 0) {
        left = input.extent.left - input.startXPercent / 100.0 * grid.PageW;
        top = input.extent.top - input.startYPercent / 100.0 * grid.PageH;
        grid.PagesX = pagesAcross((input.extent.right - left) * input.scale, grid.PageW);
        grid.PagesY = pagesAcross((input.extent.bottom - top) * input.scale, grid.PageH);
    } else {
        grid.PagesX = 1;
        grid.PagesY = 1;
    }
    // -0.0 would print as "-0" in a test's message; the origin of an empty chart is 0.
    grid.OriginX = left == 0 ? 0.0 : -left * input.scale;
    grid.OriginY = top == 0 ? 0.0 : -top * input.scale;
    grid.PrevOriginX = grid.OriginX / PreviewDivisor;
    grid.PrevOriginY = grid.OriginY / PreviewDivisor;

    grid.PrevRgn = forms::PixelRect{0, 0, nearestInt(grid.PrevPageW / input.screenTwipsPerPixel),
                                    nearestInt(grid.PrevPageH / input.screenTwipsPerPixel)};
    grid.PageRgn = forms::PixelRect{0, 0, nearestInt(grid.PageW / input.printerTwipsPerPixelX),
                                    nearestInt(grid.PageH / input.printerTwipsPerPixelY)};
}

double CvR(const PageGrid& grid, double value)
{
    if (grid.PageH >= CoordinateLimit || grid.PageW >= CoordinateLimit)
        return value;
    if (value >= CoordinateLimit)
        return CoordinateLimit;
    if (value <= -CoordinateLimit)
        return -CoordinateLimit;
    return value;
}

double pageLeft(const PageGrid& grid, int col)
{
    return grid.PageGapX + (col - 1) * (grid.PrevPageW + grid.PageGapX);
}

double pageTop(const PageGrid& grid, int row)
{
    return grid.PageGapY + (row - 1) * (grid.PrevPageH + grid.PageGapY);
}

int scrollMax(double canvasExtent, double viewportExtent)
{
    const int32_t max = nearestInt((canvasExtent - viewportExtent) / ScrollStep + 1);
    return std::clamp(max, 0, MaxScrollValue);
}

} // namespace printing
