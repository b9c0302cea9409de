// The grid's clearing, the chart-person list, the branch-family list and the look-up
// by link number.

#include "LayoutFixture.h"

#include "layout/LayoutGrid.h"
#include "layout/chart_state.h"
#include "model/tables.h"

#include <string>
#include <vector>

class LayoutGridTest : public LayoutTest {};

namespace {

model::personal_data& per(int p)
{
    return model::tables().per_buf[static_cast<size_t>(p)];
}

std::vector<std::string> listedNames()
{
    std::vector<std::string> names;
    const auto& list = layout::chart().ChartPerList;
    for (size_t i = 1; i < list.size() && list[i].Flag == 1; ++i)
        names.push_back(list[i].Name + "#" + std::to_string(list[i].PerIdx));
    return names;
}

} // namespace

TEST_F(LayoutGridTest, ClearCellBufEmptiesTheGridButKeepsWhatPlacementRewrites)
{
    layout::ChartState& c = layout::chart();
    for (int r = 0; r <= layout::GridLastRow; r += 25) {
        for (int k = 0; k <= layout::DefaultColMax; k += 50) {
            layout::cell_rec& cell = c.cellAt(r, k);
            cell = layout::cell_rec{};
            cell.per_a = 3;
            cell.per_b = 4;
            cell.tree_w = 10.0;
            cell.kou_no = 5;
            cell.mark12 = 6;
            cell.cell_mode = 1;
            cell.line_type = 0;
            cell.done_f = -2;
        }
        c.cell_last[static_cast<size_t>(r)] = 3;
    }
    c.tree_cnt = 4;
    c.link_cnt = 9;
    c.ChartPerIdx[3] = {51, 0};
    layout::Add_BunkeLink(2, 1, 1, 0, 0);

    layout::Clear_CellBuf();
    for (int r = 0; r <= layout::GridLastRow; ++r) {
        EXPECT_EQ(c.cell_last[static_cast<size_t>(r)], -1);
        for (int k = 0; k <= layout::DefaultColMax; ++k) {
            const layout::cell_rec& cell = c.cell_buf[static_cast<size_t>(r)][static_cast<size_t>(k)];
            ASSERT_EQ(cell.per_a, -1);
            ASSERT_EQ(cell.per_b, -1);
            ASSERT_EQ(cell.kou_no, -1);
            ASSERT_EQ(cell.tree_w, -1.0);
        }
    }
    const layout::cell_rec& kept = c.cell_buf[50][100];
    EXPECT_EQ(kept.mark12, 6);
    EXPECT_EQ(kept.cell_mode, 1);
    EXPECT_EQ(kept.line_type, 0);
    EXPECT_EQ(kept.done_f, -2);
    EXPECT_EQ(c.tree_cnt, 0);
    EXPECT_EQ(c.link_cnt, 0);
    EXPECT_EQ(c.bunke_cnt, -1);
    EXPECT_EQ(c.ChartPerIdx[3].row, -1) << "links of an earlier chart are forgotten";
}

TEST_F(LayoutGridTest, ChartPerListNamesEachPersonOnceInPlacementOrder)
{
    // Couple 1+2 with children 3 (same name as 1), 4 ("unknown" without family name)
    // and 5.
    for (const int16_t s : {Male, Female, Male, Female, Male})
        family.person(s);
    per(3).Name = per(1).Name;
    per(4).F_name = "  ";
    per(4).Name = "unknown";
    const int16_t m = family.marry(1, 2);
    for (const int16_t child : {3, 4, 5})
        family.child(m, child);
    layouttest::layOut(m);
    layout::Build_ChartPerList();
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"FP1#1", "FP2#2", "FP5#5"}));
    const layout::ChartPerRec& row = layout::chart().ChartPerList[2];
    EXPECT_EQ(row.Sex, Female);
    EXPECT_EQ(layout::chart().ChartPerList[0].Flag, -1) << "row 0 is never filled";
}

TEST_F(LayoutGridTest, ChartPerListReadsOnlyTheLinksOfThisChart)
{
    for (const int16_t s : {Male, Female, Male})
        family.person(s);
    const int16_t m = family.marry(1, 2);
    layouttest::layOut(m);
    // An entry past the last link given out that still names a cell (as one from a
    // larger chart before would) is not read.
    layout::ChartState& c = layout::chart();
    ASSERT_EQ(c.link_cnt, 1);
    c.ChartPerIdx[1] = {60, 0};
    layout::cell_rec& stale = c.cellAt(60, 0);
    stale.per_a = 3;
    c.cell_last[60] = 0;
    layout::Build_ChartPerList();
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"FP1#1", "FP2#2"}));
}

TEST_F(LayoutGridTest, FindGridCellFindsThePlacedLinkOnly)
{
    for (const int16_t s : {Male, Female, Male, Female})
        family.person(s);
    const int16_t m = family.marry(1, 2);
    family.child(m, 3);
    family.child(m, 4);
    layouttest::layOut(m);
    int16_t row = -9;
    int16_t col = -9;
    EXPECT_EQ(layout::Find_GridCell(2, row, col), 0);
    EXPECT_EQ(row, 52);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(layout::Find_GridCell(3, row, col), -1);
}

TEST_F(LayoutGridTest, BranchLinksAppendRowsWithTheirFields)
{
    EXPECT_EQ(layout::Add_BunkeLink(2, 7, 7, 3, 5), 0);
    EXPECT_EQ(layout::Add_BunkeLink(1, 8, 9, 4, 5), 1);
    const layout::ChartState& c = layout::chart();
    EXPECT_EQ(c.bunke_cnt, 1);
    EXPECT_EQ(c.bunke_buf[0].extra, -1); // the fifth argument counts for kind 1 only
    EXPECT_EQ(c.bunke_buf[1].extra, 5);
    EXPECT_EQ(c.bunke_buf[1].kou_b, 9);
    EXPECT_EQ(c.bunke_buf[1].pos[3], -1.0);
    layout::Clear_BunkeList();
    EXPECT_EQ(c.bunke_cnt, -1);
    EXPECT_EQ(c.bunke_buf[1].kind, 0);
}
