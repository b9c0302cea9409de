// The relationship editor's commands: register (with the family model's
// verdicts), new, delete a marriage or a child, the blank-partner buttons, the
// state list and the parent test check_kou.

#include "CtrlFixture.h"

#include "model/PersonTable.h"
#include "model/SavableText.h"
#include "model/run_state.h"
#include "platform/Hooks.h"
#include "model/UndoRecords.h"

namespace relations_test {
namespace {

int marriagesInUse()
{
    int count = 0;
    for (int i = 1; i <= model::LastSlot; ++i)
        count += model::tables().kou_buf[static_cast<size_t>(i)].InUse == model::SlotUsed ? 1 : 0;
    return count;
}

// ---------------------------------------------------------------- register

TEST_F(CtrlTest, RegisterWithoutPartnerIsRefusedAndKeepsWhatWasEntered)
{
    ctrl().Text1[0].setText("佐藤家");
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[1].click();

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "結婚相手が指定されていません");
    EXPECT_EQ(answers.shown()[0].style, 48);
    EXPECT_EQ(answers.shown()[0].title, "関係設定エラー");
    EXPECT_EQ(marriagesInUse(), 0);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(model::runState().Sel_KouMark, 0);
    // Nothing was registered, so there is nothing to undo.
    EXPECT_FALSE(ctrl().scritem[0].isEnabled());
    EXPECT_EQ(ctrl().scritem[0].caption(), "UNDO");
    EXPECT_FALSE(ctrl().Command2[3].isEnabled());
    // The user stays in the editor with the title typed, to name the partners.
    EXPECT_EQ(ctrl().Text1[0].text(), "佐藤家");
    EXPECT_EQ(countOf(requests.calls, "raiseMainWindow"), 0);
}

TEST_F(CtrlTest, RefusedRegisterLeavesTheEarlierDeletionToUndo)
{
    const int m = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 1, "通常", 0, "佐藤家");
    ctrl().Build_List();
    choose(m);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    ASSERT_EQ(kou(m).InUse, model::SlotFree);

    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[1].click();   // no partners: refused
    ASSERT_EQ(answers.shown().back().text, "結婚相手が指定されていません");
    EXPECT_TRUE(ctrl().scritem[0].isEnabled());
    EXPECT_EQ(ctrl().scritem[0].caption(), "UNDO 削除") << "the caption names the step the undo takes back";
    EXPECT_EQ(ctrl().Command2[3].toolTipText(), "UNDO 削除");

    tables().Data_Changed = 0;
    ctrl().scritem_Click(0);
    EXPECT_EQ(kou(m).InUse, model::SlotUsed);
    EXPECT_EQ(kou(m).kou_title, "佐藤家");
    EXPECT_EQ(tables().Data_Changed, 1) << "the restored marriage is a change to save";
}

TEST_F(CtrlTest, BlankWifeRegistersANewStartMarriageAndRefreshesEverything)
{
    const int husband = addPerson("山田", "太郎", 0);
    tables().Data_Changed = 0;
    setPartner(0, husband);
    ctrl().CmdSetNull[1].click();
    EXPECT_EQ(ctrl().Label2[1].caption(), "空白");
    EXPECT_EQ(ctrl().Label2[1].tag(), "1024");
    EXPECT_EQ(per(model::BlankPartner).Name, "空白");
    EXPECT_EQ(per(model::BlankPartner).Sex, 1);

    ctrl().CMDFUNC[1].click();

    EXPECT_TRUE(answers.shown().empty());
    ASSERT_EQ(marriagesInUse(), 1);
    EXPECT_EQ(kou(1).kou_titi, husband);
    EXPECT_EQ(kou(1).kou_haha, model::BlankPartner);
    EXPECT_EQ(kou(1).dsp_start, 1);
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 1);
    EXPECT_EQ(countOf(services.calls, "closeChronology"), 1);
    // The lists and the chart were rebuilt: one tree, so the empty canvas takes no drops.
    EXPECT_EQ(ctrl().List1[2].listCount(), 1);
    EXPECT_EQ(layout::chart().tree_cnt, 1);
    EXPECT_EQ(lastDropMode(services.calls), "refusesDrops");
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::NewMarriage);
    EXPECT_EQ(ctrl().Label2[0].tag(), "0");
}

