// The group list and the lineage-group list.

#include "model/fixture/FamilyFixture.h"

#include "model/GroupLists.h"
#include "model/tables.h"

namespace model::testing {
namespace {

using GroupListTest = FamilyFixture;

std::vector<std::string> groupNames()
{
    std::vector<std::string> names;
    for (int i = 0; i <= tables().GrpNameCount; ++i)
        names.push_back(tables().GrpNameList[i].GrpName);
    return names;
}

TEST_F(GroupListTest, AddGrpNameStoresTrimmedNamesOnce)
{
    EXPECT_EQ(Find_GrpName("本家"), -1);
    EXPECT_EQ(Add_GrpName(" 本家 "), 0);
    EXPECT_EQ(groupNames(), std::vector<std::string>{"本家"});
    EXPECT_EQ(tables().GrpNameList[0].Visible, -1);
    EXPECT_EQ(tables().GrpNameList[0].Work, 0);
    EXPECT_EQ(Add_GrpName("本家"), 1);
    EXPECT_EQ(Add_GrpName(""), -2);
    EXPECT_EQ(Add_GrpName("   "), -2);
    EXPECT_EQ(tables().GrpNameCount, 0);
    // Only ASCII blanks are trimmed; the comparison is exact otherwise.
    EXPECT_EQ(Add_GrpName("本家\u3000"), 0);
    EXPECT_EQ(Add_GrpName("ｂ"), 0);
    EXPECT_EQ(Find_GrpName("b"), -1);
    EXPECT_EQ(Find_GrpName(" ｂ"), 2);
    EXPECT_EQ(Find_GrpName(" "), -2);
}

TEST_F(GroupListTest, DelGrpNameMovesLaterRowsDown)
{
    for (const char* name : {"A", "B", "C"})
        Add_GrpName(name);
    tables().GrpNameList[2].Visible = 0;
    EXPECT_EQ(Del_GrpName("B"), 0);
    EXPECT_EQ(groupNames(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(tables().GrpNameCount, 1);
    EXPECT_EQ(tables().GrpNameList[1].Visible, 0); // the row moved whole
    EXPECT_EQ(Del_GrpName("Z"), 0);
    EXPECT_EQ(Del_GrpName(" "), -2);
    EXPECT_EQ(tables().GrpNameCount, 1);
    Del_GrpName("A");
    Del_GrpName("C");
    EXPECT_EQ(tables().GrpNameCount, -1);
    EXPECT_EQ(Add_GrpName("D"), 0);
    EXPECT_EQ(groupNames(), std::vector<std::string>{"D"});
}

TEST_F(GroupListTest, PurgeKeepsOnlyNamesAUsedPersonCarries)
{
    for (const char* name : {"A", "B", "C", "D"})
        Add_GrpName(name);
    const int carrier = addPerson("太郎", "山田", 0);
    tables().per_buf[carrier].GrpName = "C";
    const int freed = addPerson("次郎", "山田", 0);
    tables().per_buf[freed].GrpName = "D";
    tables().per_buf[freed].InUse = SlotFree;

    Purge_GrpNames();

    EXPECT_EQ(groupNames(), std::vector<std::string>{"C"});
}

TEST_F(GroupListTest, PurgeRemovesRowsAFileLeftBlank)
{
    // Rows a family file delivered unchecked: a blank name no person carries must
    // not stall the purge.
    tables().GrpNameList.resize(2);
    tables().GrpNameList[0].GrpName = " ";
    tables().GrpNameList[1].GrpName = "";
    tables().GrpNameCount = 1;
    Purge_GrpNames();
    EXPECT_EQ(tables().GrpNameCount, -1);
}

TEST_F(GroupListTest, CountsPastTheStoredRowsAreNeverFollowed)
{
    Add_GrpName("A");
    tables().GrpNameCount = 40; // damaged
    EXPECT_EQ(Find_GrpName("B"), -1);
    EXPECT_EQ(Add_GrpName("B"), 0);
    EXPECT_EQ(groupNames(), (std::vector<std::string>{"A", "B"}));
    tables().GrpNameCount = -9;
    EXPECT_EQ(Add_GrpName("C"), 0);
    EXPECT_EQ(groupNames(), std::vector<std::string>{"C"});
}

TEST_F(GroupListTest, LineageGroupRowsAddAndDelete)
{
    tables().tab_grp_f = 3;
    Clear_GrpTitleList();
    EXPECT_EQ(tables().GrpTitleCount, -1);
    EXPECT_EQ(tables().tab_grp_f, -1);

    for (const char* title : {"一", "二", "三"}) {
        Add_GrpTitle();
        GrpTitleRec& row = tables().GrpTitleList[tables().GrpTitleCount];
        EXPECT_EQ(row.TitleName, "");
        EXPECT_EQ(row.Visible, -1);
        EXPECT_EQ(row.Leader, 0);
        EXPECT_EQ(row.Offset, 0);
        row.TitleName = title;
        row.Leader = 7;
        row.Offset = -2.5;
    }
    EXPECT_EQ(tables().GrpTitleCount, 2);

    EXPECT_EQ(Del_GrpTitle(0), 0);
    ASSERT_EQ(tables().GrpTitleCount, 1);
    EXPECT_EQ(tables().GrpTitleList[0].TitleName, "二");
    EXPECT_EQ(tables().GrpTitleList[1].TitleName, "三");
    EXPECT_EQ(tables().GrpTitleList[1].Offset, -2.5);
}

TEST_F(GroupListTest, DelGrpTitleRefusesIndexesOutsideTheList)
{
    Add_GrpTitle();
    tables().GrpTitleList[0].TitleName = "only";
    for (const int bad : {-1, 1, 2, 500, -7}) {
        EXPECT_EQ(Del_GrpTitle(bad), -1) << bad;
        ASSERT_EQ(tables().GrpTitleCount, 0);
        EXPECT_EQ(tables().GrpTitleList[0].TitleName, "only");
    }
    EXPECT_EQ(Del_GrpTitle(0), 0);
    EXPECT_EQ(tables().GrpTitleCount, -1);
    EXPECT_EQ(Del_GrpTitle(0), -1);
}

} // namespace
} // namespace model::testing
