// The editors' undos with the program's real windows. The relationship editor's
// UNDO takes back only its own last step, and only while the marriage and the
// persons it names are as the step left it (here the person editor deletes a person
// the step's record names and registers someone new in the freed slot, or another
// window builds on the step). Every command that changes the family, the editor's
// UNDO and a cell of the person table included, takes the main window's undo
// snapshot of its own, so that 戻 takes back exactly the last command; a refused
// command leaves it as it was. After 戻 the person editor shows the family brought back.

#include "app/AppWindows.h"

#include "drawing/ChartRebuild.h"
#include "entry/EntryForm.h"
#include "forms/DragDrop.h"
#include "forms/Keys.h"
#include "forms/Printers.h"
#include "mainwindow/MainForm.h"
#include "model/ChildSlots.h"
#include "model/Lookups.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/InfoChldForm.h"
#include "relations/relations_state.h"
#include "drawing/draw_state.h"
#include "mainwindow/DropState.h"
#include "reports/ChronologyWindows.h"

#include "EditorsFixture.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QTest>

#include <string>

namespace {

using app_test::kou;
using app_test::per;
using app_test::personNamed;

class RelationUndoTest : public app_test::EditorsFixture {
protected:
    // View > 入力画面 on the person, who is then deleted there.
    void deleteInThePersonEditor(int person)
    {
        model::runState().Cur_PerIdx = static_cast<int16_t>(person);
        main_form().scritem[2].choose();
        ASSERT_EQ(entry_form().Text1[1].text(), per(person).Name);
        answers.answerNext(platform::vbYes);
        entry_form().CMDFUNC[2].click();
        ASSERT_EQ(per(person).InUse, model::SlotFree);
    }

    // 新規, the names typed, 登録: the new person takes the first free slot.
    void registerInThePersonEditor(const std::string& familyName, const std::string& name, int expectedSlot)
    {
        registerInPersonEditor(familyName, name);
        ASSERT_EQ(per(expectedSlot).InUse, model::SlotUsed);
        ASSERT_EQ(per(expectedSlot).Name, name);
    }

    // The editor's UNDO button refuses with its message and disarms.
    void expectUndoRefused()
    {
        const size_t before = answers.shown().size();
        answers.answerNext(platform::vbOK);
        ctrl_form().Command2[3].click();
        ASSERT_EQ(answers.shown().size(), before + 1);
        EXPECT_EQ(answers.shown()[before].text, model::UndoRefusedMessage);
        EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::None);
        EXPECT_FALSE(ctrl_form().Command2[3].isEnabled());
    }

    // 一郎 marries 花子: a second marriage on the chart, below the first.
    int marryIchiro()
    {
        const int hanako = model::set_per_buf(-1, "花子", "田中", 1, "");
        const int second = model::set_kou_buf(-1, "通常", 0, 0, ichiro, hanako, 0, "一郎家", 0);
        drawing::Refresh_TabDisp();
        ctrl_form().Build_List();
        model::clearKouUndo();
        ctrl_form().disableUndo();
        return second;
    }

    // Every deletion of the couple or its child, each cancelled at its question: the
    // editor's 削除 of the marriage and of the child, the child dialog's 削除, the
    // chart's child deletion and Delete on the couple mark. The family stays whole.
    void cancelEveryDeletion()
    {
        chooseMarriage(couple);
        answers.answerNext(platform::vbCancel);
        ctrl_form().CMDFUNC[2].click();
        chooseMarriage(couple);
        ctrl_form().List2.setListIndex(0);
        ctrl_form().ChildListActive = 1;
        answers.answerNext(platform::vbCancel);
        ctrl_form().CMDFUNC[2].click();
        ctrl_form().ChildListActive = 0;
        openChildDialogOnIchiro();
        answers.answerNext(platform::vbCancel);
        infochld_form().CMDFUNC[1].click();
        infochld_form().unload();
        model::tables().Sel_ChildKou = static_cast<int16_t>(couple);
        model::tables().Sel_ChildSlot = 0;
        answers.answerNext(platform::vbCancel);
        main_form().cmdChDel_Click();
        deleteOnTheChart(couple, platform::vbCancel);
        ASSERT_EQ(answers.shown().size(), 5u);
        ASSERT_EQ(kou(couple).InUse, model::SlotUsed);
        ASSERT_EQ(kou(couple).kou_kodo[0], ichiro);
    }