TEST_F(CtrlTest, ATitleTheFamilyFileCannotHoldIsRefusedAndNothingIsRegistered)
{
    const int husband = addPerson("山田", "太郎", 0);
    setPartner(0, husband);
    ctrl().CmdSetNull[1].click();
    ctrl().Text1[0].setText("Caf\u00E9山田家"); // "é" has no cp932 form
    tables().Data_Changed = 0;
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[1].click();

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, std::string(model::UnsavableCharMessage) + "\u00E9");
    EXPECT_EQ(marriagesInUse(), 0);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
    EXPECT_EQ(tables().Data_Changed, 0);
    EXPECT_EQ(ctrl().Text1[0].text(), "Caf\u00E9山田家") << "the typed title stays for mending";
}

// Fields still naming a person deleted since (a partner, or a child in 子供関係) make no
// marriage of nobody, nor of whoever takes the slot next: the registration is refused
// as a whole and the fields stay for mending.
TEST_F(CtrlTest, APartnerOrChildWhoseSlotHoldsNobodyIsRefusedAndNothingIsRegistered)
{
    const int husband = addPerson("山田", "太郎", 0);
    const int wife = addPerson("山田", "花子", 1);
    const int child = addPerson("山田", "一郎", 0);
    for (int gone : {husband, child}) {
        setPartner(0, husband);
        setPartner(1, wife);
        ctrl().List2.clear();
        ctrl().List2.addItem("山田一郎");
        ctrl().List2.setItemData(0, child);
        const model::personal_data kept = per(gone);
        ASSERT_EQ(model::del_per_buf(gone), gone);
        tables().Data_Changed = 0;
        answers.answerNext(platform::vbOK);
        ctrl().CMDFUNC[1].click();

        ASSERT_EQ(answers.shown().size(), 1u) << gone;
        EXPECT_EQ(answers.shown()[0].text, "家系データに存在しない人物が指定されています") << gone;
        EXPECT_EQ(answers.shown()[0].title, "関係設定エラー") << gone;
        EXPECT_EQ(marriagesInUse(), 0) << gone;
        EXPECT_EQ(countOf(services.calls, "saveUndo"), 0) << gone;
        EXPECT_EQ(tables().Data_Changed, 0) << gone;
        EXPECT_EQ(ctrl().Label2[0].tag(), std::to_string(husband)) << gone;
        answers.clearRecords();
        per(gone) = kept;
    }
}

TEST_F(CtrlTest, BothPartnersBlankIsRefused)
{
    ctrl().CmdSetNull[0].click();
    ctrl().CmdSetNull[1].click();
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "男女共に空白の設定は出来ません");
    EXPECT_EQ(marriagesInUse(), 0);
}

struct OrderCase {
    const char* name;
    const char* text;
    int16_t stored;
};

void PrintTo(const OrderCase& c, std::ostream* out) { *out << c.name; }

