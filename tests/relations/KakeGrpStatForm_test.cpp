// The lineage-group window: adding, deleting and moving titles, the check marks,
// the leader drop, the generation offset and closing with "決定".

#include "WindowsFixture.h"

#include "relations/KakeGrpStatForm.h"

#include "forms/DragDrop.h"
#include "mainwindow/DropState.h"
#include "relations/CtrlForm.h"

#include "model/GroupLists.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <QTest>

namespace relations_windows_test {
namespace {

class KakeGrpStat : public WindowsTest {
protected:
    void SetUp() override
    {
        WindowsTest::SetUp();
        leader = addPerson("山田", "太郎", 0);
        other = addPerson("佐藤", "一郎", 0);
        addTitle("山田家", leader, -1, 0);
        addTitle("佐藤家", other, 0, 1.5);
        addTitle("鈴木家", other, -1, 0);
        tables().Data_Changed = 0;
        window().show();
    }

    static void addTitle(const std::string& name, int person, int16_t visible, double offset)
    {
        model::Add_GrpTitle();
        model::GrpTitleRec& row = tables().GrpTitleList.back();
        row.TitleName = name;
        row.Leader = static_cast<int16_t>(person);
        row.Visible = visible;
        row.Offset = offset;
    }

    static KakeGrpStatForm& window() { return kakegrpstat_form(); }

    static std::vector<std::string> titles()
    {
        std::vector<std::string> rows;
        for (int i = 0; i <= tables().GrpTitleCount; ++i)
            rows.push_back(tables().GrpTitleList[static_cast<size_t>(i)].TitleName);
        return rows;
    }

    static std::vector<std::string> lines()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < window().GrpList.listCount(); ++i)
            texts.push_back(window().GrpList.list(i) + (window().GrpList.selected(i) ? "+" : "-"));
        return texts;
    }

    static void pressEnterInOffset(const std::string& text)
    {
        window().txtOffset.setText(text);
        QTest::keyClick(window().txtOffset.widget(), Qt::Key_Return);
    }

    void expectNoEdit() const
    {
        EXPECT_EQ(tables().Data_Changed, 0);
        EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
    }

    int leader = 0;
    int other = 0;
};

TEST_F(KakeGrpStat, LoadListsTheTitlesWithEmptyInputs)
{
    EXPECT_EQ(window().caption(), "家系グループ設定");
    EXPECT_EQ(lines(), (std::vector<std::string>{"山田家+", "佐藤家-", "鈴木家+"}));
    EXPECT_EQ(window().txtTitle.text(), "");
    EXPECT_EQ(window().lblLeader.caption(), "ここにドラッグして下さい");
    EXPECT_EQ(window().lblLeader.tag(), "0");
    EXPECT_EQ(window().GrpList.listIndex(), -1);
    expectNoEdit();
}

TEST_F(KakeGrpStat, ClickingATitleLoadsItsInputs)
{
    window().GrpList.setListIndex(1);
    EXPECT_EQ(window().txtTitle.text(), "佐藤家");
    EXPECT_EQ(window().lblLeader.caption(), "佐藤 一郎");
    EXPECT_EQ(window().lblLeader.tag(), std::to_string(other));
    EXPECT_EQ(window().txtOffset.text(), "1.5");
    expectNoEdit();
}