    static void editorUndo() { ctrl_form().Command2[3].click(); }
};

TEST_F(RelationUndoTest, DeletedMarriageNeverComesBackWithTheNewOccupantOfAPartnersSlot)
{
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    ASSERT_EQ(kou(couple).InUse, model::SlotFree);
    ASSERT_EQ(ctrl_form().scritem[0].caption(), "UNDO 削除");
    deleteInThePersonEditor(ai);
    registerInThePersonEditor("Test", "Hanako", ai);

    expectUndoRefused();
    EXPECT_EQ(kou(couple).InUse, model::SlotFree) << "山田健 is not married to Test Hanako";
    EXPECT_EQ(model::Find_PersonMarry(ai), -1);
}

TEST_F(RelationUndoTest, DeletedMarriageNeverComesBackNamingAFreedSlot)
{
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    ASSERT_EQ(kou(couple).InUse, model::SlotFree);
    deleteInThePersonEditor(ai);

    expectUndoRefused();
    EXPECT_EQ(kou(couple).InUse, model::SlotFree);
}

TEST_F(RelationUndoTest, RemovedChildNeverComesBackAsTheNewOccupantOfItsSlot)
{
    ctrl_form().List2.setListIndex(0);
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    ASSERT_EQ(kou(couple).kou_kodo[0], -1);
    ASSERT_EQ(ctrl_form().scritem[0].caption(), "UNDO 削除子供関係");
    deleteInThePersonEditor(ichiro);
    registerInThePersonEditor("Test", "Hanako", ichiro);

    expectUndoRefused();
    EXPECT_EQ(kou(couple).kou_kodo[0], -1) << "Test Hanako is nobody's child";
}

TEST_F(RelationUndoTest, ChangedMarriageNeverGoesBackToTheNewOccupantOfAPartnersSlot)
{
    // 鈴木次郎 dragged from the men's list onto the husband field, then 登録.
    startDrag(0, jiro);
    forms::dropOn(ctrl_form().Label2[0], 10, 10);
    ctrl_form().CMDFUNC[1].click();
    ASSERT_EQ(kou(couple).kou_titi, jiro);
    ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ChangedMarriage);
    deleteInThePersonEditor(ken);
    registerInThePersonEditor("Test", "Taro", ken);

    expectUndoRefused();
    EXPECT_EQ(kou(couple).kou_titi, jiro);
    EXPECT_EQ(model::Find_PersonMarry(ken), -1);
}

// --- The main window's undo takes back exactly the last command.

TEST_F(RelationUndoTest, MainUndoAfterTheEditorsUndoTakesBackThatUndoAlone)
{
    const int second = marryIchiro();
    retitle("新しい題");
    startDrag(0, -1);
    dropOnMark(second);
    const int dropped = kou(second).kou_kodo[0];
    ASSERT_TRUE(model::isUsedPerson(dropped)) << "the placeholder man is the new child";

    editorUndo();
    ASSERT_EQ(kou(couple).kou_title, "山田家");
    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "新しい題") << "戻 takes back the editor's undo";
    EXPECT_EQ(kou(second).kou_kodo[0], dropped) << "and not the chart drop before it";
    EXPECT_EQ(per(dropped).InUse, model::SlotUsed);
}

TEST_F(RelationUndoTest, MainUndoAfterTheChartDropsUndoTakesBackThatUndoAlone)
{
    const int second = marryIchiro();
    retitle("新しい題");
    startDrag(0, -1);
    dropOnMark(second);
    const int dropped = kou(second).kou_kodo[0];
    ASSERT_TRUE(model::isUsedPerson(dropped));

    main_form().scritem[0].choose(); // the drop's undo
    ASSERT_EQ(kou(second).kou_kodo[0], -1);
    ASSERT_EQ(per(dropped).InUse, model::SlotFree);
    mainUndo();
    EXPECT_EQ(kou(second).kou_kodo[0], dropped) << "戻 takes back the drop's undo";
    EXPECT_EQ(per(dropped).InUse, model::SlotUsed);
    EXPECT_EQ(kou(couple).kou_title, "新しい題");
}

