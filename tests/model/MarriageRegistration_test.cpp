// Creating and changing marriages: the partner rules, the store refusals, the single
// start marriage, the line flag, default titles, the relationship editor's undo record
// and the registration of the listed children.

#include "model/fixture/FamilyFixture.h"

#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "model/UndoRecords.h"

#include <memory>
#include <ostream>
#include <vector>

namespace model::testing {
namespace {

const std::string NoPartner = "結婚相手が指定されていません";
const std::string BothBlank = "男女共に空白の設定は出来ません";
const std::string SameSex = "同性同士では結婚出来ません";
const std::string SameCouple = "既に結婚関係として登録されています";
const std::string TableFull = "登録件数の限界です。結婚関係は 1024組迄登録出来ます";
const std::string TooManyChildren = "子供の人数は20人迄です";
const std::string AncestorSuffix = ":  この子供は、家族の先祖として使用されている可能性があります";
const std::string NotInFamily = "家系データに存在しない人物が指定されています";

class MarriageTest : public FamilyFixture {
protected:
    // A record for a new normal marriage of the couple.
    static kou_work newMarriage(int husband, int wife)
    {
        kou_work w;
        init_kou_work(w);
        w.kou_titi = static_cast<int16_t>(husband);
        w.kou_haha = static_cast<int16_t>(wife);
        w.kou_mode = 0;
        w.kou_state = "通常";
        return w;
    }

    // A record editing marriage kou as it stands, with its children listed.
    static kou_work editOf(int kou)
    {
        const marry_data& m = tables().kou_buf[kou];
        kou_work w;
        init_kou_work(w);
        w.KouIdx = static_cast<int16_t>(kou);
        w.kou_titi = m.kou_titi;
        w.kou_haha = m.kou_haha;
        w.kou_mode = m.kou_mode;
        w.kou_state = m.kou_state;
        w.kou_title = m.kou_title;
        w.Yoshi_f = m.Yoshi_f;
        w.dsp_start = m.dsp_start;
        w.KodoCnt = 0;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (m.kou_kodo[s] != -1)
                w.Kodo[w.KodoCnt++] = {m.kou_kodo[s], m.kodo_visible[s]};
        }
        return w;
    }

    static void addEntry(kou_work& w, int person, int visible = 1)
    {
        if (w.KodoCnt < 0)
            w.KodoCnt = 0;
        if (w.KodoCnt >= ChildArraySize) {
            ADD_FAILURE() << "the record holds " << ChildArraySize << " child entries";
            return;
        }
        w.Kodo[w.KodoCnt++] = {static_cast<int16_t>(person), static_cast<int16_t>(visible)};
    }

    static std::unique_ptr<Tables> copyOfTables() { return std::make_unique<Tables>(tables()); }

    // Used marriages holding the start flag.
    static std::vector<int> startMarriages()
    {
        std::vector<int> found;
        for (int k = 1; k <= LastSlot; ++k) {
            const marry_data& m = tables().kou_buf[k];
            if (m.InUse == SlotUsed && m.dsp_start == 1)
                found.push_back(k);
        }
        return found;
    }

    static void expectRefusal(const kou_work& w, const std::string& message)
    {
        EXPECT_EQ(w.ErrFlag, 16);
        EXPECT_EQ(w.ErrMsg, message);
        EXPECT_EQ(w.ErrStyle, 48);
        EXPECT_EQ(w.ErrTitle, "関係設定エラー");
    }

