// The main window's keys, typed into its real widgets: deleting the selected
// marriage, renaming a person in place, the shortcuts, and the zoom box.

#include "ChartFixture.h"

#include "forms/Keys.h"
#include "layout/ChartMetrics.h"
#include "model/SavableText.h"
#include "document/Snapshots.h"
#include "model/run_state.h"

#include <QMenu>
#include <QTest>

namespace mainwindow_test {
namespace {

using KeysTest = ChartTest;

// A key typed into a control that has the focus, as the user types it.
void type(forms::Control& control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    ASSERT_NE(control.widget(), nullptr) << control.name();
    if (control.form().activeControl() != &control)
        control.setFocus();
    QTest::keyClick(control.widget(), key, modifiers);
}

// ---------------------------------------------------------------------------
// Zoom box

struct ZoomRow {
    const char* typed;
    const char* shown;
    double scale;
};

void PrintTo(const ZoomRow& row, std::ostream* out)
{
    *out << '"' << row.typed << '"';
}

class ZoomBoxTest : public ChartTest, public ::testing::WithParamInterface<ZoomRow> {};

TEST_P(ZoomBoxTest, EnterAppliesTheZoomWithinItsLimits)
{
    showFamily();
    MainForm& w = window();
    const int dataChanged = tables().Data_Changed;
    clickBoxOf(Son);
    w.Text1.setText(GetParam().typed);
    type(w.Text1, Qt::Key_Return);
    EXPECT_EQ(w.Text1.text(), GetParam().shown);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Scale, GetParam().scale);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Ratio, GetParam().scale / 15);
    EXPECT_EQ(tables().Data_Changed, dataChanged) << "zooming changes no data";
    EXPECT_FALSE(platform::fileExists(model::undoSnapshotPath()));
    EXPECT_GE(boxOf(Son), 2) << "the chart is drawn at the new zoom";
    EXPECT_EQ(model::runState().Sel_Person, -1);
    EXPECT_FALSE(w.lblFocus.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Zooms, ZoomBoxTest,
                         ::testing::Values(ZoomRow{"600", "500", 75}, ZoomRow{"10", "25", 3.75},
                                           ZoomRow{"abc", "25", 3.75}, ZoomRow{"150.5", "150.5", 22.575},
                                           ZoomRow{"200", "200", 30}));

TEST_F(KeysTest, AnyKeyInTheZoomBoxMovesTheCanvasBackToTheCorner)
{
    showFamily();
    MainForm& w = window();
    w.Picture1.move(-600, -450);
    type(w.Text1, Qt::Key_7);
    EXPECT_DOUBLE_EQ(w.Picture1.left(), 0);
    EXPECT_DOUBLE_EQ(w.Picture1.top(), 0);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Scale, 15) << "only Enter zooms";
}

// Alt and Ctrl with a letter type nothing into the zoom box (the menus have no
// such shortcuts), so Enter then zooms to what the box shows; F10 opens the
// File menu.
TEST_F(KeysTest, KeysWithAltOrCtrlLeaveTheZoomBoxAsItIsAndF10OpensTheFileMenu)
{
    showFamily();
    MainForm& w = window();
    w.Text1.setText("150");
    type(w.Text1, Qt::Key_F, Qt::AltModifier);
    type(w.Text1, Qt::Key_S, Qt::AltModifier);
    type(w.Text1, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(w.Text1.text(), "150");
    type(w.Text1, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Scale, 22.5);

    type(w.Text1, Qt::Key_F10);
    QMenu* file = w.filemenu.subMenu();
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->isVisible());
    file->close();
}

// ---------------------------------------------------------------------------
// Renaming in place

TEST_F(KeysTest, F2OpensTheNameEditorUnderTheClickedBox)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    const forms::CanvasPicture& box = w.DPic[boxOf(Son)];
    type(w.Picture1, Qt::Key_F2);

    EXPECT_EQ(w.NameEdit_Active, -1);
    EXPECT_TRUE(w.Text2[0].isVisible());
    EXPECT_TRUE(w.Text2[1].isVisible());
    EXPECT_EQ(w.Text2[0].text(), "山田");
    EXPECT_EQ(w.Text2[1].text(), "一郎");
    EXPECT_DOUBLE_EQ(w.Text2[0].left(), box.left());
    EXPECT_DOUBLE_EQ(w.Text2[0].top(), box.top() + box.height());
    EXPECT_DOUBLE_EQ(w.Text2[1].left(), box.left() + w.Text2[0].width());
    EXPECT_DOUBLE_EQ(w.Text2[1].top(), w.Text2[0].top());
    EXPECT_EQ(w.activeControl(), &w.Text2[0]);
}

TEST_F(KeysTest, F2WithoutASelectedPersonDoesNothing)
{
    showFamily();
    type(window().Picture1, Qt::Key_F2);
    EXPECT_FALSE(window().Text2[0].isVisible());
    EXPECT_EQ(window().NameEdit_Active, 0);
}