TEST_F(RelationUndoTest, MainUndoAfterATableCellEditTakesBackThatEditAlone)
{
    retitle("新しい題");
    main_form().scritem[2].choose();
    entry_form().scritem[1].choose();
    ASSERT_EQ(entry_form().Entry_CardView, 0);
    forms::FlexGrid& grid = entry_form().tb;
    grid.setRow(entry_form().getrow(jiro));
    grid.setCol(11);
    QTest::keyClick(grid.widget(), Qt::Key_F2);
    ASSERT_TRUE(entry_form().Text2.isVisible());
    entry_form().Text2.setText("東京都");
    grid.setFocus();
    ASSERT_EQ(per(jiro).Addr1, "東京都");

    mainUndo();
    EXPECT_EQ(per(jiro).Addr1, "");
    EXPECT_EQ(kou(couple).kou_title, "新しい題") << "the registration before the cell edit stays";
}

// --- The editor's UNDO never takes back another window's step.

TEST_F(RelationUndoTest, EditorUndoLeavesTheEasyBuildersChildAndItsPerson)
{
    retitle("新しい題");
    // 関係追加画面: 鈴木次郎 as the base, a new man "E" "Kid" as his child.
    easyctl_form().show();
    easyctl_form().SetMotoNin(jiro);
    easyctl_form().Text1.setText("E");
    easyctl_form().Text2.setText("Kid");
    easyctl_form().Option1[relations::EasyPerson::NewMan].setValue(true);
    QTest::mouseClick(easyctl_form().Label1[relations::EasyRelation::Child].widget(), Qt::LeftButton);
    QTest::mouseClick(easyctl_form().Command1.widget(), Qt::LeftButton);
    const int kid = personNamed("Kid");
    ASSERT_GT(kid, 0);
    const int family = model::Find_PersonMarry(jiro);
    ASSERT_GT(family, 0);
    ASSERT_EQ(kou(family).kou_kodo[0], kid);

    editorUndo();
    EXPECT_EQ(kou(couple).kou_title, "山田家") << "the editor's own step is taken back";
    EXPECT_EQ(kou(family).InUse, model::SlotUsed) << "the builder's family stays";
    EXPECT_EQ(kou(family).kou_kodo[0], kid);
    EXPECT_EQ(per(kid).InUse, model::SlotUsed);

    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "新しい題") << "戻 takes back the editor's undo";
    EXPECT_EQ(kou(family).kou_kodo[0], kid);
}

TEST_F(RelationUndoTest, EditorUndoOfADeletionRefusesWhenAChartDropTookTheSlot)
{
    const int second = marryIchiro();
    // The couple 一郎 and 花子 deleted in the editor; 山田家 and 一郎 stay on the chart.
    chooseMarriage(second);
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    ASSERT_EQ(kou(second).InUse, model::SlotFree);
    ASSERT_EQ(ctrl_form().scritem[0].caption(), "UNDO 削除");
    // "**** 女01" dropped on 一郎's box marries them in the freed slot.
    startDrag(1, -1);
    dropOnBox(ichiro);
    const int bride = personNamed("女01");
    ASSERT_GT(bride, 0);
    ASSERT_EQ(model::Find_PersonMarry(ichiro), second);

    expectUndoRefused();
    EXPECT_EQ(kou(second).kou_haha, bride) << "the drop's marriage stays";
    EXPECT_EQ(per(bride).InUse, model::SlotUsed);

    mainUndo();
    EXPECT_EQ(kou(second).InUse, model::SlotFree) << "戻 takes back the drop";
    EXPECT_EQ(per(bride).InUse, model::SlotFree) << "with the person it made";
}

// --- A refused command leaves the main window's undo as it was.

TEST_F(RelationUndoTest, RefusedDuplicateRegistrationLeavesTheMainUndo)
{
    retitle("新しい題");
    ctrl_form().CMDFUNC[0].click();
    startDrag(0, ken);
    forms::dropOn(ctrl_form().Label2[0], 10, 10);
    startDrag(1, ai);
    forms::dropOn(ctrl_form().Label2[1], 10, 10);
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[1].click();
    ASSERT_EQ(answers.shown().back().text, "既に結婚関係として登録されています");

    // The refused input is still in the fields: 戻 asks about it first, and いいえ drops it.
    answers.answerNext(platform::vbNo);
    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "山田家") << "戻 still takes back the registration before";
}

