// The new-document initialisation: the empty family, the settings reset or kept, the
// chart and work folders emptied, and what the windows are asked to do.

#include "DocumentTest.h"

#include "layout/chart_state.h"
#include "model/GroupLists.h"
#include "model/PersonTable.h"
#include "document/InitAllSetting.h"
#include "model/filestore/MediaBundle.h"
#include "model/run_state.h"
#include "platform/FileSystem.h"
#include "model/UndoRecords.h"

#include <algorithm>
#include <functional>

namespace model::testing {
namespace {

class InitAllSettingTest : public DocumentTest {};

TEST_F(InitAllSettingTest, LeavesAnEmptyFamilyNothingSelectedAndNoMedia)
{
    const SmallFamily f = buildSmallFamily();
    Add_GrpName("本家");
    Add_GrpTitle();
    giveVoice(f.father, "voice3.wav", "memo");
    givePicture(f.mother, "mother.bmp", "picture");
    layOutChart();
    ASSERT_GT(layout::chart().tree_cnt, 0);
    Tables& t = tables();
    RunState& run = runState();
    t.tab_grp_f = 1;
    t.Cur_FilePath = "/home/user/yamada.kez";
    t.Data_Changed = 1;
    run.Sel_Person = static_cast<int16_t>(f.son);
    run.KouNum = static_cast<int16_t>(f.parents);
    model::kouUndo().KouUndoMode = 2;
    t.DummyManCnt = 7;
    layout::chart().counters.Label12_cnt = 9;

    InitAllSetting();

    for (int i = 0; i <= LastSlot; ++i) {
        ASSERT_NE(t.per_buf[i].InUse, SlotUsed) << "person " << i;
        ASSERT_NE(t.kou_buf[i].InUse, SlotUsed) << "marriage " << i;
    }
    EXPECT_EQ(t.GrpNameCount, -1);
    EXPECT_EQ(t.GrpTitleCount, -1);
    EXPECT_EQ(t.tab_grp_f, -1);
    EXPECT_EQ(t.Cur_FilePath, "");
    EXPECT_EQ(t.Data_Changed, 0);
    EXPECT_EQ(run.Sel_Person, -1);
    EXPECT_EQ(run.KouNum, -1);
    EXPECT_EQ(model::kouUndo().KouUndoMode, 0) << "a relationship-editor undo of the previous family survived";

    const layout::ChartState& c = layout::chart();
    EXPECT_EQ(c.tree_cnt, 0);
    EXPECT_EQ(c.tab_cnt, -1);
    EXPECT_EQ(c.sel_tab, 1);
    EXPECT_EQ(c.sel_tree, 0);
    EXPECT_EQ(c.counters.Label12_cnt, 1);
    for (int row = 0; row <= c.row_max; ++row) {
        ASSERT_EQ(c.cell_last[row], -1) << "row " << row;
        for (int col = 0; col <= c.col_max; ++col)
            ASSERT_EQ(c.cell_buf[row][col].per_a, -1) << row << "," << col;
    }

    EXPECT_FALSE(platform::dirHasFiles(mediaFolder(MediaVoice)));
    EXPECT_FALSE(platform::dirHasFiles(mediaFolder(MediaPicture)));

    // The placeholder names count from 1 again.
    Add_DummyPerson(0);
    EXPECT_EQ(t.per_buf[static_cast<size_t>(t.Easy_NewPer)].Name, "男01");
    Add_DummyPerson(1);
    EXPECT_EQ(t.per_buf[static_cast<size_t>(t.Easy_NewPer)].Name, "女01");
}

// A setting, a value an earlier family left in it, and what a new family has.
struct SettingCase {
    const char* name;
    std::function<void(Settings&)> set;
    std::function<double(const Settings&)> get;
    double afterNewFamily;
};

std::ostream& operator<<(std::ostream& out, const SettingCase& c)
{
    return out << c.name;
}

class InitAllSettingSettingsTest : public DocumentTest, public ::testing::WithParamInterface<SettingCase> {};

TEST_P(InitAllSettingSettingsTest, ResetsOrKeepsTheSetting)
{
    settings().resetForNewFamily();
    GetParam().set(settings());
    InitAllSetting();
    EXPECT_EQ(GetParam().get(settings()), GetParam().afterNewFamily);
}

INSTANTIATE_TEST_SUITE_P(
    KeptAndReset, InitAllSettingSettingsTest,
    ::testing::Values(
        // Kept: the values of the previous family stay until a family file names them.
        SettingCase{"Dispmode_Flip kept", [](Settings& s) { s.Dispmode_Flip = 1; },
                    [](const Settings& s) { return s.Dispmode_Flip; }, 1},
        SettingCase{"Print_Scale kept", [](Settings& s) { s.Print_Scale = 1.5f; },
                    [](const Settings& s) { return s.Print_Scale; }, 1.5},
        SettingCase{"Dispmode_BGmap kept", [](Settings& s) { s.Dispmode_BGmap = 2; },
                    [](const Settings& s) { return s.Dispmode_BGmap; }, 2},
        SettingCase{"DispFactor 16 kept", [](Settings& s) { s.DispFactor[16] = true; },
                    [](const Settings& s) { return s.DispFactor[16]; }, 1},
        // Reset to the new-family defaults.
        SettingCase{"Dispmode_Tyokei reset", [](Settings& s) { s.Dispmode_Tyokei = 1; },
                    [](const Settings& s) { return s.Dispmode_Tyokei; }, 0},
        SettingCase{"DispFactor 3 hidden", [](Settings& s) { s.DispFactor[3] = true; },
                    [](const Settings& s) { return s.DispFactor[3]; }, 0},
        SettingCase{"Dispmode_Nengo era", [](Settings& s) { s.Dispmode_Nengo = 0; },
                    [](const Settings& s) { return s.Dispmode_Nengo; }, 1},
        SettingCase{"Dispmode_BGcolor white", [](Settings& s) { s.Dispmode_BGcolor = 255; },
                    [](const Settings& s) { return s.Dispmode_BGcolor; }, ColourWhite},
        SettingCase{"PWM_Value 2", [](Settings&) { runState().PWM_Value = 7; },
                    [](const Settings&) { return runState().PWM_Value; }, 2}),
    [](const ::testing::TestParamInfo<SettingCase>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

class InitAllSettingWindowsTest : public DocumentTest, public ::testing::WithParamInterface<int> {};

TEST_P(InitAllSettingWindowsTest, TurnsTheWindowsToAnEmptyUntitledFamily)
{
    const int relationEditorOpen = GetParam();
    runState().Ctrl_Open = static_cast<int16_t>(relationEditorOpen);
    settings().Dispmode_BGcolor = 255;

    InitAllSetting();

    for (const char* request : {"setDisplayChecks", "setChartBackColor:16777215", "setChartAcceptsDrops:1",
                                "disableDropUndo", "setCaption:"})
        EXPECT_EQ(windows.count(request), 1) << request;
    EXPECT_EQ(windows.count("disableRelationUndo"), relationEditorOpen);
    EXPECT_TRUE(windows.eventsStartingWith("removeTreeTabs").empty()) << "no chart, no tabs to remove";
}

INSTANTIATE_TEST_SUITE_P(RelationEditorClosedOrOpen, InitAllSettingWindowsTest, ::testing::Values(0, 1));

TEST_F(InitAllSettingTest, RemovesTheTreeTabsOfThePreviousFamily)
{
    layout::chart().tab_cnt = 3;
    InitAllSetting();
    EXPECT_EQ(windows.eventsStartingWith("removeTreeTabs"), std::vector<std::string>{"removeTreeTabs:3"});
    EXPECT_EQ(layout::chart().tab_cnt, -1);
}

TEST_F(InitAllSettingTest, MissingWorkFoldersAreNoError)
{
    platform::removeTree(mediaFolder(MediaVoice));
    platform::removeTree(mediaFolder(MediaPicture));
    InitAllSetting();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_FALSE(platform::dirExists(mediaFolder(MediaVoice)));
}

} // namespace
} // namespace model::testing
