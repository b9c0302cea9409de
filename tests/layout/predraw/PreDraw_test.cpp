// The pre-draw transforms: which edits are permanent, which are undone by Restore_Bufs,
// and the shapes each transform leaves the tables in.

#include "layout/predraw/PreDraw.h"

#include "model/DispStat.h"
#include "model/fixture/FamilyFixture.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include <memory>

namespace model::testing {
namespace {

using model::Apply_DispModes;
using layout::Backup_Bufs;
using layout::Clear_Honsuji;
using layout::Expand_MultiMarry;
using layout::Hide_Branches;
using layout::Mark_MultiParent;
using layout::Restore_Bufs;

class PreDrawTest : public FamilyFixture {
protected:
    // A used person in a chosen slot (the transforms care about slots, not names).
    int personAt(int slot, const std::string& name = "人")
    {
        personal_data& p = tables().per_buf[slot];
        p = clearedPerson(slot);
        p.InUse = SlotUsed;
        p.Name = name + std::to_string(slot);
        return slot;
    }

    // A used marriage in a chosen slot.
    int marriageAt(int slot, int husband, int wife, int mode = 0)
    {
        marry_data& m = tables().kou_buf[slot];
        m = marry_data();
        m.InUse = SlotUsed;
        m.kou_titi = static_cast<int16_t>(husband);
        m.kou_haha = static_cast<int16_t>(wife);
        m.kou_mode = static_cast<int16_t>(mode);
        m.kou_state = "通常";
        return slot;
    }

    void childAt(int kou, int slot, int person, int honsuji = -1, int visible = 1)
    {
        marry_data& m = tables().kou_buf[kou];
        m.kou_kodo[slot] = static_cast<int16_t>(person);
        m.kou_kodo_stat[slot] = 0;
        m.kodo_honsuji[slot] = static_cast<int16_t>(honsuji);
        m.kodo_visible[slot] = static_cast<int16_t>(visible);
    }

