// The grid's limits: rows wider than col_max + 1 cells, families too large for the
// 16-bit link numbers, and the clearing between charts of different sizes.

#include "LayoutFixture.h"

#include "layout/Calc_TreeWidth.h"
#include "layout/ChartMetrics.h"
#include "layout/LayoutGrid.h"
#include "layout/Place_Generations.h"
#include "layout/chart_state.h"
#include "model/tables.h"
#include "platform/Hooks.h"
#include "support/ScriptedResponder.h"

#include <set>

class LayoutLimitsTest : public LayoutTest {};

namespace {

const layout::cell_rec& cellAt(int row, int col)
{
    return layout::chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

// n unconnected childless couples: all of them stand in row 51.
void unconnectedCouples(layouttest::FamilyBuilder& f, int n)
{
    for (int i = 0; i < n; ++i)
        f.couple();
}

} // namespace

TEST_F(LayoutLimitsTest, RowWiderThanColMaxIsPlacedMeasuredAndListedThroughout)
{
    unconnectedCouples(family, 210);
    layouttest::layOut(1);
    const layout::ChartState& c = layout::chart();
    ASSERT_EQ(c.cell_last[51], 209);
    EXPECT_EQ(c.tree_cnt, 210);
    for (int k = 0; k <= 209; ++k) {
        EXPECT_EQ(cellAt(51, k).kou_no, k + 1);
        EXPECT_EQ(cellAt(51, k).link_no, k);
        EXPECT_NEAR(cellAt(51, k).tree_w, 2284.8, 1e-6) << "column " << k;
    }
    int16_t row = -1;
    int16_t col = -1;
    EXPECT_EQ(layout::Find_GridCell(209, row, col), 0);
    EXPECT_EQ(col, 209);

    layout::Build_ChartPerList();
    EXPECT_EQ(c.ChartPerList[420].PerIdx, 420) << "the persons of the last couple are listed";

    // A second width pass at another zoom measures the cells beyond column 200 again.
    layout::setZoomPercent(50);
    layout::Set_ChartMetrics();
    layout::Calc_TreeWidth();
    EXPECT_NEAR(cellAt(51, 205).tree_w, 2284.8 / 2, 1e-6);
}

TEST_F(LayoutLimitsTest, SmallerChartAfterAWideOneKeepsNothingOfIt)
{
    unconnectedCouples(family, 210);
    layouttest::layOut(1);
    layout::ChartState& c = layout::chart();
    ASSERT_EQ(c.cellAt(51, 205).per_a, 411);
    layouttest::resetFamily();
    layouttest::FamilyBuilder small;
    small.couple();
    layouttest::layOut(1);
    EXPECT_EQ(c.cell_buf[51].size(), static_cast<size_t>(layout::DefaultColMax) + 1);
    EXPECT_EQ(c.ChartPerIdx[5].row, -1);
    layout::Build_ChartPerList();
    EXPECT_EQ(c.ChartPerList[3].Flag, -1) << "only the two persons of the new chart";
}

TEST_F(LayoutLimitsTest, FamilyNeedingMoreCellsThanLinkNumbersStopsWithOneMessage)
{
    // A man with 200 marriages and 10 relations of 20 children each on his side: in
    // dispmode 1 every marriage cell shows all 200 of those children, 40000 cells.
    ScriptedResponder answers;
    answers.answerNext(platform::vbOK);
    const int16_t man = family.person(Male);
    for (int i = 0; i < 200; ++i)
        family.marry(man, family.person(Female));
    for (int r = 0; r < 10; ++r) {
        const int16_t relation = family.marry(man, family.person(Female), 1, 1);
        for (int j = 0; j < 20; ++j)
            family.child(relation, family.person(Male), 0);
    }
    layouttest::layOut(1);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, layout::GridFullMessage);
    EXPECT_EQ(answers.shown()[0].style, platform::vbExclamation);
    const layout::ChartState& c = layout::chart();
    EXPECT_TRUE(c.gridFull);
    EXPECT_EQ(c.link_cnt, layout::MaxChartLinks);
    // Every cell placed so far is whole: it has its own link, found where it stands.
    std::set<int> links;
    for (int r = 0; r <= layout::GridLastRow; ++r) {
        for (int k = 0; k <= c.cell_last[static_cast<size_t>(r)]; ++k) {
            const int link = cellAt(r, k).link_no;
            ASSERT_GE(link, 0);
            ASSERT_LT(link, layout::MaxChartLinks);
            ASSERT_TRUE(links.insert(link).second);
            ASSERT_EQ(c.ChartPerIdx[static_cast<size_t>(link)].row, r);
            ASSERT_EQ(c.ChartPerIdx[static_cast<size_t>(link)].col, k);
        }
    }
    EXPECT_EQ(links.size(), static_cast<size_t>(layout::MaxChartLinks));

    // The next chart starts afresh.
    layouttest::resetFamily();
    layouttest::FamilyBuilder small;
    small.couple();
    layouttest::layOut(1);
    EXPECT_FALSE(layout::chart().gridFull);
    EXPECT_EQ(layout::chart().link_cnt, 1);
}
