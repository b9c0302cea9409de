// 戻 with the program's real windows: a step is taken back whole, nothing of it stored
// before its snapshot, and every window left open during 戻 shows the family as it is
// afterwards, or closes where what it showed is gone.

#include "drawing/DspOp.h"
#include "entry/EntryForm.h"
#include "entry/InfoOne.h"
#include "forms/UnregisteredInput.h"
#include "mainwindow/MainForm.h"
#include "model/GroupLists.h"
#include "model/tables.h"
#include "relations/EasyCtlForm.h"
#include "relations/InfoChldForm.h"
#include "relations/KakeGrpStatForm.h"
#include "reports/nametb.h"
#include "reports/yeartb.h"

#include "EditorsFixture.h"

#include <QListWidget>
#include <QTest>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using app_test::kou;
using app_test::per;

class WindowsAfterUndo : public app_test::EditorsFixture {
protected:
    void TearDown() override
    {
        for (forms::Form* form : std::vector<forms::Form*>{&kakegrpstat_form(), &infochld_form(), &infoone_form(),
                                                           &yeartb_form(), &nametb_form(), &dspop_form(),
                                                           &easyctl_form()}) {
            if (form->isLoaded())
                form->unload();
        }
        EditorsFixture::TearDown();
    }

    // The person editor's table view, and the cell editor's text committed into a
    // cell of the person's row as the user does: F2, the text, the focus elsewhere.
    static void editCellOf(int person, int col, const std::string& text)
    {
        EntryForm& editor = entry_form();
        if (!editor.isLoaded())
            main_form().scritem[2].choose(); // 入力画面
        editor.scritem[1].choose();          // 表
        editor.tb.setRow(editor.getrow(person));
        editor.tb.setCol(col);
        QTest::keyClick(editor.tb.widget(), Qt::Key_F2);
        ASSERT_TRUE(editor.Text2.isVisible());
        editor.Text2.setText(text);
        editor.tb.setFocus();
        ASSERT_FALSE(editor.Text2.isVisible());
    }

    // The lineage-group window's lines, text and check, and the groups they stand for.
    using Lines = std::vector<std::pair<std::string, bool>>;
    static Lines shownGroups()
    {
        const forms::ListBox& list = kakegrpstat_form().GrpList;
        Lines lines;
        for (int i = 0; i < list.listCount(); ++i)
            lines.emplace_back(list.list(i), list.selected(i));
        return lines;
    }
    static Lines storedGroups()
    {
        const model::Tables& t = model::tables();
        Lines lines;
        for (int g = 0; g <= t.GrpTitleCount; ++g)
            lines.emplace_back(t.GrpTitleList[static_cast<size_t>(g)].TitleName,
                               t.GrpTitleList[static_cast<size_t>(g)].Visible != 0);
        return lines;
    }

    void addGroup(const std::string& title, int leader)
    {
        model::Add_GrpTitle();
        model::GrpTitleRec& group = model::tables().GrpTitleList[static_cast<size_t>(model::tables().GrpTitleCount)];
        group.TitleName = title;
        group.Leader = static_cast<int16_t>(leader);
    }
};

TEST_F(WindowsAfterUndo, AGridEditIsTakenBackWithTheAgeItStored)
{
    // The dates give 一郎 an age; none is stored.
    per(ichiro).B_day = "1950/01/01";
    ASSERT_EQ(per(ichiro).Age, -1);
    editCellOf(ichiro, 11, "東京都");
    ASSERT_EQ(per(ichiro).Addr1, "東京都");
    ASSERT_GT(per(ichiro).Age, 0) << "the age the row shows is stored with the edit";

    mainUndo();
    EXPECT_EQ(per(ichiro).Addr1, "");
    EXPECT_EQ(per(ichiro).Age, -1) << "戻 takes back all of the edit";
    EXPECT_EQ(per(ichiro).B_day, "1950/01/01");
}