    static void fillAllMarriageSlots()
    {
        for (int k = 1; k <= LastSlot; ++k) {
            marry_data& m = tables().kou_buf[k];
            m.InUse = SlotUsed;
            m.kou_titi = 1000;
            m.kou_haha = static_cast<int16_t>(k);
        }
    }
};

// ---------------------------------------------------------------------------
// Partner rules

enum class Who { NoneChosen, InitialValue, BeyondTable, Blank, Man, OtherMan, Woman, OtherWoman, FreedMan, FreedWoman };

struct PartnerCase {
    const char* description;
    Who husband;
    Who wife;
    std::string refusal; // empty: the couple is accepted
};

void PrintTo(const PartnerCase& c, std::ostream* os) { *os << c.description; }

class PartnerRuleTest : public MarriageTest, public ::testing::WithParamInterface<PartnerCase> {
protected:
    int slotOf(Who who)
    {
        switch (who) {
        case Who::NoneChosen: return 0;
        case Who::InitialValue: return -1;
        case Who::BeyondTable: return 2000;
        case Who::Blank: return BlankPartner;
        case Who::Man: return man;
        case Who::OtherMan: return otherMan;
        case Who::Woman: return woman;
        case Who::OtherWoman: return otherWoman;
        case Who::FreedMan: return freedMan;
        case Who::FreedWoman: return freedWoman;
        }
        return -1;
    }

    void SetUp() override
    {
        man = addPerson("太郎", "山田", 0);
        otherMan = addPerson("次郎", "田中", 0);
        woman = addPerson("花子", "佐藤", 1);
        otherWoman = addPerson("良子", "鈴木", 1);
        // Persons deleted since: their slots hold nobody.
        freedMan = addPerson("三郎", "高橋", 0);
        freedWoman = addPerson("恵", "高橋", 1);
        del_per_buf(freedMan);
        del_per_buf(freedWoman);
        tables().Data_Changed = 0;
    }