// Whenever no leader is chosen the field says how to choose one: after a title
// was shown and "新規タイトル入力", after an addition, and for a row whose leader
// was deleted since.
TEST_F(KakeGrpStat, TheLeaderFieldAsksForADragWheneverNoLeaderIsSet)
{
    const char* hint = "ここにドラッグして下さい";
    window().GrpList.setListIndex(0);
    ASSERT_EQ(window().lblLeader.caption(), "山田 太郎");
    click(window().cmdNew);
    EXPECT_EQ(window().lblLeader.caption(), hint);
    EXPECT_EQ(window().lblLeader.tag(), "0");

    window().txtTitle.setText("田中家");
    ASSERT_TRUE(window().lblLeader_OLEDragDrop(leader, "山田 太郎"));
    click(window().cmdAddTitle);
    ASSERT_EQ(tables().GrpTitleCount, 3);
    EXPECT_EQ(window().lblLeader.caption(), hint);

    model::del_per_buf(other);
    window().GrpList.setListIndex(1);
    EXPECT_EQ(window().txtTitle.text(), "佐藤家");
    EXPECT_EQ(window().lblLeader.caption(), hint);
    EXPECT_EQ(window().lblLeader.tag(), "0");
}

// The visibility travels with the family file: a check changed by hand is an edit
// like the buttons' show all and hide all, one step for 戻 each.
TEST_F(KakeGrpStat, CheckChangedByHandIsAnEditOfTheFamily)
{
    window().GrpList.setSelected(1, true);
    EXPECT_EQ(tables().GrpTitleList[1].Visible, -1);
    window().GrpList.setSelected(0, false);
    EXPECT_EQ(tables().GrpTitleList[0].Visible, 0);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 2);
    EXPECT_EQ(tables().Data_Changed, 1);
}

TEST_F(KakeGrpStat, AddingStoresTheTrimmedTitleWithItsLeader)
{
    window().txtTitle.setText("  田中家 ");
    ASSERT_TRUE(window().lblLeader_OLEDragDrop(leader, "山田 太郎"));
    window().txtOffset.setText("2");
    click(window().cmdAddTitle);

    ASSERT_EQ(tables().GrpTitleCount, 3);
    const model::GrpTitleRec& added = tables().GrpTitleList[3];
    EXPECT_EQ(added.TitleName, "田中家");
    EXPECT_EQ(added.Leader, leader);
    EXPECT_EQ(added.Visible, -1);
    EXPECT_EQ(added.Offset, 0);
    EXPECT_EQ(lines().back(), "田中家+");
    EXPECT_EQ(window().txtTitle.text(), "");
    EXPECT_EQ(window().lblLeader.tag(), "0");
    EXPECT_EQ(window().txtOffset.text(), "2");
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 1);
}

TEST_F(KakeGrpStat, AddingWithoutTitleOrLeaderIsRefused)
{
    ASSERT_TRUE(window().lblLeader_OLEDragDrop(leader, "山田 太郎"));
    window().txtTitle.setText("   ");
    answers.answerNext(platform::vbOK);
    click(window().cmdAddTitle);
    // The leader stays for another try.
    EXPECT_EQ(window().lblLeader.tag(), std::to_string(leader));

    click(window().cmdNew);
    window().txtTitle.setText("田中家");
    answers.answerNext(platform::vbOK);
    click(window().cmdAddTitle);

    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[0].text, "タイトルを設定して下さい");
    EXPECT_EQ(answers.shown()[1].text, "タイトルに割り付ける人物を設定して下さい");
    for (const auto& shown : answers.shown()) {
        EXPECT_EQ(shown.style, 49);
        EXPECT_EQ(shown.title, "家系グループ設定エラー");
    }
    EXPECT_EQ(tables().GrpTitleCount, 2);
    expectNoEdit();
}

TEST_F(KakeGrpStat, TitleTheFamilyFileCannotHoldIsRefused)
{
    ASSERT_TRUE(window().lblLeader_OLEDragDrop(leader, "山田 太郎"));
    window().txtTitle.setText("\xF0\xA0\xAE\xB7田家");  // U+20BB7 is outside cp932
    answers.answerNext(platform::vbOK);
    click(window().cmdAddTitle);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "ファイルに保存できない文字が含まれています：\xF0\xA0\xAE\xB7");
    EXPECT_EQ(tables().GrpTitleCount, 2);
    expectNoEdit();
}

