// Properties every laid-out grid keeps, checked on generated families: the full
// benchmark family, a line as deep as the grid, and tree-shaped families drawn from
// a fixed random sequence.

#include "LayoutFixture.h"

#include "layout/Calc_TreeWidth.h"
#include "layout/chart_state.h"
#include "model/tables.h"

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

class LayoutInvariantsTest : public LayoutTest {};

namespace {

using layout::chart;

const layout::cell_rec& cellAt(int row, int col)
{
    return chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

template <typename F>
void forEachCell(F f)
{
    for (int r = 0; r <= layout::GridLastRow; ++r) {
        for (int k = 0; k <= chart().cell_last[static_cast<size_t>(r)]; ++k)
            f(r, k, cellAt(r, k));
    }
}

// Every placed cell has a link number of its own, 0..link_cnt - 1 all used, and
// ChartPerIdx finds it; a child's parent stands in the row above, in the same tree,
// with both boxes; no marriage stands in two couple cells; no cell is empty; the
// children fit under their parent's width.
void expectGridInvariants()
{
    const layout::ChartState& c = chart();
    std::set<int> links;
    std::set<int> marriages;
    std::map<int, double> childWidths; // parent link -> children's widths with gaps
    std::map<int, int> childCounts;
    forEachCell([&](int r, int k, const layout::cell_rec& cell) {
        const std::string at = std::to_string(r) + "," + std::to_string(k);
        EXPECT_TRUE(cell.per_a != -1 || cell.per_b != -1) << "empty cell " << at;
        EXPECT_TRUE(links.insert(cell.link_no).second) << "link given twice at " << at;
        ASSERT_GE(cell.link_no, 0) << at;
        ASSERT_LT(cell.link_no, c.link_cnt) << at;
        const layout::ChartPerIdxRec where = c.ChartPerIdx[static_cast<size_t>(cell.link_no)];
        EXPECT_TRUE(where.row == r && where.col == k) << "ChartPerIdx misses " << at;
        if (cell.kodo_f != 1 && cell.kou_no != -1) {
            EXPECT_TRUE(marriages.insert(cell.kou_no).second) << "marriage " << cell.kou_no << " twice";
        }
        if (cell.oya_link != -1) {
            ASSERT_LT(cell.oya_link, c.link_cnt) << at;
            const layout::ChartPerIdxRec parent = c.ChartPerIdx[static_cast<size_t>(cell.oya_link)];
            EXPECT_EQ(parent.row, r - 1) << "parent of " << at;
            const layout::cell_rec& p = cellAt(parent.row, parent.col);
            EXPECT_EQ(p.tree_no, cell.tree_no) << at;
            EXPECT_TRUE(p.per_a != -1 && p.per_b != -1) << "a single cell has children, " << at;
            childWidths[cell.oya_link] += cell.tree_w;
            ++childCounts[cell.oya_link];
        }
        EXPECT_GE(cell.tree_w, layout::Calc_BoxWidth(static_cast<int16_t>(r), static_cast<int16_t>(k)) - 1e-6) << at;
    });
    EXPECT_EQ(links.size(), static_cast<size_t>(c.link_cnt));
    for (const auto& [link, sum] : childWidths) {
        const layout::ChartPerIdxRec parent = c.ChartPerIdx[static_cast<size_t>(link)];
        const double needed = sum + c.sib_gap * (childCounts[link] - 1);
        EXPECT_GE(cellAt(parent.row, parent.col).tree_w, needed - 1e-6) << "children wider than parent " << link;
    }
}

// A tree-shaped family: founders, then up to 7 generations of 0..3 children, each
// marrying someone from outside with probability 2/3; every third daughter's husband
// marries into her family, one son in 16 founds a branch family. Raw engine output
// keeps the family the same with every standard library.
int16_t randomTreeFamily(layouttest::FamilyBuilder& f, unsigned seed)
{
    std::mt19937 engine(seed);
    auto roll = [&](unsigned n) { return static_cast<int>(engine() % n); };
    const int16_t start = f.couple();
    std::vector<std::pair<int16_t, int>> parents{{start, 0}};
    for (size_t i = 0; i < parents.size(); ++i) {
        const auto [kou, generation] = parents[i];
        if (generation == 7)
            continue;
        const int children = roll(4);
        for (int c = 0; c < children && f.persons() < 1000; ++c) {
            const auto sex = static_cast<int16_t>(roll(2));
            const int16_t child = f.person(sex);
            f.child(kou, child);
            if (roll(3) == 0)
                continue;
            const int16_t spouse = f.person(sex == 0 ? 1 : 0);
            const int16_t m = sex == 0 ? f.marry(child, spouse) : f.marry(spouse, child);
            model::marry_data& rec = model::tables().kou_buf[static_cast<size_t>(m)];
            if (sex == 1 && roll(3) == 0)
                rec.Yoshi_f = 1;
            if (sex == 0 && roll(16) == 0)
                rec.Bunke = 1;
            parents.emplace_back(m, generation + 1);
        }
    }
    return start;
}

class RandomTreeFamily : public LayoutTest, public ::testing::WithParamInterface<unsigned> {};

} // namespace

TEST_P(RandomTreeFamily, EveryPersonHasExactlyOneCellOfHisOwnAndChildrenKeepSiblingOrder)
{
    const int16_t start = randomTreeFamily(family, GetParam());
    layouttest::layOut(start);
    expectGridInvariants();

    // A reference cell only points at a person whose own cell stands elsewhere.
    std::map<int, int> ownCells;
    std::vector<int> referenced;
    forEachCell([&](int, int, const layout::cell_rec& cell) {
        for (const int16_t p : {cell.per_a, cell.per_b}) {
            if (p == -1)
                continue;
            if (cell.kodo_f == 1)
                referenced.push_back(p);
            else
                ++ownCells[p];
        }
    });
    for (int p = 1; p <= family.persons(); ++p)
        EXPECT_EQ(ownCells[p], 1) << "person " << p;
    for (const int p : referenced)
        EXPECT_EQ(ownCells[p], 1) << "reference to person " << p;

    // Under a couple, the children's cells follow the marriage's child slots.
    forEachCell([&](int r, int, const layout::cell_rec& parent) {
        if (parent.kou_no == -1 || parent.kodo_f == 1 || r == layout::GridLastRow)
            return;
        std::vector<int16_t> slots;
        for (const int16_t child : model::tables().kou_buf[static_cast<size_t>(parent.kou_no)].kou_kodo) {
            if (child != -1)
                slots.push_back(child);
        }
        std::vector<int16_t> placed;
        for (int k = 0; k <= chart().cell_last[static_cast<size_t>(r + 1)]; ++k) {
            if (cellAt(r + 1, k).oya_link == parent.link_no)
                placed.push_back(cellAt(r + 1, k).mark6);
        }
        EXPECT_EQ(placed, slots) << "children of marriage " << parent.kou_no;
    });
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomTreeFamily, ::testing::Values(1u, 7u, 42u, 2024u, 31337u));

TEST_F(LayoutInvariantsTest, FullFamilyKeepsTheGridInvariants)
{
    const int16_t start = layouttest::buildFullFamily();
    layouttest::layOut(start);
    expectGridInvariants();
    // Nine generations from row 51; every record of the family is on the chart.
    EXPECT_EQ(chart().cell_last[60], -1);
    EXPECT_GT(chart().cell_last[59], layout::DefaultColMax);
    std::set<int> placed;
    forEachCell([&](int, int, const layout::cell_rec& cell) {
        if (cell.kou_no != -1)
            placed.insert(cell.kou_no);
    });
    EXPECT_EQ(placed.size(), static_cast<size_t>(model::LastSlot));
}

TEST_F(LayoutInvariantsTest, LineAsDeepAsTheGridFillsEveryRowOnce)
{
    // 102 generations: the start in row 51 puts the oldest couple in row 0 and the
    // youngest couple but one in row 100; the last one is below the grid.
    const int16_t start = layouttest::buildDeepLine(102);
    layouttest::layOut(start);
    expectGridInvariants();
    const layout::ChartState& c = chart();
    EXPECT_EQ(c.tree_cnt, 1);
    EXPECT_EQ(c.link_cnt, 101);
    for (int r = 0; r <= layout::GridLastRow; ++r) {
        ASSERT_EQ(c.cell_last[static_cast<size_t>(r)], 0) << "row " << r;
        EXPECT_EQ(cellAt(r, 0).kou_no, r + 1);
        EXPECT_NEAR(cellAt(r, 0).tree_w, 2284.8, 1e-6);
    }
    EXPECT_EQ(model::tables().kou_buf[102].kou_gen, 101);
}
