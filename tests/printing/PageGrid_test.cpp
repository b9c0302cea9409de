// The page set-up without a window: page counts from the chart extent, the
// origins with and without a start position, the clip regions, the coordinate
// clamp and the scroll range.

#include "printing/printing_state.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

using printing::PageGrid;
using printing::PageSetupInput;

constexpr double PageW = 11000;
constexpr double PageH = 16000;

drawing::BoxRec box(double left, double top, double right, double bottom)
{
    drawing::BoxRec b;
    b.Left = left;
    b.Top = top;
    b.Right = right;
    b.Bottom = bottom;
    return b;
}

PageSetupInput input(double scale, double left, double top, double right, double bottom)
{
    PageSetupInput in;
    in.pageWidth = PageW;
    in.pageHeight = PageH;
    in.printerTwipsPerPixelX = 2.4;
    in.printerTwipsPerPixelY = 2.4;
    in.scale = scale;
    in.boxCount = 1;
    in.extent = printing::chartExtent({box(left, top, right, bottom)}, 1);
    return in;
}

TEST(ChartExtent, EveryCornerOfEveryBoxWidensTheExtent)
{
    // The second box is stored right-to-left and bottom-to-top: its Right still
    // lowers the left edge and its Top still raises the bottom edge.
    const std::vector<drawing::BoxRec> boxes = {box(500, 700, 900, 1000), box(2000, 3000, 100, 50),
                                                box(-99, -99, 99999, 99999)};
    const printing::ChartExtent e = printing::chartExtent(boxes, 2);
    EXPECT_EQ(e.left, 100);
    EXPECT_EQ(e.top, 50);
    EXPECT_EQ(e.right, 2000);
    EXPECT_EQ(e.bottom, 3000);
}

TEST(PageGrid, EmptyChartIsOnePageAtOriginWhateverTheStartPosition)
{
    PageGrid grid;
    PageSetupInput in = input(2.0, 5000, 5000, 90000, 90000);
    in.boxCount = 0;
    in.startXPercent = 50;
    in.startYPercent = 100;
    printing::setupPageGrid(grid, in);
    EXPECT_EQ(grid.PagesX, 1);
    EXPECT_EQ(grid.PagesY, 1);
    EXPECT_EQ(grid.OriginX, 0);
    EXPECT_EQ(grid.OriginY, 0);
    EXPECT_EQ(grid.PrevPageW, PageW / 8);
    EXPECT_EQ(grid.PrevPageH, PageH / 8);
}

struct PagesCase {
    const char* name;
    double scale;
    double chartWidth;
    int pagesAcross;
};

void PrintTo(const PagesCase& c, std::ostream* os)
{
    *os << c.name;
}

class PagesAcross : public ::testing::TestWithParam<PagesCase> {};

TEST_P(PagesAcross, AreOnePlusTheWholePagesTheScaledChartSpans)
{
    const PagesCase& c = GetParam();
    PageGrid grid;
    printing::setupPageGrid(grid, input(c.scale, 1000, 0, 1000 + c.chartWidth, 100));
    EXPECT_EQ(grid.PagesX, c.pagesAcross);
    EXPECT_EQ(grid.PagesY, 1);
}

INSTANTIATE_TEST_SUITE_P(Widths, PagesAcross,
                         ::testing::Values(PagesCase{"narrower", 1.0, PageW - 1, 1},
                                           PagesCase{"exactlyOnePage", 1.0, PageW, 2},
                                           PagesCase{"exactlyOnePageAtHalfScale", 0.5, 2 * PageW, 2},
                                           PagesCase{"twoAndABit", 1.0, 2.5 * PageW, 3},
                                           PagesCase{"scaledUp", 4.0, PageW, 5}),
                         [](const auto& info) { return info.param.name; });

TEST(PageGrid, StartPositionShiftsTheChartByTheScaledShare)
{
    // 50 % at a scale of 50 %: on paper the chart begins a quarter page in.
    PageGrid grid;
    PageSetupInput in = input(0.5, 4000, 6000, 8000, 9000);
    in.startXPercent = 50;
    in.startYPercent = 50;
    printing::setupPageGrid(grid, in);
    EXPECT_DOUBLE_EQ(4000 * 0.5 + grid.OriginX, PageW / 4);
    EXPECT_DOUBLE_EQ(6000 * 0.5 + grid.OriginY, PageH / 4);
    EXPECT_DOUBLE_EQ(grid.PrevOriginX, grid.OriginX / 8);
}

TEST(PageGrid, OldCountsHoldThePreviousSetUp)
{
    PageGrid grid;
    printing::setupPageGrid(grid, input(1.0, 0, 0, 2.5 * PageW, 1.5 * PageH));
    ASSERT_EQ(grid.PagesX, 3);
    ASSERT_EQ(grid.PagesY, 2);
    printing::setupPageGrid(grid, input(1.0, 0, 0, 100, 100));
    EXPECT_EQ(grid.OldPagesX, 3);
    EXPECT_EQ(grid.OldPagesY, 2);
    EXPECT_EQ(grid.pageCount(), 1);
}

