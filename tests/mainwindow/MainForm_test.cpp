// The main window's chart selection as the File commands and start-up leave it,
// and the model's requests that the window answers itself.

#include "MainWindowFixture.h"

#include "forms/Testing.h"
#include "forms/WindowFunctions.h"
#include "model/Utilities.h"
#include "model/WindowServices.h"
#include "document/Snapshots.h"
#include "model/run_state.h"

namespace mainwindow_test {
namespace {

using MainFormTest = MainWindowTest;

TEST_F(MainFormTest, ClearSelectionDropsTheBoxSelectionButKeepsTheChildAndMarriage)
{
    start();
    MainForm& w = window();
    model::Tables& t = tables();
    model::RunState& run = model::runState();
    w.lblFocus.setVisible(true);
    w.lblNowPer.setCaption("山田 一郎");
    w.cmdDispOp.setEnabled(true);
    w.cmdChDel.setEnabled(true);
    w.cmdChdMov.forEach([](forms::CommandButton& b) { b.setEnabled(true); });
    w.optChMode.forEach([](forms::OptionButton& o) { o.setEnabled(true); });
    w.optChMode[2].setValue(true);
    run.Sel_Person = 3;
    t.Sel_ChildKou = 1;
    t.Sel_ChildSlot = 0;
    run.KouNum = 1;

    w.Clear_Selection();

    EXPECT_FALSE(w.lblFocus.isVisible());
    EXPECT_EQ(run.Sel_Person, -1);
    EXPECT_EQ(w.lblNowPer.caption(), "");
    EXPECT_FALSE(w.cmdDispOp.isEnabled());
    EXPECT_FALSE(w.cmdChDel.isEnabled());
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(w.cmdChdMov[i].isEnabled()) << i;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(w.optChMode[i].isEnabled()) << i;
        EXPECT_FALSE(w.optChMode[i].value()) << i;
    }
    EXPECT_EQ(t.Sel_ChildKou, 1);
    EXPECT_EQ(t.Sel_ChildSlot, 0);
    EXPECT_EQ(run.KouNum, 1);
}

TEST_F(MainFormTest, EveryFileCommandFirstDropsTheSelectionAndTheEditedMarriage)
{
    start();
    model::runState().Sel_Person = 2;
    model::runState().KouNum = 1;
    window().lblFocus.setVisible(true);
    // A separator: the prologue runs although no command follows.
    window().fileitem[4].choose();
    EXPECT_EQ(model::runState().Sel_Person, -1);
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_FALSE(window().lblFocus.isVisible());
    EXPECT_EQ(windows.count("forgetRelationMarriage"), 1);
}

TEST_F(MainFormTest, UndoButtonFollowsTheUndoSnapshot)
{
    start();
    buildFamily();
    ASSERT_FALSE(window().CmdUndo.isEnabled());
    ASSERT_TRUE(model::Save_Undo());
    EXPECT_TRUE(window().CmdUndo.isEnabled());
    model::Kill_UndoFiles();
    EXPECT_FALSE(window().CmdUndo.isEnabled());
}

// An edit whose undo snapshot cannot be written leaves nothing to undo: the
// snapshot of the command before would take back both commands at once.
TEST_F(MainFormTest, AnEditWhoseUndoSnapshotFailsLeavesNothingToUndo)
{
    start();
    buildFamily();
    ASSERT_TRUE(model::Save_Undo()); // the snapshot of an earlier command
    ASSERT_TRUE(window().CmdUndo.isEnabled());
    tables().per_buf[3].Name = "一郎\U0001F600"; // no cp932 character for it: no file can be written
    // The undo snapshot, then the autosave of the rebuild, say they cannot write.
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);

    window().setitem[0].choose(); // 死亡表示, an editing command

    // Each names the person and the field that hold the character.
    const std::string refused = "ファイルが書き込めません\r\nファイルに保存できない文字が含まれています：\U0001F600\r\n"
                                "（個人 3「山田 一郎\U0001F600」の名前）";
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>(2, refused));
    EXPECT_FALSE(window().CmdUndo.isEnabled());
    EXPECT_FALSE(platform::fileExists(model::undoSnapshotPath()));
}

TEST_F(MainFormTest, ModelFindsAndRaisesWindowsByName)
{
    start();
    EXPECT_EQ(model::Find_FormByName("main"), 1);
    EXPECT_EQ(model::Find_FormByName("EasyCtl"), 0);
    forms::clearTopMostChanges();
    EXPECT_NE(model::SetTopMost("main", 1), 0);
    EXPECT_TRUE(forms::isKeptInFront(window()));
    EXPECT_NE(model::SetTopMost("main", 0), 0);
    EXPECT_FALSE(forms::isKeptInFront(window()));
    EXPECT_EQ(model::SetTopMost("EasyCtl", 1), 0) << "no such window";
}

TEST_F(MainFormTest, UninstalledServicesLeaveAnUnloadedWindowAlone)
{
    start();
    window().uninstallServices();
    closeMainWindow(answers);
    ASSERT_FALSE(window().isLoaded());
    model::InitAllSetting();
    EXPECT_FALSE(window().isLoaded());
}

} // namespace
} // namespace mainwindow_test
