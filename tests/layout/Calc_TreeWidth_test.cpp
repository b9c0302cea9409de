// Subtree widths on grids written cell by cell, at 100 % zoom and horizontal writing
// (box_w 979.2, pair_gap 326.4, sib_gap 326.4, icon_w 500).

#include "LayoutFixture.h"

#include "layout/Calc_TreeWidth.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "model/settings.h"

#include <ostream>
#include <functional>
#include <vector>

class TreeWidthTest : public LayoutTest {};

namespace {

struct CellFields {
    int row;
    int16_t per_a;
    int16_t per_b;
    int16_t link;
    int16_t oya;
    int16_t mode;
    int16_t lineType;
    int16_t tree;
};

// Appends cells at the end of their rows.
void put(std::initializer_list<CellFields> cells)
{
    layout::ChartState& c = layout::chart();
    for (const CellFields& s : cells) {
        const int col = ++c.cell_last[static_cast<size_t>(s.row)];
        layout::cell_rec& cell = c.cellAt(s.row, col);
        cell.per_a = s.per_a;
        cell.per_b = s.per_b;
        cell.link_no = s.link;
        cell.oya_link = s.oya;
        cell.cell_mode = s.mode;
        cell.line_type = s.lineType;
        cell.tree_no = s.tree;
    }
}

double width(int row, int col)
{
    return layout::chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)].tree_w;
}

struct ExpectedWidth {
    int row;
    int col;
    double width;
};

struct WidthCase {
    const char* name;
    int16_t icons;
    std::function<void()> grid;
    std::vector<ExpectedWidth> expected;
};

const WidthCase widthCases[] = {
    {"ChildlessCouple", 0, [] { put({{10, 1, 2, 0, -1, 0, 2, 0}}); }, {{10, 0, 2284.8}}},
    {"ChildlessCoupleWithIcons", 1, [] { put({{10, 1, 2, 0, -1, 0, 2, 0}}); }, {{10, 0, 3284.8}}},
    // The children together are wider than the couple.
    {"CoupleWithThreeSingleChildren", 0,
     [] {
         put({{10, 1, 2, 0, -1, 0, 2, 0},
              {11, 3, -1, 1, 0, 0, 2, 0},
              {11, -1, 4, 2, 0, 0, 2, 0},
              {11, 5, -1, 3, 0, 0, 2, 0}});
     },
     {{10, 0, 3590.4}, {11, 0, 979.2}, {11, 1, 979.2}, {11, 2, 979.2}}},
    {"CoupleWithThreeSingleChildrenWithIcons", 1,
     [] {
         put({{10, 1, 2, 0, -1, 0, 2, 0},
              {11, 3, -1, 1, 0, 0, 2, 0},
              {11, -1, 4, 2, 0, 0, 2, 0},
              {11, 5, -1, 3, 0, 0, 2, 0}});
     },
     {{10, 0, 5090.4}, {11, 1, 1479.2}}},
    // The blank partner counts as no box: a one-box cell.
    {"PersonWithBlankPartner", 0, [] { put({{10, 1024, 2, 0, -1, 0, 2, 0}, {10, 3, 1024, 1, -1, 0, 2, 1}}); },
     {{10, 0, 979.2}, {10, 1, 979.2}}},
    // A side cell shows one box and the gap to the shared partner; it stands in one
    // group with the main marriage (one of them is a relation): group width includes
    // the gap between them, each cell keeps its own.
    {"RelationBesideItsMarriage", 0,
     [] { put({{10, 1, 4, 0, -1, 1, 0, 0}, {10, 1, 2, 1, -1, 0, 2, 0}}); },
     {{10, 0, 1305.6}, {10, 1, 2284.8}}},
    // Two parents carry the same link: the children count for the first one only.
    {"ChildMeasuredThroughAnotherParentAddsNothing", 0,
     [] {
         put({{10, 1, 2, 5, -1, 0, 2, 0},
              {10, 6, 7, 5, -1, 0, 2, 1},
              {11, 3, -1, 1, 5, 0, 2, 0},
              {11, 4, -1, 2, 5, 0, 2, 0},
              {11, 8, -1, 3, 5, 0, 2, 0}});
     },
     {{10, 0, 3590.4}, {10, 1, 2284.8}}},
    // A single person never has child cells, even when cells carry its link.
    {"SinglePersonHasNoChildren", 0,
     [] {
         put({{10, 1, -1, 3, -1, 0, 2, 0},
              {11, 3, -1, 4, 3, 0, 2, 0},
              {11, 4, -1, 5, 3, 0, 2, 0}});
     },
     {{10, 0, 979.2}, {11, 0, 979.2}, {11, 1, 979.2}}},
    // A row with main marriages measures those first; its relation cell of another
    // tree, reached by no parent, is measured after them. A row of relations only is
    // measured completely.
    {"RowScanMeasuresMainMarriagesFirst", 0,
     [] {
         put({{20, 1, 2, 0, -1, 1, 0, 7},
              {20, 3, 4, 1, -1, 0, 2, 8},
              {21, 5, 6, 2, -1, 1, 0, 9},
              {21, 7, 8, 3, -1, 1, 1, 10}});
     },
     {{20, 0, 1305.6}, {20, 1, 2284.8}, {21, 0, 1305.6}, {21, 1, 1305.6}}},
    // The relation of another tree comes first in the row and has children: they are
    // measured through it once the main marriage is done.
    {"UnreachedRelationIsMeasuredWithItsChildren", 0,
     [] {
         put({{20, 1, 2, 0, -1, 1, 2, 7},
              {20, 3, 4, 1, -1, 0, 2, 8},
              {21, 5, -1, 2, 0, 0, 2, 7},
              {21, -1, 6, 3, 0, 0, 2, 7},
              {21, 9, -1, 4, 0, 0, 2, 7}});
     },
     {{20, 0, 3590.4}, {20, 1, 2284.8}, {21, 0, 979.2}, {21, 2, 979.2}}},
    // The last row counts no children (there is no row below it).
    {"LastRowHasNoChildren", 0, [] { put({{100, 1, 2, 0, -1, 0, 2, 0}}); }, {{100, 0, 2284.8}}},
};

