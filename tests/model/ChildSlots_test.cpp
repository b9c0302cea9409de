// Adding, removing and reordering the children of a marriage.

#include "model/fixture/FamilyFixture.h"

#include "model/ChildSlots.h"
#include "model/PersonTable.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Hooks.h"
#include "model/UndoRecords.h"
#include "model/WindowServices.h"

#include <algorithm>
#include <string>

namespace model::testing {
namespace {

class ChildSlotTest : public FamilyFixture {
protected:
    void SetUp() override
    {
        a = addPerson("A", "子", 0);
        b = addPerson("B", "子", 1);
        c = addPerson("C", "子", 0);
        kou = addMarriage(addPerson("父", "親", 0), addPerson("母", "親", 1));
    }

    // Puts a child with distinct per-child values into a slot directly.
    void putChild(int slot, int person)
    {
        marry_data& k = tables().kou_buf[kou];
        k.kou_kodo[slot] = static_cast<int16_t>(person);
        k.kou_kodo_stat[slot] = static_cast<int16_t>(person % 3);
        k.kodo_spare[slot] = static_cast<int16_t>(100 + person);
        k.kou_kodo_comment[slot] = "comment" + std::to_string(person);
        k.kodo_honsuji[slot] = static_cast<int16_t>(person % 2);
        k.kodo_visible[slot] = static_cast<int16_t>(person % 2 == 0 ? 1 : 0);
        k.kodo_yoshirireki[slot] = static_cast<int16_t>(200 + person);
    }

    // Every child must still carry its own values wherever it stands.
    void expectValuesTravelled()
    {
        const marry_data& k = tables().kou_buf[kou];
        for (int s = 0; s <= LastChildSlot; ++s) {
            const int person = k.kou_kodo[s];
            if (person == -1)
                continue;
            SCOPED_TRACE("slot " + std::to_string(s));
            EXPECT_EQ(k.kou_kodo_stat[s], person % 3);
            EXPECT_EQ(k.kodo_spare[s], 100 + person);
            EXPECT_EQ(k.kou_kodo_comment[s], "comment" + std::to_string(person));
            EXPECT_EQ(k.kodo_honsuji[s], person % 2);
            EXPECT_EQ(k.kodo_visible[s], person % 2 == 0 ? 1 : 0);
            EXPECT_EQ(k.kodo_yoshirireki[s], 200 + person);
        }
    }

    // Add_Kodo of a person into a marriage (first empty slot unless given).
    static int tryAddChild(int k, int person, int slot = -1)
    {
        kodo_data w;
        w.KouIdx = static_cast<int16_t>(k);
        w.KodoIdx = static_cast<int16_t>(slot);
        w.kou_kodo = static_cast<int16_t>(person);
        w.kodo_visible = 1;
        return Add_Kodo(w);
    }

    int a = 0, b = 0, c = 0, kou = 0;
};

// Children A, B, C in slots 0..2 (or with gaps), one move, the resulting order.
struct MoveCase {
    const char* description;
    std::vector<int> layout; // per slot: 0 empty, 1 A, 2 B, 3 C
    int movedSlot;
    int mode;
    std::vector<int> expected; // contiguous result, same coding
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.description; }

class MoveKodoTest : public ChildSlotTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveKodoTest, MovesTheChildAmongItsSiblings)
{
    const MoveCase& m = GetParam();
    const int persons[] = {-1, a, b, c};
    for (size_t s = 0; s < m.layout.size(); ++s) {
        if (m.layout[s] != 0)
            putChild(static_cast<int>(s), persons[m.layout[s]]);
    }
    std::vector<int> expected;
    for (const int code : m.expected)
        expected.push_back(persons[code]);

    EXPECT_EQ(Move_Kodo(kou, m.movedSlot, m.mode), 0);

