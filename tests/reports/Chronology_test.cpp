// The chronology table without its window: the years read from date texts, the
// rows collected from the chart's trees, their order, the packing of bars onto
// lines, the grid and painter axes (also for a single year and a huge span), the
// line lists, and the paging of the printed tree layout.

#include "ChronologyFixture.h"

#include "forms/RecordingSurface.h"
#include "layout/ChartTrees.h"
#include "model/era/Nengo.h"
#include "platform/AppPath.h"
#include "reports/Chronology.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using reports_test::ChronologyFixture;

class ChronologyTest : public ChronologyFixture {
protected:
    // A hand-made row table, one row per {tree, birth, death}.
    struct RowPlan {
        int tree;
        int birth;
        int death;
    };
    static reports::ChronologyRows rows(const std::vector<RowPlan>& plans)
    {
        reports::ChronologyRows table;
        for (const RowPlan& s : plans) {
            reports::YTblRow& row = table.rows[static_cast<size_t>(++table.YRowLast)];
            row.PerIdx = static_cast<int16_t>(table.YRowLast + 1);
            row.TreeIdx = static_cast<int16_t>(s.tree);
            row.BirthYear = s.birth;
            row.DeathYear = s.death;
        }
        return table;
    }
    static std::vector<int> births(const reports::ChronologyRows& table)
    {
        std::vector<int> out;
        for (int i = 0; i <= table.YRowLast; ++i)
            out.push_back(table.rows[static_cast<size_t>(i)].BirthYear);
        return out;
    }
    // The line of each row's bar, by row index; rows without a bar are absent.
    // Bars on an axis of 8000 twips; captionWidth is what every name needs.
    static std::map<int, int> pack(reports::ChronologyRows& table, int* linesUsed = nullptr, double captionWidth = 0)
    {
        std::map<int, int> lines;
        const reports::YearExtent extent = reports::chronologyExtent(table);
        const int used = reports::packChronologyRows(
            table,
            [&](int row) {
                return reports::treeBarGeometry(table.rows[static_cast<size_t>(row)], 0, extent, 8000, captionWidth)
                    .span();
            },
            [&](int row, int line) { lines[row] = line; });
        if (linesUsed)
            *linesUsed = used;
        return lines;
    }
};

// --- Years of date texts ---

struct YearCase {
    const char* text;
    int year;
};
std::ostream& operator<<(std::ostream& os, const YearCase& c) { return os << '"' << c.text << '"'; }

class ChronologyYear : public ChronologyTest, public ::testing::WithParamInterface<YearCase> {};

TEST_P(ChronologyYear, CompletesPartialDatesAndRejectsTheRest)
{
    EXPECT_EQ(reports::chronologyYear(GetParam().text), GetParam().year);
}

INSTANTIATE_TEST_SUITE_P(Texts, ChronologyYear,
                         ::testing::Values(YearCase{"1950/03/04", 1950}, YearCase{"1950/03", 1950},
                                           YearCase{"1950", 1950}, YearCase{"", 0}, YearCase{"不明", 0},
                                           YearCase{"1950/13/40", 0}, YearCase{"19", 0},
                                           YearCase{"0000/01/01", 0}));

// A date kept in its era form in a western family (no western year names the same
// days) still gives its year.
TEST_F(ChronologyTest, DatesKeptInTheirEraFormGiveTheirYearInAWesternFamily)
{
    home.copyProgramData();
    ASSERT_EQ(model::Load_NengoTbl(platform::appFile("\\nengo_tbl.mas")), 0);
    ASSERT_EQ(model::settings().Dispmode_Nengo, 0);
    EXPECT_EQ(reports::chronologyYear("平成元年"), 1989);
    EXPECT_EQ(reports::chronologyYear("昭和元年12月"), 1926);
    EXPECT_EQ(reports::chronologyYear("H1年"), 1989);
}

// --- Collecting the rows ---