class HistoryOrder : public CtrlTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(HistoryOrder, IsFlooredAndLimitedOrLeftAtItsInitialValue)
{
    setPartner(0, addPerson("山田", "太郎", 0));
    setPartner(1, addPerson("山田", "花子", 1));
    ctrl().Text1[1].setText(GetParam().text);
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(marriagesInUse(), 1);
    EXPECT_EQ(kou(1).sort_lev, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Ctrl, HistoryOrder,
                         ::testing::Values(OrderCase{"above_range", "250", 100}, OrderCase{"below_range", "-250", -100},
                                           OrderCase{"negative_fraction", "-3.7", -4},
                                           OrderCase{"positive_fraction", "3.7", 3},
                                           OrderCase{"not_a_number", "abc", 0}, OrderCase{"empty", "", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CtrlTest, RegisterChangesTheChosenMarriageOnlyWhileItIsMarked)
{
    const int husband = addPerson("山田", "太郎", 0);
    const int wife = addPerson("山田", "花子", 1);
    const int m = marry(husband, wife);
    ctrl().Build_List();
    choose(m);
    ctrl().Text1[0].setText("新しい題");
    ctrl().Combo1.setListIndex(2); // "離婚": also rewrites the title
    ctrl().Text1[0].setText("新しい題");
    ctrl().CMDFUNC[1].click();
    EXPECT_EQ(marriagesInUse(), 1);
    EXPECT_EQ(kou(m).kou_title, "新しい題");
    EXPECT_EQ(kou(m).kou_state, "離婚");
    EXPECT_EQ(kou(m).kou_mode, 1);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ChangedMarriage);

    // Not marked: the same fields make a new marriage, whatever KouNum holds.
    choose(m);
    model::runState().Sel_KouMark = 0;
    setPartner(0, addPerson("佐藤", "一郎", 0));
    ctrl().CMDFUNC[1].click();
    EXPECT_EQ(marriagesInUse(), 2);
    EXPECT_EQ(kou(m).kou_titi, husband);
}

TEST_F(CtrlTest, RegisterCarriesTheChildrenAndTheirDirectLineMarks)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    const int first = addPerson("山田", "一郎", 0);
    const int second = addPerson("山田", "二郎", 0);
    addChild(m, first);
    ctrl().Build_List();
    choose(m);
    // As a drop on the children list leaves it: a checked line for the new child.
    ctrl().List2.addItem("山田二郎");
    ctrl().List2.setItemData(ctrl().List2.newIndex(), second);
    ctrl().List2.setSelected(ctrl().List2.newIndex(), true);
    ctrl().List2.setSelected(0, false);
    ctrl().CMDFUNC[1].click();

    EXPECT_EQ(kou(m).kou_kodo[0], first);
    EXPECT_EQ(kou(m).kodo_visible[0], 0);
    EXPECT_EQ(kou(m).kou_kodo[1], second);
    EXPECT_EQ(kou(m).kodo_visible[1], 1);
}

TEST_F(CtrlTest, RefusedChildIsReportedAndTheMarriageStillRegistered)
{
    const int husband = addPerson("山田", "太郎", 0);
    const int m = marry(husband, addPerson("山田", "花子", 1));
    ctrl().Build_List();
    choose(m);
    // A partner cannot be a child of his own marriage.
    ctrl().List2.addItem("山田太郎");
    ctrl().List2.setItemData(0, husband);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_NE(answers.shown()[0].text.find("この子供は、家族の先祖として使用されている可能性があります"), std::string::npos);
    EXPECT_EQ(kou(m).kou_kodo[0], -1);
    EXPECT_EQ(countOf(services.calls, "closeChronology"), 1);
    EXPECT_EQ(tables().Data_Changed, 1);
}

TEST_F(CtrlTest, NewCommandEmptiesTheRecordAndForgetsTheSelection)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    ctrl().Build_List();
    choose(m);
    model::runState().Sel_Person = 3;
    model::runState().Sel_BoxMark = 1;
    tables().Sel_ChildSlot = 2;
    ctrl().CMDFUNC[0].click();
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(model::runState().Sel_KouMark, 0);
    EXPECT_EQ(model::runState().Sel_Person, -1);
    EXPECT_EQ(model::runState().Sel_BoxMark, 0);
    EXPECT_EQ(tables().Sel_ChildSlot, -1);
    EXPECT_EQ(ctrl().List1[2].listIndex(), -1);
    EXPECT_EQ(ctrl().Label2[0].tag(), "0");
    EXPECT_EQ(ctrl().lblEditStat.caption(), relations::NewRecordCaption);
}