// A face icon selects its person without selecting a box: F2 opens the editor only
// over a box that shows the selected person, never over another person's box or
// over the design-time template box.
TEST_F(KeysTest, F2OpensOnlyOverTheBoxOfTheSelectedPerson)
{
    showFamily();
    MainForm& w = window();
    w.Image1.load(2);
    w.Image1[2].move(60, 60, 300, 300);
    w.Image1[2].setVisible(true);
    drawing::drawState().Image1_Per[2] = Son;
    click(w.Image1[2]);
    ASSERT_EQ(model::runState().Sel_Person, Son);
    type(w.Picture1, Qt::Key_F2);
    EXPECT_FALSE(w.Text2[0].isVisible()) << "no box clicked yet";
    EXPECT_EQ(w.NameEdit_Active, 0);

    clickBoxOf(Father);
    click(w.Image1[2]);
    type(w.Picture1, Qt::Key_F2);
    EXPECT_FALSE(w.Text2[0].isVisible()) << "the box clicked last shows the father";

    drawing::drawState().Image1_Per[2] = Father;
    click(w.Image1[2]);
    type(w.Picture1, Qt::Key_F2);
    const forms::CanvasPicture& fatherBox = w.DPic[boxOf(Father)];
    EXPECT_TRUE(w.Text2[0].isVisible());
    EXPECT_EQ(w.Text2[1].text(), "太郎");
    EXPECT_DOUBLE_EQ(w.Text2[0].left(), fatherBox.left());
    EXPECT_DOUBLE_EQ(w.Text2[0].top(), fatherBox.top() + fatherBox.height());
}

TEST_F(KeysTest, EnterInBothNameBoxesRenamesThePersonAndRedraws)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    type(w.Picture1, Qt::Key_F2);
    w.Text2[0].setText("田中");
    type(w.Text2[0], Qt::Key_Return);
    EXPECT_EQ(w.activeControl(), &w.Text2[1]) << "Enter in the family name moves on";
    EXPECT_EQ(tables().per_buf[Son].F_name, "山田") << "nothing stored yet";
    w.Text2[1].setText(" 次郎");
    tables().Data_Changed = 0;
    windows.calls.clear();
    type(w.Text2[1], Qt::Key_Return);

    EXPECT_EQ(tables().per_buf[Son].F_name, "田中");
    EXPECT_EQ(tables().per_buf[Son].Name, " 次郎") << "stored as typed";
    EXPECT_FALSE(w.Text2[0].isVisible());
    EXPECT_FALSE(w.Text2[1].isVisible());
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(windows.count("rebuildRelationLists"), 1);
    EXPECT_EQ(model::runState().Sel_Person, -1) << "the chart was rebuilt";
    EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath())) << "the rename is a command of its own for the undo";
}

TEST_F(KeysTest, AnEmptyNameIsRefusedAndTheEditorStaysOpen)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    type(w.Picture1, Qt::Key_F2);
    w.Text2[0].setText("  ");
    answers.answerNext(platform::vbOK);
    w.Text2[1].setFocus();
    type(w.Text2[1], Qt::Key_Return);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "名前は省略出来ません");
    EXPECT_EQ(tables().per_buf[Son].F_name, "山田");
    EXPECT_TRUE(w.Text2[1].isVisible());
}

TEST_F(KeysTest, ANameTheFamilyFileCannotHoldIsRefusedNamingTheCharacter)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    type(w.Picture1, Qt::Key_F2);
    w.Text2[0].setText("\xF0\xA0\xAE\xB7田"); // a variant of 吉 that cp932 lacks
    tables().Data_Changed = 0;
    answers.answerNext(platform::vbOK);
    type(w.Text2[1], Qt::Key_Return);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, std::string(model::UnsavableCharMessage) + "\xF0\xA0\xAE\xB7");
    EXPECT_EQ(tables().per_buf[Son].F_name, "山田");
    EXPECT_EQ(tables().Data_Changed, 0);
    EXPECT_TRUE(w.Text2[0].isVisible()) << "the editor stays open";
    EXPECT_EQ(w.activeControl(), &w.Text2[0]);
}

TEST_F(KeysTest, EnterAfterTheSelectionWentClosesTheEditorStoringNothing)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    type(w.Picture1, Qt::Key_F2);
    w.Text2[0].setText("田中");
    drawing::Refresh_TabDisp();   // clears the selection; the editor stays open
    ASSERT_TRUE(w.Text2[1].isVisible());
    w.Text2[1].setFocus();
    type(w.Text2[1], Qt::Key_Return);
    EXPECT_FALSE(w.Text2[1].isVisible());
    EXPECT_EQ(tables().per_buf[Son].F_name, "山田");
    for (int p = 1; p <= 3; ++p)
        EXPECT_NE(tables().per_buf[static_cast<size_t>(p)].F_name, "田中") << p;
}

TEST_F(KeysTest, EscapeClosesTheNameEditor)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    type(w.Picture1, Qt::Key_F2);
    type(w.Text2[0], Qt::Key_Escape);
    EXPECT_FALSE(w.Text2[0].isVisible());
    EXPECT_FALSE(w.Text2[1].isVisible());
    EXPECT_EQ(w.NameEdit_Active, -1) << "until the next box click";
}

