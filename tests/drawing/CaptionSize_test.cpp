// Caption text sizes.

#include "drawing/CaptionSize.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using drawing::captionSizing;

struct SizeCase {
    bool vertical;
    int16_t length;
    double w;
    double h;
    int16_t size;
};
std::ostream& operator<<(std::ostream& os, const SizeCase& c)
{
    return os << (c.vertical ? "V " : "H ") << c.length << " chars in " << c.w << " x " << c.h;
}

int16_t sizeFor(bool vertical, int16_t length, double w, double h)
{
    drawing::CaptionSizing& c = captionSizing();
    c.lbl_len = length;
    c.Label_BoxW = w;
    c.Label_BoxH = h;
    c.Label_FontSize = -99;
    vertical ? drawing::Calc_TextSizeV() : drawing::Calc_TextSizeH();
    return c.Label_FontSize;
}

class CaptionSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(CaptionSize, TakesTheSmallerSizeOfTheTwoLadders)
{
    const SizeCase& c = GetParam();
    EXPECT_EQ(sizeFor(c.vertical, c.length, c.w, c.h), c.size);
}

INSTANTIATE_TEST_SUITE_P(, CaptionSize,
    ::testing::Values(
        SizeCase{false, 4, 612, 163.2, 5},      // per character 153 allows 7, height 5
        SizeCase{false, 1, 1140, 1130, 56},     // exactly on the top thresholds
        SizeCase{false, 1, 1139.9, 1130, 55},
        SizeCase{false, 1, 1140, 1129.9, 55},
        SizeCase{false, 2, 358, 2000, 8},       // 179 per character allows 8
        SizeCase{false, 2, 357.9, 2000, 7},     // just below it, 7
        SizeCase{false, 10, 0, 0, 2},           // never below 2
        SizeCase{false, 1, 100000, 100000, 56}, // never above 56
        SizeCase{true, 2, 163.2, 612, 6},       // width allows 6, 306 per character 14
        SizeCase{true, 1, 940, 917, 46},
        SizeCase{true, 1, 939, 917, 45},
        SizeCase{true, 4, 2000, 332, 4},        // 83 per character allows 4
        SizeCase{true, 10, 0, 0, 1},
        SizeCase{true, 1, 100000, 100000, 46}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(CaptionSizeEmpty, LeavesThePreviousSize)
{
    EXPECT_EQ(sizeFor(false, 4, 612, 163.2), 5);
    captionSizing().lbl_len = 0;
    drawing::Calc_TextSizeH();
    EXPECT_EQ(captionSizing().Label_FontSize, 5);
    captionSizing().lbl_len = -1;
    drawing::Calc_TextSizeV();
    EXPECT_EQ(captionSizing().Label_FontSize, 5);
}

// Over a sweep of boxes: a larger box never gives a smaller size, a longer
// caption never a larger one.
TEST(CaptionSizeSweep, GrowsWithTheBoxAndShrinksWithTheText)
{
    for (const bool vertical : {false, true}) {
        for (int16_t length = 1; length <= 12; ++length) {
            int16_t previous = 0;
            for (double side = 0; side <= 3000; side += 7.5) {
                const double w = vertical ? side / 4 : side;
                const double h = vertical ? side : side / 4;
                const int16_t size = sizeFor(vertical, length, w, h);
                ASSERT_GE(size, previous) << (vertical ? "V " : "H ") << length << " at " << side;
                ASSERT_LE(sizeFor(vertical, static_cast<int16_t>(length + 1), w, h), size);
                previous = size;
            }
        }
    }
}

} // namespace
