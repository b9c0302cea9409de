// Sample families laid out end to end (numbering, placement, mirroring, widths) and
// compared with the grid worked out by hand from the placement rules.

#include "LayoutFixture.h"

#include "layout/Flip_Grid.h"
#include "layout/LayoutGrid.h"
#include "layout/LayoutSession.h"
#include "layout/Number_Gen.h"
#include "layout/Place_Generations.h"
#include "layout/chart_state.h"
#include "model/settings.h"
#include "model/tables.h"

#include <ostream>
#include <functional>
#include <vector>

using layouttest::FamilyBuilder;
using layouttest::Mirror;

class PlacementTest : public LayoutTest {};

namespace {

model::marry_data& kou(int k)
{
    return model::tables().kou_buf[static_cast<size_t>(k)];
}

const layout::cell_rec& cellAt(int row, int col)
{
    return layout::chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

constexpr int16_t M = FamilyBuilder::Male;
constexpr int16_t F = FamilyBuilder::Female;

// Persons 1..n in the order of the given sexes.
void persons(FamilyBuilder& f, std::initializer_list<int16_t> sexes)
{
    for (const int16_t s : sexes)
        f.person(s);
}

struct SampleFamily {
    const char* name;
    std::function<int16_t(FamilyBuilder&)> build; // returns the start marriage
    int16_t dispmode;
    Mirror mirror;
    const char* expected;
};

int16_t coupleWithThreeChildren(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, M});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    f.child(m1, 4);
    f.child(m1, 5);
    return m1;
}

// Grandparents 1+2 with son 3 and daughter 4; the son's marriage (start) with 5 has
// children 6 and 7; the daughter married 8 (her line does not continue under her
// parents) and has child 9.
int16_t threeGenerations(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, F, M, F, M, M});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    f.child(m1, 4);
    const int16_t m2 = f.marry(3, 5);
    f.child(m2, 6);
    f.child(m2, 7);
    const int16_t m3 = f.marry(8, 4);
    f.child(m3, 9);
    return m2;
}

int16_t manWithTwoMarriages(FamilyBuilder& f)
{
    persons(f, {M, F, F, M, F});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 4);
    const int16_t m2 = f.marry(1, 3);
    f.child(m2, 5);
    return m1;
}

// Man 1 married to 2 (child 3) with a relation to 4: children 5 on his side (stat 0),
// 6 on her side (stat 1) and 7 adopted (stat 2).
int16_t husbandsRelation(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, M, F, M});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    const int16_t m2 = f.marry(1, 4, 1, 1);
    f.child(m2, 5, 0);
    f.child(m2, 6, 1);
    f.child(m2, 7, 2);
    return m1;
}

// Woman 2 married to 1 (child 3) with a relation to 4: child 5 on his side, 6 on hers.
int16_t wifesRelation(FamilyBuilder& f)
{
    persons(f, {M, F, M, M, M, F});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    const int16_t m2 = f.marry(4, 2, 1, 1);
    f.child(m2, 5, 0);
    f.child(m2, 6, 1);
    return m1;
}

// Son 5 of 1+2 marries daughter 6 of 3+4 as an adoptive husband (Yoshi_f 1); 3+4 also
// adopted daughter 8 (stat 2). The young couple (start) has child 7.
int16_t adoptiveHusbandAndAdoptedChild(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, M, F, M, F});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 5);
    const int16_t m2 = f.marry(3, 4);
    f.child(m2, 6);
    f.child(m2, 8, 2);
    const int16_t m3 = f.marry(5, 6);
    kou(m3).Yoshi_f = 1;
    f.child(m3, 7);
    return m3;
}

// Son 5 is registered as a child of 1+2 and of 3+4; the second registration carries
// the line (as the pre-draw marking leaves it). He married 6 and has child 7.
int16_t childOfTwoMarriages(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, M, F, M});
    const int16_t m1 = f.marry(1, 2);
    const int16_t s1 = f.child(m1, 5);
    const int16_t m2 = f.marry(3, 4);
    const int16_t s2 = f.child(m2, 5);
    kou(m1).kodo_link[static_cast<size_t>(s1)] = 1;
    kou(m1).kodo_honsuji[static_cast<size_t>(s1)] = -1;
    kou(m2).kodo_link[static_cast<size_t>(s2)] = 1;
    kou(m2).kodo_honsuji[static_cast<size_t>(s2)] = 1;
    model::tables().per_buf[5].MultiParentF = 1;
    const int16_t m3 = f.marry(5, 6);
    f.child(m3, 7);
    return m1;
}