// Test names show the case's name, not the bytes of the case.
void PrintTo(const WidthCase& c, std::ostream* out)
{
    *out << c.name;
}

class SubtreeWidth : public LayoutTest, public ::testing::WithParamInterface<WidthCase> {};

} // namespace

TEST_P(SubtreeWidth, CellsGetTheirWidths)
{
    model::settings().Dispmode_Icon = GetParam().icons;
    GetParam().grid();
    layout::Calc_TreeWidth();
    for (const ExpectedWidth& e : GetParam().expected)
        EXPECT_NEAR(width(e.row, e.col), e.width, 1e-6) << "cell " << e.row << ',' << e.col;
}

INSTANTIATE_TEST_SUITE_P(Grids, SubtreeWidth, ::testing::ValuesIn(widthCases),
                         [](const ::testing::TestParamInfo<WidthCase>& info) { return info.param.name; });

TEST_F(TreeWidthTest, GroupWidthAddsTheGapsInsideTheGroup)
{
    put({{10, 1, 4, 0, -1, 1, 0, 0}, {10, 1, 2, 1, -1, 0, 2, 0}, {10, 9, -1, 2, -1, 0, 2, 1}});
    std::vector<int16_t> list;
    // Cells under the same parent link and in the same tree form the group, once one
    // of them is a relation; the cell of another tree is not part of it.
    EXPECT_EQ(layout::Get_MarryCells(10, 1, list), 1);
    EXPECT_EQ(list, (std::vector<int16_t>{0, 1}));
    EXPECT_EQ(layout::Get_MarryCells(10, 2, list), -1);
    EXPECT_NEAR(layout::Calc_GroupWidth(10, 1), 1305.6 + 2284.8 + 326.4, 1e-6);
    // Both cells are measured now: the group has nobody left to list.
    EXPECT_EQ(layout::Get_MarryCells(10, 0, list), -1);
}

TEST_F(TreeWidthTest, CountChildCellsCountsByParentLink)
{
    put({{10, 1, 2, 0, -1, 0, 2, 0},
         {10, 7, -1, 4, -1, 0, 2, 1},
         {11, 3, 6, 1, 0, 0, 2, 0},
         {11, 4, -1, 2, 9, 0, 2, 0},
         {11, 5, -1, 3, 0, 0, 2, 0},
         {100, 1, 2, 5, -1, 0, 2, 0}});
    EXPECT_EQ(layout::Count_ChildCells(10, 0, 0), 1);  // two children: count - 1
    EXPECT_EQ(layout::Count_ChildCells(10, 0, 8), -1); // no child carries link 8
    EXPECT_EQ(layout::Count_ChildCells(10, 1, 9), -1); // a single person
    EXPECT_EQ(layout::Count_ChildCells(11, 0, 1), -1); // row 12 is empty
    EXPECT_EQ(layout::Count_ChildCells(100, 0, 5), -1);
}

TEST_F(TreeWidthTest, WidthsFollowTheZoom)
{
    put({{10, 1, 2, 0, -1, 0, 2, 0}});
    layout::setZoomPercent(200);
    layout::Set_ChartMetrics();
    layout::Calc_TreeWidth();
    EXPECT_NEAR(width(10, 0), 2 * 2284.8, 1e-6);
    model::settings().write_state = 1;
    layout::setMetricsForWriteState();
    layout::Calc_TreeWidth();
    // Vertical writing: 2 x 32.64 + 21.76 units of 30 twips.
    EXPECT_NEAR(width(10, 0), (2 * 32.64 + 21.76) * 30, 1e-6);
}
