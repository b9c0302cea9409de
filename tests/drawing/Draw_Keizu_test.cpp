// The drawing walk over laid-out families: where cells, descending lines and child
// rows land (100 % zoom, horizontal writing, twips), how start cells are found, and
// what the walk leaves in the grid.

#include "ChartDrawFixture.h"

#include "model/settings.h"
#include "model/tables.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

using drawing_test::ChartDrawFixture;
using drawing_test::Element;
using ::testing::DoubleNear;
using ::testing::Pointwise;

class DrawKeizuTest : public ChartDrawFixture {
protected:
    // 1+2 with the given number of unmarried sons 3, 4, ...
    int16_t coupleWithSons(int sons)
    {
        const int16_t kou = family.couple();
        for (int i = 0; i < sons; ++i)
            family.child(kou, family.person(Male));
        layouttest::layOut(kou);
        return kou;
    }

    static layout::cell_rec& cell(int row, int col)
    {
        return layout::chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
    }

    // The boxes' left edges on the chart (the placers hand boxes over 15 twips in).
    std::vector<double> boxLefts(double top) const
    {
        std::vector<double> lefts;
        for (const Element& e : shown("DPic")) {
            if (std::abs(e.top - 15 - top) < 0.01)
                lefts.push_back(e.left - 15);
        }
        std::sort(lefts.begin(), lefts.end());
        return lefts;
    }
};

// The line from under the couple mark down to the sibling bar of its children.
std::optional<Element> verticalLineAt(const std::vector<Element>& lines, double x, double y1)
{
    for (const Element& e : lines) {
        if (std::abs(e.x1 - x) < 0.01 && std::abs(e.x2 - x) < 0.01 && std::abs(e.y1 - y1) < 0.01)
            return e;
    }
    return std::nullopt;
}

TEST_F(DrawKeizuTest, CoupleWithTwoSonsDescendsFromUnderTheMarkToTheSiblingBar)
{
    coupleWithSons(2);
    showTree(0, 0, 0);

    // cx = 2284.8 / 2; the line starts 50 twips below the boxes' middle and reaches
    // one pixel past the bar on screen.
    const std::optional<Element> line = verticalLineAt(shown("Line1"), 1142.4, 294.8);
    ASSERT_TRUE(line.has_value());
    EXPECT_NEAR(line->y2, 749.4, 1e-9);
    // The sons' row starts at gen_step, centred under the couple: 0 and 979.2 + 326.4.
    EXPECT_THAT(boxLefts(1224), Pointwise(DoubleNear(1e-6), std::vector<double>{0, 1305.6}));
    EXPECT_NEAR(draw().Draw_MaxX, 2284.8, 1e-9);
    EXPECT_NEAR(draw().Draw_MaxY, 1224 + 489.6 + 1.4 * 163.2, 1e-9);

    // Recorded, the same line stops at the bar itself.
    recordTree(0, 0, 0);
    const auto& lines = draw().line_buf;
    const auto descending = std::find_if(lines.begin(), lines.end(), [](const drawing::LineRec& r) {
        return std::abs(r.X1 - 1142.4) < 0.01 && std::abs(r.Y1 - 294.8) < 0.01;
    });
    ASSERT_NE(descending, lines.end());
    EXPECT_NEAR(descending->Y2, 734.4, 1e-9);
}

TEST_F(DrawKeizuTest, ChildRowWiderThanTheCoupleStartsAtTheParentsX)
{
    coupleWithSons(3);
    showTree(0, 0, 0);
    // tree_w 3590.4: the couple is centred at 1795.2 and the three sons fill the width.
    EXPECT_THAT(boxLefts(0), Pointwise(DoubleNear(1e-6), std::vector<double>{1795.2 - 1142.4, 1795.2 + 163.2}));
    EXPECT_THAT(boxLefts(1224), Pointwise(DoubleNear(1e-6), std::vector<double>{0, 1305.6, 2611.2}));
    EXPECT_TRUE(verticalLineAt(shown("Line1"), 1795.2, 294.8).has_value());
}

TEST_F(DrawKeizuTest, MeasuringPassGivesTheDrawingPassExtentWithoutBoxesMarksOrCaptions)
{
    const int16_t kou = coupleWithSons(2);
    model::tables().kou_buf[static_cast<size_t>(kou)].kou_title = "山田家";
    layout::Unload_ChartCtl();
    drawPass(0, 300, 400, drawing::MeasuringPass);
    const double measuredX = draw().Draw_MaxX;
    const double measuredY = draw().Draw_MaxY;
    // Nothing is placed, not even the walk's own lines and the caption frames.
    for (const char* array : {"DPic", "Label11", "Label12", "Label13", "Image1", "Line1", "Line7"})
        EXPECT_TRUE(shown(array).empty()) << array;

    layout::Unload_ChartCtl();
    EXPECT_EQ(placedElements(), 0u);
    drawPass(0, 300, 400, drawing::DrawingPass);
    EXPECT_EQ(draw().Draw_MaxX, measuredX);
    EXPECT_EQ(draw().Draw_MaxY, measuredY);
    EXPECT_EQ(draw().Chart_MaxX, measuredX);
    EXPECT_EQ(shown("DPic").size(), 4u);
    EXPECT_EQ(shown("Label11").size(), 1u);
    EXPECT_EQ(shown("Label13").size(), 1u);
}

