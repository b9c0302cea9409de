// One cell of the grid drawn: where the boxes, icons, couple mark and family title
// of a couple land, what a reference cell, a relation with the blank partner and a
// placeholder partner show. Twips at 100 % zoom, horizontal writing.

#include "ChartDrawFixture.h"

#include "drawing/Draw_CoupleCell.h"
#include "model/settings.h"
#include "model/tables.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>

namespace {

using drawing_test::ChartDrawFixture;
using drawing_test::Element;
using ::testing::DoubleNear;
using ::testing::Pointwise;

class DrawCoupleCellTest : public ChartDrawFixture {
protected:
    static layout::cell_rec& cell(int row, int col)
    {
        return layout::chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
    }

    // Left edges of the name-box records, by person.
    static std::vector<double> nameBoxXs()
    {
        std::vector<std::pair<int16_t, double>> boxes;
        for (int16_t i = 0; i < draw().text_cnt; ++i) {
            const drawing::TextRec& t = draw().text_buf[static_cast<size_t>(i)];
            if (t.PerIdx != 0)
                boxes.emplace_back(t.PerIdx, t.X);
        }
        std::sort(boxes.begin(), boxes.end());
        std::vector<double> xs;
        for (const auto& b : boxes)
            xs.push_back(b.second);
        return xs;
    }

