// The person editor window: load, the two views, delete, navigation, the
// options button, closing, the minimum size and the main window's requests.

#include "EntryFixture.h"

#include "entry/EntryPaths.h"
#include "forms/Screen.h"
#include "model/ChildSlots.h"
#include "model/GroupLists.h"
#include "model/run_state.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include "forms/Testing.h"

#include <QApplication>
#include <QTest>

namespace entry_test {
namespace {

TEST_F(EntryTest, loadingWithNoPersonsDisablesNavigationDeleteAndColumns)
{
    open();
    EXPECT_EQ(form().caption(), entry::EntryCaption);
    EXPECT_EQ(form().Entry_CardView, -1);
    for (int i : {2, 3, 5, 6})
        EXPECT_FALSE(form().CMDFUNC[i].isEnabled()) << "CMDFUNC(" << i << ")";
    EXPECT_EQ(form().Label2[1].caption(), "0");
    EXPECT_FALSE(form().scritem[0].isEnabled());
    EXPECT_TRUE(form().scritem[1].isEnabled());
    EXPECT_EQ(form().cbWakuPat.listCount(), 5);
    EXPECT_EQ(form().tb.textMatrix(0, 5), "生年月日");
    EXPECT_EQ(model::runState().Cur_PerIdx, -1);
}

TEST_F(EntryTest, loadingShowsTheCurrentPersonOrTheFirstRow)
{
    addPerson("山田", "太郎");
    const int b = addPerson("山田", "花子", 1);
    model::runState().Cur_PerIdx = static_cast<int16_t>(b);
    open();
    EXPECT_EQ(form().Text1[1].text(), "花子");
    EXPECT_EQ(form().Label2[1].caption(), "2");
    form().unload();
    model::runState().Cur_PerIdx = 9; // a free slot
    open();
    EXPECT_EQ(model::runState().Cur_PerIdx, 1);
    EXPECT_EQ(form().Text1[1].text(), "太郎");
}

TEST_F(EntryTest, loadingSetsTheMenuMarksFromTheSettings)
{
    model::settings().Array_SortMode = 2;
    model::settings().Dispmode_Nengo = 2;
    open();
    EXPECT_TRUE(form().down.isChecked());
    EXPECT_FALSE(form().up.isChecked());
    EXPECT_FALSE(form().nosort.isChecked());
    EXPECT_TRUE(form().calend[2].isChecked());
    EXPECT_FALSE(form().calend[1].isChecked());
}

TEST_F(EntryTest, hiddenColumnsFollowTheShownFlags)
{
    open();
    const model::Settings& s = model::settings();
    for (int c = 1; c < entry::GridCols; ++c) {
        if (s.DispFactor[static_cast<size_t>(c)])
            EXPECT_EQ(form().tb.colWidth(c), model::runState().CelWidth[static_cast<size_t>(c)]) << c;
        else
            EXPECT_EQ(form().tb.colWidth(c), 0) << c;
    }
    EXPECT_EQ(form().tb.rowData(0), 11) << "the header row names the last shown column";
}

TEST_F(EntryTest, theTableViewHidesRegisterAndTheCardViewRemovesTheBlankRow)
{
    addPerson("山田", "太郎");
    open();
    form().scritem_Click(1);
    EXPECT_EQ(form().Entry_CardView, 0);
    EXPECT_EQ(form().Tab1.selectedIndex(), 2);
    EXPECT_FALSE(form().CMDFUNC[1].isVisible());
    EXPECT_TRUE(form().CMDFUNC[3].isEnabled());
    EXPECT_TRUE(form().CMDFUNC[2].isEnabled());
    EXPECT_EQ(model::runState().Entry_EditMode, 1);
    EXPECT_EQ(form().tb.rows(), 2) << "no blank row while existing persons are edited";

    form().CMDFUNC_Click(0);
    EXPECT_EQ(form().tb.rows(), 3);
    EXPECT_EQ(model::runState().Entry_EditMode, 0);
    EXPECT_FALSE(form().CMDFUNC[0].isEnabled());

    form().Tab1.tabs().item(1).setSelected(true);
    EXPECT_EQ(form().Entry_CardView, -1);
    EXPECT_EQ(form().tb.rows(), 2) << "the pending blank row goes";
    EXPECT_TRUE(form().CMDFUNC[1].isVisible());
    EXPECT_EQ(form().Text1[1].text(), "太郎");
}

TEST_F(EntryTest, registerInTheTableViewPointsAtTheMissingName)
{
    open();
    form().scritem_Click(1);
    const int r = form().tb.rows() - 1;
    form().tb.setTextMatrix(r, 1, "山田");
    answers.answerNext(platform::vbOK);
    form().CMDFUNC_Click(1);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::NoNameInRowMessage);
    EXPECT_EQ(form().tb.row(), r);
    EXPECT_EQ(form().tb.col(), 2);
    EXPECT_FALSE(undoSnapshotExists());
}

TEST_F(EntryTest, registerRebuildsTheRelationListsAndClosesTheChronology)
{
    model::runState().Ctrl_Open = 1;
    model::runState().YTbl_Open = -1;
    open();
    form().Text1[0].setText("山田");
    form().Text1[1].setText("太郎");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(windows.count("rebuildRelationLists"), 1);
    EXPECT_EQ(windows.count("closeChronology"), 1);
    EXPECT_EQ(form().Label2[1].caption(), "1");
}

TEST_F(EntryTest, aPersonInAMarriageCannotBeDeleted)
{
    const int father = addPerson("山田", "太郎");
    const int mother = addPerson("山田", "花子", 1);
    const int child = addPerson("山田", "一郎");
    const int kou = model::set_kou_buf(-1, "通常", 0, 0, father, mother, 1, "", 0);
    model::kodo_data work;
    work.KouIdx = static_cast<int16_t>(kou);
    work.KodoIdx = -1;
    work.kou_kodo = static_cast<int16_t>(child);
    ASSERT_GE(model::Add_Kodo(work), 0);
    model::runState().Cur_PerIdx = static_cast<int16_t>(child);
    t().Data_Changed = 0;
    open();
    answers.answerNext(platform::vbOK);
    form().CMDFUNC_Click(2);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::PersonInMarriageMessage);
    EXPECT_EQ(person(child).InUse, model::SlotUsed) << "a child alone is enough to refuse";
    EXPECT_FALSE(undoSnapshotExists());
    EXPECT_EQ(t().Data_Changed, 0);
}