TEST_F(RelationUndoTest, RefusedChartDropsLeaveTheMainUndoAndTheChangedMarkAsTheyWere)
{
    // The family is set up first: 戻 takes back exactly the last command, the
    // registration, only while nothing else changed the family since.
    for (int i = 0; model::personSlotFree(); ++i)
        model::set_per_buf(-1, "埋" + std::to_string(i), "満", 0, "");
    ctrl_form().Build_List();
    retitle("新しい題");
    model::tables().Data_Changed = 0;
    // With the person table full: 愛, already married, dropped on 一郎's box, the copy
    // question answered はい; "**** 女01" on 一郎's box; "**** 男01" on the couple's mark.
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    startDrag(1, ai);
    dropOnBox(ichiro);
    ASSERT_EQ(answers.shown().size(), 2u);
    for (const int list : {1, 0}) {
        answers.answerNext(platform::vbOK);
        startDrag(list, -1);
        if (list == 1)
            dropOnBox(ichiro);
        else
            dropOnMark(couple);
    }
    ASSERT_EQ(answers.shown().size(), 4u);
    for (const auto& shown : {answers.shown()[1], answers.shown()[2], answers.shown()[3]})
        EXPECT_EQ(shown.text, mainwindow::PersonTableFullDropMessage);
    EXPECT_EQ(model::Find_PersonMarry(ichiro), -1);
    EXPECT_EQ(model::tables().Data_Changed, 0) << "nothing changed";

    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "山田家") << "戻 still takes back the registration before the drops";
}

TEST_F(RelationUndoTest, RefusedEasyBuilderRegistrationOfANewPersonLeavesTheMainUndo)
{
    retitle("新しい題");
    model::tables().Data_Changed = 0;
    const int16_t placeholders = model::tables().DummyManCnt;
    easyctl_form().show();
    auto registerNewMan = [](int base, int relation) {
        easyctl_form().SetMotoNin(base);
        easyctl_form().Text1.setText("E");
        easyctl_form().Text2.setText("Kid");
        easyctl_form().Option1[relations::EasyPerson::NewMan].setValue(true);
        QTest::mouseClick(easyctl_form().Label1[relation].widget(), Qt::LeftButton);
        QTest::mouseClick(easyctl_form().Command1.widget(), Qt::LeftButton);
    };
    // The builder's own refusal (一郎 has parents) and the registration's (two men).
    answers.answerNext(platform::vbOK);
    registerNewMan(ichiro, relations::EasyRelation::Parent);
    ASSERT_EQ(answers.shown().back().text, relations::HasAncestorsMessage);
    answers.answerNext(platform::vbOK);
    registerNewMan(jiro, relations::EasyRelation::Marriage);
    ASSERT_EQ(answers.shown().back().text, "同性同士では結婚出来ません");
    EXPECT_EQ(personNamed("Kid"), -1);
    EXPECT_EQ(model::tables().DummyManCnt, placeholders);
    EXPECT_EQ(model::tables().Data_Changed, 0) << "nothing changed";

    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "山田家") << "戻 still takes back the registration before";

    // A stored registration's snapshot is the family before its new person.
    registerNewMan(jiro, relations::EasyRelation::Child);
    ASSERT_GT(personNamed("Kid"), 0);
    mainUndo();
    EXPECT_EQ(personNamed("Kid"), -1) << "戻 takes back the child with the person made for it";
    EXPECT_EQ(model::Find_PersonMarry(jiro), -1);
    EXPECT_EQ(kou(couple).kou_title, "山田家");
}

TEST_F(RelationUndoTest, RefusedChildDialogRegistrationLeavesTheMainUndo)
{
    // A loop in the family: 健 is recorded as a child of his own son 一郎.
    const int hanako = model::set_per_buf(-1, "花子", "田中", 1, "");
    const int loop = model::set_kou_buf(-1, "通常", 0, 0, ichiro, hanako, 0, "一郎家", 0);
    kou(loop).kou_kodo[0] = static_cast<int16_t>(ken);
    retitle("新しい題");
    model::tables().Data_Changed = 0;
    // The child dialog on 一郎, 登録: he is refused as an ancestor of the family.
    model::runState().Sel_Person = static_cast<int16_t>(ichiro);
    infochld_form().show();
    infochld_form().edit_ch_data(couple, 0, 0, 0);
    answers.answerNext(platform::vbOK);
    infochld_form().CMDFUNC[0].click();
    ASSERT_EQ(answers.shown().back().text, per(ichiro).Name + relations::AncestorChildMessage);
    EXPECT_EQ(model::tables().Data_Changed, 0);

    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "山田家") << "戻 still takes back the registration before";
}