// 1+2 with child 3; unconnected, 4+5 whose son 6 married 7 and has child 8.
int16_t unconnectedFamilies(FamilyBuilder& f)
{
    persons(f, {M, F, M, M, F, M, F, M});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    const int16_t m2 = f.marry(4, 5);
    f.child(m2, 6);
    const int16_t m3 = f.marry(6, 7);
    f.child(m3, 8);
    return m1;
}

int16_t coupleWithTwoChildren(FamilyBuilder& f)
{
    persons(f, {M, F, M, F});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    f.child(m1, 4);
    return m1;
}

// Son 3 of 1+2 founds a branch family (Bunke 1) with 4; their child is 5.
int16_t branchFamily(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, M});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    const int16_t m2 = f.marry(3, 4);
    kou(m2).Bunke = 1;
    f.child(m2, 5);
    return m1;
}

int16_t modeTwoMarriage(FamilyBuilder& f)
{
    persons(f, {M, F, M});
    const int16_t m1 = f.marry(1, 2, 2);
    f.child(m1, 3);
    return m1;
}

// Man 1 married to 2 (child 9) with two relations whose record order is the opposite
// of their sort order: 3 (record 2, level 1: children 5 on his side, 6 on hers) and
// 4 (record 3, level 2: child 7 on his side, 8 adopted). The group puts the higher
// level outermost; his side's children stand under the marriage in record order.
int16_t relationsInRecordOrder(FamilyBuilder& f)
{
    persons(f, {M, F, F, F, M, F, M, M, F});
    const int16_t m1 = f.marry(1, 2);
    const int16_t r1 = f.marry(1, 3, 1, 1);
    f.child(r1, 5, 0);
    f.child(r1, 6, 1);
    const int16_t r2 = f.marry(1, 4, 1, 2);
    f.child(r2, 7, 0);
    f.child(r2, 8, 2);
    f.child(m1, 9);
    return m1;
}

// Man 1 married to 2 with a relation to 3 (child 5 on her side); 3 is herself married
// to 4. The child stands under the relation cell and again under 3's marriage.
int16_t wifeSideChildOfAMarriedWoman(FamilyBuilder& f)
{
    persons(f, {M, F, F, M, F});
    const int16_t m1 = f.marry(1, 2);
    const int16_t r = f.marry(1, 3, 1, 1);
    f.child(r, 5, 1);
    f.marry(4, 3);
    return m1;
}

// Two records of the couple 1+2: marriage 1 (child 3) and relation 2 (children 4
// adopted, 5 on his side). Both cells take their children from the higher record.
int16_t twoRecordsOfOneCouple(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, M});
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    const int16_t r = f.marry(1, 2, 1, 1);
    f.child(r, 4, 2);
    f.child(r, 5, 0);
    return m1;
}

// Son 4 of his father's relation with 3 (his side) stands under the father's
// marriage with 2; the son has a marriage with 5 and a relation with 6.
int16_t movedSonWithARelation(FamilyBuilder& f)
{
    persons(f, {M, F, F, M, F, F});
    const int16_t m1 = f.marry(1, 2);
    const int16_t r = f.marry(1, 3, 1, 1);
    f.child(r, 4, 0);
    f.marry(4, 5);
    f.marry(4, 6, 1, 1);
    return m1;
}

// Husband 1's parents 3+4 are married; wife 2's parents 5+6 have only a relation
// record (divorced, say), with 2 and her sister 7 as children.
int16_t wifesParentsOnlyARelation(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, M, F, F});
    f.child(f.marry(3, 4), 1);
    const int16_t r = f.marry(5, 6, 1);
    f.child(r, 2);
    f.child(r, 7);
    return f.marry(1, 2);
}