TEST_F(ChronologyTest, RowsAreThePersonsOfTheSelectedTreeWithTheirYears)
{
    const int16_t kou = family.couple();
    const int16_t child = family.person(layouttest::FamilyBuilder::Male);
    family.child(kou, child);
    const auto& k = model::tables().kou_buf[kou];
    dates(k.kou_titi, "1900/02/03", "1950/01/01");
    dates(k.kou_haha, "", "壊れた日付");
    dates(child, "1930");
    layOut(kou);
    selectTree(0);

    reports::ChronologyRows table;
    table.YTitle = "前の表";
    reports::Load_YTbl(table);
    ASSERT_EQ(table.YRowLast, 2);
    EXPECT_EQ(table.YTitle, "　木0");
    const auto& r = table.rows;
    EXPECT_EQ(r[0].PerIdx, k.kou_titi);
    EXPECT_EQ(r[0].BirthYear, 1900);
    EXPECT_EQ(r[0].DeathYear, 1950);
    // No valid birth date: year 0; no valid death date: alive to this year.
    EXPECT_EQ(r[1].PerIdx, k.kou_haha);
    EXPECT_EQ(r[1].BirthYear, 0);
    EXPECT_EQ(r[1].DeathYear, ThisYear);
    EXPECT_EQ(r[1].Sex, 1);
    EXPECT_EQ(r[2].PerIdx, child);
    EXPECT_EQ(r[2].DeathYear, ThisYear);
    for (int i = 0; i <= 2; ++i) {
        EXPECT_EQ(r[i].TreeIdx, 0);
        EXPECT_EQ(r[i].Placed, 0);
    }
    EXPECT_EQ(r[3].PerIdx, -1);   // the rest stays empty
}

TEST_F(ChronologyTest, AllTreesTabCollectsEveryTreeInTreeOrder)
{
    const int16_t first = family.couple();
    const int16_t second = family.couple();
    layOut(first);
    ASSERT_EQ(layout::chart().tree_cnt, 2);
    selectAllTrees();
    reports::ChronologyRows table;
    reports::Load_YTbl(table);
    // Trees 0 and 1, then the new-entry tab (tree tree_cnt), which holds nobody.
    EXPECT_EQ(table.YTitle, "　木0　木1　");
    ASSERT_EQ(table.YRowLast, 3);
    EXPECT_EQ(table.rows[0].TreeIdx, 0);
    EXPECT_EQ(table.rows[3].TreeIdx, 1);
    EXPECT_EQ(table.rows[3].PerIdx, model::tables().kou_buf[second].kou_haha);
}

TEST_F(ChronologyTest, TabWithoutPersonsGivesNoRowsAndNoYears)
{
    family.couple();
    layOut(1);
    selectTree(layout::chart().tree_cnt);   // the tab for a new entry
    reports::ChronologyRows table;
    reports::Load_YTbl(table);
    EXPECT_EQ(table.YRowLast, -1);
    const reports::YearExtent extent = reports::chronologyExtent(table);
    EXPECT_TRUE(extent.isEmpty());
    EXPECT_TRUE(reports::chronologyGrid(extent, 10, 8760).empty());
    int lines = -1;
    EXPECT_TRUE(pack(table, &lines).empty());
    EXPECT_EQ(lines, 0);
}

TEST_F(ChronologyTest, PersonsOnChartAgreeWithTheChartLookUpOnEveryTab)
{
    const int16_t start = layouttest::buildFullFamily();
    layOut(start);
    const int trees = layout::chart().tree_cnt;
    ASSERT_GE(trees, 2);
    // Lineage-group tabs: tab 0 shows tree 1 and tab 1 tree 0.
    for (const int16_t groupTabs : {int16_t(-1), int16_t(1)}) {
        model::tables().tab_grp_f = groupTabs;
        layout::chart().tab_buf[0].tree_no = 1;
        layout::chart().tab_buf[1].tree_no = 0;
        // The first trees, the last one, the new-entry tab and the all-trees tab.
        for (const int tree : {0, 1, 2, trees - 1, trees, trees + 1}) {
            const std::vector<bool> on = reports::personsOnChart(tree);
            for (int slot = 0; slot <= model::LastSlot; ++slot) {
                const bool expected = layout::Is_OnChart(static_cast<int16_t>(tree), static_cast<int16_t>(slot)) == 1;
                ASSERT_EQ(on[static_cast<size_t>(slot)], expected) << "tab " << tree << " slot " << slot
                                                                   << " group tabs " << groupTabs;
            }
        }
    }
}