TEST_F(RelationUndoTest, CancelledDeletionsLeaveTheChangedMarkAsItWas)
{
    model::tables().Data_Changed = 0;
    cancelEveryDeletion();
    EXPECT_EQ(model::tables().Data_Changed, 0);
}

// A chart drop makes its new marriage the current one while the editor still shows
// the couple: the editor's 削除 deletes the marriage it shows, not the drop's.
TEST_F(RelationUndoTest, TheEditorsDeletionActsOnTheMarriageItShowsAfterADropMadeAnother)
{
    chooseMarriage(couple);
    startDrag(1, -1);
    dropOnBox(ichiro);
    const int dropped = model::Find_PersonMarry(ichiro);
    ASSERT_GT(dropped, 0);
    ASSERT_NE(dropped, couple);
    ASSERT_EQ(ctrl_form().Text1[0].text(), "山田家") << "the editor still shows the couple";

    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    EXPECT_EQ(kou(couple).InUse, model::SlotFree);
    EXPECT_EQ(kou(dropped).InUse, model::SlotUsed) << "the drop's marriage stays";
    EXPECT_EQ(kou(dropped).kou_titi, ichiro);
}

// The chart's child deletion refills the editor's children list with their marks:
// a registration that follows keeps the direct-line mark of the children left.
TEST_F(RelationUndoTest, ChildrenRefilledAfterAnotherWindowsDeletionKeepTheirMarks)
{
    ASSERT_EQ(addChild(couple, jiro), 1);
    ctrl_form().edit_kou_data(couple);
    ASSERT_EQ(ctrl_form().List2.listCount(), 2);

    model::tables().Sel_ChildKou = static_cast<int16_t>(couple);
    model::tables().Sel_ChildSlot = 1;
    answers.answerNext(platform::vbOK);
    main_form().cmdChDel_Click();
    ASSERT_EQ(kou(couple).kou_kodo[1], -1);
    ASSERT_EQ(ctrl_form().List2.listCount(), 1);
    EXPECT_TRUE(ctrl_form().List2.selected(0)) << "the child left keeps its mark on the list";

    ctrl_form().CMDFUNC[1].click();
    EXPECT_EQ(kou(couple).kou_kodo[0], ichiro);
    EXPECT_EQ(kou(couple).kodo_visible[0], 1) << "登録 keeps the direct-line mark";
}

// --- After the main window's undo the person editor shows the family it brought.

TEST_F(RelationUndoTest, PersonEditorNeverShowsNorRestoresAPersonTheMainUndoRemoved)
{
    model::runState().Cur_PerIdx = static_cast<int16_t>(jiro);
    main_form().scritem[2].choose();
    const int ghost = 5; // the first free slot
    registerInThePersonEditor("Ghost", "One", ghost);
    entry_form().CMDFUNC[5].click();
    ASSERT_EQ(entry_form().Text1[0].text(), "Ghost");

    mainUndo();
    ASSERT_EQ(per(ghost).InUse, model::SlotFree);
    EXPECT_NE(entry_form().Text1[0].text(), "Ghost");
    EXPECT_NE(entry_form().Text1[1].text(), "One");
    // A new card, with the four persons left counted and reachable with ◀.
    EXPECT_EQ(entry_form().Label2[1].caption(), "4");
    EXPECT_TRUE(entry_form().CMDFUNC[5].isEnabled());
    entry_form().Text1[7].setText("WW7");
    answers.answerNext(platform::vbOK);
    entry_form().CMDFUNC[1].click();
    EXPECT_EQ(personNamed("One"), -1) << "登録 brings nobody back";
}

TEST_F(RelationUndoTest, PersonTableNeverListsAPersonTheMainUndoRemoved)
{
    main_form().scritem[2].choose();
    const int ghost = 5; // the first free slot
    registerInThePersonEditor("Ghost", "One", ghost);
    entry_form().scritem[1].choose();
    ASSERT_EQ(entry_form().Entry_CardView, 0);

    mainUndo();
    const forms::FlexGrid& grid = entry_form().tb;
    ASSERT_EQ(grid.textMatrix(4, 2), "次郎");
    for (int r = 1; r < grid.rows(); ++r) {
        EXPECT_NE(grid.textMatrix(r, 2), "One");
        EXPECT_NE(grid.rowData(r), ghost);
    }
}

