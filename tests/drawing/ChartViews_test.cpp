// The chart views on the canvas: sizing of the canvas and the scroll bars from the
// measured chart, the origin, scroll positions across a redraw, and the all-trees
// view with its lineage-group arrangement.

#include "ChartRebuildFixture.h"

#include "drawing/ChartRebuild.h"
#include "drawing/ChartViews.h"
#include "layout/ChartMetrics.h"
#include "layout/TemporaryTransforms.h"
#include "platform/Conversions.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace {

using drawing_test::ChartRebuildFixture;
using drawing_test::Element;

class ChartViewTest : public ChartRebuildFixture {
protected:
    // A couple with sons: one tree whose width grows with the sons.
    void coupleWithSons(int sons)
    {
        const int16_t kou = family.couple();
        for (int i = 0; i < sons; ++i)
            family.child(kou, family.person(Male));
    }

    // The single-tree view's extent of tree 0, from a measuring pass of its own.
    static double measuredWidth()
    {
        const layout::TemporaryTransforms transforms;
        drawing::drawTreePass(0, 0, chart().label_dy * 1.4, drawing::MeasuringPass);
        return drawing::drawState().Chart_MaxX + 3 * chart().margin_x;
    }

    double leftmostBox() const
    {
        double left = 1e18;
        for (const Element& e : shown("DPic"))
            left = std::min(left, e.left - 15);
        return left;
    }
};

struct SizingCase {
    const char* name;
    double viewportMinusChart; // viewport width - the chart's measured width
    bool scrolls;
    double expectedOrigin;     // chart origin x - the centred x (or, scrolling, the margin)
};

void PrintTo(const SizingCase& c, std::ostream* os)
{
    *os << c.name;
}

class ChartSizingTest : public ChartViewTest, public ::testing::WithParamInterface<SizingCase> {};

TEST_P(ChartSizingTest, CanvasAndScrollBarFollowTheMeasuredChart)
{
    const SizingCase& c = GetParam();
    coupleWithSons(3);
    drawing::Build_Keizu(0);
    const double width = measuredWidth();
    form.Picture2.setWidth(width + c.viewportMinusChart);
    const double viewport = form.Picture2.width();

    drawing::Build_Keizu(0);

    const double margin = chart().margin_x;
    EXPECT_EQ(form.HScroll1.isVisible(), c.scrolls);
    if (c.scrolls) {
        EXPECT_EQ(form.HScroll1.max(), platform::CInt(width - viewport));
        EXPECT_EQ(chart().Scroll_ScaleX, 1.0);
        EXPECT_DOUBLE_EQ(form.Picture1.width(), width);
        EXPECT_DOUBLE_EQ(chart().View_OriginX, margin + c.expectedOrigin);
    } else {
        EXPECT_DOUBLE_EQ(form.Picture1.width(), viewport);
        EXPECT_DOUBLE_EQ(chart().View_OriginX, (viewport - width) / 2 + c.expectedOrigin);
    }
    // The person boxes start at the origin: the sons' row is the widest.
    EXPECT_NEAR(leftmostBox(), chart().View_OriginX, 1e-6);
}

const SizingCase sizingCases[] = {
    {"CentredWithRoom", 4000, false, 0},
    {"CentredOneMarginFurtherWhenLessThanAMarginIsLeft", 200, false, 163.2},
    {"ScrollsFromTheLeftMargin", -3000, true, 0},
};

INSTANTIATE_TEST_SUITE_P(Sizing, ChartSizingTest, ::testing::ValuesIn(sizingCases),
                         [](const ::testing::TestParamInfo<SizingCase>& info) { return info.param.name; });

// A span beyond the scroll bar's 32767 steps is scaled: the last step shows the
// chart's right edge at the viewport's right edge.
TEST_F(ChartViewTest, LongSpanIsScaledOntoTheScrollBar)
{
    coupleWithSons(12);
    layout::setZoomPercent(500);
    drawing::Build_Keizu(0);
    const double span = form.Picture1.width() - form.Picture2.width();
    ASSERT_GT(span, 40000);

    EXPECT_EQ(form.HScroll1.max(), 32767);
    EXPECT_DOUBLE_EQ(chart().Scroll_ScaleX, span / 32767);
    form.HScroll1.setValue(32767);
    EXPECT_NEAR(form.Picture1.left() + form.Picture1.width(), form.Picture2.width(), 1e-6);
}

// The scroll position survives a rebuild, clamped to the new range, and a bar that
// goes takes the canvas back to 0.
TEST_F(ChartViewTest, ScrollPositionSurvivesARebuildClampedToTheNewRange)
{
    coupleWithSons(20);
    drawing::Build_Keizu(0);
    ASSERT_GT(form.HScroll1.max(), 3000);
    form.HScroll1.setValue(3000);
    form.VScroll1.setValue(form.VScroll1.isVisible() ? form.VScroll1.max() : 0);

    drawing::Build_Keizu(0);
    EXPECT_EQ(form.HScroll1.value(), 3000);
    EXPECT_DOUBLE_EQ(form.Picture1.left(), -3000);

    form.Picture2.setWidth(form.Picture1.width() - 1000);
    drawing::Build_Keizu(0);
    EXPECT_EQ(form.HScroll1.value(), form.HScroll1.max());
    EXPECT_EQ(form.HScroll1.max(), 1000);

    form.Picture2.setWidth(form.Picture1.width() + 1000);
    drawing::Build_Keizu(0);
    EXPECT_FALSE(form.HScroll1.isVisible());
    EXPECT_EQ(form.HScroll1.value(), 0);
    EXPECT_DOUBLE_EQ(form.Picture1.left(), 0);
}