// ---------------------------------------------------------------------------
// Delete

TEST_F(KeysTest, DeleteRemovesTheClickedMarriageAfterAsking)
{
    const int kou = showFamily();
    MainForm& w = window();
    click(w.Label11[markOf(kou)]);
    answers.answerNext(platform::vbOK);
    windows.calls.clear();
    type(w.Picture1, Qt::Key_Delete);

    EXPECT_EQ(windows.count(RecordingWindows::call("deleteMarriage", {kou})), 1);
    EXPECT_NE(tables().kou_buf[static_cast<size_t>(kou)].InUse, model::SlotUsed);
    EXPECT_EQ(windows.count("rebuildRelationLists"), 1);
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(model::runState().Sel_KouMark, 0);
    EXPECT_EQ(markOf(kou), -1) << "the chart no longer shows the marriage";
}

// A crash right after the edit must offer the family as it now is: the autosave
// follows the deletion of the last marriage, and persons without a marriage are
// autosaved too.
TEST_F(KeysTest, DeletingTheLastMarriageLeavesTheAutosaveOfTheFamilyWithoutIt)
{
    const int kou = showFamily();
    MainForm& w = window();
    click(w.Label11[markOf(kou)]);
    answers.answerNext(platform::vbOK);
    type(w.Picture1, Qt::Key_Delete);
    ASSERT_NE(tables().kou_buf[static_cast<size_t>(kou)].InUse, model::SlotUsed);

    const std::vector<std::string> names = personNames();
    const std::string copy = platform::joinPath(home.path(), "check.kez");
    platform::copyFile(model::autosaveSnapshotPath(), copy);
    ASSERT_TRUE(model::Unscramble_File(copy));
    model::InitAllSetting();
    ASSERT_TRUE(model::load_file(copy));
    EXPECT_EQ(personNames(), names);
    EXPECT_NE(tables().kou_buf[static_cast<size_t>(kou)].InUse, model::SlotUsed);
}

TEST_F(KeysTest, DeleteOfAMarriageNoLongerInUseSaysSo)
{
    const int kou = showFamily();
    click(window().Label11[markOf(kou)]);
    tables().kou_buf[static_cast<size_t>(kou)].InUse = model::SlotFree;
    answers.answerNext(platform::vbOK);
    type(window().Picture1, Qt::Key_Delete);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "この結婚関係は存在していません");
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(model::runState().Sel_KouMark, 0);
}

TEST_F(KeysTest, DeleteDoesNothingAfterRenamingUntilABoxIsClicked)
{
    const int kou = showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    click(w.Label11[markOf(kou)]);
    type(w.Picture1, Qt::Key_F2);
    type(w.Text2[0], Qt::Key_Escape);
    windows.calls.clear();
    type(w.Picture1, Qt::Key_Delete);
    EXPECT_EQ(windows.count(RecordingWindows::call("deleteMarriage", {kou})), 0);

    clickBoxOf(Son);   // the marriage stays selected
    answers.answerNext(platform::vbCancel);
    type(w.Picture1, Qt::Key_Delete);
    EXPECT_EQ(windows.count(RecordingWindows::call("deleteMarriage", {kou})), 1);
    EXPECT_EQ(tables().kou_buf[static_cast<size_t>(kou)].InUse, model::SlotUsed) << "cancelled";
}

TEST_F(KeysTest, DeleteInTheZoomBoxNeverDeletesAMarriage)
{
    const int kou = showFamily();
    MainForm& w = window();
    click(w.Label11[markOf(kou)]);
    w.Text1.setFocus();
    type(w.Text1, Qt::Key_Delete);
    EXPECT_EQ(windows.count(RecordingWindows::call("deleteMarriage", {kou})), 0);
    EXPECT_EQ(tables().kou_buf[static_cast<size_t>(kou)].InUse, model::SlotUsed);
}

// ---------------------------------------------------------------------------
// Shortcuts

TEST_F(KeysTest, ShiftF3OpensTheCsvInputAndCtrlShiftF3DoesNot)
{
    start();
    windows.calls.clear();
    type(window().Picture1, Qt::Key_F3, Qt::ControlModifier | Qt::ShiftModifier);
    type(window().Picture1, Qt::Key_F3);
    EXPECT_EQ(windows.count("forgetRelationMarriage"), 0);
    answers.answerNext(platform::vbCancel);
    type(window().Picture1, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(windows.count("forgetRelationMarriage"), 1) << "the File command ran";
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"CSVファイルを読み込みますか？\r\nこの場合、作成中の家系図は削除されます"});
}

TEST_F(KeysTest, ShiftF12ShowsTheMessageScreen)
{
    start();
    type(window().Picture1, Qt::Key_F12);
    EXPECT_EQ(windows.count("showMessageScreen"), 0);
    type(window().Picture1, Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_EQ(windows.count("showMessageScreen"), 1);
}

} // namespace
} // namespace mainwindow_test