TEST(PageGrid, RegionsCoverOnePageInDevicePixels)
{
    PageGrid grid;
    printing::setupPageGrid(grid, input(1.0, 0, 0, 100, 100));
    EXPECT_EQ(grid.PageRgn.right, 4583);   // 11000 / 2.4, to the nearest pixel
    EXPECT_EQ(grid.PageRgn.bottom, 6667);
    EXPECT_EQ(grid.PrevRgn.right, 92);     // 1375 twips on a 15-twips screen
    EXPECT_EQ(grid.PrevRgn.bottom, 133);
}

TEST(PageGrid, PrinterWithoutAnInchToPrintOnIsRefused)
{
    PageGrid grid;
    PageSetupInput in = input(1.0, 0, 0, 50000, 50000);
    in.pageWidth = 0;
    in.pageHeight = 0.4;
    EXPECT_EQ(printing::setupPageGrid(grid, in), printing::PageSetupVerdict::NoPrintableArea);
    EXPECT_EQ(grid.PageW, 0);   // left as it was
    in.pageWidth = 1439.9;
    in.pageHeight = PageH;
    EXPECT_EQ(printing::setupPageGrid(grid, in), printing::PageSetupVerdict::NoPrintableArea);
    in.pageWidth = 1440;
    EXPECT_EQ(printing::setupPageGrid(grid, in), printing::PageSetupVerdict::Made);
    EXPECT_EQ(grid.PagesX, 35);
}

TEST(PageGrid, MoreThanTwoThousandPagesAreRefusedAndLeaveTheGridAlone)
{
    PageGrid grid;
    ASSERT_EQ(printing::setupPageGrid(grid, input(1.0, 0, 0, 100, 100)), printing::PageSetupVerdict::Made);
    EXPECT_EQ(printing::setupPageGrid(grid, input(5.0, 0, 0, 1e9, 100)), printing::PageSetupVerdict::TooManyPages);
    EXPECT_EQ(grid.PagesX, 1);
    EXPECT_EQ(grid.OldPagesX, 1);
    // 40 x 50 pages is the most; 29 x 69 is one page more.
    EXPECT_EQ(printing::setupPageGrid(grid, input(1.0, 0, 0, 39.5 * PageW, 49.5 * PageH)),
              printing::PageSetupVerdict::Made);
    EXPECT_EQ(grid.pageCount(), 2000);
    EXPECT_EQ(printing::setupPageGrid(grid, input(1.0, 0, 0, 28.5 * PageW, 68.5 * PageH)),
              printing::PageSetupVerdict::TooManyPages);
    EXPECT_EQ(grid.pageCount(), 2000);
}

struct ClampCase {
    const char* name;
    double pageW;
    double pageH;
    double value;
    double expected;
};

void PrintTo(const ClampCase& c, std::ostream* os)
{
    *os << c.name;
}

class CoordinateClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(CoordinateClamp, KeepsPrinterCoordinatesWithinTheDeviceRange)
{
    const ClampCase& c = GetParam();
    PageGrid grid;
    grid.PageW = c.pageW;
    grid.PageH = c.pageH;
    EXPECT_EQ(printing::CvR(grid, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CoordinateClamp,
    ::testing::Values(ClampCase{"inside", PageW, PageH, 131055, 131055},
                      ClampCase{"atLimit", PageW, PageH, 131056, 131056},
                      ClampCase{"above", PageW, PageH, 500000, 131056},
                      ClampCase{"below", PageW, PageH, -500000, -131056},
                      ClampCase{"negativeInside", PageW, PageH, -131055.5, -131055.5},
                      ClampCase{"hugePageWidth", 131056, PageH, 500000, 500000},
                      ClampCase{"hugePageHeight", PageW, 200000, -500000, -500000}),
    [](const auto& info) { return info.param.name; });

TEST(ScrollRange, IsTheExcessInStepsPlusOneWithinTheScrollBarRange)
{
    EXPECT_EQ(printing::scrollMax(10000, 9000), 11);
    EXPECT_EQ(printing::scrollMax(9050, 9000), 2);   // 1.5 goes to 2
    EXPECT_EQ(printing::scrollMax(9150, 9000), 2);   // 2.5 goes to 2
    EXPECT_EQ(printing::scrollMax(1e9, 9000), 32767);
}

TEST(PageGrid, PagePicturesSitInAGridWithGaps)
{
    PageGrid grid;
    printing::setupPageGrid(grid, input(1.0, 0, 0, 100, 100));
    EXPECT_EQ(printing::pageLeft(grid, 1), 150);
    EXPECT_EQ(printing::pageLeft(grid, 3), 150 + 2 * (PageW / 8 + 150));
    EXPECT_EQ(printing::pageTop(grid, 2), 100 + PageH / 8 + 100);
}

} // namespace