// Only the drawing pass's elements stay: the canvas holds exactly what one drawing
// pass at the view's origin places.
TEST_F(ChartViewTest, MeasuringPassLeavesNoElementBehind)
{
    coupleWithSons(4);
    drawing::Build_Keizu(0);
    const std::vector<Element> viewed = shown("Line1");
    const size_t elements = form.Picture1.elementCount();

    const layout::TemporaryTransforms transforms;
    layout::Unload_ChartCtl();
    drawing::drawTreePass(0, chart().View_OriginX, chart().View_OriginY, drawing::DrawingPass);
    EXPECT_EQ(form.Picture1.elementCount(), elements);
    const std::vector<Element> drawn = shown("Line1");
    ASSERT_EQ(viewed.size(), drawn.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(viewed[i].x1, drawn[i].x1);
        EXPECT_EQ(viewed[i].y1, drawn[i].y1);
    }
}

// --- The all-trees view: tree 0 holds three generations (top row 49), tree 1 is an
// --- unconnected couple (row 51). ---

struct ArrangementCase {
    const char* name;
    int groupTree;    // tree whose leader heads a lineage group, -1 none
    double offset;    // the group's generation offset
    int16_t visible;  // the group's visibility (-1 shown)
    int16_t rows[2];  // expected Tree_FirstRow of trees 0 and 1
};

void PrintTo(const ArrangementCase& c, std::ostream* os)
{
    *os << c.name;
}

class AllTreesViewTest : public ChartViewTest, public ::testing::WithParamInterface<ArrangementCase> {};

TEST_P(AllTreesViewTest, TreesStandSideBySideAlignedByGeneration)
{
    const ArrangementCase& c = GetParam();
    const int16_t grandparents = family.couple();
    const int16_t father = family.person(Male);
    family.child(grandparents, father);
    const int16_t parents = family.marry(father, family.person(Female));
    const int16_t son = family.person(Male);
    family.child(parents, son);
    marriage(family.marry(son, family.person(Female))).dsp_start = 1;
    const int16_t other = family.couple();
    const int16_t leaders[2] = {marriage(grandparents).kou_titi, marriage(other).kou_titi};
    if (c.groupTree != -1) {
        model::tables().GrpTitleList = {{"組", c.visible, leaders[c.groupTree], c.offset}};
        model::tables().GrpTitleCount = 0;
    }
    drawing::Build_Keizu(0);
    ASSERT_EQ(chart().tree_cnt, 2);

    drawing::Redisp_Keizu();

    const double step = chart().gen_gap_a + chart().gen_gap_b + chart().box_h / 2;
    double right[2] = {0, 0};
    for (int16_t t = 0; t < 2; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(chart().Tree_FirstRow[static_cast<size_t>(t)], c.rows[t]);
        const bool visible = c.groupTree != t || c.visible == -1;
        EXPECT_EQ(chart().Tree_Shown[static_cast<size_t>(t)], visible ? 1 : 0);
        const std::set<int16_t> persons = personsOfTree(t);
        double top = 1e18;
        double left = 1e18;
        bool drawn = false;
        for (const Element& e : shown("DPic")) {
            if (persons.count(drawing::drawState().Label12_Per.at(static_cast<size_t>(e.index))) == 0)
                continue;
            drawn = true;
            top = std::min(top, e.top - 15);
            left = std::min(left, e.left);
            right[t] = std::max(right[t], e.left + e.width);
        }
        EXPECT_EQ(drawn, visible);
        if (visible) {
            EXPECT_NEAR(top, chart().label_dy * 1.4 + chart().margin_y + c.rows[t] * step, 1e-6);
        }
        if (visible && t == 1 && c.groupTree == -1) {
            EXPECT_GT(left, right[0]); // side by side, tree 1 right of tree 0
        }
    }
    EXPECT_LE(std::max(right[0], right[1]), form.Picture1.width());
    EXPECT_EQ(chart().shownTree, -1);
}

const ArrangementCase arrangementCases[] = {
    {"FirstRowsRelativeToTheHighestTree", -1, 0, -1, {0, 2}},
    {"GroupOffsetMovesItsTreeAndNoneGoesAboveTheTop", 0, -4, -1, {0, 6}},
    {"GroupTabFirstStillDrawsEachTreeAtItsOwnRow", 1, 0, -1, {0, 2}},
    {"HiddenGroupTreeIsLeftOut", 1, 0, 0, {0, 2}},
};

INSTANTIATE_TEST_SUITE_P(Arrangement, AllTreesViewTest, ::testing::ValuesIn(arrangementCases),
                         [](const ::testing::TestParamInfo<ArrangementCase>& info) { return info.param.name; });

// Recording the all-trees view fills the drawing lists and leaves the canvas alone.
TEST_F(ChartViewTest, RecordedAllTreesViewLeavesTheCanvasAsItWas)
{
    family.couple();
    family.couple();
    drawing::Build_Keizu(0);
    const size_t elements = form.Picture1.elementCount();

    drawing::drawState().Draw_ToBuf = -1;
    drawing::Redisp_Keizu();
    drawing::drawState().Draw_ToBuf = 0;

    int names = 0;
    for (const drawing::TextRec& t : drawing::drawState().text_buf)
        names += t.PerIdx != 0;
    EXPECT_EQ(names, 4);
    EXPECT_TRUE(form.Picture1.isVisible());
    EXPECT_EQ(form.Picture1.elementCount(), elements);
}

} // namespace
