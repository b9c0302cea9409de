// The relationship editor's one-step undo: each kind taken back in the tables
// and in the editor's fields, the start mark kept single, the undo entries
// disarmed, and the windows that list persons closed when a person goes.

#include "CtrlFixture.h"

#include "model/run_state.h"
#include "platform/Hooks.h"
#include "model/UndoRecords.h"

namespace relations_test {
namespace {

int personsInUse()
{
    int count = 0;
    for (int i = 1; i <= model::LastSlot; ++i)
        count += model::tables().per_buf[static_cast<size_t>(i)].InUse == model::SlotUsed ? 1 : 0;
    return count;
}

class CtrlUndo : public CtrlTest {
protected:
    void undo() { ctrl().scritem[0].choose(); }

    void expectDisarmed()
    {
        EXPECT_EQ(model::kouUndo().KouUndoMode, 0);
        EXPECT_FALSE(ctrl().scritem[0].isEnabled());
        EXPECT_FALSE(ctrl().Command2[3].isEnabled());
        EXPECT_EQ(ctrl().scritem[0].caption(), "UNDO");
        EXPECT_EQ(ctrl().Command2[3].toolTipText(), "UNDO");
    }
};

TEST_F(CtrlUndo, NewMarriageGoesAndTheStartMarkReturnsToTheFirstMarriage)
{
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1);
    ctrl().Build_List();
    setPartner(0, addPerson("佐藤", "一郎", 0));
    setPartner(1, addPerson("佐藤", "良子", 1));
    const int child = addPerson("佐藤", "三郎", 0);
    ctrl().List2.addItem("佐藤三郎");
    ctrl().List2.setItemData(0, child);
    ctrl().CMDFUNC[1].click();
    const int added = model::kouUndo().UndoKou;
    ASSERT_GT(added, first);
    ASSERT_EQ(kou(added).kou_kodo[0], child);
    ASSERT_EQ(kou(first).dsp_start, 0);

    undo();
    EXPECT_EQ(kou(added).InUse, model::SlotFree);
    EXPECT_EQ(kou(first).dsp_start, 1);
    EXPECT_EQ(ctrl().List1[2].listCount(), 1);
    EXPECT_EQ(model::kouUndo().UndoKou, -1);
    expectDisarmed();

    // The freed slot hands no children to the next marriage stored in it.
    EXPECT_EQ(kou(added).kou_kodo[0], -1);
    setPartner(0, addPerson("鈴木", "四郎", 0));
    setPartner(1, addPerson("鈴木", "和子", 1));
    ctrl().CMDFUNC[1].click();
    EXPECT_EQ(kou(added).InUse, model::SlotUsed);
    EXPECT_EQ(kou(added).kou_kodo[0], -1);
}

// The registration took the start mark from the marriage that held it, which is not
// the first one in use: the undo gives the mark back to that marriage.
TEST_F(CtrlUndo, NewMarriageGivesTheStartMarkBackToTheMarriageItTookItFrom)
{
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 0);
    const int holder = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 1);
    ctrl().Build_List();
    setPartner(0, addPerson("鈴木", "四郎", 0));
    setPartner(1, addPerson("鈴木", "和子", 1));
    ctrl().CMDFUNC[1].click();
    const int added = model::kouUndo().UndoKou;
    ASSERT_EQ(model::currentStartMarriage(), added);

    undo();
    EXPECT_EQ(kou(added).InUse, model::SlotFree);
    EXPECT_EQ(kou(holder).dsp_start, 1);
    EXPECT_EQ(kou(first).dsp_start, 0) << "the first marriage in use never held the mark";
}

TEST_F(CtrlUndo, ChangedMarriageComesBackAndIsShown)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "通常", 0, "本家");
    ctrl().Build_List();
    choose(m);
    ctrl().Text1[0].setText("改題");
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(kou(m).kou_title, "改題");

    undo();
    EXPECT_EQ(kou(m).kou_title, "本家");
    EXPECT_EQ(kou(m).dsp_start, 1);
    EXPECT_EQ(ctrl().Text1[0].text(), "本家");
    expectDisarmed();
}