TEST_F(ChronologyTest, RowTableStopsAtItsLastRowInsteadOfOverflowing)
{
    const int16_t start = layouttest::buildFullFamily();
    layOut(start);
    reports::ChronologyRows table;
    reports::Load_YTbl(table);   // tree 0 of the full family
    const int once = table.YRowLast + 1;
    ASSERT_GT(once, 100);
    // Collecting the same tree again and again needs more rows than the table has.
    for (int i = 0; i * once <= reports::ChronologyRowCount; ++i)
        reports::LoadYTblSub(table, 0);
    EXPECT_EQ(table.YRowLast, reports::ChronologyRowCount - 1);
    EXPECT_EQ(table.rows[static_cast<size_t>(table.YRowLast)].TreeIdx, 0);
}

// --- Order ---

TEST_F(ChronologyTest, RowsAreOrderedByBirthWithinTreesAndTreesByTheirEarliestBirth)
{
    auto table = rows({{0, 1950, 2000}, {0, 0, 2026}, {0, 1920, 1990}, {0, 1950, 1960},
                       {1, 1960, 2026}, {1, 1910, 1980},
                       {2, 1930, 2026}});
    const int16_t tieFirst = table.rows[0].PerIdx;
    reports::orderChronologyRows(table);
    // Tree 0 holds a birth year 0, which counts as the earliest.
    EXPECT_EQ(births(table), (std::vector<int>{0, 1920, 1950, 1950, 1910, 1960, 1930}));
    EXPECT_EQ(table.rows[2].PerIdx, tieFirst);   // equal years keep collection order
    std::vector<int> trees;
    for (int i = 0; i <= table.YRowLast; ++i)
        trees.push_back(table.rows[static_cast<size_t>(i)].TreeIdx);
    EXPECT_EQ(trees, (std::vector<int>{0, 0, 0, 0, 1, 1, 2}));
}

TEST_F(ChronologyTest, TreeWithTheEarliestBirthComesFirstEvenWithTheHigherNumber)
{
    auto table = rows({{0, 1950, 2000}, {1, 1960, 2026}, {1, 1900, 1970}, {2, 1900, 1990}});
    reports::orderChronologyRows(table);
    // Trees 1 and 2 tie on 1900: the one met first in the table comes first.
    EXPECT_EQ(births(table), (std::vector<int>{1900, 1960, 1900, 1950}));
    EXPECT_EQ(table.rows[0].TreeIdx, 1);
    EXPECT_EQ(table.rows[2].TreeIdx, 2);
    EXPECT_EQ(table.rows[3].TreeIdx, 0);
    EXPECT_EQ(table.YRowLast, 3);
}

// --- Packing ---

TEST_F(ChronologyTest, BarsThatFollowEachOtherShareALine)
{
    // 1900-1950 and 1950-living share line 0; 1949 overlaps and opens line 1.
    auto table = rows({{0, 1900, 1950}, {0, 1950, ThisYear}, {0, 1949, ThisYear}});
    reports::orderChronologyRows(table);
    int lines = 0;
    const auto placed = pack(table, &lines);
    EXPECT_EQ(lines, 2);
    std::map<int, int> byBirth;
    for (const auto& [row, line] : placed)
        byBirth[table.rows[static_cast<size_t>(row)].BirthYear] = line;
    EXPECT_EQ(byBirth, (std::map<int, int>{{1900, 0}, {1950, 0}, {1949, 1}}));
}