// ---------------------------------------------------------------- delete a marriage

TEST_F(CtrlTest, DeletingTheStartMarriageMovesTheMarkAndArmsTheUndo)
{
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1);
    const int second = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0);
    ctrl().Build_List();
    choose(first);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "削除してよろしいでしょうか？");
    EXPECT_EQ(kou(first).InUse, model::SlotFree);
    EXPECT_EQ(kou(first).dsp_start, -1);
    EXPECT_EQ(kou(second).dsp_start, 1);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::DeletedMarriage);
    EXPECT_EQ(model::kouUndo().UndoKou, first);
    EXPECT_EQ(ctrl().scritem[0].caption(), "UNDO 削除");
    EXPECT_TRUE(ctrl().Command2[3].isEnabled());
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 1);
    EXPECT_EQ(ctrl().List1[2].listCount(), 1);
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(ctrl().Label2[0].tag(), "0");
    EXPECT_EQ(countOf(requests.calls, "raiseMainWindow"), 1);
}

TEST_F(CtrlTest, DeletingTheOnlyMarriageLeavesNoStartMarriage)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1);
    ctrl().Build_List();
    choose(m);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    EXPECT_EQ(marriagesInUse(), 0);
    for (int i = 1; i <= model::LastSlot; ++i)
        ASSERT_NE(kou(i).dsp_start, 1) << "slot " << i;
    EXPECT_EQ(layout::chart().tree_cnt, 0);
    EXPECT_EQ(lastDropMode(services.calls), "acceptsDrops");
}

TEST_F(CtrlTest, CancelledDeleteKeepsTheRecordButEmptiesTheFields)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1);
    ctrl().Build_List();
    choose(m);
    tables().Data_Changed = 0;
    answers.answerNext(platform::vbCancel);
    ctrl().CMDFUNC[2].click();
    EXPECT_EQ(kou(m).InUse, model::SlotUsed);
    EXPECT_EQ(ctrl().Label2[0].caption(), "");
    EXPECT_EQ(ctrl().Label2[0].tag(), "0");
    EXPECT_EQ(tables().Data_Changed, 0) << "the family did not change";
    EXPECT_FALSE(ctrl().scritem[0].isEnabled());
    EXPECT_EQ(ctrl().List1[2].listCount(), 1);
}

TEST_F(CtrlTest, DeletingAMarriageNotInUseReportsIt)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1);
    ctrl().Build_List();
    choose(m);
    kou(m).InUse = model::SlotFree;
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "この結婚関係は存在していません");
    EXPECT_EQ(model::runState().KouNum, -1);
}

TEST_F(CtrlTest, DelKouBufAsksOnlyForAMarriageInUse)
{
    marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1);
    // A free slot, slot 0 and slots outside the table are no marriage: nothing is asked.
    for (int slot : {2, 0, -1, 1025, 5000})
        EXPECT_EQ(ctrl().del_kou_buf(slot), -1) << slot;
    EXPECT_TRUE(answers.shown().empty());
}

TEST_F(CtrlTest, DeleteWithoutAChosenMarriageOnlyRaisesTheMainWindow)
{
    ctrl().CMDFUNC[2].click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
    EXPECT_EQ(countOf(requests.calls, "raiseMainWindow"), 1);
}

// ---------------------------------------------------------------- delete a child

class DeleteChild : public CtrlTest {
protected:
    void SetUp() override
    {
        CtrlTest::SetUp();
        marriage = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
        first = addPerson("山田", "一郎", 0);
        second = addPerson("山田", "二郎", 0);
        addChild(marriage, first);
        addChild(marriage, second);
        kou(marriage).kou_kodo_comment[1] = "次男";
        ctrl().Build_List();
        choose(marriage);
    }

    int marriage = 0;
    int first = 0;
    int second = 0;
};