// Man 1 married to 2 (start) and to 3; 3 had a relation with 4, with child 5 on his
// side. Only the marriages of 1 and 2 form the group, so the relation is in none.
int16_t secondWifesEarlierRelation(FamilyBuilder& f)
{
    persons(f, {M, F, F, M, M});
    const int16_t m1 = f.marry(1, 2);
    f.marry(1, 3);
    f.child(f.marry(4, 3, 1, 1), 5, 0);
    return m1;
}

// The start couple's only record is a relation (child 5); an unconnected married
// couple 3+4 joins its row later.
int16_t relationStartBesideAnotherFamily(FamilyBuilder& f)
{
    persons(f, {M, F, M, F, M});
    const int16_t r = f.marry(1, 2, 1);
    f.child(r, 5);
    f.marry(3, 4);
    return r;
}

const SampleFamily samples[] = {
    {"CoupleWithThreeChildren", coupleWithThreeChildren, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w3590.4\n"
     "52,0 3/- t0 S L1^0 lt2 w979.2\n"
     "52,1 -/4 t0 S L2^0 lt2 w979.2\n"
     "52,2 5/- t0 S L3^0 lt2 w979.2\n"},
    // The daughter's own couple cannot hang under her parents: she stays there as a
    // reference and her couple starts tree 1 in her row.
    {"ThreeGenerations", threeGenerations, 1, Mirror::No,
     "50,0 1/2 t0 K1 L0^-1 lt2 w3590.4\n"
     "51,0 3/5 t0 K2 L1^0 lt2 w2284.8\n"
     "51,1 -/4 t0 R L4^0 lt2 w979.2\n"
     "51,2 8/4 t1 K3 L5^-1 lt2 w2284.8\n"
     "52,0 6/- t0 S L2^1 lt2 w979.2\n"
     "52,1 -/7 t0 S L3^1 lt2 w979.2\n"
     "52,2 9/- t1 S L6^5 lt2 w979.2\n"},
    {"ManWithTwoMarriages", manWithTwoMarriages, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "51,1 1/3 t0 K2 L2^-1 lt2 w2284.8\n"
     "52,0 4/- t0 S L1^0 lt2 w979.2\n"
     "52,1 -/5 t0 S L3^2 lt2 w979.2\n"},
    // dispmode 1: his-side child 5 moves under his marriage, ahead of its own child.
    {"HusbandsRelationDispmode1", husbandsRelation, 1, Mirror::No,
     "51,0 1/4 t0 K2 L0^-1 lt0 w2284.8\n"
     "51,1 1/2 t0 K1 L3^-1 lt2 w2284.8\n"
     "52,0 -/6 t0 S L1^0 lt2 w979.2\n"
     "52,1 7/- t0 S L2^0 lt2 w979.2\n"
     "52,2 5/- t0 S L4^3 lt2 w979.2\n"
     "52,3 3/- t0 S L5^3 lt2 w979.2\n"},
    {"HusbandsRelationDispmode0", husbandsRelation, 0, Mirror::No,
     "51,0 1/4 t0 K2 L0^-1 lt0 w3590.4\n"
     "51,1 1/2 t0 K1 L4^-1 lt2 w2284.8\n"
     "52,0 5/- t0 S L1^0 lt2 w979.2\n"
     "52,1 -/6 t0 S L2^0 lt2 w979.2\n"
     "52,2 7/- t0 S L3^0 lt2 w979.2\n"
     "52,3 3/- t0 S L5^4 lt2 w979.2\n"},
    // dispmode 1: her-side child 6 moves under her marriage, after its own child.
    {"WifesRelationDispmode1", wifesRelation, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "51,1 4/2 t0 K2 L3^-1 lt1 w1305.6\n"
     "52,0 3/- t0 S L1^0 lt2 w979.2\n"
     "52,1 -/6 t0 S L2^0 lt2 w979.2\n"
     "52,2 5/- t0 S L4^3 lt2 w979.2\n"},
    {"WifesRelationDispmode0", wifesRelation, 0, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "51,1 4/2 t0 K2 L2^-1 lt1 w2284.8\n"
     "52,0 3/- t0 S L1^0 lt2 w979.2\n"
     "52,1 5/- t0 S L3^2 lt2 w979.2\n"
     "52,2 -/6 t0 S L4^2 lt2 w979.2\n"},
    {"AdoptiveHusbandAndAdoptedChild", adoptiveHusbandAndAdoptedChild, 1, Mirror::No,
     "50,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "50,1 3/4 t1 K2 L2^-1 lt2 w3590.4\n"
     "51,0 5/- t0 R L1^0 lt2 w979.2\n"
     "51,1 5/6 t1 K3 L3^2 lt2 w2284.8\n"
     "51,2 -/8 t1 S L5^2 lt2 w979.2\n"
     "52,0 7/- t1 S L4^3 lt2 w979.2\n"},
    // The couple never starts a tree of its own; it hangs under the registration that
    // carries the line, reached as an unconnected family.
    {"ChildOfTwoMarriages", childOfTwoMarriages, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "51,1 3/4 t1 K2 L2^-1 lt2 w2284.8\n"
     "52,0 5/- t0 R L1^0 lt2 w979.2\n"
     "52,1 5/6 t1 K3 L3^2 lt2 w2284.8\n"
     "53,0 7/- t1 S L4^3 lt2 w979.2\n"},
    {"UnconnectedFamilies", unconnectedFamilies, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "51,1 4/5 t1 K2 L2^-1 lt2 w2284.8\n"
     "52,0 3/- t0 S L1^0 lt2 w979.2\n"
     "52,1 6/7 t1 K3 L3^2 lt2 w2284.8\n"
     "53,0 8/- t1 S L4^3 lt2 w979.2\n"},
    {"MirroredCouple", coupleWithTwoChildren, 1, Mirror::Yes,
     "51,0 2/1 t0 K1 L0^-1 lt2 w2284.8\n"
     "52,0 -/3 t0 S L1^0 lt2 w979.2\n"
     "52,1 4/- t0 S L2^0 lt2 w979.2\n"},
    // The wife's relation moves to her side, now the left.
    {"MirroredWifesRelation", wifesRelation, 1, Mirror::Yes,
     "51,0 2/4 t0 K2 L3^-1 lt0 w1305.6\n"
     "51,1 2/1 t0 K1 L0^-1 lt2 w2284.8\n"
     "52,0 -/3 t0 S L1^0 lt2 w979.2\n"
     "52,1 6/- t0 S L2^0 lt2 w979.2\n"
     "52,2 -/5 t0 S L4^3 lt2 w979.2\n"},
    {"BranchFamily", branchFamily, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "52,0 3/- t0 R L1^0 lt2 w979.2\n"
     "52,1 3/4 t1 K2 L2^-1 lt2 w2284.8\n"
     "53,0 5/- t1 S L3^2 lt2 w979.2\n"},
    // A kou_mode 2 record is laid out like a main marriage, its children included.
    {"ModeTwoMarriage", modeTwoMarriage, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "52,0 3/- t0 S L1^0 lt2 w979.2\n"},
    {"ModeTwoMarriageDispmode0", modeTwoMarriage, 0, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "52,0 3/- t0 S L1^0 lt2 w979.2\n"},
    // Relation cells by level (record 3 outermost), his-side children by record.
    {"RelationsInRecordOrder", relationsInRecordOrder, 1, Mirror::No,
     "51,0 1/4 t0 K3 L0^-1 lt0 w1305.6\n"
     "51,1 1/3 t0 K2 L2^-1 lt0 w1305.6\n"
     "51,2 1/2 t0 K1 L4^-1 lt2 w3590.4\n"
     "52,0 8/- t0 S L1^0 lt2 w979.2\n"
     "52,1 -/6 t0 S L3^2 lt2 w979.2\n"
     "52,2 5/- t0 S L5^4 lt2 w979.2\n"
     "52,3 7/- t0 S L6^4 lt2 w979.2\n"
     "52,4 -/9 t0 S L7^4 lt2 w979.2\n"},
    // The relation cell shows her-side children because he is married; her own
    // marriage (tree 1) shows them too, because she is married.
    {"WifeSideChildOfAMarriedWoman", wifeSideChildOfAMarriedWoman, 1, Mirror::No,
     "51,0 1/3 t0 K2 L0^-1 lt0 w1305.6\n"
     "51,1 1/2 t0 K1 L2^-1 lt2 w2284.8\n"
     "51,2 4/3 t1 K3 L3^-1 lt2 w2284.8\n"
     "52,0 -/5 t0 S L1^0 lt2 w979.2\n"
     "52,1 -/5 t1 S L4^3 lt2 w979.2\n"},
    // Both cells of the couple find the pair's highest record (the relation): the
    // relation cell shows its adopted child, the marriage cell all the relation's
    // children (no filter on a main cell); the marriage's own child 3 has no cell.
    {"TwoRecordsOfOneCouple", twoRecordsOfOneCouple, 1, Mirror::No,
     "51,0 1/2 t0 K2 L0^-1 lt0 w1305.6\n"
     "51,1 1/2 t0 K1 L2^-1 lt2 w2284.8\n"
     "52,0 -/4 t0 S L1^0 lt2 w979.2\n"
     "52,1 -/4 t0 S L3^2 lt2 w979.2\n"
     "52,2 5/- t0 S L4^2 lt2 w979.2\n"},
    // The parents' relation starts a tree of its own once the row's marriages are
    // placed and no group took it in; without it 5, 6 and 7 would have no cell.
    {"WifesParentsOnlyARelation", wifesParentsOnlyARelation, 1, Mirror::No,
     "50,0 3/4 t0 K1 L0^-1 lt2 w2284.8\n"
     "50,1 5/6 t1 K2 L2^-1 lt2 w2284.8\n"
     "51,0 1/2 t0 K3 L1^0 lt2 w2284.8\n"
     "51,1 -/2 t1 R L3^2 lt2 w979.2\n"
     "51,2 -/7 t1 S L4^2 lt2 w979.2\n"},
    {"SecondWifesEarlierRelation", secondWifesEarlierRelation, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "51,1 1/3 t0 K2 L1^-1 lt2 w2284.8\n"
     "51,2 4/3 t1 K3 L2^-1 lt2 w2284.8\n"
     "52,0 5/- t1 S L3^2 lt2 w979.2\n"},
    // Every cell gets its width, the relation's tree too, although its row holds a
    // main marriage (of tree 1) that the row scan measures first.
    {"RelationStartBesideAnotherFamily", relationStartBesideAnotherFamily, 1, Mirror::No,
     "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
     "51,1 3/4 t1 K2 L2^-1 lt2 w2284.8\n"
     "52,0 5/- t0 S L1^0 lt2 w979.2\n"},
    // The son's group (his relation first) re-uses the cell he was placed in.
    {"MovedSonWithARelation", movedSonWithARelation, 1, Mirror::No,
     "51,0 1/3 t0 K2 L0^-1 lt0 w1305.6\n"
     "51,1 1/2 t0 K1 L1^-1 lt2 w3916.8\n"
     "52,0 4/6 t0 K4 L2^1 lt0 w1305.6\n"
     "52,1 4/5 t0 K3 L3^1 lt2 w2284.8\n"},
};