// The narrowest bar and a name beside a bar take their room on the line: the
// next bar of the line starts after them, never under them.
TEST_F(ChronologyTest, NarrowBarsAndTheirNamesKeepTheNextBarOffTheirRoom)
{
    // Extent 1900..2026 over 8000 twips: a year is about 63 twips.
    auto table = rows({{0, 1900, 1900}, {0, 1901, 2026}});
    int lines = 0;
    std::map<int, int> placed = pack(table, &lines);
    EXPECT_EQ(lines, 2) << "the narrowest bar (75 twips) reaches past 1901";
    // Extent 1900..2020: 1950-1960 is narrower than its name, whose label reaches
    // past 1961.
    table = rows({{0, 1900, 1950}, {0, 1950, 1960}, {0, 1961, 2020}});
    placed = pack(table, &lines, 2000);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(placed, (std::map<int, int>{{0, 0}, {1, 0}, {2, 1}}));
}

TEST_F(ChronologyTest, PackingKeepsTreesOnTheirOwnLinesAndNeverOverlapsBars)
{
    std::vector<RowPlan> plans;
    for (int i = 0; i < 60; ++i)
        plans.push_back({i % 3, 1800 + (i * 37) % 200, 1800 + (i * 37) % 200 + 20 + i % 50});
    plans.push_back({1, 0, ThisYear});   // no birth year: no bar
    auto table = rows(plans);
    reports::orderChronologyRows(table);
    const auto placed = pack(table);
    EXPECT_EQ(placed.size(), 60u);
    for (int i = 0; i <= table.YRowLast; ++i)
        EXPECT_EQ(table.rows[static_cast<size_t>(i)].Placed, 1) << "row " << i;

    std::map<int, std::vector<const reports::YTblRow*>> byLine;
    for (const auto& [row, line] : placed)
        byLine[line].push_back(&table.rows[static_cast<size_t>(row)]);
    for (auto& [line, bars] : byLine) {
        std::set<int> trees;
        for (const auto* bar : bars)
            trees.insert(bar->TreeIdx);
        EXPECT_EQ(trees.size(), 1u) << "line " << line;
        // Bars of a line are in placement (table) order and follow each other in time.
        for (size_t i = 1; i < bars.size(); ++i)
            EXPECT_LE(bars[i - 1]->DeathYear, bars[i]->BirthYear) << "line " << line;
    }
    // Lines run tree after tree: once a tree's lines end, it never comes back.
    std::vector<int> lineTrees;
    for (auto& [line, bars] : byLine)
        lineTrees.push_back(bars.front()->TreeIdx);
    std::set<int> finished;
    for (size_t i = 1; i < lineTrees.size(); ++i) {
        if (lineTrees[i] != lineTrees[i - 1])
            finished.insert(lineTrees[i - 1]);
        EXPECT_EQ(finished.count(lineTrees[i]), 0u) << "line " << i;
    }
}

// --- Geometry ---

TEST_F(ChronologyTest, BarGeometryMapsTheExtentOntoTheAxis)
{
    reports::YearExtent extent{1900, 2000};
    reports::YTblRow row;
    row.BirthYear = 1950;
    row.DeathYear = 2000;
    const reports::BarGeometry g = reports::treeBarGeometry(row, 2, extent, 8000);
    EXPECT_DOUBLE_EQ(g.left, 4000 + 120);
    EXPECT_DOUBLE_EQ(g.width, 4000);
    EXPECT_DOUBLE_EQ(g.top, 2 * 375 + 120);
    EXPECT_DOUBLE_EQ(g.height, 255);
}

TEST_F(ChronologyTest, SingleYearExtentAndDeathBeforeBirthGiveFiniteVisibleBars)
{
    // One person born this year and living: the extent is a single year.
    reports::YearExtent extent{ThisYear, ThisYear};
    reports::YTblRow row;
    row.BirthYear = ThisYear;
    row.DeathYear = ThisYear;
    const reports::BarGeometry g = reports::treeBarGeometry(row, 0, extent, 8000);
    EXPECT_TRUE(std::isfinite(g.left));
    EXPECT_EQ(g.width, reports::ChronologyMinBarWidth);
    EXPECT_EQ(reports::chronologyGrid(extent, 1, 8000).size(), 1u);

    row.BirthYear = 1990;
    row.DeathYear = 1950;   // a death recorded before the birth
    EXPECT_EQ(reports::treeBarGeometry(row, 0, {1900, 2000}, 8000).width, reports::ChronologyMinBarWidth);
}

