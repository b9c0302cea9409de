// Mirrored layout: persons exchanged in every cell, groups around a couple reversed.

#include "LayoutFixture.h"

#include "layout/Flip_Grid.h"
#include "layout/chart_state.h"

#include <ostream>
#include <string>
#include <vector>

class FlipGridTest : public LayoutTest {};

namespace {

constexpr int Row = 30;

// Fills the row with one cell per type; each cell carries its column as link_no and
// the persons 1000 + column and 2000 + column.
void fillRow(const std::vector<int16_t>& types)
{
    layout::ChartState& c = layout::chart();
    for (size_t k = 0; k < types.size(); ++k) {
        layout::cell_rec& cell = c.cellAt(Row, static_cast<int>(k));
        cell.link_no = static_cast<int16_t>(k);
        cell.per_a = static_cast<int16_t>(1000 + k);
        cell.per_b = static_cast<int16_t>(2000 + k);
        cell.line_type = types[k];
    }
    c.cell_last[Row] = static_cast<int16_t>(static_cast<int>(types.size()) - 1);
}

std::vector<int16_t> rowField(int16_t layout::cell_rec::*field)
{
    const layout::ChartState& c = layout::chart();
    std::vector<int16_t> values;
    for (int k = 0; k <= c.cell_last[Row]; ++k)
        values.push_back(c.cell_buf[Row][static_cast<size_t>(k)].*field);
    return values;
}

struct FlipCase {
    const char* name;
    std::vector<int16_t> types;
    std::vector<int16_t> columnsAfter; // original column now standing at each column
    std::vector<int16_t> typesAfter;
};

const FlipCase flipCases[] = {
    {"CoupleAndWifesRelation", {2, 1}, {1, 0}, {0, 2}},
    {"RelationsOnBothSides", {0, 2, 1}, {2, 1, 0}, {0, 2, 1}},
    {"TwoCouples", {2, 2}, {0, 1}, {2, 2}},
    {"TwoRunsEachWithOneSide", {0, 2, 2, 1}, {1, 0, 3, 2}, {2, 1, 0, 2}},
    {"TwoRunsWithLeftParts", {0, 2, 0, 2}, {1, 0, 3, 2}, {2, 1, 2, 1}},
    {"TwoCellsOnEachSide", {0, 0, 2, 1, 1}, {4, 3, 2, 1, 0}, {0, 0, 2, 1, 1}},
    {"RunFollowedByACouple", {2, 1, 2}, {1, 0, 2}, {0, 2, 2}},
    {"WifesSideAfterHusbandsSide", {0, 1}, {0, 1}, {0, 1}},
    {"WifesSideAfterUnknownType", {-1, 1}, {0, 1}, {-1, 1}},
    // A couple after a type-1 cell that followed a type-0 cell: no run has a pivot.
    {"WifesSideAfterHusbandsSideThenACouple", {0, 1, 2}, {0, 1, 2}, {0, 1, 2}},
    // The left part 0..1 gets no pivot (the couple follows an unknown type); the next
    // type-0 cell discards it and starts the run 3..4 afresh.
    {"UnfinishedLeftPartIsDiscarded", {0, -1, 2, 0, 2}, {0, 1, 2, 4, 3}, {0, -1, 2, 2, 1}},
    // The left part 0..1 is still open when the couple at 3 takes the right part:
    // the bounds do not describe one run, and no cell is lost or doubled.
    {"LeftPartCutByAnUnknownType", {0, -1, 2, 2, 1}, {0, 1, 2, 3, 4}, {0, -1, 2, 2, 1}},
    {"SingleCell", {2}, {0}, {2}},
};

// Test names show the case's name, not the bytes of the case.
void PrintTo(const FlipCase& c, std::ostream* out)
{
    *out << c.name;
}

class Mirroring : public LayoutTest, public ::testing::WithParamInterface<FlipCase> {};

} // namespace