// Test names show the case's name, not the bytes of the case.
void PrintTo(const SampleFamily& c, std::ostream* out)
{
    *out << c.name;
}

class SampleFamilyLayout : public LayoutTest, public ::testing::WithParamInterface<SampleFamily> {};

} // namespace

TEST_P(SampleFamilyLayout, GridMatchesTheLayoutWorkedOutByHand)
{
    const SampleFamily& sample = GetParam();
    const int16_t start = sample.build(family);
    model::settings().dispmode = sample.dispmode;
    layouttest::layOut(start, sample.mirror);
    EXPECT_EQ(layouttest::dumpGrid(), sample.expected);
}

INSTANTIATE_TEST_SUITE_P(Families, SampleFamilyLayout, ::testing::ValuesIn(samples),
                         [](const ::testing::TestParamInfo<SampleFamily>& info) { return info.param.name; });

TEST_F(PlacementTest, RelationCellsNameTheOtherPartnerAndMovedChildrenTheirSide)
{
    husbandsRelation(family);
    layouttest::layOut(1);
    // The relation cell on the husband's side names the woman of that relation.
    EXPECT_EQ(cellAt(51, 0).mark12, 4);
    EXPECT_EQ(cellAt(51, 0).cell_mode, 1);
    EXPECT_EQ(cellAt(51, 1).mark12, -1);
    // Child 5 came from the husband's relation: he stands in per_a; own children -1.
    EXPECT_EQ(cellAt(52, 2).kodo_side, 0);
    EXPECT_EQ(cellAt(52, 3).kodo_side, -1);
    for (int col = 0; col <= 3; ++col)
        EXPECT_EQ(cellAt(52, col).mark6, cellAt(52, col).per_a != -1 ? cellAt(52, col).per_a : cellAt(52, col).per_b);

    layouttest::resetAll();
    layouttest::FamilyBuilder other;
    wifesRelation(other);
    layouttest::layOut(1);
    EXPECT_EQ(cellAt(51, 1).mark12, 4);
    EXPECT_EQ(cellAt(52, 1).kodo_side, 1); // daughter 6 from the wife's relation
}