// Each step of the lineage-group window, taken back by 戻 while the window stays open.
TEST_F(WindowsAfterUndo, TheLineageGroupWindowShowsTheGroupsAsTheyAreAfterUndo)
{
    addGroup("山田家", ken);
    addGroup("佐藤家", ai);
    retitle("新しい題"); // a step of its own, so that 戻 is offered from the first case on
    main_form().Command2[app_test::toolbar::LineageGroups].click();
    KakeGrpStatForm& window = kakegrpstat_form();
    ASSERT_TRUE(window.isVisible());
    auto* list = qobject_cast<QListWidget*>(window.GrpList.widget());
    ASSERT_NE(list, nullptr);

    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"a check by hand", [&] { list->item(0)->setCheckState(Qt::Unchecked); }},
        {"all hidden", [&] { window.AllChkOff.click(); }},
        {"a row moved down",
         [&] {
             window.GrpList.setListIndex(0);
             window.RankDn.click();
         }},
        {"a title deleted",
         [&] {
             window.GrpList.setListIndex(1);
             answers.answerNext(platform::vbOK);
             window.cmdDelTitle.click();
         }},
        {"a title added",
         [&] {
             window.txtTitle.setText("鈴木家");
             ASSERT_TRUE(window.lblLeader_OLEDragDrop(jiro, "鈴木 次郎"));
             window.cmdAddTitle.click();
         }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        const Lines before = storedGroups();
        step();
        ASSERT_NE(storedGroups(), before) << "the step changed the groups";
        // The line of the first group is chosen: its title is in the field.
        window.GrpList.setListIndex(0);
        ASSERT_FALSE(window.txtTitle.text().empty());

        mainUndo();
        ASSERT_EQ(storedGroups(), before);
        EXPECT_EQ(shownGroups(), before) << "the lines are those of the groups brought back";
        EXPECT_EQ(window.txtTitle.text(), "");
        EXPECT_EQ(window.lblLeader.tag(), "0");
        EXPECT_EQ(window.GrpList.listIndex(), -1);
    }

    // The buttons act on what is shown: the last line's group is hidden.
    const int last = window.GrpList.listCount() - 1;
    ASSERT_EQ(last, model::tables().GrpTitleCount);
    window.GrpList.setListIndex(last);
    list->item(last)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(model::tables().GrpTitleList[static_cast<size_t>(last)].Visible, 0);
}

TEST_F(WindowsAfterUndo, TheChildDialogAndThePersonCardShowTheirEntryAsItIsAfterUndo)
{
    // The card of 一郎, then an edit of his in the person editor.
    const int box = boxOf(ichiro);
    ASSERT_GT(box, 0);
    main_form().Label12_Click(box);
    editCellOf(ichiro, 11, "東京都");
    main_form().Command2[app_test::toolbar::PersonCard].click();
    ASSERT_TRUE(infoone_form().isVisible());
    ASSERT_EQ(infoone_form().Text1[6].text(), "東京都");
    mainUndo();
    EXPECT_TRUE(infoone_form().isVisible());
    EXPECT_EQ(infoone_form().Text1[6].text(), "") << "the card shows 一郎 as brought back";

    // A comment registered on 一郎's entry, and the child dialog on it again.
    openChildDialogOnIchiro();
    infochld_form().Text1[2].setText("長男");
    infochld_form().CMDFUNC[0].click();
    ASSERT_EQ(kou(couple).kou_kodo_comment[0], "長男");
    openChildDialogOnIchiro();
    ASSERT_EQ(infochld_form().Text1[2].text(), "長男");
    // What the dialog holds typed is asked about first: キャンセル stays with it.
    infochld_form().Text1[2].setText("次男");
    answers.answerNext(platform::vbCancel);
    main_form().CmdUndo.click();
    ASSERT_EQ(answers.shownTexts(), std::vector<std::string>{forms::UnregisteredInputQuestion});
    EXPECT_EQ(kou(couple).kou_kodo_comment[0], "長男");
    EXPECT_EQ(infochld_form().Text1[2].text(), "次男");
    answers.answerNext(platform::vbNo);
    mainUndo();
    ASSERT_EQ(kou(couple).kou_kodo_comment[0], "");
    EXPECT_TRUE(infochld_form().isVisible());
    EXPECT_EQ(infochld_form().Text1[2].text(), "") << "the dialog shows the comment brought back";
    EXPECT_FALSE(infochld_form().hasUnregisteredInput());
}

