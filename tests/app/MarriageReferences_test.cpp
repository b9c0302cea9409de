// References to marriages with the program's real windows. 一郎 is the child of two
// marriages, 山田家 and 鈴木家, and the child dialog records on his 山田家 entry that
// his line went through 鈴木家 (the adoption history names that marriage's slot).
// Deleting 鈴木家 makes the history "none" at once, so the next marriage registered
// into the freed slot is no house he came from; both undos of the deletion bring the
// history back, and the editor's undo never brings back a history naming a marriage
// deleted since.

#include "drawing/ChartRebuild.h"
#include "forms/DragDrop.h"
#include "mainwindow/MainForm.h"
#include "model/Lookups.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/run_state.h"
#include "relations/CtrlForm.h"
#include "relations/InfoChldForm.h"

#include "EditorsFixture.h"

#include <string>

namespace {

using app_test::kou;

class MarriageReferencesTest : public app_test::EditorsFixture {
protected:
    void SetUp() override
    {
        EditorsFixture::SetUp();
        hanako = model::set_per_buf(-1, "花子", "田中", 1, "");
        suzuki = model::set_kou_buf(-1, "通常", 0, 0, jiro, hanako, 0, "鈴木家", 0);
        ASSERT_GE(addChild(suzuki, ichiro), 0);
        model::clearKouUndo();
        drawing::Refresh_TabDisp();
        ctrl_form().Build_List();
    }

    // 一郎's history on his 山田家 entry.
    int16_t& history() const { return kou(couple).kodo_yoshirireki[0]; }

    // The child dialog on 一郎's 山田家 entry: 養子, 養子履歴 = 鈴木家, 登録.
    void recordHistoryInTheChildDialog()
    {
        openChildDialogOnIchiro();
        ASSERT_TRUE(infochld_form().Combo1.isVisible());
        infochld_form().Option1[2].setValue(true);
        for (int i = 0; i < infochld_form().Combo1.listCount(); ++i) {
            if (infochld_form().Combo1.itemData(i) == suzuki)
                infochld_form().Combo1.setListIndex(i);
        }
        infochld_form().CMDFUNC[0].click();
        ASSERT_EQ(history(), suzuki);
    }

    // 結婚情報, the marriage, 削除, OK.
    void deleteInTheEditor(int marriage)
    {
        chooseMarriage(marriage);
        answers.answerNext(platform::vbOK);
        ctrl_form().CMDFUNC[2].click();
        ASSERT_NE(kou(marriage).InUse, model::SlotUsed);
    }

    int hanako = -1;
    int suzuki = -1;
};

TEST_F(MarriageReferencesTest, ADeletedMarriageLeavesNoHistoryForTheNextMarriageInItsSlot)
{
    recordHistoryInTheChildDialog();
    deleteInTheEditor(suzuki);
    EXPECT_EQ(history(), -1) << "the history names no marriage once it is deleted";

    // 新規, two persons dragged onto the partner fields, 登録: the new marriage takes
    // the freed slot.
    const int sakura = model::set_per_buf(-1, "桜", "木村", 1, "");
    ctrl_form().Build_List();
    ctrl_form().CMDFUNC[0].click();
    startDrag(0, jiro);
    forms::dropOn(ctrl_form().Label2[0], 10, 10);
    startDrag(1, sakura);
    forms::dropOn(ctrl_form().Label2[1], 10, 10);
    ctrl_form().CMDFUNC[1].click();
    ASSERT_EQ(kou(suzuki).InUse, model::SlotUsed);
    ASSERT_EQ(kou(suzuki).kou_haha, sakura);

    EXPECT_EQ(history(), -1) << "一郎 is not recorded as coming from the new couple";
    EXPECT_NE(model::Find_HonsujiKou(ichiro, couple), suzuki);
}

TEST_F(MarriageReferencesTest, BothUndosOfTheDeletionBringTheHistoryBack)
{
    recordHistoryInTheChildDialog();
    deleteInTheEditor(suzuki);
    ASSERT_EQ(history(), -1);
    ctrl_form().Command2[3].click(); // the editor's ＵＮＤＯ
    ASSERT_EQ(kou(suzuki).InUse, model::SlotUsed);
    EXPECT_EQ(history(), suzuki);

    deleteInTheEditor(suzuki);
    ASSERT_EQ(history(), -1);
    mainUndo();
    ASSERT_EQ(kou(suzuki).InUse, model::SlotUsed);
    EXPECT_EQ(history(), suzuki);
}

TEST_F(MarriageReferencesTest, TheEditorsUndoNeverBringsBackAHistoryNamingAMarriageDeletedSince)
{
    // 一郎's 鈴木家 entry names 山田家 as the house his line went through.
    kou(suzuki).kodo_yoshirireki[0] = static_cast<int16_t>(couple);
    deleteInTheEditor(suzuki);
    deleteOnTheChart(couple); // 山田家
    ASSERT_NE(kou(couple).InUse, model::SlotUsed);

    ctrl_form().Command2[3].click(); // the editor's ＵＮＤＯ of 鈴木家's deletion
    ASSERT_EQ(kou(suzuki).InUse, model::SlotUsed);
    EXPECT_EQ(kou(suzuki).kodo_yoshirireki[0], -1);
}

} // namespace
