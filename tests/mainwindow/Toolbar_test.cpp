// The toolbar Command2(0..14) and the side buttons of the chart, pressed as the
// user presses them.

#include "ChartFixture.h"

#include "drawing/DspOp.h"
#include "forms/Screen.h"
#include "document/Snapshots.h"
#include "model/run_state.h"
#include "model/settings.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <ostream>

namespace mainwindow_test {
namespace {

using ToolbarTest = ChartTest;

// A button that forwards to another window: what the window is asked.
struct Forwarding {
    int button;
    const char* call;
};

void PrintTo(const Forwarding& row, std::ostream* out)
{
    *out << "Command2(" << row.button << ") " << row.call;
}

class ForwardingButton : public ChartTest, public ::testing::WithParamInterface<Forwarding> {};

TEST_P(ForwardingButton, AsksTheWindowItStandsFor)
{
    showFamily();
    windows.calls.clear();
    window().Command2[GetParam().button].click();
    EXPECT_EQ(windows.count(GetParam().call), 1) << "button " << GetParam().button;
    EXPECT_EQ(personNames(), familyOf("山田"));
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ForwardingButton,
                         ::testing::Values(Forwarding{3, "showPrintPreview"},
                                           Forwarding{9, "showPersonEditor(-1)"},
                                           Forwarding{10, "showRelationEditor"},
                                           Forwarding{11, "showNameList"},
                                           Forwarding{12, "showChronology"},
                                           Forwarding{14, "showLineageGroups"}));

// A button that runs a File or Settings command with a dialog: the dialog asked.
struct DialogButton {
    int button;
    forms::DialogKind kind;
    const char* title;
};

void PrintTo(const DialogButton& row, std::ostream* out)
{
    *out << "Command2(" << row.button << ")";
}

class DialogOpeningButton : public ChartTest, public ::testing::WithParamInterface<DialogButton> {};

TEST_P(DialogOpeningButton, OpensTheCommandsDialog)
{
    showFamily();
    tables().Data_Changed = 0;
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    window().Command2[GetParam().button].click();
    ASSERT_EQ(dialogs.requests().size(), 1u) << "button " << GetParam().button;
    EXPECT_EQ(dialogs.requests()[0].kind, GetParam().kind);
    EXPECT_EQ(dialogs.requests()[0].title, GetParam().title);
    EXPECT_EQ(model::runState().Sel_Person, -1) << "the selection is cleared first";
}

INSTANTIATE_TEST_SUITE_P(MainWindow, DialogOpeningButton,
                         ::testing::Values(DialogButton{1, forms::DialogKind::Open, "家系図の読込み"},
                                           DialogButton{2, forms::DialogKind::Save, "家系図の保存"},
                                           DialogButton{6, forms::DialogKind::Font, "フォント設定"},
                                           DialogButton{13, forms::DialogKind::Color, "背景色設定"}));

TEST_F(ToolbarTest, NewButtonEmptiesAnUnchangedFamily)
{
    showFamily();
    tables().Data_Changed = 0;
    window().Command2[0].click();
    EXPECT_TRUE(personNames().empty());
    EXPECT_TRUE(answers.shown().empty());
}

TEST_F(ToolbarTest, IconButtonSwitchesTheIconDisplay)
{
    showFamily();
    const int16_t before = model::settings().Dispmode_Icon;
    window().Command2[7].click();
    EXPECT_NE(model::settings().Dispmode_Icon, before);
    EXPECT_EQ(window().setitem[4].isChecked(), model::settings().Dispmode_Icon == 1);
}

TEST_F(ToolbarTest, ChronologyButtonEndsWithTheArrowPointer)
{
    showFamily();
    window().Command2[12].click();
    EXPECT_EQ(window().mousePointer(), forms::vbArrow);
    window().Command2[9].click();
    EXPECT_EQ(window().mousePointer(), forms::vbDefault);
}

TEST_F(ToolbarTest, PersonCardAsksForAPersonThenShowsTheCardAndSaysSoTheSecondTime)
{
    showFamily();
    answers.answerNext(platform::vbOK);
    window().Command2[8].click();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"表示したい個人を選択して下さい"});
    EXPECT_EQ(windows.count(RecordingWindows::call("showPersonCard", {Son})), 0);

