// Emptying the tables and creating or freeing single persons.

#include "model/fixture/FamilyFixture.h"

#include "model/DispStat.h"
#include "model/GroupLists.h"
#include "model/PersonTable.h"
#include "model/run_state.h"
#include "model/tables.h"

namespace model::testing {
namespace {

using PersonTableTest = FamilyFixture;

// Fills every field of a person with a value no cleared record has.
void scribble(personal_data& p)
{
    p.InUse = SlotUsed;
    p.F_name = "旧";
    p.Name = "住人";
    p.Sex = 1;
    p.B_day = "昭和10年1月1日";
    p.Old_name = "x";
    p.Death_day = "y";
    p.Age = 80;
    p.YubinNo = p.Addr1 = p.Addr2 = p.TelNo = p.FaxNo = p.KeiNo = p.E_mail = p.Biko = "z";
    p.Voice_index = 3;
    p.Voice_filename = "old.wav";
    p.Picture_filename = "old.bmp";
    p.Picture_index = 2;
    p.Picture_mode = 1;
    p.Zokugara = p.ZokugaraK = p.Kaimyo = p.GrpName = "w";
    p.Disp.DS_Houko = 1;
    p.Disp.DSW.fill(-1);
    p.OrgIdx = 5;
    p.CategoryF = 1;
    p.CopyIdx = 4;
    p.MultiParentF = 1;
    p.CsvOutFlag = 1;
}

TEST_F(PersonTableTest, ClearPerBufGivesEverySlotItsClearedRecord)
{
    for (const int slot : {0, 7, 1024})
        scribble(tables().per_buf[slot]);
    Add_GrpName("本家");

    Clear_PerBuf();

    for (const int slot : {0, 7, 1024}) {
        const personal_data& p = tables().per_buf[slot];
        SCOPED_TRACE(slot);
        EXPECT_EQ(p.InUse, -1);
        EXPECT_EQ(p.Voice_filename, "voice" + std::to_string(slot) + ".wav");
        EXPECT_EQ(p.Sex, 0);
        EXPECT_EQ(p.Age, -1);
        EXPECT_EQ(p.Voice_index, -1);
        EXPECT_EQ(p.Picture_index, -1);
        EXPECT_EQ(p.Picture_mode, -1);
        EXPECT_EQ(p.CategoryF, -1);
        EXPECT_EQ(p.CopyIdx, -1);
        EXPECT_EQ(p.OrgIdx, -1);
        EXPECT_EQ(p.CsvOutFlag, 0);
        EXPECT_EQ(p.Disp, defaultDispStat());
        EXPECT_TRUE(p.F_name.empty() && p.Name.empty() && p.B_day.empty() && p.Biko.empty());
        // Also the fields a reused slot would otherwise pass on to a new person.
        EXPECT_EQ(p.Picture_filename, "");
        EXPECT_EQ(p.Kaimyo, "");
        EXPECT_EQ(p.MultiParentF, 0);
    }
    EXPECT_EQ(tables().GrpNameCount, -1);
    EXPECT_EQ(windows.count("clearRelationPersonLists"), 1);
}

TEST_F(PersonTableTest, ClearKouBufResetsEveryFieldIncludingTheStartFlag)
{
    marry_data& k = tables().kou_buf[12];
    k.InUse = SlotUsed;
    k.kou_titi = 3;
    k.kou_haha = 4;
    k.kou_mode = 0;
    k.dsp_start = 1;
    k.kou_kodo[0] = 5;
    k.kou_kodo_comment[0] = "長男";
    k.kodo_visible[0] = 0;
    k.kodo_link[0] = 7;
    k.org_titi = 3;

    Clear_KouBuf();

    EXPECT_EQ(tables().kou_buf[12], marry_data());
    EXPECT_EQ(tables().kou_buf[12].dsp_start, 0);
    EXPECT_EQ(tables().kou_buf[12].kodo_visible[20], 1);
    EXPECT_EQ(tables().kou_buf[12].kou_kodo[20], -1);
    EXPECT_EQ(windows.count("resetRelationEditor"), 1);
}

TEST_F(PersonTableTest, AddNewPersonTakesFirstSlotNotInUseAndClosesWindows)
{
    runState().Entry_Open = 1;
    runState().YTbl_Open = 1;
    const int first = Add_NewPerson(-1, "太郎", "山田", 0);
    EXPECT_EQ(first, 1);
    const personal_data& p = tables().per_buf[1];
    EXPECT_EQ(p.InUse, 1);
    EXPECT_EQ(p.Name, "太郎");
    EXPECT_EQ(p.F_name, "山田");
    EXPECT_EQ(p.Sex, 0);
    EXPECT_EQ(tables().PerCount, 1);
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(runState().Entry_Open, 0);
    EXPECT_EQ(runState().YTbl_Open, 0);
    EXPECT_EQ(windows.count("closePersonEditor"), 1);
    EXPECT_EQ(windows.count("closeChronology"), 1);

    // A slot freed by del_per_buf (InUse -1) or never used both count as free.
    EXPECT_EQ(Add_NewPerson(-1, "花子", "山田", 1), 2);
    EXPECT_EQ(del_per_buf(1), 1);
    EXPECT_EQ(Add_NewPerson(-1, "次郎", "山田", 0), 1);
    EXPECT_EQ(tables().PerCount, 3);
}

TEST_F(PersonTableTest, AddNewPersonWithAnIndexOtherThanMinusOneChangesNothing)
{
    const int before = tables().PerCount;
    for (const int index : {0, 1, 5, 1024}) {
        EXPECT_EQ(Add_NewPerson(index, "太郎", "山田", 0), -1) << index;
        EXPECT_EQ(tables().per_buf[index].InUse, -1);
    }
    EXPECT_EQ(tables().PerCount, before);
    EXPECT_EQ(tables().Data_Changed, 0);
    EXPECT_TRUE(windows.events.empty());
}

TEST_F(PersonTableTest, NewPersonNeverInheritsThePreviousOccupantsData)
{
    scribble(tables().per_buf[1]);
    tables().per_buf[1].InUse = SlotFree; // a free slot still holding old data
    tables().DefDispStat.DS_Nen = 3;      // Disp comes from the current default block

    const int slot = Add_NewPerson(-1, "新", "人", 1);

    ASSERT_EQ(slot, 1);
    personal_data expected = clearedPerson(1);
    expected.InUse = SlotUsed;
    expected.Name = "新";
    expected.F_name = "人";
    expected.Sex = 1;
    EXPECT_EQ(tables().per_buf[1], expected);
    EXPECT_EQ(tables().per_buf[1].Voice_filename, "voice1.wav");
    EXPECT_EQ(tables().per_buf[1].Disp.DS_Nen, 3);
}

TEST_F(PersonTableTest, NoRealPersonEverLandsInTheBlankPartnerSlot)
{
    for (int i = 1; i <= LastPersonSlot; ++i)
        tables().per_buf[i].InUse = SlotUsed;
    tables().per_buf[BlankPartner].Name = "空白";

    EXPECT_EQ(Add_NewPerson(-1, "太郎", "山田", 0), -1);
    EXPECT_EQ(set_per_buf(-1, "太郎", "山田", 0, ""), -1);
    Add_DummyPerson(0);
    EXPECT_EQ(tables().Easy_NewPer, -1);
    EXPECT_EQ(tables().per_buf[BlankPartner].InUse, -1);
    EXPECT_EQ(tables().per_buf[BlankPartner].Name, "空白");
    EXPECT_EQ(tables().PerCount, 0);

    // With one slot free again the table takes it.
    tables().per_buf[LastPersonSlot].InUse = SlotFree;
    EXPECT_EQ(Add_NewPerson(-1, "太郎", "山田", 0), LastPersonSlot);
}

TEST_F(PersonTableTest, SetPerBufRefusesTheSamePersonAndFillsFreeSlots)
{
    EXPECT_EQ(set_per_buf(-1, "太郎", "山田", 0, "S10.1.1"), 1);
    EXPECT_EQ(tables().per_buf[1].B_day, "S10.1.1");
    EXPECT_EQ(tables().per_buf[1].InUse, 1);
    // Same given name, family name and sex: refused, also when the slot is free.
    EXPECT_EQ(set_per_buf(-1, "太郎", "山田", 0, ""), -2);
    del_per_buf(1);
    tables().per_buf[1].Name = "太郎";
    tables().per_buf[1].F_name = "山田";
    tables().per_buf[1].Sex = 0;
    EXPECT_EQ(set_per_buf(-1, "太郎", "山田", 0, ""), -2);
    // Another sex is another person.
    EXPECT_EQ(set_per_buf(-1, "太郎", "山田", 1, ""), 1);
    // An explicit index rewrites that slot.
    EXPECT_EQ(set_per_buf(1, "次郎", "山田", 0, "H1.1.1"), 1);
    EXPECT_EQ(tables().per_buf[1].Name, "次郎");
    // Indexes outside the person slots are refused without touching anything.
    for (const int bad : {0, 1024, 1025, -5}) {
        EXPECT_EQ(set_per_buf(bad, "x", "y", 0, ""), -1) << bad;
    }
    EXPECT_EQ(tables().per_buf[0].InUse, -1);
    EXPECT_EQ(tables().per_buf[1024].Name, "");
}

TEST_F(PersonTableTest, DelPerBufFreesOnlyUsedSlots)
{
    const int p = addPerson("太郎", "山田", 0);
    tables().Data_Changed = 0;
    tables().per_buf[p].TelNo = "03";
    EXPECT_EQ(del_per_buf(p), p);
    EXPECT_EQ(tables().per_buf[p].InUse, -1);
    EXPECT_EQ(tables().per_buf[p].Name, "");
    EXPECT_EQ(tables().per_buf[p].Sex, -1);
    EXPECT_EQ(tables().per_buf[p].TelNo, "03");
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(del_per_buf(p), -1);
    EXPECT_EQ(del_per_buf(-1), -1);
    EXPECT_EQ(del_per_buf(1025), -1);
}

struct DummyCase {
    int sex;
    int manCounter;
    int womanCounter;
    const char* name;
    int manAfter;
    int womanAfter;
};

void PrintTo(const DummyCase& c, std::ostream* os)
{
    *os << "sex " << c.sex << ", counters " << c.manCounter << "/" << c.womanCounter;
}

class DummyPersonTest : public FamilyFixture, public ::testing::WithParamInterface<DummyCase> {};

TEST_P(DummyPersonTest, MakesPlaceholderNamesFromTheCounters)
{
    const DummyCase& c = GetParam();
    tables().DummyManCnt = static_cast<int16_t>(c.manCounter);
    tables().DummyWomanCnt = static_cast<int16_t>(c.womanCounter);

    Add_DummyPerson(c.sex);

    const int slot = tables().Easy_NewPer;
    ASSERT_EQ(slot, 1);
    EXPECT_EQ(tables().per_buf[slot].F_name, "****");
    EXPECT_EQ(tables().per_buf[slot].Name, c.name);
    EXPECT_EQ(tables().per_buf[slot].Sex, c.sex);
    EXPECT_EQ(tables().DummyManCnt, c.manAfter);
    EXPECT_EQ(tables().DummyWomanCnt, c.womanAfter);
}

INSTANTIATE_TEST_SUITE_P(Counters, DummyPersonTest,
                         ::testing::Values(DummyCase{0, 1, 1, "男01", 2, 1},
                                           DummyCase{1, 1, 1, "女01", 1, 2},
                                           DummyCase{0, 3, 9, "男03", 4, 9},
                                           DummyCase{0, 123, 1, "男23", 124, 1},
                                           DummyCase{1, 5, 100, "女00", 5, 101},
                                           DummyCase{2, 7, 7, "", 7, 7}));

TEST_F(PersonTableTest, DummyPersonsAfterANewFamilyStartAtZeroOne)
{
    Add_DummyPerson(0);
    Add_DummyPerson(0);
    Add_DummyPerson(1);
    EXPECT_EQ(tables().per_buf[1].Name, "男01");
    EXPECT_EQ(tables().per_buf[2].Name, "男02");
    EXPECT_EQ(tables().per_buf[3].Name, "女01");
    EXPECT_EQ(tables().PerCount, 3);
}

} // namespace
} // namespace model::testing
