// Typed input with the program's real windows: a command of another window that
// closes the person editor (a drop that makes a person, the relationship editor's
// undo) asks about the editor's unregistered input before it changes anything;
// キャンセル stops it, はい registers the input and the command goes on.

#include "app/AppWindows.h"

#include "drawing/ChartRebuild.h"
#include "drawing/draw_state.h"
#include "entry/EntryForm.h"
#include "forms/DragDrop.h"
#include "forms/Keys.h"
#include "mainwindow/MainForm.h"
#include "model/ChildSlots.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "relations/CategMakeForm.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/InfoChldForm.h"

#include "EditorsFixture.h"
#include "support/qt/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QTest>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using app_test::kou;
using app_test::per;
using app_test::usedPersons;

class TypedInputTest : public app_test::EditorsFixture {
protected:
    // View > 入力画面 on 佐藤愛, and "WW7" typed into 住所1, not registered.
    void typeIntoThePersonEditor()
    {
        model::runState().Cur_PerIdx = static_cast<int16_t>(ai);
        main_form().scritem[2].choose();
        ASSERT_TRUE(entry_form().isLoaded());
        ASSERT_EQ(entry_form().Text1[1].text(), "愛");
        QTest::keyClicks(entry_form().Text1[7].widget(), "WW7");
        ASSERT_TRUE(answers.shown().empty());
    }

    // Starts a drag of the men's placeholder line "**** 男NN".
    static void dragManPlaceholder() { startDrag(0, -1); }

    // The question was asked once (and nothing else) since the records were cleared.
    void expectAskedOnce(const std::string& way)
    {
        EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{entry::UnregisteredInputQuestion})) << way;
        answers.clearRecords();
    }
};

TEST_F(TypedInputTest, CommandsThatClosePersonEditorAskFirstAndCancelChangesNothing)
{
    // (a) A title changed and registered in the relationship editor, to be undone.
    ctrl_form().Text1[0].setText("山田本家");
    ctrl_form().CMDFUNC[1].click();
    ASSERT_EQ(kou(couple).kou_title, "山田本家");
    ASSERT_TRUE(ctrl_form().Command2[3].isEnabled());
    chooseMarriage(couple);
    typeIntoThePersonEditor();
    const int persons = usedPersons();

    const std::vector<std::pair<std::string, std::function<void()>>> commands = {
        {"relationship editor's UNDO", [] { ctrl_form().Command2[3].click(); }},
        {"placeholder onto the husband field",
         [this] {
             dragManPlaceholder();
             forms::dropOn(ctrl_form().Label2[0], 10, 10);
         }},
        {"placeholder onto a couple mark",
         [this] {
             dragManPlaceholder();
             dropOnMark(couple);
         }},
        {"placeholder into the children list",
         [this] {
             dragManPlaceholder();
             forms::dropOn(ctrl_form().List2, 10, 10);
         }},
    };
    for (const auto& [way, command] : commands) {
        answers.answerNext(platform::vbCancel);
        command();
        expectAskedOnce(way);
        ASSERT_TRUE(entry_form().isLoaded()) << way;
        EXPECT_EQ(entry_form().Text1[7].text(), "WW7") << way;
        EXPECT_EQ(usedPersons(), persons) << way;
        EXPECT_EQ(kou(couple).kou_title, "山田本家") << way;
        EXPECT_EQ(ctrl_form().Label2[0].tag(), std::to_string(ken)) << way;
        EXPECT_EQ(ctrl_form().List2.listCount(), 1) << way;
        EXPECT_TRUE(per(ai).Addr1.empty()) << way;
    }

    // はい registers the input, then the drop goes on and makes its person.
    answers.answerNext(platform::vbYes);
    dragManPlaceholder();
    dropOnMark(couple);
    expectAskedOnce("couple mark, Yes");
    EXPECT_EQ(per(ai).Addr1, "WW7");
    EXPECT_FALSE(entry_form().isLoaded());
    EXPECT_EQ(usedPersons(), persons + 1);
    EXPECT_EQ(kou(couple).kou_kodo[1], persons + 1) << "the new person is the couple's second child";

    // The drop's undo frees that person, and a new category makes one: both ask.
    typeIntoThePersonEditor();
    const std::string typed = entry_form().Text1[7].text();
    ASSERT_EQ(typed, "WW7WW7");
    const std::vector<std::pair<std::string, std::function<void()>>> more = {
        {"drop UNDO", [] { main_form().scritem[0].choose(); }},
        {"new category",
         [] {
             main_form().cmdCategory.click();
             categmake_form().txtTitle.setText("Group");
             categmake_form().cmdAddNew.click();
         }},
        {"new man in the easy builder",
         [] {
             main_form().Command1.click(); // 関係追加画面, a new man as a child
             easyctl_form().Option1[relations::EasyPerson::NewMan].setValue(true);
             QTest::mouseClick(easyctl_form().Label1[relations::EasyRelation::Child].widget(), Qt::LeftButton);
             easyctl_form().Command1.click();
         }},
    };
    for (const auto& [way, command] : more) {
        answers.answerNext(platform::vbCancel);
        command();
        expectAskedOnce(way);
        ASSERT_TRUE(entry_form().isLoaded()) << way;
        EXPECT_EQ(entry_form().Text1[7].text(), typed) << way;
        EXPECT_EQ(per(ai).Addr1, "WW7") << way;
        EXPECT_EQ(usedPersons(), persons + 1) << way;
        EXPECT_EQ(kou(couple).kou_kodo[1], persons + 1) << way;
    }
}

