// The View and Settings menus, chosen as the user chooses them: the windows they
// open, the display flags with their check marks, the undo snapshot each settings
// command writes first, the background colour and the chart font.

#include "ChartFixture.h"

#include "document/Snapshots.h"
#include "model/run_state.h"
#include "model/settings.h"

#include <functional>

namespace mainwindow_test {
namespace {

using MenusTest = ChartTest;

// A Settings item that switches one display flag.
struct ToggleRow {
    const char* name;
    int item;
    int16_t model::Settings::*flag;
};

void PrintTo(const ToggleRow& row, std::ostream* out)
{
    *out << row.name;
}

class SettingsToggleTest : public ChartTest, public ::testing::WithParamInterface<ToggleRow> {};

TEST_P(SettingsToggleTest, EachChoiceWritesTheUndoFirstAndFlipsFlagAndMark)
{
    showFamily();
    MainForm& w = window();
    const ToggleRow& row = GetParam();
    int16_t& flag = model::settings().*row.flag;
    ASSERT_EQ(flag, 0);
    tables().Data_Changed = 0;

    w.setitem[row.item].choose();
    EXPECT_EQ(flag, 1);
    EXPECT_TRUE(w.setitem[row.item].isChecked());
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_GE(boxOf(Son), 2) << "the chart is drawn again";

    w.setitem[row.item].choose();
    EXPECT_EQ(flag, 0);
    EXPECT_FALSE(w.setitem[row.item].isChecked());

    // The snapshot was taken before the second change: undoing brings back 1.
    model::Restore_Undo();
    EXPECT_EQ(model::settings().*row.flag, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Items, SettingsToggleTest,
    ::testing::Values(ToggleRow{"Death", 0, &model::Settings::Dispmode_Death},
                      ToggleRow{"ManWoman", 1, &model::Settings::Dispmode_Manwoman},
                      ToggleRow{"Icon", 4, &model::Settings::Dispmode_Icon},
                      ToggleRow{"FamilyName", 5, &model::Settings::Dispmode_Fname}));

TEST_F(MenusTest, WritingDirectionFollowsTheChoiceAndRedrawsEvenWhenUnchanged)
{
    showFamily();
    MainForm& w = window();
    w.vertwide[1].choose();
    EXPECT_EQ(model::settings().write_state, 1);
    EXPECT_FALSE(w.vertwide[0].isChecked());
    EXPECT_TRUE(w.vertwide[1].isChecked());
    const double verticalBoxHeight = w.DPic[boxOf(Son)].height();

    model::Kill_UndoFiles();
    tables().Data_Changed = 0;
    clickBoxOf(Son);
    w.vertwide[1].choose();
    EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath()));
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(model::runState().Sel_Person, -1) << "the chart was rebuilt";

    w.vertwide[0].choose();
    EXPECT_EQ(model::settings().write_state, 0);
    EXPECT_TRUE(w.vertwide[0].isChecked());
    EXPECT_FALSE(w.vertwide[1].isChecked());
    EXPECT_GT(verticalBoxHeight, w.DPic[boxOf(Son)].height()) << "vertical writing has tall boxes";
}

TEST_F(MenusTest, DisplayModeItemsSetTheirFlagsAndMarks)
{
    showFamily();
    MainForm& w = window();
    model::Settings& s = model::settings();
    w.dispmodeitem[0].choose();
    EXPECT_EQ(s.dispmode, 0);
    EXPECT_TRUE(w.dispmodeitem[0].isChecked());
    EXPECT_FALSE(w.dispmodeitem[1].isChecked());
    w.dispmodeitem[1].choose();
    EXPECT_EQ(s.dispmode, 1);
    EXPECT_FALSE(w.dispmodeitem[0].isChecked());
    EXPECT_TRUE(w.dispmodeitem[1].isChecked());

    w.dispmodeitem[2].choose();
    EXPECT_EQ(s.Dispmode_Tyokei, 1);
    EXPECT_TRUE(w.dispmodeitem[2].isChecked());
    w.dispmodeitem[3].choose();
    w.dispmodeitem[3].choose();
    EXPECT_EQ(s.Dispmode_Flip, 0);
    EXPECT_FALSE(w.dispmodeitem[3].isChecked());
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath()));
}

TEST_F(MenusTest, BackgroundColourChangesOnlyTheCanvas)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    const int boxes = w.DPic.count();
    tables().Data_Changed = 0;
    dialogs.answerNext(forms::DialogAnswer::colour(0x00CCFF));
    w.setitem[8].choose();
    EXPECT_EQ(model::settings().Dispmode_BGcolor, 0x00CCFF);
    EXPECT_EQ(w.Picture1.backColor(), 0x00CCFFL);
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath()));
    EXPECT_EQ(model::runState().Sel_Person, Son) << "the chart was not rebuilt";
    EXPECT_EQ(w.DPic.count(), boxes);
}

