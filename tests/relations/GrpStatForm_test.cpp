// The group window: the check list of GrpNameList, the check marks, moving rows
// and checking or unchecking them all. Each edit takes the undo snapshot and marks
// the family changed; nothing else does.

#include "WindowsFixture.h"

#include "relations/GrpStatForm.h"

#include "model/GroupLists.h"

namespace relations_windows_test {
namespace {

class GrpStat : public WindowsTest {
protected:
    void SetUp() override
    {
        WindowsTest::SetUp();
        for (const char* name : {"本家", "分家", "親戚"})
            model::Add_GrpName(name);
        tables().GrpNameList[1].Visible = 0;
        tables().Data_Changed = 0;
    }

    static GrpStatForm& window() { return grpstat_form(); }

    static std::vector<std::string> names()
    {
        std::vector<std::string> rows;
        for (int i = 0; i <= tables().GrpNameCount; ++i)
            rows.push_back(tables().GrpNameList[static_cast<size_t>(i)].GrpName);
        return rows;
    }

    static std::vector<std::string> lines()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < window().GrpList.listCount(); ++i)
            texts.push_back(window().GrpList.list(i) + (window().GrpList.selected(i) ? "+" : "-"));
        return texts;
    }

    // Each edit of a row is one step for the main window's undo.
    void TearDown() override
    {
        EXPECT_EQ(countOf(services.calls, "saveUndo"), edits);
        EXPECT_EQ(tables().Data_Changed, edits > 0 ? 1 : 0);
        WindowsTest::TearDown();
    }

    int edits = 0; // the edits a test makes
};

TEST_F(GrpStat, ListsTheGroupsInRowOrderWithTheirVisibility)
{
    window().show();
    EXPECT_EQ(window().caption(), "グループの設定");
    EXPECT_EQ(window().lblCaption1.caption(), "家系図に表示するグループと、その順番を指定します。");
    EXPECT_EQ(lines(), (std::vector<std::string>{"本家+", "分家-", "親戚+"}));
    // Loading the list wrote nothing back.
    EXPECT_EQ(tables().GrpNameList[1].Visible, 0);
}

TEST_F(GrpStat, CheckChangedByTheUserIsWrittenIntoTheRow)
{
    window().show();
    window().GrpList.setSelected(1, true);
    EXPECT_EQ(tables().GrpNameList[1].Visible, -1);
    window().GrpList.setSelected(0, false);
    EXPECT_EQ(tables().GrpNameList[0].Visible, 0);
    edits = 2;
}

TEST_F(GrpStat, MovingRowsCarriesTheirFlagsAndFollowsTheSelection)
{
    window().show();
    window().GrpList.setListIndex(0);
    click(window().RankDn);
    EXPECT_EQ(names(), (std::vector<std::string>{"分家", "本家", "親戚"}));
    EXPECT_EQ(lines(), (std::vector<std::string>{"分家-", "本家+", "親戚+"}));
    EXPECT_EQ(window().GrpList.listIndex(), 1);
    click(window().RankUp);
    EXPECT_EQ(names(), (std::vector<std::string>{"本家", "分家", "親戚"}));
    EXPECT_EQ(window().GrpList.listIndex(), 0);
    EXPECT_EQ(tables().GrpNameList[1].Visible, 0);
    edits = 2;
}

TEST_F(GrpStat, FirstRowUpAndLastRowDownStayPut)
{
    window().show();
    window().GrpList.setListIndex(0);
    click(window().RankUp);
    window().GrpList.setListIndex(2);
    click(window().RankDn);
    window().GrpList.setListIndex(-1);
    click(window().RankUp);
    click(window().RankDn);
    EXPECT_EQ(names(), (std::vector<std::string>{"本家", "分家", "親戚"}));
}

TEST_F(GrpStat, AllOnAndAllOffKeepTheSelection)
{
    window().show();
    window().GrpList.setListIndex(2);
    click(window().AllChkOff);
    EXPECT_EQ(lines(), (std::vector<std::string>{"本家-", "分家-", "親戚-"}));
    for (const model::GrpNameRec& row : tables().GrpNameList)
        EXPECT_EQ(row.Visible, 0);
    EXPECT_EQ(window().GrpList.listIndex(), 2);
    click(window().AllChk);
    EXPECT_EQ(lines(), (std::vector<std::string>{"本家+", "分家+", "親戚+"}));
    EXPECT_EQ(window().GrpList.listIndex(), 2);
    edits = 2;
}

TEST_F(GrpStat, EmptyGroupListShowsNothingAndTheButtonsDoNothing)
{
    model::Clear_GrpNameList();
    window().show();
    EXPECT_EQ(window().GrpList.listCount(), 0);
    click(window().RankUp);
    click(window().RankDn);
    click(window().AllChk);
    EXPECT_EQ(tables().GrpNameCount, -1);
    click(window().CmdExit);
    EXPECT_FALSE(window().isLoaded());
}

} // namespace
} // namespace relations_windows_test