TEST_F(DrawKeizuTest, StartCellWithABloodMemberGetsNoLineToTheCanvasCorner)
{
    coupleWithSons(0);
    cell(51, 0).mark6 = cell(51, 0).per_a;
    showTree(0, 0, 0);
    for (const Element& line : shown("Line1")) {
        EXPECT_FALSE(line.x2 == -1 && line.y2 == -1) << line.x1 << "," << line.y1;
        EXPECT_GE(std::min(line.x1, line.x2), 0);
    }
}

TEST_F(DrawKeizuTest, SingleParentLineLeavesTheBottomOfTheBox)
{
    const int16_t mother = family.person(Female);
    const int16_t kou = family.marry(model::BlankPartner, mother);
    family.child(kou, family.person(Male));
    layouttest::layOut(kou);
    showTree(0, 0, 0);
    // One box, no couple mark between partners; the line drops from the box's bottom.
    EXPECT_EQ(shown("DPic").size(), 2u);
    const double cx = cell(51, 0).tree_w / 2;
    const std::optional<Element> line = verticalLineAt(shown("Line1"), cx, 489.6);
    ASSERT_TRUE(line.has_value());
    EXPECT_NEAR(line->y2, 749.4, 1e-9);
}

TEST_F(DrawKeizuTest, TreeOfRelationsOnlyIsDrawnAndItsGroupOfOneEndsAtTheLastMark)
{
    const int16_t man = family.person(Male);
    const int16_t woman = family.person(Female);
    const int16_t kou = family.marry(man, woman, 1);
    layouttest::layOut(kou);
    ASSERT_EQ(cell(51, 0).cell_mode, 1);
    showTree(0, 0, 0);
    EXPECT_EQ(shown("DPic").size(), 2u);
    EXPECT_EQ(cell(51, 0).edge_f, 2);
    EXPECT_EQ(cell(51, 0).done_f, -2);
}

TEST_F(DrawKeizuTest, MarriageGroupIsDrawnSideBySideWithItsEdgesMarked)
{
    // Man 1 married to 2 with a relation to 4, each with a child.
    const int16_t man = family.person(Male);
    const int16_t wife = family.person(Female);
    const int16_t main = family.marry(man, wife);
    family.child(main, family.person(Male));
    const int16_t partner = family.person(Female);
    const int16_t relation = family.marry(man, partner, 1, 1);
    family.child(relation, family.person(Female), 1);
    layouttest::layOut(main);
    showTree(0, 0, 0);

    EXPECT_EQ(cell(51, 0).edge_f, 1);
    EXPECT_EQ(cell(51, 1).edge_f, 2);
    // The shared man stands once, in the main marriage; the relation shows its partner.
    std::vector<int16_t> persons;
    for (const Element& box : shown("DPic"))
        persons.push_back(personOf(box));
    std::sort(persons.begin(), persons.end());
    EXPECT_EQ(persons, (std::vector<int16_t>{1, 2, 3, 4, 5}));
    // The relation's dotted tie runs at mid-box height from its gap to the left edge
    // of the shared man's box in the next cell.
    double manLeft = -1;
    for (const Element& box : shown("DPic")) {
        if (personOf(box) == man)
            manLeft = box.left - 15;
    }
    const auto ties = shown("Line7");
    ASSERT_EQ(ties.size(), 1u);
    EXPECT_NEAR(ties[0].y1, 244.8, 1e-9);
    EXPECT_NEAR(ties[0].x1, 979.2 + 326.4, 1e-9);
    EXPECT_NEAR(ties[0].x2, manLeft, 1e-9);
}

struct TabCase {
    const char* name;
    int16_t tabTree;     // tree number in tab row 0
    int16_t expectedWife; // the wife of the couple at the top of the tree drawn
};

class DrawKeizuTabs : public DrawKeizuTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(DrawKeizuTabs, LineageGroupTabsNameTheTreeDrawn)
{
    // Two unconnected couples: trees 0 and 1.
    const int16_t first = family.couple();
    family.couple();
    layouttest::layOut(first);
    model::tables().tab_grp_f = 1;
    layout::chart().tab_buf[0].tree_no = GetParam().tabTree;
    showTree(0, 0, 0);
    std::vector<int16_t> persons;
    for (const Element& box : shown("DPic"))
        persons.push_back(personOf(box));
    ASSERT_EQ(persons.size(), 2u);
    EXPECT_EQ(*std::max_element(persons.begin(), persons.end()), GetParam().expectedWife);
}

INSTANTIATE_TEST_SUITE_P(Tabs, DrawKeizuTabs,
                         ::testing::Values(TabCase{"TabOfTreeOne", 1, 4}, TabCase{"TabWithoutTree", -1, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawKeizuTest, TabIndexBeyondTheTabTableDrawsNothing)
{
    coupleWithSons(1);
    model::tables().tab_grp_f = 1;
    showTree(5000, 100, 200);
    EXPECT_EQ(placedElements(), 0u);
    EXPECT_EQ(draw().Draw_MaxX, 100);
    EXPECT_EQ(draw().Draw_MaxY, 200);
}

TEST_F(DrawKeizuTest, ExtentStartsAtTheOriginAndMinXAtTheViewportWidth)
{
    coupleWithSons(1);
    form.Picture1.setWidth(20000);
    drawPass(0, 500, 700, drawing::MeasuringPass);
    EXPECT_GE(draw().Draw_MaxX, 500 + 2284.8);
    // The single son is centred under the couple: its row starts right of the origin.
    EXPECT_NEAR(draw().Draw_MinX, 500 + 1142.4 - 489.6, 1e-9);
}

} // namespace