// The windows showing a person whom 戻 takes back let him go: the card and the
// display options close, the easy builder has no base person.
TEST_F(WindowsAfterUndo, TheWindowsOfAPersonUndoTookBackLetHimGo)
{
    // 入力画面: a new person registered, and his card.
    main_form().scritem[2].choose();
    const int saburo = registerInPersonEditor("新田", "三郎");
    ASSERT_GT(saburo, 0);
    entry_form().CMDFUNC[4].click(); // 戻る
    model::runState().Sel_Person = static_cast<int16_t>(saburo);
    main_form().Command2[app_test::toolbar::PersonCard].click();
    ASSERT_TRUE(infoone_form().isVisible());
    dspop_form().showForPerson(saburo);
    ASSERT_TRUE(dspop_form().isVisible());
    main_form().Command1.click(); // 関係追加画面
    easyctl_form().SetMotoNin(saburo);
    ASSERT_EQ(easyctl_form().Label3.caption(), "新田 三郎");

    mainUndo();
    ASSERT_EQ(app_test::personNamed("三郎"), -1);
    EXPECT_FALSE(infoone_form().isVisible());
    EXPECT_FALSE(dspop_form().isLoaded());
    EXPECT_EQ(easyctl_form().MotoNin, -1);
    EXPECT_EQ(easyctl_form().Label3.caption(), relations::NoBasePersonText);
    EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
}

TEST_F(WindowsAfterUndo, TheChronologyAndTheNameListOfTheChartBeforeUndoClose)
{
    main_form().Command2[app_test::toolbar::Chronology].click();
    main_form().Command2[app_test::toolbar::NameList].click();
    ASSERT_TRUE(yeartb_form().isVisible());
    ASSERT_TRUE(nametb_form().isVisible());
    retitle("新しい題");

    mainUndo();
    EXPECT_FALSE(yeartb_form().isLoaded());
    EXPECT_FALSE(nametb_form().isLoaded());
    EXPECT_EQ(model::runState().YTbl_Open, 0);

    // Opened again, the chronology shows the family brought back.
    main_form().Command2[app_test::toolbar::Chronology].click();
    EXPECT_EQ(yeartb_form().Label5.caption(), "　山田家年表");
}

// New replaces the family as 戻 does: no window keeps showing the family before.
TEST_F(WindowsAfterUndo, NewLeavesNoWindowShowingTheFamilyBefore)
{
    addGroup("山田家", ken);
    main_form().Command2[app_test::toolbar::LineageGroups].click();
    kakegrpstat_form().GrpList.setListIndex(0);
    ASSERT_EQ(kakegrpstat_form().txtTitle.text(), "山田家");
    openChildDialogOnIchiro();
    main_form().Command2[app_test::toolbar::NameList].click();
    ASSERT_TRUE(nametb_form().isVisible());

    answers.answerNext(platform::vbOK); // the family was changed: discard it
    main_form().Command2[app_test::toolbar::New].click(); // 新
    ASSERT_EQ(app_test::usedPersons(), 0);
    EXPECT_EQ(kakegrpstat_form().GrpList.listCount(), 0);
    EXPECT_EQ(kakegrpstat_form().txtTitle.text(), "");
    EXPECT_FALSE(infochld_form().isVisible());
    EXPECT_FALSE(nametb_form().isLoaded());
}

} // namespace