    static std::vector<drawing::BoxRec> boxRecords(int16_t markF, int16_t iconF)
    {
        std::vector<drawing::BoxRec> result;
        for (int16_t i = 0; i < draw().box_cnt; ++i) {
            const drawing::BoxRec& b = draw().box_buf[static_cast<size_t>(i)];
            if (b.MarkF == markF && b.IconF == iconF)
                result.push_back(b);
        }
        return result;
    }
};

struct CoupleCase {
    const char* name;
    int16_t icons;
    double right;                  // the cell's right end (and the extent)
    std::vector<double> boxXs;     // husband, wife
    double markX;
    std::vector<double> iconXs;    // snapped to the 15-twip grid, one step right
};

class CoupleGeometry : public DrawCoupleCellTest, public ::testing::WithParamInterface<CoupleCase> {};

TEST_P(CoupleGeometry, CoupleIsLaidOutLeftToRightRoundItsCentre)
{
    const CoupleCase& c = GetParam();
    model::settings().Dispmode_Icon = c.icons;
    const int16_t kou = family.couple();
    model::tables().kou_buf[static_cast<size_t>(kou)].kou_title = "山田家";
    for (int16_t p : {int16_t{1}, int16_t{2}})
        model::tables().per_buf[static_cast<size_t>(p)].Picture_index = 0;
    layouttest::layOut(kou);

    recordTree(0, 0, 0);
    EXPECT_NEAR(draw().Draw_MaxX, c.right, 1e-9);
    EXPECT_THAT(nameBoxXs(), Pointwise(DoubleNear(1e-9), c.boxXs));
    const auto marks = boxRecords(-1, 0);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_NEAR(marks[0].Left, c.markX, 1e-9);
    std::vector<double> iconXs;
    for (const drawing::BoxRec& b : boxRecords(0, -1))
        iconXs.push_back(b.Left);
    EXPECT_THAT(iconXs, Pointwise(DoubleNear(1e-9), c.iconXs));
    // The family title is centred on the gap between the boxes, 1.5 captions above them.
    const auto title = std::find_if(draw().text_buf.begin(), draw().text_buf.end(),
                                    [](const drawing::TextRec& t) { return t.Text == "山田家"; });
    ASSERT_NE(title, draw().text_buf.end());
    EXPECT_NEAR(title->X, c.markX + 163.2 - 306, 1e-9);
    EXPECT_NEAR(title->Y, -1.5 * 163.2, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Couples, CoupleGeometry,
                         ::testing::Values(CoupleCase{"WithoutIcons", 0, 2284.8, {0, 1305.6}, 979.2, {}},
                                           CoupleCase{"WithIcons", 1, 3284.8, {500, 1805.6}, 1479.2, {15, 2805}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawCoupleCellTest, ReferenceCellWithoutMarriageShowsOnlyItsBloodMember)
{
    const int16_t kou = family.couple();
    layouttest::layOut(kou);
    cell(51, 0).kou_no = -1;
    cell(51, 0).mark6 = cell(51, 0).per_b;
    layout::Unload_ChartCtl();
    draw().Draw_Enable = drawing::DrawingPass;
    const double right = drawing::Draw_CoupleCell(1000, 0, 51, 0, -1.0, -1.0);
    const auto boxes = shown("DPic");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(personOf(boxes[0]), cell(51, 0).per_b);
    EXPECT_NEAR(boxes[0].left - 15, 1000 - 489.6, 1e-9);
    EXPECT_NEAR(right, 1000 + 489.6, 1e-9);
    EXPECT_TRUE(shown("Label11").empty());
}

struct BlankCase {
    const char* name;
    bool afterWalk;       // the cell has been drawn in its marriage group since the layout
    std::size_t dotted;   // the tie line, and the line across the blank box's place
};

class BlankPartnerRelation : public DrawCoupleCellTest, public ::testing::WithParamInterface<BlankCase> {};

TEST_P(BlankPartnerRelation, BlankPartnerGetsNoBoxAndItsPlaceIsDottedOnlyBeforeTheGroupIsDrawn)
{
    const int16_t man = family.person(Male);
    const int16_t wife = family.person(Female);
    const int16_t main = family.marry(man, wife);
    family.marry(man, model::BlankPartner, 1, 1);
    layouttest::layOut(main);
    ASSERT_EQ(cell(51, 0).mark12, model::BlankPartner);
    ASSERT_EQ(cell(51, 0).line_type, 0);

    if (GetParam().afterWalk)
        drawPass(0, 0, 0, drawing::DrawingPass);
    layout::Unload_ChartCtl();
    draw().Draw_Enable = drawing::DrawingPass;
    const double cx = cell(51, 0).tree_w / 2;
    drawing::Draw_CoupleCell(cx, 0, 51, 0, -1.0, -1.0);

    EXPECT_TRUE(shown("DPic").empty());
    EXPECT_EQ(shown("Label11").size(), 1u);
    const auto dotted = shown("Line7");
    ASSERT_EQ(dotted.size(), GetParam().dotted);
    for (const Element& line : dotted)
        EXPECT_NEAR(line.y1, 244.8, 1e-9); // at mid-box height
    if (GetParam().dotted == 2) {
        // From the cell's left edge across the box's place.
        EXPECT_NEAR(dotted[1].x1, cx - (979.2 + 326.4) / 2, 1e-9);
        EXPECT_NEAR(dotted[1].x2 - dotted[1].x1, 979.2, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Blank, BlankPartnerRelation,
                         ::testing::Values(BlankCase{"FreshFromTheLayout", false, 2}, BlankCase{"DrawnInItsGroup", true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PlaceholderCase {
    const char* name;
    int16_t kouMode;
    std::size_t frameLines;      // dotted frame round the "unknown" husband's box
    std::size_t nameBoxRecords;  // name boxes counting for the recorded extent
};

class PlaceholderPartner : public DrawCoupleCellTest, public ::testing::WithParamInterface<PlaceholderCase> {};

TEST_P(PlaceholderPartner, UnknownPartnerIsFramedOnlyInAPlaceholderMarriage)
{
    const PlaceholderCase& c = GetParam();
    const int16_t man = family.person(Male);
    model::tables().per_buf[static_cast<size_t>(man)].Name = "unknown";
    const int16_t kou = family.marry(man, family.person(Female), c.kouMode);
    layouttest::layOut(kou);

    showTree(0, 0, 0);
    const auto frame = shown("Line7");
    ASSERT_EQ(frame.size(), c.frameLines);
    if (c.frameLines == 4) {
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (const Element& line : frame) {
            left = std::min({left, line.x1, line.x2});
            right = std::max({right, line.x1, line.x2});
            top = std::min({top, line.y1, line.y2});
            bottom = std::max({bottom, line.y1, line.y2});
        }
        EXPECT_THAT((std::vector<double>{left, top, right, bottom}),
                    Pointwise(DoubleNear(1e-9), std::vector<double>{0, 0, 979.2, 489.6}));
    }

    recordTree(0, 0, 0);
    std::size_t nameBoxes = 0;
    for (const drawing::BoxRec& b : boxRecords(0, 0))
        nameBoxes += b.PersonF == 0 ? 1 : 0;
    EXPECT_EQ(nameBoxes, c.nameBoxRecords);
    EXPECT_EQ(draw().text_cnt, 3); // two name records and the title
}

INSTANTIATE_TEST_SUITE_P(Placeholder, PlaceholderPartner,
                         ::testing::Values(PlaceholderCase{"MainMarriage", 0, 0, 2},
                                           PlaceholderCase{"PlaceholderMarriage", 2, 4, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DropCase {
    const char* name;
    int16_t kouMode;
    const char* tag;  // "1": a person dropped on the box is accepted
    int dropMode;
};

class CoupleDrops : public DrawCoupleCellTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(CoupleDrops, RelationCoupleAcceptsDropsAndMainCoupleRefusesThem)
{
    const int16_t kou = family.marry(family.person(Male), family.person(Female), GetParam().kouMode);
    layouttest::layOut(kou);
    showTree(0, 0, 0);
    const auto boxes = shown("DPic");
    ASSERT_EQ(boxes.size(), 2u);
    for (const Element& box : boxes) {
        EXPECT_EQ(box.tag, GetParam().tag);
        EXPECT_EQ(box.oleDropMode, GetParam().dropMode);
    }
}

INSTANTIATE_TEST_SUITE_P(Drops, CoupleDrops,
                         ::testing::Values(DropCase{"MainMarriage", 0, "0", 0}, DropCase{"Relation", 1, "1", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