    EXPECT_EQ(childrenOf(kou), expected);
    expectValuesTravelled();
}

INSTANTIATE_TEST_SUITE_P(
    Orders, MoveKodoTest,
    ::testing::Values(
        MoveCase{"C_to_first", {1, 2, 3}, 2, 1, {3, 1, 2}},
        MoveCase{"A_down", {1, 2, 3}, 0, 3, {2, 1, 3}},
        MoveCase{"C_down_stays_last", {1, 2, 3}, 2, 3, {1, 2, 3}},
        MoveCase{"A_to_last", {1, 2, 3}, 0, 4, {2, 3, 1}},
        MoveCase{"B_up", {1, 2, 3}, 1, 2, {2, 1, 3}},
        MoveCase{"B_to_first", {1, 2, 3}, 1, 1, {2, 1, 3}},
        // After a delete left a gap, the children are closed up first.
        MoveCase{"gap_A_down", {1, 0, 2, 3}, 0, 3, {2, 1, 3}},
        MoveCase{"gap_A_to_last", {1, 0, 2, 3}, 0, 4, {2, 3, 1}},
        MoveCase{"gap_C_up", {1, 0, 0, 2, 0, 3}, 5, 2, {1, 3, 2}},
        MoveCase{"gap_C_to_first", {0, 1, 0, 2, 0, 3}, 5, 1, {3, 1, 2}},
        MoveCase{"gap_B_up_to_front", {0, 0, 2, 1}, 2, 2, {2, 1}}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return info.param.description; });

TEST_F(ChildSlotTest, MoveKodoModeTwoAtSlotZeroIsANoOp)
{
    putChild(0, a);
    putChild(2, b);
    const marry_data before = tables().kou_buf[kou];
    tables().Data_Changed = 0;

    EXPECT_EQ(Move_Kodo(kou, 0, 2), 0);

    EXPECT_EQ(tables().kou_buf[kou], before);
    EXPECT_EQ(tables().Data_Changed, 0);
}

TEST_F(ChildSlotTest, MoveKodoOfAnEmptySlotOrAnOnlyChild)
{
    putChild(1, a);
    const marry_data before = tables().kou_buf[kou];
    EXPECT_EQ(Move_Kodo(kou, 0, 1), -1);
    EXPECT_EQ(Move_Kodo(kou, 1, 1), 0);
    EXPECT_EQ(Move_Kodo(kou, 1, 4), 0);
    EXPECT_EQ(tables().kou_buf[kou], before);
}

TEST_F(ChildSlotTest, MoveKodoRefusesBadArgumentsWithoutTouchingTheRecord)
{
    putChild(0, a);
    putChild(1, b);
    const marry_data before = tables().kou_buf[kou];
    EXPECT_EQ(Move_Kodo(kou, 20, 1), -1);
    EXPECT_EQ(Move_Kodo(kou, -1, 1), -1);
    EXPECT_EQ(Move_Kodo(-1, 0, 1), -1);
    EXPECT_EQ(Move_Kodo(1025, 0, 1), -1);
    EXPECT_EQ(Move_Kodo(kou, 1, 7), 0);
    EXPECT_EQ(tables().kou_buf[kou], before);
}

TEST_F(ChildSlotTest, MoveKodoLeavesTheLinksInPlace)
{
    putChild(0, a);
    putChild(1, b);
    tables().kou_buf[kou].kodo_link[0] = 44;
    Move_Kodo(kou, 1, 1);
    EXPECT_EQ(childrenOf(kou), (std::vector<int>{b, a}));
    EXPECT_EQ(tables().kou_buf[kou].kodo_link[0], 44);
}

TEST_F(ChildSlotTest, MoveKodoOfTheTwentiethChildToTheEnd)
{
    std::vector<int> order;
    for (int s = 0; s < MaxChildren; ++s) {
        const int p = addPerson("子" + std::to_string(s), "多", s % 2);
        putChild(s, p);
        order.push_back(p);
    }
    EXPECT_EQ(Move_Kodo(kou, 0, 4), 0);
    std::rotate(order.begin(), order.begin() + 1, order.end());
    EXPECT_EQ(childrenOf(kou), order);
    EXPECT_EQ(Move_Kodo(kou, 19, 3), 0);
    EXPECT_EQ(childrenOf(kou), order);
    EXPECT_EQ(tables().kou_buf[kou].kou_kodo[20], -1);
    expectValuesTravelled();
}

TEST_F(ChildSlotTest, PackReversesAndClosesUpEveryUsedMarriage)
{
    putChild(0, a);
    putChild(2, b);
    putChild(5, c);
    // A free record is left as it is.
    const int freeKou = addMarriage(a, b);
    tables().kou_buf[freeKou].kou_kodo[3] = static_cast<int16_t>(c);
    tables().kou_buf[freeKou].InUse = SlotFree;

    Pack_KodoSlots();

    EXPECT_EQ(childrenOf(kou), (std::vector<int>{c, b, a}));
    for (int s = 3; s <= LastChildSlot; ++s) {
        EXPECT_EQ(tables().kou_buf[kou].kou_kodo[s], -1) << s;
        EXPECT_EQ(tables().kou_buf[kou].kou_kodo_stat[s], -1) << s;
        EXPECT_EQ(tables().kou_buf[kou].kodo_visible[s], 1) << s;
    }
    expectValuesTravelled();
    EXPECT_EQ(tables().kou_buf[freeKou].kou_kodo[3], c);
}

// The history an empty slot still holds was a removed child's: a new child there would
// be recorded as adopted from that child's marriage.
TEST_F(ChildSlotTest, AddKodoFillsTheFirstEmptySlotKeepingSpareButNoEarlierChildsHistory)
{
    putChild(0, a);
    marry_data& k = tables().kou_buf[kou];
    k.kodo_spare[1] = 9;
    k.kodo_yoshirireki[1] = 8;
    tables().Data_Changed = 0;

    kodo_data w;
    w.KouIdx = static_cast<int16_t>(kou);
    w.KodoIdx = -1;
    w.kou_kodo = static_cast<int16_t>(b);
    w.kou_kodo_stat = 2;
    w.kou_kodo_comment = "養子";
    w.kodo_honsuji = 1;
    w.kodo_visible = 0;
    w.kodo_spare = 77;
    w.kodo_yoshirireki = 66;

    EXPECT_EQ(Add_Kodo(w), 1);
    EXPECT_EQ(k.kou_kodo[1], b);
    EXPECT_EQ(k.kou_kodo_stat[1], 2);
    EXPECT_EQ(k.kou_kodo_comment[1], "養子");
    EXPECT_EQ(k.kodo_honsuji[1], 1);
    EXPECT_EQ(k.kodo_visible[1], 0);
    EXPECT_EQ(k.kodo_spare[1], 9);
    EXPECT_EQ(k.kodo_yoshirireki[1], -1);
    EXPECT_EQ(tables().Data_Changed, 1);

    // The same child written again into his slot keeps his history.
    k.kodo_yoshirireki[1] = 8;
    w.KodoIdx = 1;
    EXPECT_EQ(Add_Kodo(w), 1);
    EXPECT_EQ(k.kodo_yoshirireki[1], 8);

    // A given slot is written whatever it holds.
    w.KodoIdx = 0;
    w.kou_kodo = static_cast<int16_t>(c);
    EXPECT_EQ(Add_Kodo(w), 0);
    EXPECT_EQ(k.kou_kodo[0], c);
}

TEST_F(ChildSlotTest, AddKodoRefusals)
{
    const SmallFamily f = buildSmallFamily();
    // The husband's own father and the husband himself cannot become children.
    EXPECT_EQ(tryAddChild(f.parents, f.grandfather), -2);
    EXPECT_EQ(tryAddChild(f.parents, f.father), -2);
    // A person already a child of another marriage may be added again.
    EXPECT_GE(addChild(f.remarriage, f.son), 0);
    // Twenty children fill the record.
    for (int i = 0; i < MaxChildren; ++i)
        putChild(i, addPerson("子" + std::to_string(i), "多", 0));
    EXPECT_EQ(tryAddChild(kou, f.aunt), -1);
    // Arguments outside their ranges are refused and change nothing.
    const marry_data before = tables().kou_buf[f.parents];
    EXPECT_EQ(tryAddChild(f.parents, -1), -2);
    EXPECT_EQ(tryAddChild(f.parents, BlankPartner), -2);
    EXPECT_EQ(tryAddChild(0, f.aunt), -2);
    EXPECT_EQ(tryAddChild(1025, f.aunt), -2);
    EXPECT_EQ(tryAddChild(f.parents, f.aunt, 20), -2);
    EXPECT_EQ(tables().kou_buf[f.parents], before);
}

// A person slot that holds nobody (a person freed since) is no child of anyone, in a
// new slot or rewriting a slot.
TEST_F(ChildSlotTest, AddKodoRefusesAPersonSlotThatHoldsNobody)
{
    const SmallFamily f = buildSmallFamily();
    const int freed = addPerson("消", "山田", 0);
    ASSERT_EQ(del_per_buf(freed), freed);
    const marry_data before = tables().kou_buf[f.parents];
    tables().Data_Changed = 0;
    EXPECT_EQ(tryAddChild(f.parents, freed), -2);
    EXPECT_EQ(tryAddChild(f.parents, freed, 5), -2);
    EXPECT_EQ(tryAddChild(f.parents, LastPersonSlot), -2) << "a slot never used";
    EXPECT_EQ(tables().kou_buf[f.parents], before);
    EXPECT_EQ(tables().Data_Changed, 0);
}

TEST_F(ChildSlotTest, DelKodoRecordsTheChildThatWasInTheSlot)
{
    const model::RelationEditorStep step; // as the relationship editor deletes a child
    putChild(0, a);
    putChild(1, b);
    runState().Sel_Person = static_cast<int16_t>(c); // the chart shows someone else selected
    answers.answerNext(platform::vbOK);

    // Tables as the undo snapshot sees them: taken once the deletion is confirmed.
    std::vector<std::string> answersBeforeSnapshot;
    int16_t childAtSnapshot = 0;
    windows.onSaveUndo = [&] {
        childAtSnapshot = tables().kou_buf[kou].kou_kodo[1];
        answersBeforeSnapshot = answers.shownTexts();
    };

    Del_Kodo(kou, 1);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "子B : この子供を削除してよろしいでしょうか？");
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKCancel);
    EXPECT_EQ(windows.count("saveUndo"), 1);
    EXPECT_EQ(answersBeforeSnapshot.size(), 1u) << "the snapshot follows the confirmation";
    EXPECT_EQ(childAtSnapshot, b) << "and comes before the change";
    const Tables& t = tables();
    EXPECT_EQ(model::kouUndo().KouUndoMode, 11);
    EXPECT_EQ(model::kouUndo().UndoKodo, b);
    EXPECT_EQ(model::kouUndo().UndoKou, kou);
    EXPECT_EQ(model::kouUndo().UndoKodoStat, b % 3);
    EXPECT_EQ(model::kouUndo().UndoKodoComment, "comment" + std::to_string(b));
    EXPECT_EQ(model::kouUndo().UndoKodoSlot, 1);
    EXPECT_EQ(windows.count("enableRelationUndo:UNDO 削除子供関係"), 1);
    const marry_data& k = t.kou_buf[kou];
    EXPECT_EQ(k.kou_kodo[1], -1);
    EXPECT_EQ(k.kodo_spare[1], -1);
    EXPECT_EQ(k.kou_kodo_stat[1], -1);
    EXPECT_EQ(k.kou_kodo_comment[1], "comment" + std::to_string(b)); // comment stays
    EXPECT_EQ(k.kou_kodo[0], a);
    EXPECT_EQ(t.Data_Changed, 1);
}