TEST_F(ChronologyTest, NameOfANarrowBarStandsAfterItOrBeforeItAtTheSheetsEnd)
{
    reports::YTblRow row;
    row.BirthYear = 1950;
    row.DeathYear = 1960;   // 800 twips on an axis of 8000 for 1900..2000
    const reports::YearExtent extent{1900, 2000};
    reports::BarGeometry g = reports::treeBarGeometry(row, 0, extent, 8000, 700);
    EXPECT_EQ(g.nameWidth, 0) << "a name that fits is the bar's caption";
    g = reports::treeBarGeometry(row, 0, extent, 8000, 1000);
    EXPECT_GT(g.nameLeft, g.left + g.width);
    EXPECT_DOUBLE_EQ(g.nameWidth, 1000);
    EXPECT_DOUBLE_EQ(g.span().right, g.nameLeft + 1000);

    row.BirthYear = 1995;
    row.DeathYear = 2000;   // at the axis' end: no room after the bar
    g = reports::treeBarGeometry(row, 0, extent, 8000, 1000);
    EXPECT_LT(g.nameLeft + g.nameWidth, g.left);
    EXPECT_DOUBLE_EQ(g.span().left, g.nameLeft);
    EXPECT_DOUBLE_EQ(g.span().right, g.left + g.width);
}

// --- Grid ---

struct StepCase {
    const char* text;
    int step;
};
std::ostream& operator<<(std::ostream& os, const StepCase& c) { return os << '"' << c.text << '"'; }