// The three dialogs share one control: after a file dialog the colour and font
// dialogs still name their own commands, and the colour one starts at the
// current background.
TEST_F(MenusTest, ColourAndFontDialogsHaveTheirOwnTitlesAndStartAtTheCurrentValue)
{
    showFamily();
    MainForm& w = window();
    model::settings().Dispmode_BGcolor = 0x336699;
    w.Picture1.setBackColor(0x336699);
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    w.fileitem[14].choose();
    ASSERT_EQ(dialogs.requests().size(), 1u);
    ASSERT_FALSE(dialogs.requests()[0].title.empty());

    dialogs.answerNext(forms::DialogAnswer::cancelled());
    w.setitem[8].choose();
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    w.setitem[10].choose();

    ASSERT_EQ(dialogs.requests().size(), 3u);
    const forms::DialogRequest& colour = dialogs.requests()[1];
    EXPECT_EQ(colour.kind, forms::DialogKind::Color);
    EXPECT_EQ(colour.title, "背景色設定");
    EXPECT_EQ(colour.color, 0x336699L);
    const forms::DialogRequest& font = dialogs.requests()[2];
    EXPECT_EQ(font.kind, forms::DialogKind::Font);
    EXPECT_EQ(font.title, "フォント設定");
}

TEST_F(MenusTest, CancelledColourOrFontDialogChangesNothing)
{
    showFamily();
    MainForm& w = window();
    // A fresh control that no File command has used: it would not report a cancel.
    w.CommonDialog1.setCancelError(false);
    w.CommonDialog1.setColor(0);
    tables().Data_Changed = 0;
    const int32_t colour = model::settings().Dispmode_BGcolor;
    const std::string font = model::settings().font;

    dialogs.answerNext(forms::DialogAnswer::cancelled());
    w.setitem[8].choose();
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    w.setitem[10].choose();

    EXPECT_EQ(model::settings().Dispmode_BGcolor, colour);
    EXPECT_EQ(w.Picture1.backColor(), static_cast<long>(colour));
    EXPECT_EQ(model::settings().font, font);
    EXPECT_EQ(tables().Data_Changed, 0);
}

TEST_F(MenusTest, FontTakesTheChosenNameButKeepsTheSize)
{
    showFamily();
    MainForm& w = window();
    model::Settings& s = model::settings();
    s.fontsize = 12;
    dialogs.answerNext(forms::DialogAnswer::font("ＭＳ 明朝", 20, true));
    w.setitem[10].choose();
    ASSERT_FALSE(dialogs.requests().empty());
    const forms::DialogRequest& asked = dialogs.requests().back();
    EXPECT_EQ(asked.kind, forms::DialogKind::Font);
    EXPECT_EQ(asked.fontName, "ＭＳ Ｐゴシック");
    EXPECT_DOUBLE_EQ(asked.fontSize, 12);
    EXPECT_EQ(asked.flags, 3);
    EXPECT_EQ(s.font, "ＭＳ 明朝");
    EXPECT_EQ(s.fontsize, 12);
    EXPECT_EQ(tables().Data_Changed, 1);
}

TEST_F(MenusTest, ChildOrderIsReversedWithAnUndoFirst)
{
    const int kou = showFamily();
    const int daughter = model::set_per_buf(-1, "桃子", "山田", 1, "");
    model::kodo_data child;
    child.KouIdx = static_cast<int16_t>(kou);
    child.KodoIdx = -1;
    child.kou_kodo = static_cast<int16_t>(daughter);
    ASSERT_EQ(model::Add_Kodo(child), 1);
    tables().Data_Changed = 0;
    window().setitem[12].choose();
    const model::marry_data& marriage = tables().kou_buf[static_cast<size_t>(kou)];
    EXPECT_EQ(marriage.kou_kodo[0], daughter);
    EXPECT_EQ(marriage.kou_kodo[1], Son);
    EXPECT_EQ(tables().Data_Changed, 1);
    model::Restore_Undo();
    EXPECT_EQ(tables().kou_buf[static_cast<size_t>(kou)].kou_kodo[0], Son);
}

TEST_F(MenusTest, PersonEditorItemShowsTheEditorOrBringsItBack)
{
    start();
    model::runState().Cur_PerIdx = 4;
    windows.calls.clear();
    window().scritem[2].choose();
    EXPECT_EQ(windows.calls, (std::vector<std::string>{RecordingWindows::call("showPersonEditor", {4})}));
    EXPECT_EQ(model::runState().Entry_Open, 1);
    EXPECT_EQ(window().mousePointer(), forms::vbDefault);

    windows.calls.clear();
    window().scritem[2].choose();
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"raisePersonEditor"}));
}

TEST_F(MenusTest, RelationEditorItemShowsRefreshesAndLoadsTheMarriage)
{
    start();
    model::runState().KouNum = 7;
    windows.calls.clear();
    window().scritem[3].choose();
    EXPECT_EQ(model::runState().Ctrl_Open, 1);
    using R = RecordingWindows;
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"showRelationEditor", "setRelationEditorTopMost",
                                                       "rebuildRelationLists",
                                                       R::call("editRelationMarriage", {7})}));
    windows.calls.clear();
    window().scritem[3].choose();
    EXPECT_EQ(windows.calls.front(), "raiseRelationEditor");
}

TEST_F(MenusTest, OtherViewItemsOpenTheirWindows)
{
    start();
    windows.calls.clear();
    for (int item : {1, 4, 5, 6, 7, 8, 9})
        window().scritem[item].choose();
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"showChronology", "showNameList", "showEasyRelationBuilder",
                                                       "rebuildEasyRelationList", "showHints"}));
}

} // namespace
} // namespace mainwindow_test