TEST_F(RelationUndoTest, MainUndoTakesBackAPlaceholderDroppedIntoTheEditorAlone)
{
    retitle("新しい題");
    chooseMarriage(couple);
    startDrag(0, -1);
    forms::dropOn(ctrl_form().List2, 10, 10);
    const int child = personNamed("男01");
    ASSERT_GT(child, 0);

    // The child line dropped in is not registered: 戻 asks about it first, and いいえ
    // drops it.
    answers.answerNext(platform::vbNo);
    mainUndo();
    EXPECT_EQ(per(child).InUse, model::SlotFree);
    EXPECT_EQ(kou(couple).kou_title, "新しい題") << "the registration before the drop stays";
}

TEST_F(RelationUndoTest, MainUndoTakesBackAMarriageDeletedOnTheChartAlone)
{
    const int second = marryIchiro();
    retitle("新しい題");
    deleteOnTheChart(second);
    ASSERT_EQ(kou(second).InUse, model::SlotFree);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ChangedMarriage) << "the editor's UNDO keeps its own step";

    mainUndo();
    EXPECT_EQ(kou(second).InUse, model::SlotUsed);
    EXPECT_EQ(kou(couple).kou_title, "新しい題");
}

TEST_F(RelationUndoTest, MainUndoAsksAboutInputThePersonEditorHoldsFirst)
{
    retitle("新しい題");
    model::runState().Cur_PerIdx = static_cast<int16_t>(jiro);
    main_form().scritem[2].choose();
    entry_form().Text1[7].setText("WW7");

    answers.answerNext(platform::vbCancel);
    main_form().CmdUndo.click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{entry::UnregisteredInputQuestion}));
    EXPECT_EQ(kou(couple).kou_title, "新しい題") << "キャンセル: nothing is taken back";
    EXPECT_EQ(entry_form().Text1[7].text(), "WW7");

    answers.answerNext(platform::vbNo);
    main_form().CmdUndo.click();
    EXPECT_EQ(kou(couple).kou_title, "山田家");
    EXPECT_EQ(entry_form().Text1[7].text(), "");
}

TEST_F(RelationUndoTest, ChildDialogsStepIsTheMainUndosNotTheEditors)
{
    retitle("新しい題");
    // 子供情報画面 on 一郎, 削除, OK.
    model::runState().Sel_BoxMark = 1;
    openChildDialogOnIchiro();
    answers.answerNext(platform::vbOK);
    infochld_form().CMDFUNC[1].click();
    ASSERT_EQ(kou(couple).kou_kodo[0], -1);

    // The editor's own step no longer stands: its marriage lost a child since.
    expectUndoRefused();
    EXPECT_EQ(kou(couple).kou_title, "新しい題");
    EXPECT_EQ(kou(couple).kou_kodo[0], -1);

    mainUndo();
    EXPECT_EQ(kou(couple).kou_kodo[0], ichiro) << "戻 takes back the dialog's step";
    EXPECT_EQ(kou(couple).kou_title, "新しい題") << "and nothing before it";
}

TEST_F(RelationUndoTest, MainUndoTakesBackARenameOnTheChartAlone)
{
    retitle("新しい題");
    // 山田健's box clicked, F2, the names typed, Enter.
    main_form().DPic_Click(boxOf(ken));
    int f2 = forms::vbKeyF2;
    main_form().Form_KeyDown(f2, 0);
    ASSERT_TRUE(main_form().Text2[1].isVisible());
    main_form().Text2[0].setText("山川");
    main_form().Text2[1].setText("健二");
    int16_t enter = 13;
    main_form().Text2_KeyPress(1, enter);
    ASSERT_EQ(per(ken).Name, "健二");

    mainUndo();
    EXPECT_EQ(per(ken).F_name, "山田");
    EXPECT_EQ(per(ken).Name, "健");
    EXPECT_EQ(kou(couple).kou_title, "新しい題") << "the registration before the rename stays";
}

TEST_F(RelationUndoTest, CancelledDeletionsLeaveTheMainUndoAsItWas)
{
    retitle("新しい題");
    cancelEveryDeletion();
    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "山田家") << "戻 still takes back the registration";
}

} // namespace