TEST_F(TypedInputTest, RelationshipEditorsUndoRegistersTheInputOnYesThenUndoes)
{
    ctrl_form().Text1[0].setText("山田本家");
    ctrl_form().CMDFUNC[1].click();
    ASSERT_EQ(kou(couple).kou_title, "山田本家");
    typeIntoThePersonEditor();

    answers.answerNext(platform::vbYes);
    ctrl_form().scritem[0].choose();
    expectAskedOnce("UNDO, Yes");
    EXPECT_EQ(per(ai).Addr1, "WW7");
    EXPECT_EQ(kou(couple).kou_title, "山田家");
    EXPECT_FALSE(entry_form().isLoaded());
}

TEST_F(TypedInputTest, MergeAndCsvImportAskFirstAndCancelChangesNothing)
{
    typeIntoThePersonEditor();
    const int persons = usedPersons();
    ScriptedDialogs dialogs;
    const bool undoBefore = main_form().CmdUndo.isEnabled();

    // File > 家系データの追加読み込み: asked once the file is chosen and read, before the
    // snapshot.
    platform::writeWholeFile(home.file("\\other.kez"), "[Header]\r\n[end_of_data]\r\n");
    dialogs.answerNext(forms::DialogAnswer::file(home.file("\\other.kez")));
    answers.answerNext(platform::vbCancel);
    main_form().fileitem[14].choose();
    expectAskedOnce("merge");
    // File > CSV読み込み: asked before its own question.
    answers.answerNext(platform::vbCancel);
    main_form().fileitem[5].choose();
    expectAskedOnce("CSV import");

    ASSERT_TRUE(entry_form().isLoaded());
    EXPECT_EQ(entry_form().Text1[7].text(), "WW7");
    EXPECT_EQ(usedPersons(), persons);
    EXPECT_EQ(main_form().CmdUndo.isEnabled(), undoBefore);
}

TEST_F(TypedInputTest, FileCommandsSettleTheRelationshipEditorsChangeToo)
{
    ctrl_form().Text1[0].setText("山田本家");
    const int persons = usedPersons();
    for (int item : {0, 1, 16}) { // File > 新規作成, 開く, 終了
        answers.answerNext(platform::vbCancel);
        main_form().fileitem[item].choose();
        expectAskedOnce("file item " + std::to_string(item));
        ASSERT_TRUE(main_form().isLoaded() && ctrl_form().isLoaded()) << item;
        EXPECT_EQ(ctrl_form().Text1[0].text(), "山田本家") << item;
        EXPECT_EQ(usedPersons(), persons) << item;
    }
    EXPECT_FALSE(answers.programEnded());

    // はい registers the title, then New asks about the changed family.
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbCancel);
    main_form().fileitem[0].choose();
    ASSERT_EQ(answers.shownTexts().size(), 2u);
    EXPECT_EQ(answers.shownTexts()[0], entry::UnregisteredInputQuestion);
    answers.clearRecords();
    EXPECT_EQ(kou(couple).kou_title, "山田本家");
}