TEST_F(EntryTest, answeringNoDeletesNothing)
{
    const int a = addPerson("山田", "太郎");
    open();
    answers.answerNext(platform::vbNo);
    form().CMDFUNC_Click(2);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::DeleteCardQuestion);
    EXPECT_EQ(answers.shown()[0].style, platform::vbYesNo);
    EXPECT_EQ(person(a).InUse, model::SlotUsed);
    EXPECT_FALSE(undoSnapshotExists());
}

TEST_F(EntryTest, deletingTheOnlyPersonLeavesAnEmptyEditor)
{
    const int a = addPerson("山田", "太郎");
    model::runState().Ctrl_Open = 1;
    open();
    answers.answerNext(platform::vbYes);
    form().CMDFUNC_Click(2);
    EXPECT_EQ(person(a).InUse, model::SlotFree);
    EXPECT_EQ(t().PerCount, 0);
    EXPECT_EQ(model::runState().Cur_PerIdx, -1);
    EXPECT_EQ(t().Data_Changed, 1);
    EXPECT_FALSE(form().CMDFUNC[2].isEnabled());
    EXPECT_EQ(form().Label2[1].caption(), "0");
    EXPECT_TRUE(undoSnapshotExists());
    EXPECT_EQ(windows.count("rebuildRelationLists"), 1);
    EXPECT_TRUE(form().Text1[1].text().empty());
}

TEST_F(EntryTest, deletingInTheCardViewShowsTheRowAbove)
{
    addPerson("山田", "一");
    addPerson("山田", "二");
    const int c = addPerson("山田", "三");
    model::runState().Cur_PerIdx = static_cast<int16_t>(c);
    open();
    answers.answerNext(platform::vbYes);
    form().CMDFUNC_Click(2);
    EXPECT_EQ(person(c).InUse, model::SlotFree);
    EXPECT_EQ(model::runState().Cur_PerIdx, 2);
    EXPECT_EQ(form().Text1[1].text(), "二");
}

TEST_F(EntryTest, theTableViewAsksWithTheRowNumberAndDeletesThatRowsPerson)
{
    const int a = addPerson("山田", "一");
    const int b = addPerson("山田", "二");
    model::runState().Cur_PerIdx = static_cast<int16_t>(a);
    open();
    form().scritem_Click(1);
    form().tb.setRow(2); // the row of b, while Cur_PerIdx still names a
    answers.answerNext(platform::vbYes);
    form().CMDFUNC_Click(2);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "削除項目:2");
    EXPECT_EQ(person(b).InUse, model::SlotFree);
    EXPECT_EQ(person(a).InUse, model::SlotUsed);
    EXPECT_EQ(gridNames(), (std::vector<std::string>{"一"}));
}