TEST_F(DeleteChild, SelectedLineIsRemovedAfterTheQuestion)
{
    ctrl().List2.setListIndex(1); // the click makes the child the delete target
    EXPECT_EQ(ctrl().ChildListActive, 1);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "山田二郎 : この子供を削除してよろしいでしょうか？");
    EXPECT_EQ(kou(marriage).kou_kodo[1], -1);
    EXPECT_EQ(kou(marriage).kou_kodo[0], first);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::RemovedChild);
    EXPECT_EQ(ctrl().scritem[0].caption(), "UNDO 削除子供関係");
    EXPECT_TRUE(ctrl().scritem[0].isEnabled());
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 1);
    EXPECT_EQ(ctrl().List2.listCount(), 0);
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(model::runState().Sel_Person, -1);
    EXPECT_EQ(model::runState().Sel_KouMark, 0);
}

TEST_F(DeleteChild, WithoutALineTheChildSelectedOnTheChartIsDeleted)
{
    ctrl().ChildListActive = 1;
    model::runState().Sel_Person = static_cast<int16_t>(first);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    EXPECT_EQ(kou(marriage).kou_kodo[0], -1);
    EXPECT_EQ(kou(marriage).kou_kodo[1], second);
}

TEST_F(DeleteChild, CancelKeepsTheChildButStillResetsTheEditor)
{
    ctrl().List2.setListIndex(0);
    answers.answerNext(platform::vbCancel);
    ctrl().CMDFUNC[2].click();
    EXPECT_EQ(kou(marriage).kou_kodo[0], first);
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(ctrl().List2.listCount(), 0);
}

TEST_F(DeleteChild, NobodyChosenDeletesNothingEvenWithAStaleChildSlot)
{
    ctrl().ChildListActive = 1;
    model::runState().Sel_Person = -1;
    // Left by an earlier look-up: must not name the child to delete.
    tables().Sel_ChildKou = static_cast<int16_t>(marriage);
    tables().Sel_ChildSlot = 0;
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "この人の親情報を見つける事が出来ません");
    EXPECT_EQ(kou(marriage).kou_kodo[0], first);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
}

TEST_F(DeleteChild, APersonWhoIsNoChildOfTheMarriageIsReported)
{
    ctrl().ChildListActive = 1;
    model::runState().Sel_Person = static_cast<int16_t>(kou(marriage).kou_titi);
    model::runState().Sel_BoxMark = 1;
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "この人の親情報を見つける事が出来ません");
    EXPECT_EQ(model::runState().Sel_Person, -1);
    EXPECT_EQ(model::runState().Sel_BoxMark, 0);
    EXPECT_EQ(kou(marriage).kou_kodo[0], first);
}

// ---------------------------------------------------------------- state list and check_kou

TEST_F(CtrlTest, ChoosingAStateWordWritesItAsTheTitleExceptForNormal)
{
    ctrl().edit_kou_data(-1);
    ctrl().Combo1.setListIndex(1);
    EXPECT_EQ(ctrl().Text1[0].text(), "死別");
    ctrl().Combo1.setListIndex(0);
    EXPECT_EQ(ctrl().Text1[0].text(), "");
}

TEST_F(CtrlTest, CheckKouFindsAPartnerWhoIsTheOthersParent)
{
    const int father = addPerson("山田", "太郎", 0);
    const int mother = addPerson("山田", "花子", 1);
    const int son = addPerson("山田", "一郎", 0);
    const int daughter = addPerson("山田", "良子", 1);
    const int stranger = addPerson("佐藤", "和子", 1);
    const int m = marry(father, mother);
    addChild(m, son);
    addChild(m, daughter);

    EXPECT_EQ(ctrl().check_kou(son, mother), -1);
    EXPECT_EQ(ctrl().check_kou(father, daughter), -1);
    EXPECT_EQ(ctrl().check_kou(son, stranger), 0);
    EXPECT_EQ(ctrl().check_kou(father, mother), 0);
}

} // namespace
} // namespace relations_test
