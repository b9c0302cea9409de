#include "printing/printing_state.h"

#include "platform/Conversions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace printing {

namespace {

// A page count: 1 + quotient. Kept as a real number, so that a count far beyond
// what a set-up accepts is seen as such rather than wrapping round.
double pagesAcross(double chartExtent, double pageExtent)
{
    const double quotient = std::trunc(nearestInt(chartExtent) / static_cast<double>(nearestInt(pageExtent)));
    return 1.0 + std::max(0.0, quotient);
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

PageSetupVerdict setupPageGrid(PageGrid& grid, const PageSetupInput& input)
{
    if (!(input.pageWidth >= MinPrintableTwips && input.pageHeight >= MinPrintableTwips))
        return PageSetupVerdict::NoPrintableArea;
    double left = 0;
    double top = 0;
    double pagesX = 1;
    double pagesY = 1;
    if (input.boxCount != 0) {
        left = input.extent.left - input.startXPercent / 100.0 * input.pageWidth;
        top = input.extent.top - input.startYPercent / 100.0 * input.pageHeight;
        pagesX = pagesAcross((input.extent.right - left) * input.scale, input.pageWidth);
        pagesY = pagesAcross((input.extent.bottom - top) * input.scale, input.pageHeight);
    }
    if (pagesX * pagesY > MaxPageCount)
        return PageSetupVerdict::TooManyPages;

    grid.PageH = input.pageHeight;
    grid.PageW = input.pageWidth;
    grid.PrevPageH = grid.PageH / PreviewDivisor;
    grid.PrevPageW = grid.PageW / PreviewDivisor;
    grid.OldPagesX = grid.PagesX;
    grid.OldPagesY = grid.PagesY;
    grid.PagesX = static_cast<int16_t>(pagesX);
    grid.PagesY = static_cast<int16_t>(pagesY);
    // -0.0 would print as "-0" in a test's message; the origin of an empty chart is 0.
    grid.OriginX = left == 0 ? 0.0 : -left * input.scale;
    grid.OriginY = top == 0 ? 0.0 : -top * input.scale;
    grid.PrevOriginX = grid.OriginX / PreviewDivisor;
    grid.PrevOriginY = grid.OriginY / PreviewDivisor;

    grid.PrevRgn = forms::PixelRect{0, 0, nearestInt(grid.PrevPageW / input.screenTwipsPerPixel),
                                    nearestInt(grid.PrevPageH / input.screenTwipsPerPixel)};
    grid.PageRgn = forms::PixelRect{0, 0, nearestInt(grid.PageW / input.printerTwipsPerPixelX),
                                    nearestInt(grid.PageH / input.printerTwipsPerPixelY)};
    return PageSetupVerdict::Made;
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
