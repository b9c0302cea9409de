// Scans over the tables: which marriage a person is a child of, which slot holds a
// child, whether a person is an ancestor of a marriage, and the easy builder's marriages.

#include "model/fixture/FamilyFixture.h"

#include "model/Lookups.h"
#include "model/tables.h"

namespace model::testing {
namespace {

class LookupTest : public FamilyFixture {
protected:
    // A used marriage record at a chosen slot.
    marry_data& placeMarriage(int kou, int husband, int wife, int mode = 0)
    {
        marry_data& m = tables().kou_buf[kou];
        m = marry_data();
        m.InUse = SlotUsed;
        m.kou_titi = static_cast<int16_t>(husband);
        m.kou_haha = static_cast<int16_t>(wife);
        m.kou_mode = static_cast<int16_t>(mode);
        return m;
    }
};

TEST_F(LookupTest, GetChildKouReportsTheFirstMarriageThroughTheSelection)
{
    placeMarriage(3, 20, 21).kou_kodo[4] = 30;
    placeMarriage(9, 22, 23).kou_kodo[0] = 30;

    EXPECT_EQ(Get_ChildKou(30), 0);
    EXPECT_EQ(tables().Sel_ChildKou, 3);
    EXPECT_EQ(tables().Sel_ChildSlot, 4);
}

TEST_F(LookupTest, GetChildKouOfANonChildLeavesTheSelectionAsItWas)
{
    placeMarriage(3, 20, 21).kou_kodo[0] = 30;
    tables().Sel_ChildKou = 77;
    tables().Sel_ChildSlot = 7;

    for (const int person : {31, 20, -1, 5000}) {
        EXPECT_EQ(Get_ChildKou(person), -1) << person;
        EXPECT_EQ(tables().Sel_ChildKou, 77);
        EXPECT_EQ(tables().Sel_ChildSlot, 7);
    }
}

TEST_F(LookupTest, TheEmptySlotMarkIsNeverFoundAsAPerson)
{
    // Marriage 3 has empty child slots (-1) and, damaged, no wife (-1).
    placeMarriage(3, 20, -1).kou_kodo[0] = 30;
    int slot = 0;
    EXPECT_EQ(Get_ChildKou(-1), -1);
    EXPECT_EQ(Get_ChildKouLinked(-1), -1);
    EXPECT_EQ(Get_ChildSlot(3, -1), -1);
    EXPECT_EQ(Find_KodoSlot(3, -1), -1);
    EXPECT_EQ(Find_NextParentKou(-1, 1, slot), -1);
    EXPECT_EQ(Get_PersonKou(-1), -1);
    EXPECT_EQ(Find_PersonMarry(-1), -1);
    EXPECT_EQ(Find_NextMarry(-1, 1), -1);
}

TEST_F(LookupTest, ChildLookUpsSkipFreeMarriagesAndTheSpareEntry)
{
    marry_data& freeOne = placeMarriage(2, 20, 21);
    freeOne.kou_kodo[0] = 30;
    freeOne.InUse = SlotFree;
    placeMarriage(5, 22, 23).kou_kodo[20] = 30; // entry 20 is never a child slot

    EXPECT_EQ(Get_ChildKou(30), -1);
    EXPECT_EQ(Get_ChildSlot(2, 30), -1);
    EXPECT_EQ(Find_KodoSlot(2, 30), -1);
    EXPECT_EQ(Find_KodoSlot(5, 30), -1);
    // Find_NextParentKou scans the whole array 0..20, as the layout relies on.
    int slot = 0;
    EXPECT_EQ(Find_NextParentKou(30, 1, slot), 5);
    EXPECT_EQ(slot, 20);
}

TEST_F(LookupTest, GetChildKouLinkedPassesOverLinkedRegistrationsWithoutMainLine)
{
    marry_data& birth = placeMarriage(3, 20, 21);
    birth.kou_kodo[1] = 30;
    birth.kodo_link[1] = 9;
    birth.kodo_honsuji[1] = 0;
    placeMarriage(9, 22, 23).kou_kodo[2] = 30;

    EXPECT_EQ(Get_ChildKou(30), 0);
    EXPECT_EQ(tables().Sel_ChildKou, 3);

    EXPECT_EQ(Get_ChildKouLinked(30), 0);
    EXPECT_EQ(tables().Sel_ChildKou, 9);
    EXPECT_EQ(tables().Sel_ChildSlot, 2);

    // The main-line mark makes the linked registration count again.
    birth.kodo_honsuji[1] = 1;
    EXPECT_EQ(Get_ChildKouLinked(30), 0);
    EXPECT_EQ(tables().Sel_ChildKou, 3);

    // Only passed-over registrations: not found.
    birth.kodo_honsuji[1] = 0;
    tables().kou_buf[9].InUse = SlotFree;
    EXPECT_EQ(Get_ChildKouLinked(30), -1);
}

TEST_F(LookupTest, GetChildSlotAndFindKodoSlot)
{
    placeMarriage(4, 20, 21).kou_kodo[6] = 30;
    EXPECT_EQ(Find_KodoSlot(4, 30), 6);
    EXPECT_EQ(Get_ChildSlot(4, 30), 0);
    EXPECT_EQ(tables().Sel_ChildKou, 4);
    EXPECT_EQ(tables().Sel_ChildSlot, 6);
    for (const int badKou : {-1, 1025, 40000}) {
        EXPECT_EQ(Find_KodoSlot(badKou, 30), -1);
        EXPECT_EQ(Get_ChildSlot(badKou, 30), -1);
    }
}

TEST_F(LookupTest, MarriageScansOfAPerson)
{
    placeMarriage(2, 20, 21);
    placeMarriage(5, 22, 20);
    marry_data& hidden = placeMarriage(7, 20, 23);
    hidden.InUse = SlotFree;
    placeMarriage(8, 24, 25).kou_kodo[3] = 20;

    EXPECT_EQ(Find_PersonMarry(20), 2);
    EXPECT_EQ(Find_NextMarry(20, 3), 5);
    EXPECT_EQ(Find_NextMarry(20, 6), -1); // 7 is free, 8 holds him only as a child
    EXPECT_EQ(Find_NextMarry(20, 1025), -1);
    EXPECT_EQ(Find_NextMarry(20, -3), -1);
    EXPECT_EQ(Find_PersonMarry(99), -1);

    int slot = 0;
    EXPECT_EQ(Find_NextParentKou(20, 1, slot), 8);
    EXPECT_EQ(slot, 3);
    EXPECT_EQ(Find_NextParentKou(20, 9, slot), -1);
    EXPECT_EQ(slot, -1);
}

TEST_F(LookupTest, GetPersonKouTakesTheFirstRecordNotMarkedFree)
{
    placeMarriage(3, 20, 21).kou_kodo[0] = 30;
    placeMarriage(6, 30, 31);
    EXPECT_EQ(Get_PersonKou(30), 3); // as a child of 3 before his own marriage 6
    EXPECT_EQ(Get_PersonKou(31), 6);
    // Records with InUse 0 (neither used nor free) still count here.
    tables().kou_buf[3].InUse = 0;
    EXPECT_EQ(Get_PersonKou(30), 3);
    tables().kou_buf[3].InUse = SlotFree;
    EXPECT_EQ(Get_PersonKou(30), 6);
    EXPECT_EQ(Get_PersonKou(99), -1);
}

TEST_F(LookupTest, FindHonsujiKouOnlyForPersonsInSeveralMarriages)
{
    marry_data& birth = placeMarriage(3, 20, 21);
    birth.kou_kodo[0] = 30;
    birth.kodo_honsuji[0] = -1;
    marry_data& adoptive = placeMarriage(8, 22, 23);
    adoptive.kou_kodo[1] = 30;
    adoptive.kodo_honsuji[1] = 1;

    tables().per_buf[30].MultiParentF = 0;
    EXPECT_EQ(Find_HonsujiKou(30, -1), -1);

    tables().per_buf[30].MultiParentF = 1;
    EXPECT_EQ(Find_HonsujiKou(30, -1), 8);
    // A given marriage answers with the adoption history of the person's slot.
    birth.kodo_yoshirireki[0] = 8;
    EXPECT_EQ(Find_HonsujiKou(30, 3), 8);
    // No history there: the scan decides.
    birth.kodo_yoshirireki[0] = -1;
    EXPECT_EQ(Find_HonsujiKou(30, 3), 8);
    // A history value outside the table names no marriage.
    birth.kodo_yoshirireki[0] = 3000;
    EXPECT_EQ(Find_HonsujiKou(30, 3), 8);
    // Nor does a slot that holds no marriage: the next marriage registered would take it.
    birth.kodo_yoshirireki[0] = 12;
    EXPECT_EQ(Find_HonsujiKou(30, 3), 8);
    // A marriage the direct-line view hides for the drawing is still one.
    placeMarriage(5, 24, 25).InUse = SlotFree;
    birth.kodo_yoshirireki[0] = 5;
    EXPECT_EQ(Find_HonsujiKou(30, 3), 5);
    birth.kodo_yoshirireki[0] = -1;
    adoptive.kodo_honsuji[1] = -1;
    EXPECT_EQ(Find_HonsujiKou(30, 3), -1);
    EXPECT_EQ(Find_HonsujiKou(-1, 3), -1);
    EXPECT_EQ(Find_HonsujiKou(30, 5000), -1);
}

TEST_F(LookupTest, CheckAncestorWalksEveryAncestorMarriage)
{
    const SmallFamily f = buildSmallFamily();
    // The husband's father's father: a great-grandfather above the grandparents.
    const int greatGrandfather = addPerson("権兵衛", "山田", 0);
    const int greatGrandmother = addPerson("ウメ", "山田", 1);
    const int top = addMarriage(greatGrandfather, greatGrandmother);
    addChild(top, f.grandfather);

    EXPECT_EQ(Check_Ancestor(f.sonBlank, greatGrandfather), -2);
    EXPECT_EQ(Check_Ancestor(f.sonBlank, f.grandmother), -2);
    EXPECT_EQ(Check_Ancestor(f.sonBlank, f.mother), -2);
    EXPECT_EQ(Check_Ancestor(f.sonBlank, f.son), -2);
    EXPECT_EQ(Check_Ancestor(f.parents, f.father), -2);
    // Not ancestors by descent.
    EXPECT_EQ(Check_Ancestor(f.sonBlank, f.aunt), -1);
    EXPECT_EQ(Check_Ancestor(f.sonBlank, f.secondWife), -1);
    EXPECT_EQ(Check_Ancestor(f.parents, f.son), -1);
    EXPECT_EQ(Check_Ancestor(f.gp, f.father), -1);
    // The special marriage arguments.
    EXPECT_EQ(Check_Ancestor(-1, f.father), -1);
    EXPECT_EQ(Check_Ancestor(-2, f.son), -2);
}

TEST_F(LookupTest, CheckAncestorRefusesACycleOfDescentInsteadOfRecursingForever)
{
    // A damaged file: A+B's child C marries D, and A is registered as C+D's child.
    const int a = addPerson("A", "x", 0);
    const int b = addPerson("B", "x", 1);
    const int c = addPerson("C", "x", 0);
    const int d = addPerson("D", "x", 1);
    const int stranger = addPerson("E", "x", 0);
    const int ab = addMarriage(a, b);
    const int cd = addMarriage(c, d);
    tables().kou_buf[ab].kou_kodo[0] = static_cast<int16_t>(c);
    tables().kou_buf[cd].kou_kodo[0] = static_cast<int16_t>(a);

    EXPECT_EQ(Check_Ancestor(cd, stranger), -2);
    EXPECT_EQ(Check_Ancestor(ab, stranger), -2);
}

TEST_F(LookupTest, CheckAncestorWalksSharedAncestorsOnce)
{
    // Forty generations in which every couple are siblings of the generation above:
    // each marriage is reached along 2^n paths, so walking every path would never end.
    int kou = addMarriage(addPerson("祖", "x", 0), addPerson("祖母", "x", 1));
    for (int generation = 0; generation < 40; ++generation) {
        const int husband = addPerson("夫" + std::to_string(generation), "x", 0);
        const int wife = addPerson("妻" + std::to_string(generation), "x", 1);
        addChild(kou, husband);
        addChild(kou, wife);
        kou = addMarriage(husband, wife);
    }
    const int stranger = addPerson("他人", "y", 0);
    EXPECT_EQ(Check_Ancestor(kou, stranger), -1);
    EXPECT_EQ(Check_Ancestor(kou, 1), -2); // the first ancestor
}

TEST_F(LookupTest, CheckAncestorIgnoresPartnersThatAreNoPersons)
{
    // A damaged record without a husband (-1) must not be taken for a child of the
    // first marriage that has an empty child slot (-1).
    const int stranger = addPerson("他人", "x", 0);
    addMarriage(stranger, addPerson("妻", "x", 1));
    const int child = addPerson("子", "x", 1);
    const int damaged = addMarriage(-1, child);
    EXPECT_EQ(Check_Ancestor(damaged, stranger), -1);
    // The blank partner has no parents either.
    const int blank = addMarriage(BlankPartner, child);
    EXPECT_EQ(Check_Ancestor(blank, stranger), -1);
    // A marriage outside the table is refused.
    EXPECT_EQ(Check_Ancestor(5000, child), -2);
    EXPECT_EQ(Check_Ancestor(-7, child), -2);
}

struct EasyCase {
    const char* description;
    int personSex;
    // Marriages of the person at slots 4, 7, 9: partner (1024 blank, 0 none) and mode.
    int partner4, mode4, partner7, mode7, partner9, mode9;
    int marry, blank, other;
};

void PrintTo(const EasyCase& c, std::ostream* os) { *os << c.description; }

class EasyMarriesTest : public LookupTest, public ::testing::WithParamInterface<EasyCase> {};

TEST_P(EasyMarriesTest, CollectsTheLastMarriageOfEachKind)
{
    const EasyCase& c = GetParam();
    const int person = 40;
    tables().per_buf[person].InUse = SlotUsed;
    tables().per_buf[person].Sex = static_cast<int16_t>(c.personSex);
    const auto place = [&](int kou, int partner, int mode) {
        if (partner == 0)
            return;
        if (c.personSex == 0)
            placeMarriage(kou, person, partner, mode);
        else
            placeMarriage(kou, partner, person, mode);
    };
    place(4, c.partner4, c.mode4);
    place(7, c.partner7, c.mode7);
    place(9, c.partner9, c.mode9);
    tables().Easy_MarryKou = tables().Easy_BlankKou = tables().Easy_OtherKou = 55;

    Get_EasyMarries(person);

    EXPECT_EQ(tables().Easy_MarryKou, c.marry);
    EXPECT_EQ(tables().Easy_BlankKou, c.blank);
    EXPECT_EQ(tables().Easy_OtherKou, c.other);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EasyMarriesTest,
    ::testing::Values(
        // A woman married to person 12 (marriage 4) and to the blank partner (7).
        EasyCase{"woman", 1, 12, 0, 1024, 0, 0, 0, 4, 7, -1},
        EasyCase{"man", 0, 12, 0, 1024, 0, 0, 0, 4, 7, -1},
        // Two normal marriages: the later one wins.
        EasyCase{"two normal", 0, 12, 0, 13, 0, 0, 0, 7, -1, -1},
        // Other relations, with the blank partner too, go to Easy_OtherKou, last wins.
        EasyCase{"others", 1, 12, 1, 1024, 1, 13, 2, -1, -1, 9},
        EasyCase{"none", 0, 0, 0, 0, 0, 0, 0, -1, -1, -1}),
    [](const ::testing::TestParamInfo<EasyCase>& info) {
        std::string name = info.param.description;
        for (char& ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

TEST_F(LookupTest, GetEasyMarriesOfAPersonOutsideTheTableFindsNothing)
{
    tables().Easy_MarryKou = 3;
    Get_EasyMarries(-1);
    EXPECT_EQ(tables().Easy_MarryKou, -1);
    Get_EasyMarries(4000);
    EXPECT_EQ(tables().Easy_BlankKou, -1);
}

} // namespace
} // namespace model::testing