class ChronologyGridStep : public ChronologyTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(ChronologyGridStep, AcceptsWholeYearsFromOne)
{
    EXPECT_EQ(reports::chronologyGridStep(GetParam().text), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(Texts, ChronologyGridStep,
                         ::testing::Values(StepCase{"10", 10}, StepCase{"25", 25}, StepCase{" 5", 5},
                                           StepCase{"1", 1}, StepCase{"", 0}, StepCase{"abc", 0},
                                           StepCase{"0", 0}, StepCase{"-5", 0}, StepCase{"0.3", 0},
                                           StepCase{"99999", 0}));

TEST_F(ChronologyTest, GridShowsTheYearsOfTheStepWithinTheExtent)
{
    const reports::YearExtent extent{1890, 2026};
    const auto grid = reports::chronologyGrid(extent, 25, 1360);
    std::vector<int> years;
    for (const auto& g : grid)
        years.push_back(g.year);
    EXPECT_EQ(years, (std::vector<int>{1900, 1925, 1950, 1975, 2000, 2025}));
    EXPECT_DOUBLE_EQ(grid.front().x, 10.0 / 136 * 1360 + 120);
    EXPECT_EQ(reports::effectiveGridStep(25, extent), 25);
}

TEST_F(ChronologyTest, HugeSpanWidensTheStepToABoundedGrid)
{
    const reports::YearExtent extent{100, 9999};
    const int step = reports::effectiveGridStep(1, extent);
    EXPECT_EQ(step % 10, 0);
    const auto grid = reports::chronologyGrid(extent, step, 8760);
    EXPECT_LE(grid.size(), static_cast<size_t>(reports::MaxGridLines));
    EXPECT_GE(grid.size(), static_cast<size_t>(reports::MaxGridLines / 2));
}

// --- Line lists ---

TEST_F(ChronologyTest, BirthOrderPutsTheUndatedFirstAndFamilyOrderFollowsTheChart)
{
    auto& a = addPerson("甲", "一", 0);
    a.B_day = "1950/01/01";
    a.Age = 76;
    auto& b = addPerson("乙", "二", 1);
    b.B_day = "1930/05/05";
    b.Death_day = "2000/01/01";
    addPerson("丙", "三", 0);   // no birth date
    chartPersons({3, 1});

    const reports::ChronologyLines lines = reports::buildChronologyLines();
    ASSERT_EQ(lines.persons, 3);
    EXPECT_EQ(lines.YLineByBirth[1].PerIdx, 3);
    EXPECT_EQ(lines.YLineByBirth[2].PerIdx, 2);
    EXPECT_EQ(lines.YLineByBirth[3].PerIdx, 1);
    EXPECT_EQ(lines.YLineByBirth[2].DeathYear, 2000);
    EXPECT_EQ(lines.YLineByBirth[3].DeathYear, 0);   // the living have no death year here
    EXPECT_EQ(lines.YLineByBirth[3].Age, 76);
    EXPECT_EQ(lines.deathYears, 1);
    ASSERT_EQ(lines.YFamilyCount, 2);
    EXPECT_EQ(lines.YLineByFamily[1].PerIdx, 3);
    EXPECT_EQ(lines.YLineByFamily[2].PerIdx, 1);
    EXPECT_EQ(lines.YLineByFamily[2].BirthYear, 1950);
    EXPECT_EQ(lines.YLineByBirth[0].PerIdx, -1);   // entry 0 is never used
}

TEST_F(ChronologyTest, BirthOrderSortsAFullTable)
{
    for (int i = 0; i < model::LastPersonSlot; ++i)
        addPerson("姓", std::to_string(i), 0).B_day = std::to_string(1000 + (i * 7919) % 1000);
    const reports::ChronologyLines lines = reports::buildChronologyLines();
    ASSERT_EQ(lines.persons, model::LastPersonSlot);
    for (int i = 2; i <= lines.persons; ++i)
        ASSERT_LE(lines.YLineByBirth[i - 1].BirthYear, lines.YLineByBirth[i].BirthYear) << i;
}

// --- Painter axis ---

struct AxisCase {
    int first;
    int last;
    int cells;
    int step;
    int leftCaption;
};
std::ostream& operator<<(std::ostream& os, const AxisCase& c)
{
    return os << c.first << ".." << c.last << " in " << c.cells;
}

class ChronologyPainterAxis : public ChronologyTest, public ::testing::WithParamInterface<AxisCase> {};

TEST_P(ChronologyPainterAxis, EndsAtTheLastYearAndReachesBackToTheFirst)
{
    const AxisCase& c = GetParam();
    const reports::PainterAxis axis = reports::painterAxis(c.first, c.last, c.cells);
    EXPECT_EQ(axis.step, c.step);
    ASSERT_EQ(axis.captions.size(), static_cast<size_t>(axis.cells));
    EXPECT_EQ(axis.captions.back(), c.last);
    EXPECT_EQ(axis.captions.front(), c.leftCaption);
    EXPECT_LE(axis.captions.front(), c.first);
    for (size_t i = 1; i < axis.captions.size(); ++i)
        EXPECT_EQ(axis.captions[i] - axis.captions[i - 1], axis.step);
    EXPECT_DOUBLE_EQ(axis.scale, 630.0 / axis.step);
}

INSTANTIATE_TEST_SUITE_P(Extents, ChronologyPainterAxis,
                         ::testing::Values(AxisCase{1930, 2026, 9, 12, 1930}, AxisCase{1930, 2026, 10, 11, 1927},
                                           // One single year, and too few cells: still a usable scale.
                                           AxisCase{2026, 2026, 9, 1, 2018}, AxisCase{1930, 2026, 1, 96, 1930},
                                           AxisCase{1930, 2026, 0, 96, 1930},
                                           // A birth after the last year (a date in the future).
                                           AxisCase{2030, 2026, 5, 1, 2022}));

// --- Printing ---

class ChronologyPrinting : public ChronologyTest {
protected:
    // A printout of lines window lines with two bars on each.
    static reports::ChronologyPrintout printout(int lines)
    {
        reports::ChronologyPrintout p;
        p.heading = "　木0年表";
        p.axisWidth = 8760;
        p.grid = {{1900, 120}, {1950, 4500}, {2000, 8880}};
        for (int line = 0; line < lines; ++line) {
            const double top = line * 375 + 120;
            p.bars.push_back({120, top, 3000, "左" + std::to_string(line), 0xFF8080});
            p.bars.push_back({4000, top, 2000, "右" + std::to_string(line), 0x8080FF});
        }
        return p;
    }

    struct PrintedPage {
        int headings = 0;
        std::vector<double> barTops;   // top of each filled box
        double gridTop = 0;
        double gridBottom = 0;
    };
    static std::vector<PrintedPage> pages(const forms::RecordingSurface& surface, const std::vector<size_t>& breaks,
                                          const std::string& heading)
    {
        std::vector<PrintedPage> out(1);
        size_t next = 0;
        const auto& calls = surface.calls();
        for (size_t i = 0; i < calls.size(); ++i) {
            if (next < breaks.size() && i == breaks[next]) {
                out.emplace_back();
                ++next;
            }
            const auto& call = calls[i];
            if (call.name == "Print" && call.text == heading)
                ++out.back().headings;
            if (call.name == "Line" && call.text == "BF")
                out.back().barTops.push_back(call.numbers.at(1));
            if (call.name == "Line" && call.text.empty() && call.numbers.at(1) != call.numbers.at(3)) {
                out.back().gridTop = call.numbers.at(1);
                out.back().gridBottom = call.numbers.at(3);
            }
        }
        return out;
    }
};

TEST_F(ChronologyPrinting, LongTableRepeatsTheHeaderAndKeepsRowsInsideTheGrid)
{
    forms::RecordingSurface page(400, 600);
    std::vector<size_t> breaks;
    const auto p = printout(40);
    const int count = reports::printChronology(page, p, [&] { breaks.push_back(page.calls().size()); });
    ASSERT_GE(count, 2);
    EXPECT_EQ(breaks.size(), static_cast<size_t>(count - 1));
    const auto printed = pages(page, breaks, p.heading);
    size_t bars = 0;
    for (const PrintedPage& sheet : printed) {
        EXPECT_EQ(sheet.headings, 1);
        ASSERT_FALSE(sheet.barTops.empty());
        for (double top : sheet.barTops) {
            EXPECT_GT(top, sheet.gridTop);
            EXPECT_LT(top, sheet.gridBottom);
        }
        // Both bars of a window line share one printed row.
        ASSERT_EQ(sheet.barTops.size() % 2, 0u);
        for (size_t i = 0; i + 1 < sheet.barTops.size(); i += 2)
            EXPECT_EQ(sheet.barTops[i], sheet.barTops[i + 1]);
        bars += sheet.barTops.size();
    }
    EXPECT_EQ(bars, p.bars.size());
    // The second page continues from the top of the grid.
    EXPECT_EQ(printed[1].barTops.front(), printed[0].barTops.front());
    // Year captions with every header.
    size_t captions = 0;
    for (const auto& call : page.callsNamed("Print"))
        captions += call.text == "1950";
    EXPECT_EQ(captions, printed.size());
}

TEST_F(ChronologyPrinting, PageTooSmallForOneRowStillEnds)
{
    forms::RecordingSurface page(40, 20);
    int newPages = 0;
    const int count = reports::printChronology(page, printout(3), [&] { ++newPages; });
    EXPECT_EQ(count, 3);   // one row a page
    EXPECT_EQ(newPages, 2);
}

TEST_F(ChronologyPrinting, NoBarsPrintsNothing)
{
    forms::RecordingSurface page;
    int newPages = 0;
    EXPECT_EQ(reports::printChronology(page, printout(0), [&] { ++newPages; }), 0);
    EXPECT_TRUE(page.callsNamed("Print").empty());
    EXPECT_TRUE(page.callsNamed("Line").empty());
}

} // namespace