TEST_F(TypedInputTest, AChartClickOnACoupleMarkSettlesTheRelationshipEditorsChange)
{
    ctrl_form().Text1[0].setText("山田本家");
    MainForm& w = main_form();
    const int mark = coupleMarkOf(couple);
    ASSERT_GT(mark, 0);
    for (const auto& [way, click] : std::vector<std::pair<std::string, std::function<void()>>>{
             {"couple mark", [&w, mark] { w.Label11_Click(mark); }},
             {"double click on the mark", [&w, mark] { w.Label11_DblClick(mark); }},
             {"person box", [&w, this] {
                  for (int index : w.DPic.indexes()) {
                      if (index >= 2 && drawing::drawState().Label12_Per[static_cast<size_t>(index)] == ai)
                          w.DPic_Click(index);
                  }
              }}}) {
        answers.answerNext(platform::vbCancel);
        click();
        expectAskedOnce(way + ", Cancel");
        EXPECT_EQ(ctrl_form().Text1[0].text(), "山田本家") << way;
        EXPECT_EQ(model::runState().KouNum, couple) << way;
    }
    EXPECT_EQ(kou(couple).kou_title, "山田家");

    answers.answerNext(platform::vbNo);
    w.Label11_Click(mark);
    expectAskedOnce("couple mark, No");
    EXPECT_EQ(ctrl_form().Text1[0].text(), "山田家");
}

TEST_F(TypedInputTest, ACoupleMarkDropSettlesTheRelationshipEditorsChangeOnceTheDragEnded)
{
    const int jiro = model::set_per_buf(-1, "次郎", "山田", 0, "");
    ctrl_form().Build_List();
    chooseMarriage(couple);
    ctrl_form().Text1[0].setText("山田本家");
    const int persons = usedPersons();

    for (int dragged : {jiro, -1}) {
        answers.answerNext(platform::vbCancel);
        startDrag(0, dragged);
        dropOnMark(couple);
        expectAskedOnce(dragged == -1 ? "placeholder, Cancel" : "listed man, Cancel");
        EXPECT_EQ(ctrl_form().Text1[0].text(), "山田本家") << dragged;
        EXPECT_EQ(model::runState().KouNum, couple) << dragged;
        EXPECT_EQ(ctrl_form().List2.listCount(), 1) << dragged;
        EXPECT_EQ(kou(couple).kou_title, "山田家") << dragged;
        EXPECT_EQ(kou(couple).kou_kodo[1], -1) << dragged;
        EXPECT_EQ(usedPersons(), persons) << dragged;
    }

    // はい registers the title through 登録, then the child goes into the same marriage
    // and the editor shows it as registered.
    answers.answerNext(platform::vbYes);
    startDrag(0, jiro);
    dropOnMark(couple);
    expectAskedOnce("listed man, Yes");
    EXPECT_EQ(kou(couple).kou_title, "山田本家");
    EXPECT_EQ(kou(couple).kou_kodo[1], jiro);
    EXPECT_EQ(ctrl_form().Text1[0].text(), "山田本家");
    EXPECT_EQ(ctrl_form().List2.listCount(), 2);
    EXPECT_FALSE(ctrl_form().hasUnregisteredChange());
}