    clickBoxOf(Son);
    window().Command2[8].click();
    EXPECT_EQ(windows.count(RecordingWindows::call("showPersonCard", {Son})), 1);
    answers.answerNext(platform::vbOK);
    window().Command2[8].click();
    EXPECT_EQ(answers.shownTexts().back(), "個人情報を表示します");
    EXPECT_EQ(windows.count(RecordingWindows::call("showPersonCard", {Son})), 2);
}

// The full-screen view is the desktop's: the window covers the screen and comes back
// maximised, as it was.
TEST_F(ToolbarTest, FullScreenButtonCoversTheScreenAndGivesAMaximisedWindowBack)
{
    showFamily();
    MainForm& w = window();
    QWidget* frame = w.Picture1.widget()->window();
    frame->showMaximized();   // by the user, through the window manager
    QApplication::processEvents();
    ASSERT_TRUE(frame->isMaximized());
    EXPECT_EQ(w.windowState(), forms::vbMaximized);
    const QRect maximised = frame->geometry();

    w.Command2[4].click();
    QApplication::processEvents();
    EXPECT_EQ(w.Fullscreen_Flag, 1);
    EXPECT_FALSE(w.TabStrip1.isVisible());
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_EQ(frame->geometry(), frame->screen()->geometry());
    EXPECT_DOUBLE_EQ(w.Frame2.width(), w.scaleWidth()) << "the chart covers the screen";
    EXPECT_DOUBLE_EQ(w.Frame2.height(), w.scaleHeight());

    clickAt(5, 5);
    QApplication::processEvents();
    EXPECT_EQ(w.Fullscreen_Flag, 0);
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(w.windowState(), forms::vbMaximized);
    EXPECT_EQ(frame->geometry(), maximised);
    // Nothing of the window is cut off: the side buttons lie within it.
    for (const forms::CommandButton* button : {&w.cmdEzCtrl, &w.CmdUndo, &w.Command1}) {
        EXPECT_TRUE(button->isVisible());
        EXPECT_LE(button->left() + button->width(), w.scaleWidth());
    }
    EXPECT_LE(w.VScroll1.left() + w.VScroll1.width(), w.scaleWidth());
}

// A normal window comes back to its place and size, inside the screen: one that
// reached past the screen's right edge comes back as far inside it as its size allows.
TEST_F(ToolbarTest, LeavingFullScreenGivesANormalWindowItsPlaceBackInsideTheScreen)
{
    showFamily();
    MainForm& w = window();
    QWidget* frame = w.Picture1.widget()->window();
    const QRect screen = frame->screen()->availableGeometry();
    const auto fullScreenAndBack = [&] {
        w.Command2[4].click();
        QApplication::processEvents();
        ASSERT_TRUE(frame->isFullScreen());
        clickAt(5, 5);
        QApplication::processEvents();
        EXPECT_FALSE(frame->isFullScreen());
        EXPECT_EQ(w.windowState(), forms::vbNormal);
    };

    w.move(0, 1200);
    QApplication::processEvents();
    const QRect before = frame->geometry();
    const double width = w.width();
    const double height = w.height();
    fullScreenAndBack();
    EXPECT_EQ(frame->geometry(), before);
    EXPECT_DOUBLE_EQ(w.left(), 0);
    EXPECT_DOUBLE_EQ(w.top(), 1200);
    EXPECT_DOUBLE_EQ(w.width(), width);
    EXPECT_DOUBLE_EQ(w.height(), height);

    w.move((screen.right() - 300) * 15.0, 1500);
    QApplication::processEvents();
    fullScreenAndBack();
    const int inside = std::max(screen.left(), screen.right() + 1 - frame->frameGeometry().width());
    EXPECT_EQ(frame->frameGeometry().left(), inside);
    EXPECT_EQ(frame->frameGeometry().top(), 100);
    EXPECT_DOUBLE_EQ(w.left(), inside * 15.0);
    EXPECT_DOUBLE_EQ(w.width(), width) << "the window's smallest size stays";
}

