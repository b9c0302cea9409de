// File > "新規作成": the family in memory replaced by an empty one.

#include "MainWindowFixture.h"

#include "layout/chart_state.h"
#include "document/Snapshots.h"
#include "model/run_state.h"

namespace mainwindow_test {
namespace {

constexpr const char* DiscardQuestion = "データが変更されています。\r\n保存せずに新しい家系図を作成しますか？";

class NewFamily : public MainWindowTest {
protected:
    // A started window showing a saved, then changed family with both snapshots.
    void startWithFamily()
    {
        start();
        buildFamily();
        tables().Cur_FilePath = platform::joinPath(home.path(), "family.KEZ");
        window().setCaption(tables().Cur_FilePath);
        window().Text1.setText("150");
        ASSERT_TRUE(model::Save_Undo());
        ASSERT_TRUE(model::Save_Autosave());
        windows.calls.clear();
    }

    static void chooseNew() { window().fileitem[0].choose(); }

    void expectEmptied() const
    {
        EXPECT_TRUE(personNames().empty());
        EXPECT_EQ(tables().Data_Changed, 0);
        EXPECT_EQ(tables().Cur_FilePath, "");
        EXPECT_EQ(window().caption(), "");
        EXPECT_EQ(window().Text1.text(), "100");
        EXPECT_FALSE(platform::fileExists(model::undoSnapshotPath()));
        EXPECT_FALSE(window().CmdUndo.isEnabled());
        EXPECT_EQ(windows.count("rebuildRelationLists"), 1);
    }
};

TEST_F(NewFamily, UnchangedFamilyIsEmptiedWithoutAQuestion)
{
    startWithFamily();
    tables().Data_Changed = 0;
    chooseNew();
    EXPECT_TRUE(answers.shown().empty());
    expectEmptied();
}

struct AnswerCase {
    const char* name;
    int answer;
    bool emptied;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class ChangedFamilyNew : public NewFamily, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(ChangedFamilyNew, AsksFirstAndClosesTheChronologyWhatever)
{
    startWithFamily();
    const std::string autosave = read(model::autosaveSnapshotPath());
    answers.answerNext(GetParam().answer);
    chooseNew();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{DiscardQuestion});
    EXPECT_EQ(windows.count("closeChronology"), 1);
    if (GetParam().emptied) {
        expectEmptied();
        // An interruption now must not offer back the family just thrown away.
        EXPECT_FALSE(platform::fileExists(model::autosaveSnapshotPath()));
    } else {
        EXPECT_EQ(personNames(), familyOf("山田"));
        EXPECT_EQ(tables().Data_Changed, 1);
        EXPECT_EQ(window().caption(), tables().Cur_FilePath);
        EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath()));
        EXPECT_EQ(read(model::autosaveSnapshotPath()), autosave);
    }
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ChangedFamilyNew,
                         ::testing::Values(AnswerCase{"OK", platform::vbOK, true},
                                           AnswerCase{"Cancel", platform::vbCancel, false}),
                         [](const auto& info) { return std::string(info.param.name); });

class PersonEditorAtNew : public NewFamily, public ::testing::WithParamInterface<int16_t> {};

TEST_P(PersonEditorAtNew, IsBlankedOnlyWhileOpen)
{
    startWithFamily();
    tables().Data_Changed = 0;
    model::runState().Entry_Open = GetParam();
    chooseNew();
    EXPECT_EQ(windows.count("refreshPersonEditor"), GetParam() == 1 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, PersonEditorAtNew, ::testing::Values(int16_t{0}, int16_t{1}));

struct TabCase {
    const char* name;
    std::vector<std::string> treeTabs; // inserted before the two permanent tabs
    int16_t tabCount;                  // tab_cnt as the last chart build left it
};

void PrintTo(const TabCase& c, std::ostream* os) { *os << c.name; }

class TreeTabsAtNew : public NewFamily, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TreeTabsAtNew, GoAndThePermanentTabsStay)
{
    startWithFamily();
    tables().Data_Changed = 0;
    forms::Tabs& tabs = window().TabStrip1.tabs();
    for (size_t i = 0; i < GetParam().treeTabs.size(); ++i)
        tabs.add(static_cast<int>(i) + 1, "", GetParam().treeTabs[i]);
    layout::chart().tab_cnt = GetParam().tabCount;
    chooseNew();
    ASSERT_EQ(tabs.count(), 2);
    EXPECT_EQ(tabs.item(1).caption(), "");
    EXPECT_EQ(tabs.item(2).caption(), "全グループ表示");
    EXPECT_EQ(layout::chart().tab_cnt, -1);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, TreeTabsAtNew,
                         ::testing::Values(TabCase{"NoTreeTabs", {}, -1},
                                           TabCase{"TwoTreeTabs", {"山田家", "鈴木家"}, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// File > Open replaces the family as New does: the autosave is the opened family's,
// never the discarded family's. A file that cannot be read replaces nothing: the open
// family keeps its autosave.
TEST_F(NewFamily, OpenLeavesTheAutosaveOfTheOpenedFamilyOrKeepsTheOpenOne)
{
    const std::string other = writeFamilyFile("other.kez", "佐藤");
    startWithFamily();
    ASSERT_NE(autosaveText().find("山田"), std::string::npos);
    answers.answerNext(platform::vbOK);
    dialogs.answerNext(forms::DialogAnswer::file(other));
    window().fileitem[1].choose();
    ASSERT_EQ(personNames(), familyOf("佐藤"));
    EXPECT_NE(autosaveText().find("佐藤"), std::string::npos);
    EXPECT_EQ(autosaveText().find("山田"), std::string::npos);

    const std::string damaged = platform::joinPath(home.path(), "damaged.kez");
    platform::writeWholeFile(damaged, DamagedFamilyText);
    tables().Data_Changed = 1;
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    dialogs.answerNext(forms::DialogAnswer::file(damaged));
    window().fileitem[1].choose();
    EXPECT_EQ(answers.shown().size(), 2u) << "the question and the reader's message";
    EXPECT_EQ(personNames(), familyOf("佐藤"));
    EXPECT_NE(autosaveText().find("佐藤"), std::string::npos);
}

// The autosave a new family's first person writes goes with the program's end.
TEST_F(NewFamily, ClosingTheNewFamilyUnchangedDeletesItsAutosave)
{
    startWithFamily();
    answers.answerNext(platform::vbOK);
    chooseNew();
    buildFamily("佐藤");
    ASSERT_TRUE(model::Save_Autosave());
    tables().Data_Changed = 0;
    window().fileitem[16].choose();
    EXPECT_TRUE(answers.programEnded());
    EXPECT_FALSE(platform::fileExists(model::autosaveSnapshotPath()));
}

} // namespace
} // namespace mainwindow_test
