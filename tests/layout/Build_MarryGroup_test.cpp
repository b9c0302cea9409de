// Marriage groups: which marriages stand side by side, in which order, on which side.

#include "LayoutFixture.h"

#include "layout/Build_MarryGroup.h"
#include "layout/chart_state.h"
#include "model/tables.h"

#include <ostream>
#include <functional>
#include <string>

class MarryGroupTest : public LayoutTest {};

namespace {

using layouttest::FamilyBuilder;
constexpr int16_t M = FamilyBuilder::Male;
constexpr int16_t F = FamilyBuilder::Female;

// The group as "marriage:line_type:mark12:cell_mode" per cell, left to right.
std::string groupText()
{
    std::string text;
    for (const layout::GroupCellRec& g : layout::chart().GroupCells) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(g.kou_no) + ':' + std::to_string(g.line_type) + ':'
            + std::to_string(g.mark12) + ':' + std::to_string(g.cell_mode);
    }
    return text;
}

void persons(FamilyBuilder& f, std::initializer_list<int16_t> sexes)
{
    for (const int16_t s : sexes)
        f.person(s);
}

struct GroupCase {
    const char* name;
    std::function<void(FamilyBuilder&)> build;
    int16_t A;
    int16_t B;
    const char* expected;
};

const GroupCase groupCases[] = {
    {"RelationsOfTheHusbandStandLeftHighestLevelOutermost",
     [](FamilyBuilder& f) {
         persons(f, {M, F, F, F});
         f.marry(1, 2);
         f.marry(1, 3, 1, 1);
         f.marry(1, 4, 1, 2);
     },
     1, 2, "3:0:4:1 2:0:3:1 1:2:-1:0"},
    {"RelationOfTheWifeStandsRight",
     [](FamilyBuilder& f) {
         persons(f, {M, F, M});
         f.marry(1, 2);
         f.marry(3, 2, 1, 1);
     },
     1, 2, "1:2:-1:0 2:1:3:1"},
    {"BothSidesLowestLevelsNextToTheMarriage",
     [](FamilyBuilder& f) {
         persons(f, {M, F, F, M, M});
         f.marry(1, 2);
         f.marry(1, 3, 1, 1);
         f.marry(4, 2, 1, 2);
         f.marry(5, 2, 1, 1);
     },
     1, 2, "2:0:3:1 1:2:-1:0 4:1:5:1 3:1:4:1"},
    {"EqualLevelsKeepRecordOrder",
     [](FamilyBuilder& f) {
         persons(f, {M, F, F, F});
         f.marry(1, 2);
         f.marry(1, 3, 1, 1);
         f.marry(1, 4, 1, 1);
     },
     1, 2, "2:0:3:1 3:0:4:1 1:2:-1:0"},
    // No main marriage among the collected ones: the couple's relation heads the
    // group and keeps its mode.
    {"RelationAloneHeadsItsGroup",
     [](FamilyBuilder& f) {
         persons(f, {M, F, F});
         f.marry(1, 2, 1, 0);
         f.marry(1, 3, 1, 1);
     },
     1, 2, "2:0:3:1 1:2:-1:1"},
    {"TwoMarriagesTwoRowsRelationsOnTheFirst",
     [](FamilyBuilder& f) {
         persons(f, {M, F, F, F});
         f.marry(1, 2);
         f.marry(1, 3);
         f.marry(1, 4, 1, 1);
     },
     1, 2, "3:0:4:1 1:2:-1:0 2:2:-1:0"},
    {"PairAlreadyInTheGridIsLeftOut",
     [](FamilyBuilder& f) {
         persons(f, {M, F, F});
         f.marry(1, 2);
         f.marry(1, 3);
         layout::cell_rec& cell = layout::chart().cellAt(60, 0);
         cell.per_a = 3; // the pair in either order
         cell.per_b = 1;
         layout::chart().cell_last[60] = 0;
     },
     1, 2, "1:2:-1:0"},
    {"PersonWithoutMarriageHasNoGroup",
     [](FamilyBuilder& f) {
         persons(f, {M, F, M});
         f.marry(1, 2);
     },
     3, -1, ""},
    {"BlankPartnerCollectsNothing",
     [](FamilyBuilder& f) {
         persons(f, {F, F});
         f.marry(model::BlankPartner, 2);
     },
     model::BlankPartner, 1, ""},
};

// Test names show the case's name, not the bytes of the case.
void PrintTo(const GroupCase& c, std::ostream* out)
{
    *out << c.name;
}

class MarriageGroup : public LayoutTest, public ::testing::WithParamInterface<GroupCase> {};

} // namespace

TEST_P(MarriageGroup, CellsInOrder)
{
    GetParam().build(family);
    layout::Build_MarryGroup(GetParam().A, GetParam().B);
    EXPECT_EQ(groupText(), GetParam().expected);
    EXPECT_EQ(layout::chart().GroupCells_cnt, static_cast<int>(layout::chart().GroupCells.size()) - 1);
}

INSTANTIATE_TEST_SUITE_P(Groups, MarriageGroup, ::testing::ValuesIn(groupCases),
                         [](const ::testing::TestParamInfo<GroupCase>& info) { return info.param.name; });

TEST_F(MarryGroupTest, PromotedRelationGetsItsModeBack)
{
    persons(family, {M, F});
    const int16_t r = family.marry(1, 2, 1, 0);
    layout::Build_MarryGroup(1, 2);
    EXPECT_EQ(model::tables().kou_buf[static_cast<size_t>(r)].kou_mode, 1);
    EXPECT_EQ(layout::chart().MarryRows_cnt, 0);
}

TEST_F(MarryGroupTest, GroupLargerThanAHundredAndOneCellsKeepsEveryCellInOrder)
{
    // One man, one marriage and 150 relations on his side with levels 0, 1, 2 in turn.
    family.person(Male);
    for (int i = 0; i < 151; ++i)
        family.person(Female);
    const int16_t marriage = family.marry(1, 2);
    for (int16_t w = 3; w <= 152; ++w)
        family.marry(1, w, 1, static_cast<int16_t>(w % 3));

    layout::Build_MarryGroup(1, 2);
    const auto& cells = layout::chart().GroupCells;
    ASSERT_EQ(cells.size(), 151u);
    EXPECT_EQ(layout::chart().GroupCells_cnt, 150);
    // Left side: level 2, then 1, then 0, each level in record order; then the marriage.
    size_t i = 0;
    for (int level = 2; level >= 0; --level) {
        for (int16_t w = 3; w <= 152; ++w) {
            if (w % 3 != level)
                continue;
            ASSERT_LT(i, cells.size());
            EXPECT_EQ(cells[i].mark12, w) << "cell " << i;
            EXPECT_EQ(cells[i].line_type, 0);
            ++i;
        }
    }
    EXPECT_EQ(cells[150].kou_no, marriage);
    EXPECT_EQ(cells[150].line_type, 2);
}