TEST_F(KakeGrpStat, LeaderDropTakesOnlyAPersonOfTheFamily)
{
    const int freed = addPerson("高橋", "次郎", 0);
    model::del_per_buf(freed);
    for (int person : {-1, freed, 0, model::BlankPartner})
        EXPECT_FALSE(window().lblLeader_OLEDragDrop(person, "**** 男01"));
    EXPECT_EQ(answers.beepCount(), 4);
    EXPECT_EQ(window().lblLeader.tag(), "0");
    EXPECT_TRUE(window().lblLeader_OLEDragDrop(other, "佐藤 一郎"));
    EXPECT_EQ(window().lblLeader.caption(), "佐藤 一郎");
    EXPECT_EQ(window().lblLeader.tag(), std::to_string(other));
}

TEST_F(KakeGrpStat, DeletingAsksFirst)
{
    window().GrpList.setListIndex(1);
    answers.answerNext(platform::vbCancel);
    click(window().cmdDelTitle);
    EXPECT_EQ(tables().GrpTitleCount, 2);
    expectNoEdit();

    answers.answerNext(platform::vbOK);
    click(window().cmdDelTitle);
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[0].text, "タイトル「佐藤家」の設定を削除します\r\nよろしいですか？");
    EXPECT_EQ(answers.shown()[0].style, 65);
    EXPECT_EQ(answers.shown()[0].title, "タイトルの削除");
    EXPECT_EQ(titles(), (std::vector<std::string>{"山田家", "鈴木家"}));
    EXPECT_EQ(lines(), (std::vector<std::string>{"山田家+", "鈴木家+"}));
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 1);
}

TEST_F(KakeGrpStat, DeletingTheOnlyTitleLeavesAnEmptyList)
{
    while (tables().GrpTitleCount > 0)
        (void)model::Del_GrpTitle(0);
    window().SetGrpList();
    window().GrpList.setListIndex(0);
    answers.answerNext(platform::vbOK);
    click(window().cmdDelTitle);
    EXPECT_EQ(tables().GrpTitleCount, -1);
    EXPECT_EQ(window().GrpList.listCount(), 0);
}

TEST_F(KakeGrpStat, MovingRowsTakesASnapshotAndCarriesTheWholeRow)
{
    window().GrpList.setListIndex(0);
    click(window().RankDn);
    EXPECT_EQ(titles(), (std::vector<std::string>{"佐藤家", "山田家", "鈴木家"}));
    EXPECT_EQ(lines(), (std::vector<std::string>{"佐藤家-", "山田家+", "鈴木家+"}));
    EXPECT_EQ(tables().GrpTitleList[0].Offset, 1.5);
    EXPECT_EQ(tables().GrpTitleList[0].Leader, other);
    // The moved row stays selected and fills the inputs.
    EXPECT_EQ(window().GrpList.listIndex(), 1);
    EXPECT_EQ(window().txtTitle.text(), "山田家");
    click(window().RankUp);
    EXPECT_EQ(titles(), (std::vector<std::string>{"山田家", "佐藤家", "鈴木家"}));
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 2);
    EXPECT_EQ(tables().Data_Changed, 1);
}

TEST_F(KakeGrpStat, FirstRowUpAndLastRowDownDoNothing)
{
    window().GrpList.setListIndex(0);
    click(window().RankUp);
    window().GrpList.setListIndex(2);
    click(window().RankDn);
    EXPECT_EQ(titles(), (std::vector<std::string>{"山田家", "佐藤家", "鈴木家"}));
    expectNoEdit();
}

TEST_F(KakeGrpStat, AllOffThenAllOnKeepsTheSelectedTitle)
{
    window().GrpList.setListIndex(1);
    window().txtTitle.setText("");
    click(window().AllChkOff);
    EXPECT_EQ(lines(), (std::vector<std::string>{"山田家-", "佐藤家-", "鈴木家-"}));
    EXPECT_EQ(window().GrpList.listIndex(), 1);
    EXPECT_EQ(window().txtTitle.text(), "佐藤家");
    click(window().AllChk);
    for (const model::GrpTitleRec& row : tables().GrpTitleList)
        EXPECT_EQ(row.Visible, -1);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 2);
}