TEST_F(EntryTest, theBlankNewRowDeletesNobody)
{
    const int a = addPerson("山田", "一");
    open();
    form().scritem_Click(1);
    form().CMDFUNC_Click(0);
    form().CMDFUNC[2].setEnabled(true);
    form().CMDFUNC_Click(2);
    EXPECT_EQ(answers.beepCount(), 1);
    EXPECT_EQ(person(a).InUse, model::SlotUsed);
    EXPECT_TRUE(answers.shown().empty());
}

TEST_F(EntryTest, previousAndNextWalkTheRows)
{
    addPerson("山田", "一");
    addPerson("山田", "二");
    addPerson("山田", "三");
    open();
    form().CMDFUNC_Click(6);
    EXPECT_EQ(form().Text1[1].text(), "二");
    EXPECT_TRUE(form().CMDFUNC[5].isEnabled());
    form().CMDFUNC_Click(6);
    EXPECT_EQ(form().Text1[1].text(), "三");
    EXPECT_FALSE(form().CMDFUNC[6].isEnabled());
    form().CMDFUNC_Click(5);
    form().CMDFUNC_Click(5);
    EXPECT_EQ(form().Text1[1].text(), "一");
    EXPECT_FALSE(form().CMDFUNC[5].isEnabled());
    EXPECT_TRUE(form().CMDFUNC[6].isEnabled());
}

TEST_F(EntryTest, previousOnABlankCardShowsTheLastRowsPerson)
{
    addPerson("山田", "一");
    addPerson("山田", "二");
    open();
    form().CMDFUNC_Click(0);
    EXPECT_FALSE(form().CMDFUNC[6].isEnabled());
    ASSERT_TRUE(form().CMDFUNC[5].isEnabled());
    form().CMDFUNC_Click(5);
    EXPECT_EQ(form().Text1[1].text(), "二");
    EXPECT_EQ(model::runState().Entry_EditMode, 1);
}

TEST_F(EntryTest, navigationClosesTheVoiceMemoWindow)
{
    addPerson("山田", "一");
    addPerson("山田", "二");
    open();
    entry::entryState().Voice_Busy = 1;
    form().CMDFUNC_Click(6);
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    EXPECT_EQ(requests.count("closeVoiceMemo"), 1);
}

TEST_F(EntryTest, optionsShowTheCurrentPersonOrOnlyBeep)
{
    open();
    form().CMDFUNC_Click(7);
    EXPECT_EQ(answers.beepCount(), 1);
    EXPECT_EQ(model::runState().DspOp_Person, -1);
    form().unload();
    const int a = addPerson("山田", "一");
    open();
    form().CMDFUNC_Click(7);
    EXPECT_EQ(model::runState().DspOp_Person, a);
    EXPECT_EQ(requests.count("showDisplayOptions " + std::to_string(a)), 1);
}

TEST_F(EntryTest, theBackButtonAlwaysRebuildsTheChart)
{
    open();
    form().CMDFUNC_Click(4);
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(model::runState().Entry_Open, 0);
    EXPECT_EQ(requests.count("rebuildChart"), 1) << "unchanged family: only the button's own rebuild";
    EXPECT_EQ(forms::screen().mousePointer(), forms::vbDefault);
}

TEST_F(EntryTest, theMenusBackAndTheCloseBoxRebuildOnlyAChangedFamily)
{
    open();
    form().scritem_Click(3);
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(requests.count("rebuildChart"), 0);
    open();
    t().Data_Changed = 1;
    form().unloadWithMode(forms::vbFormControlMenu);
    EXPECT_EQ(requests.count("rebuildChart"), 1);
    EXPECT_EQ(model::runState().Entry_Open, 0);
}

TEST_F(EntryTest, aCloseWhoseRebuildFailsLeavesNoHourglass)
{
    open();
    t().Data_Changed = 1;
    requests.failRebuild = true;
    answers.answerNext(platform::vbOK);   // the run-time error's message
    forms::formWidget(form())->close();
    requests.failRebuild = false;
    EXPECT_EQ(requests.count("rebuildChart"), 1);
    EXPECT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(forms::screen().mousePointer(), forms::vbDefault);
}