TEST_F(TypedInputTest, AnOpenCellEditorOfTheTableViewIsSettledBeforeADropClosesTheEditor)
{
    model::runState().Cur_PerIdx = static_cast<int16_t>(ai);
    main_form().scritem[2].choose(); // View > 入力画面
    entry_form().scritem[1].choose(); // its table view
    ASSERT_EQ(entry_form().Entry_CardView, 0);
    forms::FlexGrid& grid = entry_form().tb;
    int row = -1;
    for (int r = 1; r < grid.rows(); ++r) {
        if (grid.rowData(r) == ai)
            row = r;
    }
    ASSERT_GT(row, 0);
    grid.setRow(row);
    grid.setCol(2); // the given name
    QTest::keyClick(grid.widget(), Qt::Key_F2);
    ASSERT_TRUE(entry_form().Text2.isVisible());
    QTest::keyClicks(entry_form().Text2.widget(), "WW7");
    const std::string typed = entry_form().Text2.text();
    ASSERT_NE(typed, "愛");
    EXPECT_TRUE(entry_form().hasUnregisteredInput());
    const int persons = usedPersons();

    // The drop makes a person and closes the editor: the cell's edit ends first.
    dragManPlaceholder();
    dropOnMark(couple);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(per(ai).Name, typed);
    EXPECT_EQ(usedPersons(), persons + 1);
    EXPECT_FALSE(entry_form().isLoaded());
}

TEST_F(TypedInputTest, UndoAndChartDeletionsSettleTheRelationshipEditorsChangeFirst)
{
    // A step for 戻 to take back.
    ctrl_form().Text1[0].setText("山田本家");
    ctrl_form().CMDFUNC[1].click();
    ASSERT_TRUE(main_form().CmdUndo.isEnabled());
    chooseMarriage(couple);
    ctrl_form().Text1[0].setText("山田分家");
    MainForm& w = main_form();
    const int mark = coupleMarkOf(couple);
    ASSERT_GT(mark, 0);

    const std::vector<std::pair<std::string, std::function<void()>>> commands = {
        {"戻", [&w] { w.CmdUndo.click(); }},
        {"Delete on the chosen couple mark",
         [&w] {
             model::runState().Sel_KouMark = 1;
             int key = forms::vbKeyDelete;
             w.Form_KeyDown(key, 0);
         }},
        {"the chart's child deletion",
         [this, &w] {
             model::tables().Sel_ChildKou = static_cast<int16_t>(couple);
             model::tables().Sel_ChildSlot = 0;
             w.cmdChDel_Click();
         }},
    };
    for (const auto& [way, command] : commands) {
        answers.answerNext(platform::vbCancel);
        command();
        expectAskedOnce(way);
        EXPECT_EQ(ctrl_form().Text1[0].text(), "山田分家") << way;
        EXPECT_EQ(ctrl_form().List2.listCount(), 1) << way;
        EXPECT_EQ(model::runState().KouNum, couple) << way;
        EXPECT_EQ(kou(couple).InUse, model::SlotUsed) << way;
        EXPECT_EQ(kou(couple).kou_title, "山田本家") << way;
        EXPECT_EQ(kou(couple).kou_kodo[0], ichiro) << way;
    }

    // 戻 after はい: the registration is the newest step, and the undo stops there.
    answers.answerNext(platform::vbYes);
    w.CmdUndo.click();
    expectAskedOnce("戻, Yes");
    EXPECT_EQ(kou(couple).kou_title, "山田分家");
}

TEST_F(TypedInputTest, TheChildDialogsCommentIsAskedAboutBeforeTheChartShowsAnotherChildOrTheProgramEnds)
{
    MainForm& w = main_form();
    int box = -1;
    for (int index : w.DPic.indexes()) {
        if (index >= 2 && drawing::drawState().Label12_Per[static_cast<size_t>(index)] == ichiro)
            box = index;
    }
    ASSERT_GT(box, 0);
    w.Label12_DblClick(box);
    ASSERT_TRUE(infochld_form().isVisible());
    infochld_form().Text1[2].setText("長男");

    answers.answerNext(platform::vbCancel);
    w.Label12_DblClick(box);
    expectAskedOnce("double click on the child's box");
    answers.answerNext(platform::vbCancel);
    w.fileitem[16].choose(); // File > 終了
    expectAskedOnce("end of the program");
    EXPECT_FALSE(answers.programEnded());
    EXPECT_EQ(infochld_form().Text1[2].text(), "長男");
    EXPECT_EQ(kou(couple).kou_kodo_comment[0], "");

    answers.answerNext(platform::vbYes);
    w.Label12_DblClick(box);
    expectAskedOnce("double click, Yes");
    EXPECT_EQ(kou(couple).kou_kodo_comment[0], "長男");
    EXPECT_TRUE(infochld_form().isVisible());
}

} // namespace
