// Clicks on the chart: the selected box and how it shows, the windows told of a
// click, couple marks, double-clicks that open the child dialog, and the child
// status buttons.

#include "ChartFixture.h"

#include "document/Snapshots.h"
#include "model/run_state.h"

#include <QTest>

namespace mainwindow_test {
namespace {

using ChartSelectionTest = ChartTest;

// A window named like the easy relation builder, so that the main window finds it loaded.
class EasyBuilderStandIn : public forms::Form {
public:
    EasyBuilderStandIn() : Form("EasyCtl") {}
};

TEST_F(ChartSelectionTest, ClickOnAChildFramesItsBoxAndEnablesTheChildButtons)
{
    const int kou = showFamily();
    MainForm& w = window();
    const int box = boxOf(Son);
    ASSERT_GE(box, 2);

    click(w.DPic[box]);

    const forms::CanvasPicture& picture = w.DPic[box];
    EXPECT_TRUE(w.lblFocus.isVisible());
    EXPECT_DOUBLE_EQ(w.lblFocus.left(), picture.left() - 128);
    EXPECT_DOUBLE_EQ(w.lblFocus.top(), picture.top() - 128);
    EXPECT_DOUBLE_EQ(w.lblFocus.width(), picture.width() + 256);
    EXPECT_DOUBLE_EQ(w.lblFocus.height(), picture.height() + 256);
    EXPECT_EQ(model::runState().Sel_Person, Son);
    EXPECT_EQ(model::runState().Cur_PerIdx, Son);
    EXPECT_EQ(tables().Sel_ChildKou, kou);
    EXPECT_EQ(tables().Sel_ChildSlot, 0);
    EXPECT_EQ(model::runState().Sel_BoxMark, 1);
    EXPECT_EQ(w.lblNowPer.caption(), "山田 一郎");
    EXPECT_TRUE(w.cmdDispOp.isEnabled());
    EXPECT_TRUE(w.cmdChDel.isEnabled());
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(w.cmdChdMov[i].isEnabled()) << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(w.optChMode[i].isEnabled()) << i;
    EXPECT_TRUE(w.optChMode[0].value()) << "status 0 is the father's child";
    EXPECT_EQ(w.Last_BoxIdx, box);
}

TEST_F(ChartSelectionTest, ClickOnAPersonWhoIsNobodysChildLeavesTheChildButtonsOff)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);   // first a child, so that the buttons were on
    clickBoxOf(Father);

    EXPECT_EQ(model::runState().Sel_Person, Father);
    EXPECT_TRUE(w.lblFocus.isVisible());
    EXPECT_TRUE(w.cmdDispOp.isEnabled());
    EXPECT_EQ(w.lblNowPer.caption(), "");
    EXPECT_FALSE(w.cmdChDel.isEnabled());
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(w.cmdChdMov[i].isEnabled()) << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(w.optChMode[i].isEnabled()) << i;
}

// The child's status decides which option is checked; a status the buttons do not
// know checks none.
class ChildStatusOptionTest : public ChartTest, public ::testing::WithParamInterface<int> {};

TEST_P(ChildStatusOptionTest, ChecksTheOptionOfTheStatus)
{
    const int kou = showFamily();
    const int status = GetParam();
    tables().kou_buf[static_cast<size_t>(kou)].kou_kodo_stat[0] = static_cast<int16_t>(status);
    clickBoxOf(Son);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(window().optChMode[i].value(), i == status) << "option " << i;
}

INSTANTIATE_TEST_SUITE_P(Statuses, ChildStatusOptionTest, ::testing::Values(0, 1, 2, 7));

TEST_F(ChartSelectionTest, BoxClickTellsTheOpenWindowsInOrder)
{
    const int kou = showFamily();
    model::runState().Entry_Open = 1;
    model::runState().Ctrl_Open = 1;
    EasyBuilderStandIn easy;
    easy.load();
    windows.calls.clear();

    clickBoxOf(Mother);

    using R = RecordingWindows;
    EXPECT_EQ(windows.calls, (std::vector<std::string>{
                                 R::call("showPersonInEditorCard", {Mother}),
                                 R::call("showPersonOnCardIfOpen", {Mother}),
                                 "raiseRelationEditor",
                                 R::call("editRelationMarriage", {kou}),
                                 "showRelationPage(Persons)",
                                 R::call("selectRelationPartner", {1, Mother}),
                                 "raiseRelationEditor",
                                 R::call("setEasyBasePerson", {Mother}),
                             }));
    EXPECT_EQ(model::runState().KouNum, kou);
    EXPECT_EQ(model::runState().Sel_KouMark, 1);
    easy.unload();
}

