// 戻 with the program's real windows takes back exactly the last command that changed
// the family, whatever window it came from: a CSV import into the open family, a
// check mark changed by hand in the lineage-group window and an apply of the display
// options are steps of their own. A command cancelled at its dialog, or one that changes
// nothing (Enter on names left as they were), leaves the undo of the step before, and
// the choices of how the windows show the family (the person table's columns) are no
// step that 戻 takes back.

#include "drawing/DspOp.h"
#include "entry/CelSet.h"
#include "entry/EntryForm.h"
#include "forms/Keys.h"
#include "forms/Testing.h"
#include "mainwindow/MainForm.h"
#include "model/GroupLists.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "relations/KakeGrpStatForm.h"
#include "reports/FrmCsvInStat.h"
#include "reports/csvinset.h"

#include "EditorsFixture.h"
#include "support/qt/ScriptedDialogs.h"

#include <QListWidget>
#include <QTest>

#include <string>

namespace {

using app_test::kou;
using app_test::personNamed;
using app_test::usedPersons;

class UndoStepsTest : public app_test::EditorsFixture {
protected:
    void TearDown() override
    {
        forms::clearOnShown();
        EditorsFixture::TearDown();
    }

    ScriptedDialogs dialogs;
};

TEST_F(UndoStepsTest, ACsvImportIntoTheOpenFamilyIsTakenBackAlone)
{
    // 入, 新規 "Undo" "One", 登録, 戻る.
    main_form().scritem[2].choose();
    ASSERT_GT(registerInPersonEditor("Undo", "One"), 0);
    entry_form().CMDFUNC[4].click();
    const int before = usedPersons();

    // ＣＳＶ入力, いいえ (added to the open family), a file of eight persons.
    std::string csv = "名字,名前\r\n";
    for (int i = 1; i <= 8; ++i)
        csv += "取込,人" + std::to_string(i) + "\r\n";
    const std::string path = home.file("\\people.csv");
    platform::writeWholeFile(path, platform::encodeCp932(csv));
    forms::onShown("FrmCsvInStat", [](forms::Form&) { frmcsvinstat_form().Command2.onClick(); });
    forms::onShown("csvinset", [](forms::Form&) {
        for (int field : {1, 2}) {
            csvinset_form().List1.setListIndex(field - 1);
            csvinset_form().Command2.onClick();
        }
    });
    answers.answerNext(platform::vbNo);
    dialogs.answerNext(forms::DialogAnswer::file(path));
    main_form().fileitem[5].choose();
    ASSERT_EQ(usedPersons(), before + 8);

    mainUndo();
    EXPECT_EQ(usedPersons(), before) << "戻 takes back the import";
    EXPECT_EQ(personNamed("人1"), -1);
    EXPECT_GT(personNamed("One"), 0) << "and not the registration before it";
    EXPECT_FALSE(main_form().CmdUndo.isEnabled());
}

TEST_F(UndoStepsTest, ACheckChangedByHandInTheLineageGroupsIsTakenBackAlone)
{
    model::Add_GrpTitle();
    model::tables().GrpTitleList[0].TitleName = "山田家";
    model::tables().GrpTitleList[0].Leader = static_cast<int16_t>(ken);
    retitle("新しい題"); // the step before
    main_form().Command2[14].click(); // 家系グループ設定
    ASSERT_TRUE(kakegrpstat_form().isVisible());
    // The user unchecks the row.
    auto* list = qobject_cast<QListWidget*>(kakegrpstat_form().GrpList.widget());
    ASSERT_NE(list, nullptr);
    list->item(0)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(model::tables().GrpTitleList[0].Visible, 0);
    EXPECT_EQ(model::tables().Data_Changed, 1);

    mainUndo();
    EXPECT_EQ(model::tables().GrpTitleList[0].Visible, -1) << "戻 takes back the check";
    EXPECT_EQ(kou(couple).kou_title, "新しい題") << "and not the registration before it";
}

TEST_F(UndoStepsTest, TheDisplayOptionsWritingDirectionIsTakenBackWithTheirApply)
{
    ASSERT_EQ(model::settings().write_state, 0);
    dspop_form().showForPerson(ken); // the display options of 健
    ASSERT_TRUE(dspop_form().isVisible());
    QTest::mouseClick(dspop_form().optWrite_Stat[1].widget(), Qt::LeftButton);
    dspop_form().CmdOK.click();
    ASSERT_EQ(model::settings().write_state, 1);

    mainUndo();
    EXPECT_EQ(model::settings().write_state, 0);
}

// Neither a colour or font dialog cancelled nor the person table's columns chosen is a
// step.
TEST_F(UndoStepsTest, ACancelledDialogAndTheColumnsChosenLeaveTheUndoOfTheStepBefore)
{
    retitle("新しい題"); // the step before
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    main_form().setitem[8].choose(); // 背景色設定
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    main_form().setitem[10].choose(); // フォント設定
    main_form().scritem[2].choose();
    entry_form().scritem[1].choose(); // the table view
    entry_form().CMDFUNC[3].click();  // 項目設定
    ASSERT_FALSE(model::settings().DispFactor[3]);
    celset_form().Check2[3].setValue(forms::vbChecked);
    celset_form().Command2.click();
    ASSERT_TRUE(model::settings().DispFactor[3]);

    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "山田家") << "戻 takes back the registration";
    EXPECT_TRUE(model::settings().DispFactor[3]) << "and leaves the columns as chosen";
}

TEST_F(UndoStepsTest, EnterOnNamesLeftAsTheyWereLeavesTheUndoOfTheStepBefore)
{
    retitle("新しい題"); // the step before
    model::tables().Data_Changed = 0;
    // 健's box clicked, F2, Enter on his names as they stand.
    main_form().DPic_Click(boxOf(ken));
    int f2 = forms::vbKeyF2;
    main_form().Form_KeyDown(f2, 0);
    ASSERT_TRUE(main_form().Text2[1].isVisible());
    int16_t enter = 13;
    main_form().Text2_KeyPress(1, enter);
    ASSERT_FALSE(main_form().Text2[1].isVisible()) << "Enter closes the name editor";
    EXPECT_EQ(model::tables().Data_Changed, 0) << "and is no edit";

    mainUndo();
    EXPECT_EQ(kou(couple).kou_title, "山田家") << "戻 takes back the registration";
}

} // namespace