TEST_F(EntryTest, closingShutsTheColumnChooserAndTheVoiceMemoWindow)
{
    open();
    model::runState().CelSet_Open = 1;
    entry::entryState().Voice_Busy = 1;
    form().unload();
    EXPECT_EQ(model::runState().CelSet_Open, 0);
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    EXPECT_EQ(requests.count("closeColumnChooser"), 1);
    EXPECT_EQ(requests.count("closeVoiceMemo"), 1);
}

TEST_F(EntryTest, theWindowNeverShrinksBelowItsOpeningSize)
{
    open();
    const double width = form().width();
    const double height = form().height();
    form().setWidth(width - 1500);
    EXPECT_EQ(form().width(), width);
    form().setHeight(height + 1500);
    EXPECT_EQ(form().height(), height + 1500) << "a larger size stays";
}

TEST_F(EntryTest, enterInTheGroupBoxAndOnTheSexButtonsMovesOn)
{
    open();
    int16_t key = 13;
    form().CBGrp_KeyPress(key);
    EXPECT_EQ(form().activeControl(), &form().Text1[0]);
    form().Option1_KeyPress(1, key);
    EXPECT_EQ(form().activeControl(), &form().Text1[14]);
}

TEST_F(EntryTest, aNewFamilyEmptiesTheOpenEditor)
{
    const int a = addPerson("山田", "一", 1);
    fillLabelsGroupAndFlags(person(a));
    model::Add_GrpName("本家");
    open();
    ASSERT_EQ(form().Text1[14].text(), "長男");
    ASSERT_TRUE(form().Option1[1].value()) << "a woman is shown";
    entry::entryState().Voice_Busy = 1;
    model::InitAllSetting();
    model::settings().Dispmode_Nengo = 0;
    form().showEmptyFamily();
    EXPECT_EQ(requests.count("closeVoiceMemo"), 1);
    EXPECT_EQ(model::runState().Cur_PerIdx, -1);
    EXPECT_TRUE(form().Label2[1].caption().empty());
    for (int i = 0; i <= 16; ++i)
        EXPECT_TRUE(form().Text1[i].text().empty()) << "Text1(" << i << ")";
    EXPECT_TRUE(form().CBGrp.text().empty());
    for (int i = 0; i < form().CBGrp.listCount(); ++i)
        EXPECT_NE(form().CBGrp.list(i), "本家") << "the previous family's groups are gone";
    EXPECT_EQ(form().chkCateF.value(), forms::vbUnchecked);
    EXPECT_EQ(form().chkCsvOutput.value(), forms::vbUnchecked);
    EXPECT_FALSE(form().CMDFUNC[2].isEnabled());
    EXPECT_TRUE(form().CMDFUNC[1].isEnabled());
    EXPECT_TRUE(form().Option1[0].value()) << "a new person starts as a man";
    EXPECT_TRUE(form().Option1[0].isVisible() && form().Option1[1].isVisible());
    // What is typed next is a new person, not a write to the freed slot.
    form().Text1[0].setText("川田");
    form().Text1[1].setText("新");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(1).InUse, model::SlotUsed);
    EXPECT_EQ(person(1).Name, "新");
    EXPECT_EQ(person(1).Sex, 0);
    EXPECT_EQ(t().PerCount, 1);
    expectClearedLabelsGroupAndFlags(person(1));
}

TEST_F(EntryTest, aNewFamilyLeavesOnlyTheBlankRowInTheTableView)
{
    addPerson("山田", "一");
    open();
    form().scritem_Click(1);
    model::InitAllSetting();
    model::settings().Dispmode_Nengo = 0;
    form().showEmptyFamily();
    EXPECT_EQ(form().tb.rows(), 2);
    EXPECT_EQ(form().tb.rowData(1), 0);
    EXPECT_TRUE(form().CMDFUNC[1].isVisible() && form().CMDFUNC[1].isEnabled())
        << "the blank row waits to be registered";
    EXPECT_TRUE(form().CMDFUNC[3].isEnabled());
    EXPECT_TRUE(form().scritem[0].isEnabled());
}

TEST_F(EntryTest, aRegisterForAPersonFreedElsewhereStoresANewPerson)
{
    const int a = addPerson("山田", "一");
    open();
    model::del_per_buf(a); // the chart's undo, say, removed the person
    form().Text1[1].setText("二");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(a).InUse, model::SlotUsed);
    EXPECT_EQ(person(a).Name, "二");
    EXPECT_EQ(t().PerCount, 1);
}