TEST_P(Mirroring, RowIsMirroredGroupByGroup)
{
    fillRow(GetParam().types);
    layout::Flip_Grid();
    const std::vector<int16_t> columns = rowField(&layout::cell_rec::link_no);
    EXPECT_EQ(columns, GetParam().columnsAfter);
    EXPECT_EQ(rowField(&layout::cell_rec::line_type), GetParam().typesAfter);
    // Every cell's persons are exchanged, wherever the cell moved.
    const std::vector<int16_t> a = rowField(&layout::cell_rec::per_a);
    const std::vector<int16_t> b = rowField(&layout::cell_rec::per_b);
    for (size_t k = 0; k < columns.size(); ++k) {
        EXPECT_EQ(a[k], 2000 + columns[k]);
        EXPECT_EQ(b[k], 1000 + columns[k]);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, Mirroring, ::testing::ValuesIn(flipCases),
                         [](const ::testing::TestParamInfo<FlipCase>& info) { return info.param.name; });

TEST_F(FlipGridTest, MirroringLeavesCellsBeyondTheLastColumnAndEmptyRowsAlone)
{
    fillRow({2, 1});
    layout::cell_rec& beyond = layout::chart().cellAt(Row, 5);
    beyond.per_a = 7;
    beyond.per_b = 8;
    layout::cell_rec& emptyRow = layout::chart().cellAt(Row + 1, 0);
    emptyRow.per_a = 9;
    emptyRow.per_b = 10;
    layout::Flip_Grid();
    EXPECT_EQ(beyond.per_a, 7);
    EXPECT_EQ(beyond.per_b, 8);
    EXPECT_EQ(emptyRow.per_a, 9);
    EXPECT_EQ(emptyRow.per_b, 10);
}

TEST_F(FlipGridTest, MirroringReachesEveryCellOfARowWiderThanTwoHundredAndOneCells)
{
    std::vector<int16_t> types;
    for (int i = 0; i < 150; ++i) {
        types.push_back(2);
        types.push_back(1);
    }
    fillRow(types);
    layout::Flip_Grid();
    const std::vector<int16_t> columns = rowField(&layout::cell_rec::link_no);
    const std::vector<int16_t> after = rowField(&layout::cell_rec::line_type);
    ASSERT_EQ(columns.size(), 300u);
    for (size_t k = 0; k < columns.size(); k += 2) {
        EXPECT_EQ(columns[k], static_cast<int16_t>(k + 1));
        EXPECT_EQ(columns[k + 1], static_cast<int16_t>(k));
        EXPECT_EQ(after[k], 0);
        EXPECT_EQ(after[k + 1], 2);
    }
}

TEST_F(FlipGridTest, ReversalNeedsBoundsThatCoverOneRun)
{
    struct Bounds {
        const char* what;
        int16_t S, E, Bs, Be, Cs, Ce, M;
    };
    const Bounds refused[] = {
        {"no pivot", 0, 1, 0, 1, -1, -1, -1},
        {"a gap between left part and pivot", 0, 2, 0, 0, -1, -1, 2},
        {"right part not ending the run", 0, 2, -1, -1, 1, 1, 0},
        {"run past the last cell", 1, 3, -1, -1, 2, 3, 1},
    };
    for (const Bounds& b : refused) {
        fillRow({0, 2, 1});
        layout::Flip_ReverseRun(Row, b.S, b.E, b.Bs, b.Be, b.Cs, b.Ce, b.M);
        EXPECT_EQ(rowField(&layout::cell_rec::link_no), (std::vector<int16_t>{0, 1, 2})) << b.what;
        EXPECT_EQ(rowField(&layout::cell_rec::line_type), (std::vector<int16_t>{0, 2, 1})) << b.what;
    }
    // The same row with its true bounds is mirrored.
    fillRow({0, 2, 1});
    layout::Flip_ReverseRun(Row, 0, 2, 0, 0, 2, 2, 1);
    EXPECT_EQ(rowField(&layout::cell_rec::link_no), (std::vector<int16_t>{2, 1, 0}));
    EXPECT_EQ(rowField(&layout::cell_rec::line_type), (std::vector<int16_t>{0, 2, 1}));
}