TEST_F(CtrlUndo, ChangeThatTookTheStartMarkLeavesAStartMarriageAfterItsUndo)
{
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1);
    const int second = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0);
    ctrl().Build_List();
    choose(second);
    ctrl().Check1[0].setValue(1);
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(kou(second).dsp_start, 1);
    ASSERT_EQ(kou(first).dsp_start, 0);

    undo();
    EXPECT_EQ(kou(second).dsp_start, 0);
    EXPECT_EQ(kou(first).dsp_start, 1);
}

TEST_F(CtrlUndo, DeletedMarriageReturnsWholeWithItsStartMark)
{
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "通常", 0, "本家");
    const int second = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0);
    const int child = addPerson("山田", "一郎", 0);
    addChild(first, child);
    const model::marry_data before = kou(first);
    ctrl().Build_List();
    choose(first);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    ASSERT_EQ(kou(second).dsp_start, 1);

    undo();
    EXPECT_EQ(kou(first), before);
    EXPECT_EQ(kou(second).dsp_start, 0);
    EXPECT_EQ(ctrl().List1[2].listCount(), 2);
    expectDisarmed();
}

TEST_F(CtrlUndo, RemovedChildReturnsToItsSlotWithStatusAndComment)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    const int first = addPerson("山田", "一郎", 0);
    const int second = addPerson("山田", "二郎", 0);
    addChild(m, first);
    addChild(m, second);
    kou(m).kou_kodo_stat[1] = 2;
    kou(m).kou_kodo_comment[1] = "養子";
    ctrl().Build_List();
    choose(m);
    ctrl().List2.setListIndex(1);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    ASSERT_EQ(kou(m).kou_kodo[1], -1);

    undo();
    EXPECT_EQ(kou(m).kou_kodo[1], second);
    EXPECT_EQ(kou(m).kou_kodo_stat[1], 2);
    EXPECT_EQ(kou(m).kou_kodo_comment[1], "養子");
    EXPECT_EQ(ctrl().List2.listCount(), 2);
    expectDisarmed();
}

// A new man made from the placeholder and dropped on the husband label, as the
// drop leaves the editor.
TEST_F(CtrlUndo, NewPlaceholderHusbandIsFreedAndTheCounterGoesBack)
{
    const model::RelationEditorStep editorStep; // the step is the editor's own drop
    tables().DummyManCnt = 5;
    ctrl().Build_List();
    ASSERT_EQ(ctrl().List1[0].list(0), "**** 男05");
    const int created = model::Add_NewPerson(-1, "男05", "**** ", 0);
    ASSERT_GT(created, 0);
    ctrl().List1[0].setItemData(0, created);
    ctrl().Label2[0].setCaption("**** 男05");
    ctrl().Label2[0].setTag(std::to_string(created));
    tables().DummyManCnt = 6;
    ctrl().List1[0].addItem(relations::placeholderLine("**** 男", 6));
    ctrl().List1[0].setItemData(ctrl().List1[0].newIndex(), -1);
    model::KouUndoRecord step;
    step.KouUndoMode = model::KouUndo::NewHusband;
    step.UndoActer = static_cast<int16_t>(created);
    model::recordKouUndo(step);
    ctrl().enableUndo(model::UndoCaptionNone);
    model::runState().Entry_Open = 1;
    const int before = personsInUse();
    requests.calls.clear();
    services.calls.clear();

    undo();
    EXPECT_EQ(ctrl().Label2[0].caption(), "");
    EXPECT_EQ(ctrl().Label2[0].tag(), "0");
    EXPECT_EQ(tables().DummyManCnt, 5);
    EXPECT_EQ(lines(ctrl().List1[0]), (std::vector<std::string>{"**** 男05"}));
    EXPECT_EQ(ctrl().List1[0].itemData(0), -1);
    EXPECT_EQ(per(created).InUse, model::SlotFree);
    EXPECT_EQ(per(created).Name, "");
    EXPECT_EQ(personsInUse(), before - 1);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::None);
    // The person is gone: the person editor and the chronology close.
    EXPECT_EQ(model::runState().Entry_Open, 0);
    EXPECT_GE(countOf(requests.calls, "closePersonEditor"), 1);
    EXPECT_EQ(countOf(services.calls, "closeChronology"), 1);
    expectDisarmed();

    // That side is no longer chosen.
    setPartner(1, addPerson("山田", "花子", 1));
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "結婚相手が指定されていません");
}

