// Generation numbering: the walk order, its filters and the scans that keep the last
// match.

#include "LayoutFixture.h"

#include "layout/Number_Gen.h"
#include "layout/Place_Generations.h"
#include "layout/LayoutGrid.h"
#include "layout/chart_state.h"
#include "model/tables.h"

#include <functional>
#include <string>
#include <vector>

class NumberGenTest : public LayoutTest {};

namespace {

model::marry_data& kou(int k)
{
    return model::tables().kou_buf[static_cast<size_t>(k)];
}

int16_t gen(int k)
{
    return kou(k).kou_gen;
}

void numberFrom(int16_t start)
{
    layout::Reset_KouGen();
    layout::Number_Gen(51, start, -1);
}

} // namespace

TEST_F(NumberGenTest, SearchesKeepTheHighestMatchingMarriage)
{
    for (int i = 0; i < 12; ++i)
        family.person(i % 2 == 0 ? Male : Female);
    // Person 1 is husband in marriages 2, 5 and 7; person 11 is a child of 1 and 6.
    const int16_t m1 = family.marry(3, 4);
    family.marry(1, 2);
    family.marry(5, 6);
    family.marry(7, 8);
    family.marry(1, 10);
    const int16_t m6 = family.marry(9, 12);
    family.marry(1, 12);
    family.child(m1, 11);
    const int16_t slot6 = family.child(m6, 11);
    layout::Reset_KouGen();

    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<int16_t()> search;
        int16_t expected;
    };
    const std::vector<Case> cases = {
        {"other marriage: the highest", [] {}, [] { return layout::Find_GenOtherMarry(1, 2); }, 7},
        {"other marriage: numbered ones skipped", [] { kou(7).kou_gen = 51; },
         [] { return layout::Find_GenOtherMarry(1, 2); }, 5},
        {"other marriage: the given one skipped", [] {}, [] { return layout::Find_GenOtherMarry(1, 5); }, 2},
        {"other marriage: only records in use", [] { kou(5).InUse = -1; },
         [] { return layout::Find_GenOtherMarry(1, 7); }, 2},
        {"child's marriage: the highest, in use or not", [] { kou(7).InUse = -1; },
         [] { return layout::Find_GenChildMarry(1, -1); }, 7},
        {"child's marriage: not back to the person come from", [] {},
         [] { return layout::Find_GenChildMarry(1, 1); }, -1},
        {"parents: the highest registration", [] {}, [] { return layout::Find_GenParentKou(11, -1); }, 6},
        {"parents: a registration not carrying the line is passed over",
         [&] {
             kou(6).kodo_link[static_cast<size_t>(slot6)] = 1;
             kou(6).kodo_honsuji[static_cast<size_t>(slot6)] = -1;
         },
         [] { return layout::Find_GenParentKou(11, -1); }, 1},
        {"parents: not looked for through the person come from", [] {},
         [] { return layout::Find_GenParentKou(11, 11); }, -1},
        {"parents: the blank partner is nobody's child", [] {},
         [] { return layout::Find_GenParentKou(model::BlankPartner, -1); }, -1},
    };
    for (const Case& c : cases) {
        c.change();
        EXPECT_EQ(c.search(), c.expected) << c.what;
    }
}

TEST_F(NumberGenTest, NumberingGivesRowsUpAndDownFromTheStart)
{
    // Grandparents 1+2, their son 3 married to 4 (start), grandchild 5 married to 6.
    for (const int16_t s : {Male, Female, Male, Female, Male, Female})
        family.person(s);
    const int16_t top = family.marry(1, 2);
    family.child(top, 3);
    const int16_t start = family.marry(3, 4);
    family.child(start, 5);
    const int16_t young = family.marry(5, 6);
    numberFrom(start);
    EXPECT_EQ(gen(top), 50);
    EXPECT_EQ(gen(start), 51);
    EXPECT_EQ(gen(young), 52);
    EXPECT_EQ(gen(4), -100); // records not connected stay unnumbered
}

TEST_F(NumberGenTest, BlankPartnerLinksNothing)
{
    for (const int16_t s : {Female, Female, Male})
        family.person(s);
    const int16_t start = family.marry(model::BlankPartner, 1);
    const int16_t otherBlank = family.marry(model::BlankPartner, 2);
    const int16_t wifesOther = family.marry(3, 1);
    numberFrom(start);
    EXPECT_EQ(gen(start), 51);
    EXPECT_EQ(gen(otherBlank), -100);
    EXPECT_EQ(gen(wifesOther), 51);
}

TEST_F(NumberGenTest, ChildOfTwoMarriagesIsLinkedOnlyThroughTheLineRegistration)
{
    for (const int16_t s : {Male, Female, Male, Female, Male, Female})
        family.person(s);
    const int16_t first = family.marry(1, 2);
    const int16_t s1 = family.child(first, 5);
    const int16_t second = family.marry(3, 4);
    const int16_t s2 = family.child(second, 5);
    kou(first).kodo_link[static_cast<size_t>(s1)] = 1;
    kou(first).kodo_honsuji[static_cast<size_t>(s1)] = -1;
    kou(second).kodo_link[static_cast<size_t>(s2)] = 1;
    kou(second).kodo_honsuji[static_cast<size_t>(s2)] = 1;
    const int16_t own = family.marry(5, 6);

    numberFrom(first);
    EXPECT_EQ(gen(own), -100) << "no descent through the first registration";
    numberFrom(second);
    EXPECT_EQ(gen(own), 52);
    numberFrom(own);
    EXPECT_EQ(gen(second), 50) << "up to the registration that carries the line";
    EXPECT_EQ(gen(first), -100);
}

TEST_F(NumberGenTest, FirstVisitWinsOverALongerPath)
{
    // Husband 1's parents 3+4 are reached first; through their daughter 5 the walk
    // numbers her marriage with 6 as row 51 before it could be reached (as row 50)
    // from the start's wife 2, their granddaughter.
    for (const int16_t s : {Male, Female, Male, Female, Female, Male})
        family.person(s);
    const int16_t start = family.marry(1, 2);
    const int16_t parents = family.marry(3, 4);
    family.child(parents, 1);
    family.child(parents, 5);
    const int16_t auntsMarriage = family.marry(6, 5);
    family.child(auntsMarriage, 2);
    numberFrom(start);
    EXPECT_EQ(gen(start), 51);
    EXPECT_EQ(gen(parents), 50);
    EXPECT_EQ(gen(auntsMarriage), 51);
}

TEST_F(NumberGenTest, ALineAsLongAsTheMarriageTableIsNumberedWithoutRunningOutOfStack)
{
    // 1023 marriages, each of a son with the blank partner: the walk goes 1023 deep.
    for (int i = 0; i < model::LastPersonSlot; ++i)
        family.person(Male);
    for (int16_t p = 1; p <= model::LastPersonSlot; ++p) {
        const int16_t k = family.marry(p, model::BlankPartner);
        if (p < model::LastPersonSlot)
            family.child(k, static_cast<int16_t>(p + 1));
    }
    numberFrom(1);
    EXPECT_EQ(gen(1), 51);
    EXPECT_EQ(gen(500), 550);
    EXPECT_EQ(gen(model::LastPersonSlot), 50 + model::LastPersonSlot);

    layout::Clear_CellBuf();
    layout::Place_Generations();
    // Rows 51..100 hold the first 50 marriages, one tree; nothing beyond.
    EXPECT_EQ(layout::chart().tree_cnt, 1);
    EXPECT_EQ(layout::chart().link_cnt, 50);
    EXPECT_EQ(layout::chart().cell_buf[100][0].kou_no, 50);
}