TEST_F(ToolbarTest, DisplayOptionsWithoutAPersonOnlyBeeps)
{
    showFamily();
    window().cmdDispOp_Click();
    EXPECT_EQ(answers.beepCount(), 1);
    EXPECT_EQ(model::runState().DspOp_Person, -1);
    EXPECT_FALSE(dspop_form().isLoaded());
}

TEST_F(ToolbarTest, DisplayOptionsOpenForTheSelectedPerson)
{
    showFamily();
    clickBoxOf(Father);
    window().cmdDispOp.click();
    EXPECT_EQ(model::runState().DspOp_Person, Father);
    EXPECT_TRUE(dspop_form().isLoaded());
    EXPECT_EQ(answers.beepCount(), 0);
    dspop_form().unload();
}

TEST_F(ToolbarTest, ChildDeletionTakesTheUndoAndRebuildsTheChart)
{
    const int kou = showFamily();
    tables().Data_Changed = 0;
    clickBoxOf(Son);
    ASSERT_EQ(tables().Sel_ChildKou, kou);
    model::runState().KouNum = static_cast<int16_t>(kou);
    windows.calls.clear();
    answers.answerNext(platform::vbOK);
    window().cmdChDel.click();

    EXPECT_EQ(tables().kou_buf[static_cast<size_t>(kou)].kou_kodo[0], -1);
    EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath()));
    EXPECT_EQ(windows.count("closeChronology"), 1);
    EXPECT_EQ(windows.count(RecordingWindows::call("refillRelationChildList", {kou})), 1);
    EXPECT_GE(windows.count("rebuildRelationLists"), 1);
    EXPECT_EQ(boxOf(Son), -1) << "the chart is rebuilt without the child";
    EXPECT_EQ(tables().Data_Changed, 1);

    // The undo button brings the child back.
    window().CmdUndo.click();
    EXPECT_EQ(tables().kou_buf[static_cast<size_t>(kou)].kou_kodo[0], Son);
    EXPECT_GE(boxOf(Son), 2);
    EXPECT_EQ(model::runState().Sel_Person, -1);
}

TEST_F(ToolbarTest, DeclinedChildDeletionKeepsTheChild)
{
    const int kou = showFamily();
    clickBoxOf(Son);
    model::runState().KouNum = -1;
    windows.calls.clear();
    answers.answerNext(platform::vbCancel);
    window().cmdChDel.click();
    EXPECT_EQ(tables().kou_buf[static_cast<size_t>(kou)].kou_kodo[0], Son);
    EXPECT_EQ(windows.count(RecordingWindows::call("refillRelationChildList", {-1})), 0);
    EXPECT_GE(boxOf(Son), 2);
}

TEST_F(ToolbarTest, ChildMoveButtonsPassTheirDirection)
{
    showFamily();
    clickBoxOf(Son);
    for (int direction = 0; direction < 4; ++direction)
        window().cmdChdMov[direction].click();
    for (int direction = 0; direction < 4; ++direction)
        EXPECT_EQ(windows.count(RecordingWindows::call("moveSelectedChild", {direction})), 1);
}

TEST_F(ToolbarTest, SideButtonsOpenTheirWindows)
{
    showFamily();
    windows.calls.clear();
    window().cmdCategory.click();
    window().cmdEzCtrl.click();
    window().Command1.click();
    window().Command2[5].click();
    EXPECT_EQ(windows.count("showCategoryWindow"), 1);
    EXPECT_EQ(windows.count("showEasyRelationBuilder"), 3);
    EXPECT_GE(windows.count("rebuildEasyRelationList"), 3);
}

} // namespace
} // namespace mainwindow_test