TEST_F(PlacementTest, BranchFamilyCoupleIsRecordedInTheBranchList)
{
    branchFamily(family);
    layouttest::layOut(1);
    const layout::ChartState& c = layout::chart();
    ASSERT_EQ(c.bunke_cnt, 0);
    EXPECT_EQ(c.bunke_buf[0].kind, 2);
    EXPECT_EQ(c.bunke_buf[0].kou_a, 2);
    EXPECT_EQ(c.bunke_buf[0].kou_b, 2);
    EXPECT_EQ(c.bunke_buf[0].tree_no, 1);
    EXPECT_EQ(c.bunke_buf[0].extra, -1);
    EXPECT_EQ(cellAt(52, 1).bunke_idx, 0);
    EXPECT_EQ(cellAt(51, 0).bunke_idx, -1);
}

TEST_F(PlacementTest, ModeTwoCellKeepsItsMode)
{
    modeTwoMarriage(family);
    layouttest::layOut(1);
    EXPECT_EQ(cellAt(51, 0).cell_mode, 2);
    // The record's own mode is as it was after the group took it for a main marriage.
    EXPECT_EQ(kou(1).kou_mode, 2);
}

TEST_F(PlacementTest, RelationAloneInItsRowStartsATree)
{
    // 1 and 2 have only a relation; no main marriage stands in their row.
    persons(family, {M, F, M});
    const int16_t r = family.marry(1, 2, 1);
    family.child(r, 3, 2);
    layouttest::layOut(r);
    EXPECT_EQ(layouttest::dumpGrid(),
              "51,0 1/2 t0 K1 L0^-1 lt2 w2284.8\n"
              "52,0 3/- t0 S L1^0 lt2 w979.2\n");
    EXPECT_EQ(cellAt(51, 0).cell_mode, 1);
}