    // A copy of both tables to compare against.
    struct Snapshot {
        std::array<personal_data, RecordCount> per;
        std::array<marry_data, RecordCount> kou;
    };
    std::unique_ptr<Snapshot> snapshot() const
    {
        auto s = std::make_unique<Snapshot>();
        s->per = tables().per_buf;
        s->kou = tables().kou_buf;
        return s;
    }
};

// --- Mark_MultiParent ---------------------------------------------------------------

struct MainLineCase {
    const char* name;
    int honsujiIn3;
    int honsujiIn7;
    int expected3;
    int expected7;
};

void PrintTo(const MainLineCase& c, std::ostream* os)
{
    *os << c.name;
}

class MarkMultiParentTest : public PreDrawTest, public ::testing::WithParamInterface<MainLineCase> {};

TEST_P(MarkMultiParentTest, LeavesExactlyOneMainLineRegistration)
{
    const MainLineCase& c = GetParam();
    for (int p : {1, 2, 3, 4, 10})
        personAt(p);
    marriageAt(3, 1, 2);
    marriageAt(7, 3, 4);
    childAt(3, 0, 10, c.honsujiIn3);
    childAt(7, 2, 10, c.honsujiIn7);

    Mark_MultiParent();

    const auto& kou = tables().kou_buf;
    EXPECT_EQ(kou[3].kodo_honsuji[0], c.expected3);
    EXPECT_EQ(kou[7].kodo_honsuji[2], c.expected7);
    EXPECT_EQ(kou[3].kodo_link[0], 1);
    EXPECT_EQ(kou[7].kodo_link[2], 1);
    EXPECT_EQ(tables().per_buf[10].MultiParentF, 1);
    // Slots without that child are unlinked.
    EXPECT_EQ(kou[3].kodo_link[1], -1);
}

INSTANTIATE_TEST_SUITE_P(Registrations, MarkMultiParentTest,
                         ::testing::Values(MainLineCase{"BothMarked_FirstKeepsIt", 1, 1, 1, -1},
                                           MainLineCase{"NoneMarked_FirstGetsIt", -1, -1, 1, -1},
                                           MainLineCase{"ZeroCountsAsUnmarked", 0, 0, 1, 0},
                                           MainLineCase{"SecondMarked_Kept", -1, 1, -1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreDrawTest, MarkMultiParentLeavesASingleRegistrationAlone)
{
    for (int p : {1, 2, 10, 11})
        personAt(p);
    marriageAt(3, 1, 2);
    childAt(3, 0, 10, 0);
    childAt(3, 1, 11, 1);
    tables().per_buf[10].MultiParentF = 1; // left over from an earlier build

    Mark_MultiParent();

    EXPECT_EQ(tables().kou_buf[3].kodo_honsuji[0], 0);
    EXPECT_EQ(tables().kou_buf[3].kodo_honsuji[1], 1);
    EXPECT_EQ(tables().kou_buf[3].kodo_link[0], -1);
    EXPECT_EQ(tables().per_buf[10].MultiParentF, 0);
}

TEST_F(PreDrawTest, MarkMultiParentCountsOnlyMarriagesInUse)
{
    for (int p : {1, 2, 3, 4, 10})
        personAt(p);
    marriageAt(3, 1, 2);
    marriageAt(7, 3, 4);
    childAt(3, 0, 10, -1);
    childAt(7, 0, 10, -1);
    tables().kou_buf[3].InUse = SlotFree; // a deleted record still holding the child

    Mark_MultiParent();

    EXPECT_EQ(tables().per_buf[10].MultiParentF, 0);
    EXPECT_EQ(tables().kou_buf[7].kodo_honsuji[0], -1);
    EXPECT_EQ(tables().kou_buf[7].kodo_link[0], -1);
}

TEST_F(PreDrawTest, ClearHonsujiTouchesOnlyThatPersonsRegistrations)
{
    for (int p : {1, 2, 10, 11})
        personAt(p);
    marriageAt(3, 1, 2);
    marriageAt(4, 1, 2, 1);
    childAt(3, 0, 10, 1);
    childAt(3, 1, 11, 1);
    childAt(4, 5, 10, 1);

    Clear_Honsuji(10);

    EXPECT_EQ(tables().kou_buf[3].kodo_honsuji[0], -1);
    EXPECT_EQ(tables().kou_buf[4].kodo_honsuji[5], -1);
    EXPECT_EQ(tables().kou_buf[3].kodo_honsuji[1], 1);
}

// --- Apply_DispModes -------------------------------------------------------------------

TEST_F(PreDrawTest, ApplyDispModesTakesWritingDirectionAndDeathFrame)
{
    personAt(1);
    personAt(2);
    personAt(3);
    tables().per_buf[2].Death_day = "平成5年3月1日";
    tables().per_buf[1].Disp.DS_DeathW = 7;
    tables().per_buf[3].InUse = SlotFree;
    tables().per_buf[3].Disp.DS_Houko = 0;
    settings().write_state = 1;
    settings().Dispmode_Death = 1;

    Apply_DispModes();

    EXPECT_EQ(tables().per_buf[1].Disp.DS_Houko, 1);
    EXPECT_EQ(tables().per_buf[2].Disp.DS_Houko, 1);
    EXPECT_EQ(tables().per_buf[1].Disp.DS_DeathW, 7) << "no death date: the frame mode stays";
    EXPECT_EQ(tables().per_buf[2].Disp.DS_DeathW, 1);
    EXPECT_EQ(tables().per_buf[3].Disp.DS_Houko, 0) << "a free slot is not touched";
}

// --- Backup_Bufs / Restore_Bufs -------------------------------------------------------------

TEST_F(PreDrawTest, RestoreBufsDiscardsEverythingWrittenSinceTheBackup)
{
    const SmallFamily f = buildSmallFamily();
    const auto before = snapshot();

    Backup_Bufs();
    tables().per_buf[f.son].Name = "変更";
    tables().per_buf[500].InUse = SlotUsed;
    tables().kou_buf[f.parents].InUse = SlotFree;
    tables().kou_buf[0].kou_title = "slot 0 is not copied";
    Restore_Bufs();

    for (int i = 1; i < RecordCount; ++i) {
        EXPECT_EQ(tables().per_buf[i], before->per[i]) << "person " << i;
        EXPECT_EQ(tables().kou_buf[i], before->kou[i]) << "marriage " << i;
    }
    EXPECT_EQ(tables().kou_buf[0].kou_title, "slot 0 is not copied");
}

// --- Expand_MultiMarry ----------------------------------------------------------------

TEST_F(PreDrawTest, ExpandGivesFurtherNormalMarriagesCopiesInTheLowestFreeSlots)
{
    for (int p : {1, 2, 4, 5, 6})
        personAt(p);
    tables().per_buf[1].Biko = "本人";
    marriageAt(2, 1, 4);
    marriageAt(5, 1, 5);
    marriageAt(9, 1, 6);

    ASSERT_TRUE(Expand_MultiMarry().empty());

    const auto& per = tables().per_buf;
    const auto& kou = tables().kou_buf;
    EXPECT_EQ(kou[2].kou_titi, 1);
    EXPECT_EQ(kou[5].kou_titi, 3) << "slot 3 is the lowest free slot";
    EXPECT_EQ(kou[9].kou_titi, 7);
    EXPECT_EQ(kou[2].org_titi, -1);
    EXPECT_EQ(kou[5].org_titi, 1);
    EXPECT_EQ(kou[9].org_titi, 1);
    for (int copy : {3, 7}) {
        EXPECT_EQ(per[copy].InUse, SlotUsed);
        EXPECT_EQ(per[copy].OrgIdx, 1);
        EXPECT_EQ(per[copy].Biko, "本人");
    }
    EXPECT_EQ(per[1].OrgIdx, -1);
    EXPECT_EQ(kou[5].kou_haha, 5) << "wives of one marriage each are not copied";
}

TEST_F(PreDrawTest, ExpandSplitsWivesInTheSecondPass)
{
    for (int p : {1, 2, 3})
        personAt(p);
    marriageAt(1, 1, 3);
    marriageAt(2, 2, 3);

    ASSERT_TRUE(Expand_MultiMarry().empty());

    EXPECT_EQ(tables().kou_buf[1].kou_haha, 3);
    EXPECT_EQ(tables().kou_buf[2].kou_haha, 4);
    EXPECT_EQ(tables().kou_buf[2].org_haha, 3);
    EXPECT_EQ(tables().per_buf[4].OrgIdx, 3);
}

struct NoCopyCase {
    const char* name;
    int husband;
    int secondMode;
};

void PrintTo(const NoCopyCase& c, std::ostream* os)
{
    *os << c.name;
}

class ExpandNoCopyTest : public PreDrawTest, public ::testing::WithParamInterface<NoCopyCase> {};

TEST_P(ExpandNoCopyTest, LeavesTheTablesAsTheyWere)
{
    const NoCopyCase& c = GetParam();
    for (int p : {1, 2, 3})
        personAt(p);
    marriageAt(1, c.husband, 2);
    marriageAt(2, c.husband, 3, c.secondMode);

    ASSERT_TRUE(Expand_MultiMarry().empty());

    EXPECT_EQ(tables().kou_buf[1].kou_titi, c.husband);
    EXPECT_EQ(tables().kou_buf[2].kou_titi, c.husband);
    EXPECT_EQ(tables().per_buf[4].InUse, SlotFree);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExpandNoCopyTest,
                         ::testing::Values(NoCopyCase{"OtherRelation", 1, 1},
                                           NoCopyCase{"KouMode2", 1, 2},
                                           NoCopyCase{"BlankPartnerIsNeverCopied", BlankPartner, 0},
                                           NoCopyCase{"NoPartnerIsNeverCopied", -1, 0},
                                           NoCopyCase{"PartnerOutsideTheTable", 3000, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreDrawTest, ExpandGivesTheSameSlotsOnTheSameTables)
{
    const SmallFamily f = buildSmallFamily();
    const int third = personAt(200);
    marriageAt(30, f.father, third);
    marriageAt(31, f.son, f.daughter);

    Backup_Bufs();
    ASSERT_TRUE(Expand_MultiMarry().empty());
    const auto first = snapshot();
    Restore_Bufs();
    ASSERT_TRUE(Expand_MultiMarry().empty());

    for (int i = 1; i < RecordCount; ++i) {
        EXPECT_EQ(tables().per_buf[i], first->per[i]) << "person " << i;
        EXPECT_EQ(tables().kou_buf[i], first->kou[i]) << "marriage " << i;
    }
    Restore_Bufs();
}

// Two free person slots for three further marriages: the husband's two take them,
// the wife's one is out of use until the tables are restored; nothing is shown.
TEST_F(PreDrawTest, ExpandOutOfPersonSlotsLeavesOutTheFurtherMarriagesWithoutACopy)
{
    for (int p = 1; p <= LastPersonSlot - 2; ++p)
        personAt(p);
    marriageAt(1, 1, 2);
    marriageAt(2, 1, 3);
    marriageAt(3, 1, 4);
    marriageAt(4, 5, 2);
    const auto before = snapshot();

    Backup_Bufs();
    const layout::ExpansionShortfall shortfall = Expand_MultiMarry();

    EXPECT_EQ(shortfall.hidden, std::vector<int16_t>{4});
    EXPECT_EQ(shortfall.persons, LastPersonSlot - 2);
    EXPECT_EQ(shortfall.furtherMarriages, 3);
    EXPECT_EQ(shortfall.tooMany, 1);
    EXPECT_EQ(tables().kou_buf[2].kou_titi, LastPersonSlot - 1);
    EXPECT_EQ(tables().kou_buf[3].kou_titi, LastPersonSlot);
    EXPECT_EQ(tables().kou_buf[4].InUse, SlotFree);
    EXPECT_EQ(tables().kou_buf[4].kou_haha, 2);
    EXPECT_TRUE(answers.shown().empty());
    Restore_Bufs();

    for (int i = 1; i < RecordCount; ++i) {
        EXPECT_EQ(tables().per_buf[i], before->per[i]) << "person " << i;
        EXPECT_EQ(tables().kou_buf[i], before->kou[i]) << "marriage " << i;
    }
}

// --- Hide_Branches ---------------------------------------------------------------------

class HideBranchesTest : public PreDrawTest {
protected:
    // Marriage 1: 1 + 2 with children 3 (slot 0) and 4 (slot 1).
    // Marriage 2: 3 + 5 with child 6.  Marriage 3: 3 + 7 (3's second marriage).
    // Marriage 4: 6 + 8 with child 9.  Marriage 5: 6 + 10 (6's second marriage).
    // Marriage 6: 4 + 11.
    void SetUp() override
    {
        for (int p = 1; p <= 11; ++p)
            personAt(p);
        marriageAt(1, 1, 2);
        childAt(1, 0, 3);
        childAt(1, 1, 4);
        marriageAt(2, 3, 5);
        childAt(2, 0, 6);
        marriageAt(3, 3, 7);
        marriageAt(4, 6, 8);
        childAt(4, 0, 9);
        marriageAt(5, 6, 10);
        marriageAt(6, 4, 11);
        settings().Dispmode_Tyokei = 1;
    }

    std::vector<int> marriagesInUse() const
    {
        std::vector<int> used;
        for (int k = 1; k <= LastSlot; ++k) {
            if (tables().kou_buf[k].InUse == SlotUsed)
                used.push_back(k);
        }
        return used;
    }
};

TEST_F(HideBranchesTest, ChildrenOnTheDirectLineKeepTheirMarriages)
{
    Hide_Branches();
    EXPECT_EQ(marriagesInUse(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(HideBranchesTest, AChildOffTheLineLosesAllItsMarriagesAndEachDescendantsFirst)
{
    tables().kou_buf[1].kodo_visible[0] = 0; // person 3 leaves the direct line

    Hide_Branches();

    // 3's marriages 2 and 3 go; through 2 its child 6 loses its first marriage 4 (and
    // 9 has none); 6's second marriage 5 stays and can make a tree of its own.
    EXPECT_EQ(marriagesInUse(), (std::vector<int>{1, 5, 6}));
}

TEST_F(HideBranchesTest, MinusOneCountsAsOffTheLine)
{
    tables().kou_buf[1].kodo_visible[1] = -1; // person 4
    Hide_Branches();
    EXPECT_EQ(marriagesInUse(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(HideBranchesTest, WithoutDirectLineViewNothingChanges)
{
    tables().kou_buf[1].kodo_visible[0] = 0;
    settings().Dispmode_Tyokei = 0;
    const auto before = snapshot();

    Hide_Branches();

    for (int k = 1; k < RecordCount; ++k)
        EXPECT_EQ(tables().kou_buf[k], before->kou[k]) << "marriage " << k;
}

TEST_F(HideBranchesTest, RestoreBufsBringsHiddenMarriagesBack)
{
    tables().kou_buf[1].kodo_visible[0] = 0;
    Backup_Bufs();
    Hide_Branches();
    ASSERT_TRUE(Expand_MultiMarry().empty());
    Restore_Bufs();
    EXPECT_EQ(marriagesInUse(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(tables().kou_buf[3].org_titi, -1);
}

} // namespace
} // namespace model::testing