TEST_F(EntryTest, aClickedPersonBoxShowsThePersonOnTheCard)
{
    addPerson("山田", "一");
    const int b = addPerson("山田", "二");
    person(b).Voice_index = 1;
    platform::writeWholeFile(platform::joinPath(entry::voiceFolder(), person(b).Voice_filename), "RIFFb");
    open();
    form().scritem_Click(1);
    form().setWindowState(forms::vbMinimized);
    form().showPersonInCard(b);
    EXPECT_EQ(form().windowState(), forms::vbNormal);
    EXPECT_EQ(form().Entry_CardView, -1);
    EXPECT_EQ(form().Tab1.selectedIndex(), 1);
    EXPECT_EQ(form().Text1[1].text(), "二");
    EXPECT_EQ(form().cmdvoice.tag(), "1") << "the memo waits for the voice window";
    EXPECT_FALSE(form().scritem[0].isEnabled());
    EXPECT_TRUE(form().scritem[1].isEnabled());
}

TEST_F(EntryTest, theMainWindowCanRaiseAndCloseTheEditor)
{
    const int a = addPerson("山田", "一");
    open();
    form().setWindowState(forms::vbMinimized);
    form().raiseEditor();
    EXPECT_EQ(form().windowState(), forms::vbNormal);
    EXPECT_EQ(form().activeControl(), &form().Text1[0]);
    form().closeFromMainWindow();
    EXPECT_FALSE(form().isLoaded());
    form().closeFromMainWindow(); // not loaded: nothing happens
    EXPECT_FALSE(form().isLoaded());
    form().showEditor(a);
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(form().Text1[1].text(), "一");
}

// The controls Tab visits from 名字 until it comes back there.
std::vector<std::string> tabCycle()
{
    QApplication::setActiveWindow(forms::formWidget(entry_form()));
    entry_form().Text1[0].setFocus();
    std::vector<std::string> visited;
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        std::string name = "?";
        for (const forms::Control* control : entry_form().controls()) {
            if (control->widget() && control->widget() == QApplication::focusWidget())
                name = control->name() + (control->index() >= 0 ? "(" + std::to_string(control->index()) + ")" : "");
        }
        visited.push_back(name);
        if (name == "Text1(0)")
            break;
    }
    return visited;
}

// The card's fields in the order they stand, then the buttons the user can
// press from left to right, the tabs where they are a stop, and 名字 again.
std::vector<std::string> cardOrder()
{
    std::vector<std::string> order = {
        "Text1(1)",  "Text1(2)",     "Option1(0)", "Option1(1)", "Text1(14)",   "Text1(15)",   "Text1(16)",
        "Text1(3)",  "Text1(4)",     "Text1(5)",   "CBGrp",      "ChkWaku",     "cbWakuPat",   "chkDeath",
        "chkCateF",  "chkCsvOutput", "Text1(6)",   "Text1(7)",   "Text1(8)",    "Text1(9)",    "Text1(10)",
        "Text1(11)", "Text1(12)",    "Text1(13)",  "Picture1(0)", "Picture1(1)", "cmdvoice"};
    for (int i : {0, 1, 2, 3, 5, 6, 7, 4}) {
        if (entry_form().CMDFUNC[i].isEnabled() && entry_form().CMDFUNC[i].isVisible())
            order.push_back("CMDFUNC(" + std::to_string(i) + ")");
    }
    if (entry_form().Tab1.tabStop())
        order.push_back("Tab1");
    order.push_back("Text1(0)");
    return order;
}

// Tab follows the card from top to bottom: the left column (続柄, 戒名 and
// 結婚後の続柄 between 旧姓 and 生年月日, where the card shows them), the right
// column, then the enabled buttons from left to right, the tabs, and back to
// 名字; the grid behind the card is never visited. The same after the main
// window brings a person onto the card from the table view.
TEST_F(EntryTest, tabFollowsTheCardFromTopToBottomThenTheButtons)
{
    const int person = addPerson("山田", "太郎");
    open();
    form().showPersonInCard(person);
    EXPECT_EQ(tabCycle(), cardOrder());

    form().scritem_Click(1);
    ASSERT_EQ(form().Entry_CardView, 0);
    form().showPersonInCard(person);
    EXPECT_EQ(tabCycle(), cardOrder());
}

} // namespace
} // namespace entry_test
