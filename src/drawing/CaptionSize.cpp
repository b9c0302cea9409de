#include "drawing/CaptionSize.h"

#include <array>
#include <cstddef>

namespace drawing {

namespace {

// A ladder: the size of row 0 is firstSize, each next row one point more; a
// measure allows the size of the last row whose threshold (twips) it reaches.
template <size_t N>
struct Ladder {
    int16_t firstSize;
    std::array<double, N> from;

    int16_t sizeFor(double measure) const
    {
        int16_t size = firstSize;
        for (size_t i = 0; i < N; ++i) {
            if (measure >= from[i])
                size = static_cast<int16_t>(firstSize + i);
        }
        return size;
    }
};

// Horizontal writing, sizes 2..56.
constexpr Ladder<55> HorizontalByCharWidth{
    2, {0,   75,  90,  120, 135, 150, 179, 195, 210, 240, 255, 270, 300, 315, 330, 360, 375, 390, 420,
        435, 450, 480, 495, 510, 540, 560, 575, 600, 615, 630, 660, 675, 690, 725, 740, 750, 780,
        795, 810, 840, 855, 870, 900, 915, 930, 960, 975, 990, 1020, 1035, 1050, 1080, 1095, 1110, 1140}};
constexpr Ladder<55> HorizontalByHeight{
    2, {0,   120, 140, 160, 180, 200, 220, 240, 250, 275, 295, 315, 335, 345, 360, 380, 395, 405, 425,
        440, 455, 500, 520, 540, 570, 590, 610, 625, 640, 650, 680, 695, 715, 745, 765, 780, 800,
        815, 830, 845, 860, 880, 905, 920, 935, 950, 965, 985, 1000, 1015, 1040, 1065, 1095, 1110, 1130}};

// Vertical writing, sizes 1..46.
constexpr Ladder<46> VerticalByWidth{
    1, {0,   80,  90,  130, 150, 155, 170, 210, 240, 270, 290, 310, 330, 350, 360, 380,
        400, 420, 440, 460, 480, 500, 520, 540, 550, 560, 570, 590, 610, 625, 640, 660,
        680, 700, 720, 740, 760, 780, 800, 820, 840, 860, 880, 900, 920, 940}};
constexpr Ladder<46> VerticalByCharHeight{
    1, {0,   52,  67,  83,  114, 132, 146, 176, 190, 206, 233, 249, 263, 293, 309, 323,
        353, 369, 383, 412, 426, 443, 476, 503, 510, 528, 547, 561, 591, 605, 620, 651,
        665, 682, 708, 725, 740, 768, 785, 800, 828, 842, 862, 885, 902, 917}};

// Every threshold above the one before: a missing entry would show as a zero.
template <size_t N>
constexpr bool isRising(const Ladder<N>& ladder)
{
    for (size_t i = 1; i < N; ++i) {
        if (!(ladder.from[i] > ladder.from[i - 1]))
            return false;
    }
    return true;
}
static_assert(isRising(HorizontalByCharWidth) && isRising(HorizontalByHeight));
static_assert(isRising(VerticalByWidth) && isRising(VerticalByCharHeight));

int16_t smaller(int16_t a, int16_t b) { return a < b ? a : b; }

} // namespace

CaptionSizing& captionSizing()
{
    static CaptionSizing sizing;
    return sizing;
}

void Calc_TextSizeH()
{
    CaptionSizing& c = captionSizing();
    if (c.lbl_len <= 0)
        return;
    const double charWidth = c.Label_BoxW / static_cast<double>(c.lbl_len);
    c.Label_FontSize = smaller(HorizontalByCharWidth.sizeFor(charWidth), HorizontalByHeight.sizeFor(c.Label_BoxH));
}

void Calc_TextSizeV()
{
    CaptionSizing& c = captionSizing();
    if (c.lbl_len <= 0)
        return;
    const double charHeight = c.Label_BoxH / static_cast<double>(c.lbl_len);
    c.Label_FontSize = smaller(VerticalByWidth.sizeFor(c.Label_BoxW), VerticalByCharHeight.sizeFor(charHeight));
}

} // namespace drawing