TEST_F(PlacementTest, MarriagesOutsideTheGridRowsAreNotPlaced)
{
    // A line of 56 marriages numbered from the youngest: it takes row 51 and its
    // ancestors rows 50 down to -4. The four oldest are not placed; row 0 starts a tree.
    layouttest::buildDeepLine(56);
    layouttest::layOut(56);
    EXPECT_EQ(kou(1).kou_gen, -4);
    EXPECT_EQ(kou(5).kou_gen, 0);
    EXPECT_EQ(layout::chart().cell_last[0], 0);
    EXPECT_EQ(cellAt(0, 0).kou_no, 5);
    EXPECT_EQ(cellAt(0, 0).oya_link, -1); // its parents are not on the chart
    EXPECT_EQ(layout::chart().cell_last[52], -1);
    for (int k = 1; k <= 4; ++k) {
        for (int r = 0; r <= layout::GridLastRow; ++r) {
            for (int col = 0; col <= layout::chart().cell_last[static_cast<size_t>(r)]; ++col)
                EXPECT_NE(cellAt(r, col).kou_no, k) << "marriage " << k << " numbered outside the grid";
        }
    }
}

TEST_F(PlacementTest, GridClearedOrMirroredInsideASessionIsPlacedAgainInFull)
{
    threeGenerations(family);
    const layout::LayoutSession session;
    layout::Reset_KouGen();
    layout::Number_Gen(51, 2, -1);
    layout::Clear_CellBuf();
    layout::Place_Generations();
    const std::string first = layouttest::dumpGrid();
    ASSERT_EQ(layout::chart().link_cnt, 7);

    layout::Clear_CellBuf();
    layout::Place_Generations();
    EXPECT_EQ(layouttest::dumpGrid(), first);

    layout::Flip_Grid();
    layout::Clear_CellBuf();
    layout::Place_Generations();
    EXPECT_EQ(layouttest::dumpGrid(), first);
}

