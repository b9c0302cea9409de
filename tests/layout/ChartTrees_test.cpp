// Which persons stand on the chart of a tab, and how tab indexes map to trees
// once lineage-group tabs reorder them.

#include "LayoutFixture.h"

#include "layout/ChartTrees.h"
#include "layout/chart_state.h"
#include "model/tables.h"

#include <ostream>

namespace {

struct OnChartCase {
    const char* name;
    bool lineageTabs; // tab 0 shows tree 1 and tab 1 tree 0
    int16_t tab;
    int16_t person;
    int16_t expected;
};

void PrintTo(const OnChartCase& c, std::ostream* os)
{
    *os << c.name;
}

class IsOnChartTest : public LayoutTest, public ::testing::WithParamInterface<OnChartCase> {};

// Two unconnected couples: persons 1 and 2 on tree 0, 3 and 4 on tree 1; person 5
// has no marriage and is on no chart.
TEST_P(IsOnChartTest, AnswersForTheTreeOfTheTab)
{
    const OnChartCase& c = GetParam();
    const int16_t start = family.couple();
    family.couple();
    family.person(Male);
    layouttest::layOut(start);
    ASSERT_EQ(layout::chart().tree_cnt, 2);
    if (c.lineageTabs) {
        model::tables().tab_grp_f = 1;
        layout::chart().tab_buf[0].tree_no = 1;
        layout::chart().tab_buf[1].tree_no = 0;
    }
    EXPECT_EQ(layout::Is_OnChart(c.tab, c.person), c.expected);
}

const OnChartCase onChartCases[] = {
    {"PersonOnTheTree", false, 0, 2, 1},
    {"PersonOnAnotherTree", false, 0, 3, -1},
    {"PersonOfTheSecondTree", false, 1, 4, 1},
    {"NewEntryTabShowsNobody", false, 2, 1, -1},
    {"AllTreesTabCountsEverybody", false, 3, 5, 1},
    {"TabBeyondTheTabs", false, 4, 1, -1},
    {"NoTab", false, -1, 1, -1},
    {"LineageTabShowsItsTree", true, 0, 3, 1},
    {"LineageTabHidesTheOtherTree", true, 0, 1, -1},
};

INSTANTIATE_TEST_SUITE_P(OnChart, IsOnChartTest, ::testing::ValuesIn(onChartCases),
                         [](const ::testing::TestParamInfo<OnChartCase>& info) { return info.param.name; });

} // namespace