TEST_F(ChildSlotTest, DelKodoCancelledChangesNothing)
{
    putChild(0, a);
    const marry_data before = tables().kou_buf[kou];
    tables().Data_Changed = 0;
    windows.events.clear();
    answers.answerNext(platform::vbCancel);

    Del_Kodo(kou, 0);

    EXPECT_EQ(tables().kou_buf[kou], before);
    EXPECT_EQ(model::kouUndo().KouUndoMode, 0);
    EXPECT_EQ(tables().Data_Changed, 0);
    EXPECT_TRUE(windows.events.empty());
}

TEST_F(ChildSlotTest, DelKodoOfBadSlotsAsksNothing)
{
    putChild(0, a);
    const marry_data before = tables().kou_buf[kou];
    Del_Kodo(kou, 1);     // empty
    Del_Kodo(kou, 20);    // spare entry
    Del_Kodo(kou, -1);
    Del_Kodo(1025, 0);
    Del_Kodo(-1, 0);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(tables().kou_buf[kou], before);
}

TEST_F(ChildSlotTest, DeletingTheLastChildOfAModeTwoRecordOffersToDeleteIt)
{
    const model::RelationEditorStep step; // as the relationship editor deletes a child
    const model::UndoSnapshotStep snapshot; // one snapshot for the child and the record
    putChild(0, a);
    marry_data& k = tables().kou_buf[kou];
    k.kou_mode = 2;
    k.dsp_start = 1;
    const int other = addMarriage(b, c);
    answers.answerNext(platform::vbOK); // the child
    answers.answerNext(platform::vbOK); // the record

    Del_Kodo(kou, 0);

    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text, "削除してよろしいでしょうか？");
    EXPECT_EQ(windows.count("deleteMarriage:" + std::to_string(kou)), 1);
    EXPECT_EQ(k.InUse, -1);
    EXPECT_EQ(k.kou_titi, -1);
    EXPECT_EQ(k.dsp_start, -1);
    EXPECT_EQ(tables().kou_buf[other].dsp_start, 1); // the start flag moved on
    EXPECT_EQ(model::kouUndo().KouUndoMode, 3);
    EXPECT_EQ(model::kouUndo().UndoKou, kou);
    EXPECT_EQ(model::kouUndo().KouUndoBuf.kou_mode, 2);
    EXPECT_EQ(windows.count("saveUndo"), 1);
}