TEST_F(PlacementTest, SearchesKeepTheirScanOrder)
{
    for (int i = 0; i < 6; ++i)
        family.person(i % 2 == 0 ? Male : Female);
    // Couple 1+2 has a marriage (1) and a relation (3); 1 also has a relation with 4
    // (2) and a marriage with 6 (4); 5 has no record.
    family.marry(1, 2);
    family.marry(1, 4, 1);
    family.marry(1, 2, 1);
    family.marry(1, 6);
    layout::cell_rec& cell = layout::chart().cellAt(60, 3);
    cell.per_a = 6;
    cell.per_b = 1;
    layout::chart().cell_last[60] = 3;

    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<int16_t()> search;
        int16_t expected;
    };
    const std::vector<Case> cases = {
        {"pair's record: the highest", [] {}, [] { return layout::Find_PairKou(1, 2); }, 3},
        {"pair's record: either order", [] {}, [] { return layout::Find_PairKou(2, 1); }, 3},
        {"pair's record: none", [] {}, [] { return layout::Find_PairKou(1, 5); }, -1},
        {"first marriage: a main one before a lower relation", [] {},
         [] { return layout::Find_FirstMarry(1); }, 1},
        {"first marriage: the lowest main one", [] { kou(1).InUse = -1; },
         [] { return layout::Find_FirstMarry(1); }, 4},
        {"first marriage: the lowest of any mode without a main one", [] { kou(4).kou_mode = 1; },
         [] { return layout::Find_FirstMarry(1); }, 2},
        {"first marriage: none", [] {}, [] { return layout::Find_FirstMarry(5); }, -1},
        {"pair's record: only records in use", [] { kou(3).InUse = -1; },
         [] { return layout::Find_PairKou(1, 2); }, -1},
        {"pair cell: either order", [] {}, [] { return layout::Find_PairCell(0, 1, 6); }, 3},
        {"pair cell: never for a missing person", [] {}, [] { return layout::Find_PairCell(0, 6, -1); }, -1},
    };
    for (const Case& c : cases) {
        c.change();
        EXPECT_EQ(c.search(), c.expected) << c.what;
    }
}

TEST_F(PlacementTest, GroupKeepsTheMovedChildsMarksInTheCellHeWasPlacedIn)
{
    // The son's relation cell re-uses the cell he came in as a his-side child: it
    // keeps that side and the blood mark; his marriage cell is a new one.
    movedSonWithARelation(family);
    layouttest::layOut(1);
    EXPECT_EQ(cellAt(52, 0).kou_no, 4);
    EXPECT_EQ(cellAt(52, 0).kodo_side, 0);
    EXPECT_EQ(cellAt(52, 0).mark6, 4);
    EXPECT_EQ(cellAt(52, 0).mark12, 6);
    EXPECT_EQ(cellAt(52, 1).kou_no, 3);
    EXPECT_EQ(cellAt(52, 1).kodo_side, -1);
    EXPECT_EQ(cellAt(52, 1).mark6, 4);
}

TEST_F(PlacementTest, CellWithoutMarriageHasModeZeroWhateverTheLastChartLeftThere)
{
    // First chart: son 3's only record is a relation; his cell (52,0) has mode 1.
    persons(family, {M, F, M, F});
    family.child(family.marry(1, 2), 3);
    family.marry(3, 4, 1);
    layouttest::layOut(1);
    ASSERT_EQ(cellAt(52, 0).kou_no, 2);
    ASSERT_EQ(cellAt(52, 0).cell_mode, 1);

    // Next chart: the same position holds the unmarried son.
    layouttest::resetFamily();
    FamilyBuilder next;
    persons(next, {M, F, M});
    next.child(next.marry(1, 2), 3);
    layouttest::layOut(1);
    ASSERT_EQ(cellAt(52, 0).per_a, 3);
    EXPECT_EQ(cellAt(52, 0).kou_no, -1);
    EXPECT_EQ(cellAt(52, 0).cell_mode, 0);
}