TEST_F(KakeGrpStat, OffsetIsSetWithEnterWithinTenGenerations)
{
    window().GrpList.setListIndex(0);
    for (const char* text : {"10", "-10", "1.5"}) {
        answers.answerNext(platform::vbOK);
        pressEnterInOffset(text);
        EXPECT_EQ(tables().GrpTitleList[0].Offset, platform::Val(text)) << text;
    }
    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_EQ(answers.shown()[0].text, "山田家の上下調整を10世代に設定しました");
    EXPECT_EQ(answers.shown()[1].text, "山田家の上下調整を-10世代に設定しました");
    EXPECT_EQ(answers.shown()[2].text, "山田家の上下調整を1.5世代に設定しました");
    EXPECT_EQ(answers.shown()[2].style, 65);
    EXPECT_EQ(answers.shown()[2].title, "家系グループ上下調整設定");
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 3);
    EXPECT_EQ(tables().Data_Changed, 1);
}

TEST_F(KakeGrpStat, OffsetOutOfRangeOrNotANumberIsRefused)
{
    window().GrpList.setListIndex(1);
    for (const char* text : {"10.5", "-11", "abc", ""}) {
        answers.answerNext(platform::vbOK);
        pressEnterInOffset(text);
    }
    ASSERT_EQ(answers.shown().size(), 4u);
    for (const auto& shown : answers.shown()) {
        EXPECT_EQ(shown.text, "上下調整は-10～10世代です");
        EXPECT_EQ(shown.style, 49);
    }
    EXPECT_EQ(tables().GrpTitleList[1].Offset, 1.5);
    expectNoEdit();
}

TEST_F(KakeGrpStat, OffsetWithoutASelectedTitleDoesNothing)
{
    pressEnterInOffset("3");
    EXPECT_TRUE(answers.shown().empty());
    for (const model::GrpTitleRec& row : tables().GrpTitleList)
        EXPECT_NE(row.Offset, 3);
    expectNoEdit();
}

TEST_F(KakeGrpStat, DecideRebuildsTheChartAndCloses)
{
    marry(leader, addPerson("山田", "花子", 1));
    tables().Data_Changed = 0;
    ASSERT_EQ(layout::chart().tree_cnt, 0);
    click(window().CmdExit);
    EXPECT_EQ(layout::chart().tree_cnt, 1);
    EXPECT_FALSE(window().isLoaded());
    expectNoEdit();
}

// A person dragged from the relationship editor's men's list onto the leader field.
TEST_F(KakeGrpStat, APersonDraggedFromTheEditorsListBecomesTheLeader)
{
    CtrlForm& editor = ctrl_form();
    editor.load();
    editor.Build_List();
    forms::ListBox& men = editor.List1[0];
    int line = -1;
    for (int i = 0; i < men.listCount(); ++i) {
        if (men.itemData(i) == other)
            line = i;
    }
    ASSERT_GE(line, 0);
    men.setListIndex(line);
    forms::setCursorPosition(200, 200);
    editor.List1_MouseDown(0, forms::vbLeftButton, 0, 0, 0);
    forms::setCursorPosition(203, 200);
    editor.List1_MouseMove(0, forms::vbLeftButton, 0, 0, 0);
    ASSERT_TRUE(forms::isDragInProgress());

    forms::dropOn(window().lblLeader, 100, 100);
    EXPECT_EQ(window().lblLeader.tag(), std::to_string(other));
    EXPECT_EQ(window().lblLeader.caption(), men.list(line));
    EXPECT_EQ(mainwindow::dropState().Drop_Done, -1);
    if (forms::isDragInProgress())
        forms::cancelDrag();
    editor.unload();
}

} // namespace
} // namespace relations_windows_test