TEST_F(ChildSlotTest, ModeTwoRecordStaysWhenTheSecondQuestionIsCancelled)
{
    const model::RelationEditorStep step; // as the relationship editor deletes a child
    putChild(0, a);
    tables().kou_buf[kou].kou_mode = 2;
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbCancel);
    Del_Kodo(kou, 0);
    EXPECT_EQ(tables().kou_buf[kou].InUse, 1);
    EXPECT_EQ(model::kouUndo().KouUndoMode, 11);
}

TEST_F(ChildSlotTest, SlotCopiesRefuseIndexesOutsideTheRecord)
{
    putChild(0, a);
    putChild(1, b);
    const marry_data before = tables().kou_buf[kou];
    const kodo_data work = tables().KodoWork;
    Copy_KodoSlot(kou, 20, 0);
    Copy_KodoSlot(kou, 0, 21);
    Copy_KodoSlot(kou, -1, 0);
    Copy_KodoSlot(1025, 0, 1);
    Load_KodoSlot(kou, 20);
    Load_KodoSlot(-1, 0);
    Save_KodoSlot(kou, 21);
    Save_KodoSlot(2000, 0);
    EXPECT_EQ(tables().kou_buf[kou], before);
    EXPECT_EQ(tables().KodoWork.kou_kodo, work.kou_kodo);

    // In range they copy the seven values.
    Copy_KodoSlot(kou, 5, 1);
    Save_KodoSlot(kou, 0);
    Load_KodoSlot(kou, 6);
    EXPECT_EQ(childrenOf(kou), (std::vector<int>{a, b, -1, -1, -1, b, a}));
    expectValuesTravelled();
}

} // namespace
} // namespace model::testing