TEST_F(ChartSelectionTest, BoxWithoutMarriageLoadsThePersonsFirstMarriageOrNone)
{
    const int kou = showFamily();
    model::runState().Ctrl_Open = 1;
    const int box = boxOf(Son);
    ASSERT_GE(box, 2);
    drawing::drawState().Label12_Kou[static_cast<size_t>(box)] = -1;
    click(window().DPic[box]);
    EXPECT_EQ(model::runState().KouNum, kou) << "the son is a child of that marriage";

    // A person in no marriage at all: the editor gets the empty new record.
    tables().kou_buf[static_cast<size_t>(kou)].kou_kodo[0] = -1;
    windows.calls.clear();
    click(window().DPic[box]);
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(windows.count(RecordingWindows::call("editRelationMarriage", {-1})), 1);
    EXPECT_EQ(windows.count(RecordingWindows::call("selectRelationPartner", {0, Son})), 1);
}

TEST_F(ChartSelectionTest, BoxNamingPersonZeroMakesPersonOneTheEditorsPerson)
{
    showFamily();
    model::runState().Entry_Open = 1;
    const int box = boxOf(Son);
    ASSERT_GE(box, 2);
    drawing::drawState().Label12_Per[static_cast<size_t>(box)] = 0;
    windows.calls.clear();
    click(window().DPic[box]);
    EXPECT_EQ(model::runState().Sel_Person, 0);
    EXPECT_EQ(model::runState().Cur_PerIdx, 1);
    EXPECT_EQ(windows.count(RecordingWindows::call("showPersonInEditorCard", {1})), 1);
    EXPECT_FALSE(window().cmdDispOp.isEnabled()) << "no person to show display options for";
}

TEST_F(ChartSelectionTest, CoupleMarkClickRecoloursTheMarksAndPicksTheMarriage)
{
    const int kou = showFamily();
    // A second couple with another relation of the father, drawn on the same tree.
    const int other = model::set_per_buf(-1, "桜", "佐藤", 1, "");
    const int relation = model::set_kou_buf(-1, "愛人", 1, 0, Father, other, 0, "", 0);
    ASSERT_GT(relation, 0);
    drawing::Refresh_TabDisp();
    MainForm& w = window();
    const int mark = markOf(kou);
    const int relationMark = markOf(relation);
    ASSERT_GE(mark, 2);
    ASSERT_GE(relationMark, 2);
    w.Label11[mark].setBackColor(0x123456);
    clickBoxOf(Son);
    const bool framed = w.lblFocus.isVisible();
    model::runState().Ctrl_Open = 1;
    EasyBuilderStandIn easy;
    easy.load();
    windows.calls.clear();

    click(w.Label11[relationMark]);

    EXPECT_EQ(w.Label11[relationMark].backColor(), 0x80000001L);
    EXPECT_EQ(w.Label11[mark].backColor(), 0x40L);
    EXPECT_EQ(model::runState().KouNum, relation);
    EXPECT_EQ(model::runState().Sel_KouMark, 1);
    EXPECT_EQ(model::runState().Sel_Person, Son) << "the person selection stays";
    EXPECT_EQ(w.lblFocus.isVisible(), framed);
    using R = RecordingWindows;
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"showRelationPage(Marriage)",
                                                       R::call("editRelationMarriage", {relation}),
                                                       "raiseRelationEditor",
                                                       R::call("setEasyBaseMarriage", {relation})}));

    click(w.Label11[mark]);
    EXPECT_EQ(w.Label11[relationMark].backColor(), 0xC0C0C0L) << "another relation is light grey";
    EXPECT_EQ(w.Label11[mark].backColor(), 0x80000001L);
    easy.unload();
}

TEST_F(ChartSelectionTest, CoupleMarkDoubleClickOpensTheRelationshipEditorOnTheMarriage)
{
    const int kou = showFamily();
    const int mark = markOf(kou);
    ASSERT_GE(mark, 2);
    windows.calls.clear();
    doubleClick(window().Label11[mark]);
    EXPECT_EQ(model::runState().Ctrl_Open, 1);
    EXPECT_EQ(model::runState().KouNum, kou);
    ASSERT_GE(windows.calls.size(), 4u);
    // The double-click follows the click's own requests.
    const std::vector<std::string> tail(windows.calls.end() - 4, windows.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"showRelationEditor", "rebuildRelationLists",
                                              "showRelationPage(Marriage)",
                                              RecordingWindows::call("editRelationMarriage", {kou})}));
}

TEST_F(ChartSelectionTest, DoubleClickOnAChildOpensTheChildDialogOnItsSlot)
{
    const int kou = showFamily();
    windows.calls.clear();
    const int box = boxOf(Son);
    ASSERT_GE(box, 2);
    doubleClick(window().DPic[box]);
    EXPECT_EQ(windows.count(RecordingWindows::call("showChildDialog", {kou, 0})), 1);
    EXPECT_EQ(model::runState().Sel_BoxMark, 1);
}