TEST_F(CtrlUndo, ListedWifeOnlyEmptiesTheLabel)
{
    const int wife = addPerson("山田", "花子", 1);
    setPartner(1, wife);
    model::kouUndo().KouUndoMode = model::KouUndo::ListedWife;
    ctrl().enableUndo(model::UndoCaptionNone); // as the drop leaves the entries
    services.calls.clear();
    undo();
    EXPECT_EQ(ctrl().Label2[1].caption(), "");
    EXPECT_EQ(ctrl().Label2[1].tag(), "0");
    EXPECT_EQ(per(wife).InUse, model::SlotUsed);
    EXPECT_EQ(countOf(services.calls, "closeChronology"), 0);
    expectDisarmed();
}

TEST_F(CtrlUndo, ListedChildLineIsRemoved)
{
    const int child = addPerson("山田", "一郎", 0);
    ctrl().List2.addItem("山田一郎");
    ctrl().List2.setItemData(0, child);
    model::kouUndo().KouUndoMode = model::KouUndo::ListedChild;
    model::kouUndo().UndoKodo = static_cast<int16_t>(child);
    ctrl().enableUndo(model::UndoCaptionNewChild);
    undo();
    EXPECT_EQ(ctrl().List2.listCount(), 0);
    EXPECT_EQ(per(child).InUse, model::SlotUsed);
}

TEST_F(CtrlUndo, NothingPendingOnlyClosesThePersonEditor)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "通常", 0, "本家");
    ctrl().Build_List();
    choose(m);
    ctrl().Text1[0].setText("改題");
    ctrl().CMDFUNC[1].click();
    undo();
    const model::marry_data afterFirst = kou(m);
    // The entries armed again with no step recorded (a second undo in a row).
    ctrl().enableUndo(model::UndoCaptionRegistered);
    requests.calls.clear();
    model::runState().Entry_Open = 1;

    undo();
    EXPECT_EQ(kou(m), afterFirst);
    EXPECT_EQ(model::runState().Entry_Open, 0);
    EXPECT_EQ(countOf(requests.calls, "closePersonEditor"), 1);
    // Nothing was taken back, so the entries stay as they were.
    EXPECT_TRUE(ctrl().scritem[0].isEnabled());
    EXPECT_EQ(ctrl().scritem[0].caption(), "UNDO 登録");
}

TEST_F(CtrlUndo, PlaceholderOperandOutsideThePersonsIsRefused)
{
    const model::RelationEditorStep editorStep; // the step is the editor's own drop
    ctrl().Build_List();
    model::KouUndoRecord step;
    step.KouUndoMode = model::KouUndo::NewWife;
    step.UndoActer = model::BlankPartner;
    per(model::BlankPartner).Name = "空白";
    model::recordKouUndo(step);
    const int16_t counter = tables().DummyWomanCnt;
    ctrl().enableUndo(model::UndoCaptionNone);
    answers.answerNext(platform::vbOK);
    undo();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, model::UndoRefusedMessage);
    EXPECT_EQ(per(model::BlankPartner).Name, "空白");
    EXPECT_EQ(tables().DummyWomanCnt, counter);
    expectDisarmed();
}

} // namespace
} // namespace relations_test