    int man = 0, otherMan = 0, woman = 0, otherWoman = 0, freedMan = 0, freedWoman = 0;
};

TEST_P(PartnerRuleTest, RefusesBeforeAnythingChangesOrAcceptsTheCouple)
{
    const PartnerCase& c = GetParam();
    const auto before = copyOfTables();
    const int16_t undoBefore = model::kouUndo().KouUndoMode;
    bool untouchedAtSnapshot = false;
    windows.onSaveUndo = [&] {
        untouchedAtSnapshot = tables().kou_buf == before->kou_buf && tables().Data_Changed == 0;
    };
    kou_work w = newMarriage(slotOf(c.husband), slotOf(c.wife));

    regist_kou_data(w);

    EXPECT_EQ(runState().KouNum, -1);
    if (!c.refusal.empty()) {
        expectRefusal(w, c.refusal);
        EXPECT_EQ(w.Registered, 0);
        EXPECT_EQ(windows.count("saveUndo"), 0) << "no snapshot for a refused couple";
        EXPECT_TRUE(tables().kou_buf == before->kou_buf);
        EXPECT_EQ(tables().Data_Changed, 0);
        EXPECT_EQ(model::kouUndo().KouUndoMode, undoBefore);
    } else {
        EXPECT_EQ(w.ErrFlag, 0);
        EXPECT_EQ(w.ErrMsg, "");
        EXPECT_EQ(w.Registered, 1);
        EXPECT_EQ(windows.count("saveUndo"), 1);
        EXPECT_TRUE(untouchedAtSnapshot) << "the snapshot comes before the change";
        const int kou = tables().Sel_ChildKou;
        ASSERT_EQ(kou, 1);
        EXPECT_EQ(tables().kou_buf[kou].InUse, SlotUsed);
        EXPECT_EQ(tables().kou_buf[kou].kou_titi, slotOf(c.husband));
        EXPECT_EQ(tables().kou_buf[kou].kou_haha, slotOf(c.wife));
        EXPECT_EQ(tables().Data_Changed, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Partners, PartnerRuleTest,
    ::testing::Values(
        PartnerCase{"no husband chosen, blank wife", Who::NoneChosen, Who::Blank, NoPartner},
        PartnerCase{"no wife chosen", Who::Man, Who::NoneChosen, NoPartner},
        PartnerCase{"husband left at the initial value", Who::InitialValue, Who::Woman, NoPartner},
        PartnerCase{"wife beyond the person table", Who::Man, Who::BeyondTable, NoPartner},
        PartnerCase{"both blank", Who::Blank, Who::Blank, BothBlank},
        PartnerCase{"two men", Who::Man, Who::OtherMan, SameSex},
        PartnerCase{"two women", Who::Woman, Who::OtherWoman, SameSex},
        PartnerCase{"husband deleted since", Who::FreedMan, Who::Woman, NotInFamily},
        PartnerCase{"wife deleted since", Who::Blank, Who::FreedWoman, NotInFamily},
        PartnerCase{"man and blank partner", Who::Man, Who::Blank, ""},
        PartnerCase{"blank partner and woman", Who::Blank, Who::Woman, ""},
        PartnerCase{"man and woman", Who::Man, Who::Woman, ""}),
    [](const ::testing::TestParamInfo<PartnerCase>& info) { return "row" + std::to_string(info.index); });

// ---------------------------------------------------------------------------
// Store refusals

TEST_F(MarriageTest, SameCoupleAgainIsRefusedAndNothingChanges)
{
    const SmallFamily f = buildSmallFamily();
    tables().Data_Changed = 0;
    const auto before = copyOfTables();
    kou_work w = newMarriage(f.father, f.mother);

    regist_kou_data(w);

    expectRefusal(w, SameCouple);
    EXPECT_EQ(w.Registered, 0);
    EXPECT_EQ(tables().Sel_ChildKou, -2);
    EXPECT_TRUE(tables().kou_buf == before->kou_buf);
    EXPECT_EQ(model::kouUndo().KouUndoMode, 0);
    EXPECT_EQ(tables().Data_Changed, 0);
}

TEST_F(MarriageTest, EditingTheCoupleItselfIsNoDuplicate)
{
    const SmallFamily f = buildSmallFamily();
    kou_work w = editOf(f.parents);
    w.kou_state = "別居";
    w.kou_mode = 1;

    regist_kou_data(w);

    EXPECT_EQ(w.ErrFlag, 0);
    EXPECT_EQ(w.Registered, 1);
    EXPECT_EQ(tables().Sel_ChildKou, f.parents);
    EXPECT_EQ(runState().KouNum, f.parents);
    EXPECT_EQ(tables().kou_buf[f.parents].kou_state, "別居");
    EXPECT_EQ(childrenOf(f.parents), (std::vector<int>{f.son, f.daughter}));
}

TEST_F(MarriageTest, SwappedPartnersAreAnotherCouple)
{
    const int a = addPerson("A", "甲", 0);
    const int b = addPerson("B", "乙", 1);
    const int first = set_kou_buf(-1, "通常", 0, 0, a, b, 1, "", 0);
    const int swapped = set_kou_buf(-1, "通常", 0, 0, b, a, 0, "", 0);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(swapped, 2);
    EXPECT_EQ(set_kou_buf(-1, "離婚", 1, 0, a, b, 0, "", 0), -2);
}

TEST_F(MarriageTest, FullTableRefusesWithTheLimitAndTheStartMarriageKeepsItsFlag)
{
    const int man = addPerson("太郎", "山田", 0);
    const int woman = addPerson("花子", "佐藤", 1);
    fillAllMarriageSlots();
    tables().kou_buf[7].dsp_start = 1;
    tables().Data_Changed = 0;
    const auto before = copyOfTables();
    kou_work w = newMarriage(man, woman);

    regist_kou_data(w);

    expectRefusal(w, TableFull);
    EXPECT_EQ(w.Registered, 0);
    EXPECT_EQ(tables().Sel_ChildKou, -1);
    EXPECT_EQ(startMarriages(), std::vector<int>{7});
    EXPECT_TRUE(tables().kou_buf == before->kou_buf);
    EXPECT_EQ(model::kouUndo().KouUndoMode, 0);
    EXPECT_EQ(tables().Data_Changed, 0);
}

// Arguments that point outside the tables are refused before anything is touched.
struct BadArguments {
    const char* description;
    int kouIdx;
    int husband;
    int wife;
};

void PrintTo(const BadArguments& c, std::ostream* os) { *os << c.description; }

class SetKouBufArgumentTest : public MarriageTest, public ::testing::WithParamInterface<BadArguments> {};

TEST_P(SetKouBufArgumentTest, IsRefusedWithoutTouchingTheTables)
{
    const BadArguments& c = GetParam();
    const int man = addPerson("太郎", "山田", 0);
    const int woman = addPerson("花子", "佐藤", 1);
    addMarriage(man, woman);
    tables().Data_Changed = 0;
    const auto before = copyOfTables();
    const int husband = c.husband == 0 ? man : c.husband;
    const int wife = c.wife == 0 ? woman : c.wife;

    EXPECT_EQ(set_kou_buf(c.kouIdx, "通常", 0, 0, husband, wife, 1, "", 0), -1);

    EXPECT_TRUE(tables().kou_buf == before->kou_buf);
    EXPECT_EQ(model::kouUndo().KouUndoMode, 0);
    EXPECT_EQ(tables().Data_Changed, 0);
}

// 0 in husband or wife stands for the real person of the setup.
INSTANTIATE_TEST_SUITE_P(Arguments, SetKouBufArgumentTest,
                         ::testing::Values(BadArguments{"marriage 0", 0, 0, 0},
                                           BadArguments{"marriage beyond the table", 1025, 0, 0},
                                           BadArguments{"marriage -5", -5, 0, 0},
                                           BadArguments{"husband -1", -1, -1, 0},
                                           BadArguments{"wife beyond the table", -1, 0, 1025},
                                           BadArguments{"wife -1 in an edit", 1, 0, -1},
                                           BadArguments{"husband a slot that holds nobody", -1, 900, 0},
                                           BadArguments{"wife a slot that holds nobody in an edit", 1, 0, 901}),
                         [](const ::testing::TestParamInfo<BadArguments>& info) {
                             return "row" + std::to_string(info.index);
                         });

// ---------------------------------------------------------------------------
// Start marriage

TEST_F(MarriageTest, FirstMarriageOfAFamilyIsTheStartEvenWhenNotAsked)
{
    const int a = addPerson("A", "甲", 0);
    const int b = addPerson("B", "乙", 1);
    const int kou = set_kou_buf(-1, "通常", 0, 0, a, b, 0, "", 0);
    ASSERT_EQ(kou, 1);
    EXPECT_EQ(startMarriages(), std::vector<int>{1});
}

TEST_F(MarriageTest, NewMarriageTakesTheStartFromThePreviousHolder)
{
    const model::RelationEditorStep step; // as the relationship editor registers
    const SmallFamily f = buildSmallFamily();
    ASSERT_EQ(startMarriages(), std::vector<int>{f.gp});
    const marry_data previousCopy = model::kouUndo().KouUndoBuf;
    const int bride = addPerson("恵", "高橋", 1);
    kou_work w = newMarriage(f.son, bride);

    regist_kou_data(w);

    const int kou = tables().Sel_ChildKou;
    ASSERT_EQ(w.Registered, 1);
    EXPECT_EQ(startMarriages(), std::vector<int>{kou});
    // Undo of a new marriage frees it; no copy is needed.
    EXPECT_EQ(model::kouUndo().KouUndoMode, 1);
    EXPECT_EQ(model::kouUndo().UndoKou, kou);
    EXPECT_TRUE(model::kouUndo().KouUndoBuf == previousCopy);
}

TEST_F(MarriageTest, MarriageNotAskingForTheStartLeavesIt)
{
    const SmallFamily f = buildSmallFamily();
    const int bride = addPerson("恵", "高橋", 1);
    const int kou = set_kou_buf(-1, "通常", 0, 0, f.son, bride, 0, "", 0);
    ASSERT_GT(kou, 0);
    EXPECT_EQ(tables().kou_buf[kou].dsp_start, 0);
    EXPECT_EQ(startMarriages(), std::vector<int>{f.gp});

    // An edit passes the record's own flag and changes nothing about the start.
    kou_work w = editOf(f.gp);
    regist_kou_data(w);
    EXPECT_EQ(startMarriages(), std::vector<int>{f.gp});
}

// A freed record can still carry an old start flag. It must not take the place of the
// real start marriage when the flag moves on, or the chart would have two.
TEST_F(MarriageTest, StaleStartFlagInAFreeRecordLeavesASingleStartMarriage)
{
    const int a = addPerson("A", "甲", 0);
    const int b = addPerson("B", "乙", 1);
    const int c = addPerson("C", "丙", 0);
    const int d = addPerson("D", "丁", 1);
    marry_data& stale1 = tables().kou_buf[1];
    marry_data& stale2 = tables().kou_buf[2];
    stale1.dsp_start = 1; // free records, flags left from an earlier family
    stale2.dsp_start = 1;
    marry_data& start = tables().kou_buf[3];
    start.InUse = SlotUsed;
    start.kou_titi = static_cast<int16_t>(a);
    start.kou_haha = static_cast<int16_t>(b);
    start.kou_mode = 0;
    start.dsp_start = 1;

    const int kou = set_kou_buf(-1, "通常", 0, 0, c, d, 1, "", 0);

    ASSERT_EQ(kou, 1);
    EXPECT_EQ(startMarriages(), std::vector<int>{kou});
    EXPECT_EQ(start.dsp_start, 0);
}

// ---------------------------------------------------------------------------
// The relationship editor's undo record

TEST_F(MarriageTest, ChangedMarriageKeepsTheRecordBeforeForUndoAndItsChildren)
{
    const model::RelationEditorStep step; // as the relationship editor registers
    const SmallFamily f = buildSmallFamily();
    marry_data& m = tables().kou_buf[f.parents];
    m.kou_gen = 52;
    m.Bunke = 1;
    const marry_data before = m;

    const int kou = set_kou_buf(f.parents, "死別", 1, 3, f.father, f.mother, 0, "", 0);

    ASSERT_EQ(kou, f.parents);
    EXPECT_EQ(model::kouUndo().KouUndoMode, 2);
    EXPECT_EQ(model::kouUndo().UndoKou, f.parents);
    EXPECT_TRUE(model::kouUndo().KouUndoBuf == before);
    const marry_data& after = tables().kou_buf[kou];
    EXPECT_EQ(after.kou_state, "死別");
    EXPECT_EQ(after.kou_title, "死別");
    EXPECT_EQ(after.sort_lev, 3);
    EXPECT_EQ(after.kou_gen, 52);
    EXPECT_EQ(after.Bunke, 1);
    EXPECT_EQ(after.kou_kodo, before.kou_kodo);
    EXPECT_EQ(after.kodo_visible, before.kodo_visible);
}

// ---------------------------------------------------------------------------
// Line flag

// A new marriage of husband H and wife W. H and W may be children of recorded
// marriages. H has an other relation with X, Y one with W, and Z one with V (unrelated);
// those three start with Yoshi_f 7.
struct LineCase {
    const char* description;
    bool husbandIsChild;
    bool wifeIsChild;
    int mode;
    int wish;
    int expected;        // Yoshi_f of the new marriage
    int relatedOthers;   // Yoshi_f of H's and W's other relations afterwards
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.description; }

class LineFlagTest : public MarriageTest, public ::testing::WithParamInterface<LineCase> {
protected:
    void SetUp() override
    {
        h = addPerson("H", "夫", 0);
        w = addPerson("W", "妻", 1);
        x = addPerson("X", "他", 1);
        y = addPerson("Y", "他", 0);
        z = addPerson("Z", "他", 0);
        v = addPerson("V", "他", 1);
        const int hp = addPerson("HP", "夫親", 0);
        const int hm = addPerson("HM", "夫親", 1);
        const int wp = addPerson("WP", "妻親", 0);
        const int wm = addPerson("WM", "妻親", 1);
        husbandParents = addMarriage(hp, hm);
        wifeParents = addMarriage(wp, wm);
        hx = addMarriage(h, x, 1, "愛人");
        yw = addMarriage(y, w, 1, "離婚");
        zv = addMarriage(z, v, 1, "愛人");
        for (const int k : {hx, yw, zv})
            tables().kou_buf[k].Yoshi_f = 7;
        // The slot the new marriage will take carries an old line flag.
        tables().kou_buf[zv + 1].Yoshi_f = 9;
    }

    int h = 0, w = 0, x = 0, y = 0, z = 0, v = 0;
    int husbandParents = 0, wifeParents = 0, hx = 0, yw = 0, zv = 0;
};

TEST_P(LineFlagTest, DecidesThroughWhichPartnerTheLineContinues)
{
    const LineCase& c = GetParam();
    if (c.husbandIsChild)
        addChild(husbandParents, h);
    if (c.wifeIsChild)
        addChild(wifeParents, w);

    const int kou = set_kou_buf(-1, c.mode == 1 ? "愛人" : "通常", c.mode, 0, h, w, 0, "", c.wish);

    ASSERT_EQ(kou, zv + 1);
    EXPECT_EQ(tables().kou_buf[kou].Yoshi_f, c.expected);
    EXPECT_EQ(tables().kou_buf[hx].Yoshi_f, c.relatedOthers);
    EXPECT_EQ(tables().kou_buf[yw].Yoshi_f, c.relatedOthers);
    EXPECT_EQ(tables().kou_buf[zv].Yoshi_f, 7) << "an unrelated couple keeps its flag";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineFlagTest,
    ::testing::Values(
        LineCase{"no parents on record, through the husband", false, false, 0, 0, 0, 1},
        LineCase{"no parents on record, through the wife", false, false, 0, 1, 1, 0},
        LineCase{"other relation takes the wish as it is", false, false, 1, 1, 1, 7},
        LineCase{"other relation with the husband a child", true, false, 1, 0, 0, 7},
        LineCase{"only the wife has parents: the line goes through her", false, true, 0, 0, 1, 7},
        LineCase{"the husband has parents, through the husband", true, false, 0, 0, 0, 1},
        LineCase{"both have parents, through the husband", true, true, 0, 0, 0, 1},
        LineCase{"only the husband has parents: wish for the wife overruled", true, false, 0, 1, 0, 7},
        LineCase{"the wife has parents, through the wife", false, true, 0, 1, 1, 0},
        LineCase{"both have parents, through the wife", true, true, 0, 1, 1, 0},
        LineCase{"an unknown wish keeps the slot's flag", true, false, 0, 5, 9, 7}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return "row" + std::to_string(info.index); });

// Couples that both lack a husband share no one: the blank partner must not pass the
// line flag between them.
TEST_F(MarriageTest, BlankPartnerSharesNoLineFlagWithOtherCouples)
{
    const int w1 = addPerson("一", "甲", 1);
    const int w2 = addPerson("二", "乙", 1);
    const int other = addMarriage(BlankPartner, w2, 1, "愛人");
    tables().kou_buf[other].Yoshi_f = 7;

    const int kou = set_kou_buf(-1, "通常", 0, 0, BlankPartner, w1, 0, "", 0);

    ASSERT_GT(kou, 0);
    EXPECT_EQ(tables().kou_buf[kou].Yoshi_f, 0);
    EXPECT_EQ(tables().kou_buf[other].Yoshi_f, 7);
}

// ---------------------------------------------------------------------------
// Default title

struct TitleCase {
    const char* description;
    std::string title;
    std::string state;
    std::string husbandFamilyName;
    bool blankHusband;
    std::string expected;
};

void PrintTo(const TitleCase& c, std::ostream* os) { *os << c.description; }

class TitleTest : public MarriageTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(TitleTest, EmptyTitleIsMadeFromTheStateOrTheFamilyName)
{
    const TitleCase& c = GetParam();
    const int husband = c.blankHusband ? BlankPartner : addPerson("太郎", c.husbandFamilyName, 0);
    const int wife = addPerson("花子", "佐藤", 1);

    const int kou = set_kou_buf(-1, c.state, c.state == "通常" ? 0 : 1, 0, husband, wife, 1, c.title, 0);

    ASSERT_GT(kou, 0);
    EXPECT_EQ(tables().kou_buf[kou].kou_title, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleTest,
    ::testing::Values(
        TitleCase{"family name with blanks around it", "", "通常", " 山田 ", false, "山田家"},
        TitleCase{"other state word", "", "離婚", "山田", false, "離婚"},
        TitleCase{"given title kept as it is", " 本家 ", "通常", "山田", false, " 本家 "},
        TitleCase{"family name of blanks only", "", "通常", "   ", false, ""},
        TitleCase{"blank husband has no family name", "", "通常", "", true, ""}),
    [](const ::testing::TestParamInfo<TitleCase>& info) { return "row" + std::to_string(info.index); });

// ---------------------------------------------------------------------------
// Children

TEST_F(MarriageTest, AncestorAmongTheChildrenIsReportedAndTheOthersRegistered)
{
    const SmallFamily f = buildSmallFamily();
    const int bride = addPerson("恵", "高橋", 1);
    const int kid1 = addPerson("一", "山田", 0);
    const int kid2 = addPerson("二", "山田", 1);
    kou_work w = newMarriage(f.son, bride);
    w.Bunke = 1;
    addEntry(w, kid1, 1);
    addEntry(w, f.grandfather, 1);
    addEntry(w, kid2, 0);

    regist_kou_data(w);

    const int kou = tables().Sel_ChildKou;
    ASSERT_GT(kou, 0);
    EXPECT_EQ(w.Registered, 1);
    expectRefusal(w, "山田 一郎" + AncestorSuffix);
    EXPECT_EQ(childrenOf(kou), (std::vector<int>{kid1, kid2}));
    EXPECT_EQ(tables().kou_buf[kou].kodo_visible[1], 0);
    EXPECT_EQ(tables().kou_buf[kou].Bunke, 1);
    EXPECT_EQ(tables().Sel_ChildSlot, 1) << "result of the last child registration";
}

TEST_F(MarriageTest, ChildAlreadyInTheMarriageOnlyTakesItsMark)
{
    const SmallFamily f = buildSmallFamily();
    const int kid = addPerson("三", "山田", 0);
    tables().kou_buf[f.parents].kou_kodo_comment[0] = "長男";
    kou_work w = editOf(f.parents);
    w.Kodo[0].kodo_visible = 0; // the son
    addEntry(w, kid, 0);

    regist_kou_data(w);

    EXPECT_EQ(w.ErrFlag, 0);
    const marry_data& m = tables().kou_buf[f.parents];
    EXPECT_EQ(childrenOf(f.parents), (std::vector<int>{f.son, f.daughter, kid}));
    EXPECT_EQ(m.kodo_visible[0], 0);
    EXPECT_EQ(m.kou_kodo_comment[0], "長男");
    EXPECT_EQ(m.kodo_visible[1], 1);
    EXPECT_EQ(tables().Sel_ChildSlot, 2);
}

// KodoWork holds whatever the last child operation left; a newly registered child
// must not inherit it.
TEST_F(MarriageTest, NewChildStartsRegisteredWithoutCommentOrMainLine)
{
    const SmallFamily f = buildSmallFamily();
    const int kid = addPerson("三", "山田", 0);
    kodo_data& left = tables().KodoWork;
    left.kou_kodo_stat = 2;
    left.kou_kodo_comment = "前の子";
    left.kodo_honsuji = 1;
    left.KodoIdx = 0;
    kou_work w = editOf(f.sonBlank);
    addEntry(w, kid, 1);

    regist_kou_data(w);

    const marry_data& m = tables().kou_buf[f.sonBlank];
    ASSERT_EQ(childrenOf(f.sonBlank), (std::vector<int>{f.adopted, kid}));
    EXPECT_EQ(m.kou_kodo_stat[0], 2) << "the adopted child keeps its status";
    EXPECT_EQ(m.kou_kodo_stat[1], 0);
    EXPECT_EQ(m.kou_kodo_comment[1], "");
    EXPECT_EQ(m.kodo_honsuji[1], -1);
    EXPECT_EQ(m.kodo_visible[1], 1);
}

TEST_F(MarriageTest, LaterChildRefusalReplacesTheEarlierMessage)
{
    const int father = addPerson("父", "山田", 0);
    const int mother = addPerson("母", "山田", 1);
    const int grandpa = addPerson("祖父", "山田", 0);
    const int kou = addMarriage(father, mother);
    const int up = addMarriage(grandpa, addPerson("祖母", "山田", 1));
    addChild(up, father);
    for (int i = 0; i < 19; ++i)
        addChild(kou, addPerson("子" + std::to_string(i), "山田", i % 2));
    const int last = addPerson("末", "山田", 0);
    const int extra = addPerson("余", "山田", 1);
    kou_work w = editOf(kou);
    w.KodoCnt = 0; // the children on record need not be listed again
    addEntry(w, grandpa);
    addEntry(w, last);
    addEntry(w, extra);

    regist_kou_data(w);

    EXPECT_EQ(w.Registered, 1);
    expectRefusal(w, TooManyChildren);
    EXPECT_EQ(tables().kou_buf[kou].kou_kodo[19], last);
    EXPECT_EQ(tables().Sel_ChildSlot, -1);
}

TEST_F(MarriageTest, EmptyEntryWithinTheCountIsReportedWithoutAName)
{
    const SmallFamily f = buildSmallFamily();
    kou_work w = editOf(f.parents);
    addEntry(w, -1);

    regist_kou_data(w);

    EXPECT_EQ(w.Registered, 1);
    expectRefusal(w, AncestorSuffix);
    EXPECT_EQ(childrenOf(f.parents), (std::vector<int>{f.son, f.daughter}));
}

// A child naming a person slot that holds nobody (deleted since a window listed him)
// refuses the whole record: nothing is stored, and no snapshot is taken.
TEST_F(MarriageTest, ChildDeletedSinceRefusesTheWholeRecord)
{
    const SmallFamily f = buildSmallFamily();
    const int bride = addPerson("新", "佐藤", 1);
    const int freed = addPerson("消", "山田", 0);
    del_per_buf(freed);
    tables().Data_Changed = 0;
    const auto before = copyOfTables();
    for (kou_work w : {editOf(f.parents), newMarriage(f.father, bride)}) {
        addEntry(w, freed);
        regist_kou_data(w);
        expectRefusal(w, NotInFamily);
        EXPECT_EQ(w.Registered, 0);
    }
    EXPECT_TRUE(tables().kou_buf == before->kou_buf);
    EXPECT_EQ(windows.count("saveUndo"), 0);
}

// A count beyond the entries of the record reads no further than its last entry.
TEST_F(MarriageTest, ChildCountBeyondTheEntriesStopsAtTheLastEntry)
{
    const int father = addPerson("父", "山田", 0);
    const int mother = addPerson("母", "山田", 1);
    kou_work w = newMarriage(father, mother);
    for (int i = 0; i < ChildArraySize; ++i)
        addEntry(w, addPerson("子" + std::to_string(i), "山田", i % 2));
    w.KodoCnt = 1000;

    regist_kou_data(w);

    const int kou = tables().Sel_ChildKou;
    ASSERT_GT(kou, 0);
    EXPECT_EQ(w.Registered, 1);
    expectRefusal(w, TooManyChildren);
    EXPECT_EQ(childrenOf(kou).size(), 20u);
}

} // namespace
} // namespace model::testing