TEST_F(ChartSelectionTest, DoubleClickOnSomeoneWithoutParentsSaysSoAndOpensNothing)
{
    showFamily();
    windows.calls.clear();
    const int box = boxOf(Father);
    ASSERT_GE(box, 2);
    answers.answerNext(platform::vbOK);
    doubleClick(window().DPic[box]);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "この人の親情報を見つける事が出来ません");
    EXPECT_EQ(model::runState().Sel_BoxMark, 0);
    for (const std::string& call : windows.calls)
        EXPECT_EQ(call.rfind("showChildDialog", 0), std::string::npos) << call;
}

TEST_F(ChartSelectionTest, FaceIconClicksSelectThePersonWithoutAFrame)
{
    const int kou = showFamily();
    MainForm& w = window();
    // A face icon of the son, as the drawing places one.
    w.Image1.load(2);
    w.Image1[2].move(100, 100, 300, 300);
    w.Image1[2].setVisible(true);
    w.Image1[2].zOrder(0);
    drawing::drawState().Image1_Per[2] = Son;
    model::runState().Entry_Open = 1;
    model::runState().Ctrl_Open = 1;
    windows.calls.clear();

    click(w.Image1[2]);
    EXPECT_EQ(model::runState().Sel_Person, Son);
    EXPECT_EQ(model::runState().Cur_PerIdx, Son);
    EXPECT_EQ(model::runState().Entry_EditMode, 1);
    EXPECT_EQ(model::runState().KouNum, kou);
    EXPECT_FALSE(w.lblFocus.isVisible());
    EXPECT_EQ(windows.count(RecordingWindows::call("showPersonInEditor", {Son})), 1);

    windows.calls.clear();
    doubleClick(w.Image1[2]);
    EXPECT_EQ(windows.count(RecordingWindows::call("showChildDialog", {kou, 0})), 1);
}

TEST_F(ChartSelectionTest, ClicksOnTheChartDoNothingInFullScreenView)
{
    const int kou = showFamily();
    MainForm& w = window();
    w.Fullscreen_Flag = 1;
    model::runState().Ctrl_Open = 1;
    windows.calls.clear();
    clickBoxOf(Son);
    doubleClick(w.DPic[boxOf(Son)]);
    click(w.Label11[markOf(kou)]);
    EXPECT_EQ(model::runState().Sel_Person, -1);
    EXPECT_FALSE(w.lblFocus.isVisible());
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_TRUE(answers.shown().empty());
    w.Fullscreen_Flag = 0;
}

TEST_F(ChartSelectionTest, ChildStatusButtonRewritesTheSlotAndRedraws)
{
    const int kou = showFamily();
    MainForm& w = window();
    model::marry_data& marriage = tables().kou_buf[static_cast<size_t>(kou)];
    marriage.kodo_honsuji[0] = 1;
    marriage.kou_kodo_comment[0] = "長男";
    // What an earlier child operation left in the scratch record.
    tables().KodoWork.kodo_honsuji = -1;
    tables().Data_Changed = 0;
    clickBoxOf(Son);
    ASSERT_TRUE(w.optChMode[2].isEnabled());
    windows.calls.clear();

    QTest::mouseClick(w.optChMode[2].widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));

    EXPECT_EQ(marriage.kou_kodo_stat[0], 2);
    EXPECT_EQ(marriage.kou_kodo[0], Son);
    EXPECT_EQ(marriage.kou_kodo_comment[0], "長男");
    EXPECT_EQ(marriage.kodo_honsuji[0], 1) << "the main-line mark of the slot stays";
    EXPECT_EQ(tables().Sel_ChildSlot, 0);
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath()));
    EXPECT_EQ(windows.count("rebuildRelationLists"), 1);
    EXPECT_EQ(model::runState().Sel_Person, -1) << "the redraw cleared the selection";
    EXPECT_GE(boxOf(Son), 2) << "the chart was drawn again";
}

TEST_F(ChartSelectionTest, ChildStatusOfAStaleSelectionChangesNothing)
{
    const int kou = showFamily();
    tables().Sel_ChildKou = static_cast<int16_t>(kou);
    tables().Sel_ChildSlot = 5;   // an empty slot
    tables().Data_Changed = 0;
    window().optChMode_MouseUp(1, 1, 0, 0, 0);
    EXPECT_EQ(tables().Data_Changed, 0);
    EXPECT_FALSE(platform::fileExists(model::undoSnapshotPath()));
    EXPECT_EQ(tables().kou_buf[static_cast<size_t>(kou)].kou_kodo_stat[5], -1);
}

} // namespace
} // namespace mainwindow_test
