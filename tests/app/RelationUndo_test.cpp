// The relationship editor's undo with the program's real windows: a step the
// editor took is taken back only while the marriage and the persons it names are
// as the step left them. Here the person editor deletes a person the step's record
// names and registers someone new in the freed slot, then the editor's UNDO runs.

#include "app/AppWindows.h"

#include "drawing/ChartRebuild.h"
#include "entry/EntryForm.h"
#include "forms/DragDrop.h"
#include "forms/Printers.h"
#include "mainwindow/MainForm.h"
#include "model/ChildSlots.h"
#include "model/Lookups.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "relations/CtrlForm.h"
#include "reports/ChronologyWindows.h"

#include "ProgramFixture.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

model::marry_data& kou(int slot) { return model::tables().kou_buf[static_cast<size_t>(slot)]; }
model::personal_data& per(int slot) { return model::tables().per_buf[static_cast<size_t>(slot)]; }

class RelationUndoTest : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        // No hints window at start-up.
        platform::writeWholeFile(home.file("\\tvora.ini"), "QAMODE,0\r\n");
        ProgramFixture::SetUp();
        main_form().show();
        ken = model::set_per_buf(-1, "健", "山田", 0, "");
        ai = model::set_per_buf(-1, "愛", "佐藤", 1, "");
        ichiro = model::set_per_buf(-1, "一郎", "山田", 0, "");
        jiro = model::set_per_buf(-1, "次郎", "鈴木", 0, "");
        couple = model::set_kou_buf(-1, "通常", 0, 0, ken, ai, 1, "山田家", 0);
        model::kodo_data work;
        work.KouIdx = static_cast<int16_t>(couple);
        work.KodoIdx = -1;
        work.kou_kodo = static_cast<int16_t>(ichiro);
        work.kodo_visible = 1;
        ASSERT_EQ(model::Add_Kodo(work), 0);
        model::clearKouUndo();
        drawing::Refresh_TabDisp();
        // View > 関係設定画面, and the marriage chosen in its list.
        main_form().scritem[3].choose();
        ASSERT_TRUE(ctrl_form().isVisible());
        forms::ListBox& marriages = ctrl_form().List1[2];
        for (int line = 0; line < marriages.listCount(); ++line) {
            if (marriages.itemData(line) == couple)
                marriages.setListIndex(line);
        }
        ASSERT_EQ(model::runState().KouNum, couple);
    }

    void TearDown() override
    {
        if (forms::isDragInProgress())
            forms::cancelDrag();
        for (forms::Form* form : {static_cast<forms::Form*>(&entry_form()), static_cast<forms::Form*>(&ctrl_form())}) {
            if (form->isLoaded())
                form->unload();
        }
        ProgramFixture::TearDown();
    }

    // View > 入力画面 on the person, who is then deleted there.
    void deleteInThePersonEditor(int person)
    {
        model::runState().Cur_PerIdx = static_cast<int16_t>(person);
        main_form().scritem[2].choose();
        ASSERT_EQ(entry_form().Text1[1].text(), per(person).Name);
        answers.answerNext(platform::vbYes);
        entry_form().CMDFUNC[2].click();
        ASSERT_EQ(per(person).InUse, model::SlotFree);
    }

    // 新規, the names typed, 登録: the new person takes the first free slot.
    void registerInThePersonEditor(const std::string& familyName, const std::string& name, int expectedSlot)
    {
        entry_form().CMDFUNC[0].click();
        entry_form().Text1[0].setText(familyName);
        entry_form().Text1[1].setText(name);
        entry_form().CMDFUNC[1].click();
        ASSERT_EQ(per(expectedSlot).InUse, model::SlotUsed);
        ASSERT_EQ(per(expectedSlot).Name, name);
    }

    // The editor's UNDO button refuses with its message and disarms.
    void expectUndoRefused()
    {
        const size_t before = answers.shown().size();
        answers.answerNext(platform::vbOK);
        ctrl_form().Command2[3].click();
        ASSERT_EQ(answers.shown().size(), before + 1);
        EXPECT_EQ(answers.shown()[before].text, model::UndoRefusedMessage);
        EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::None);
        EXPECT_FALSE(ctrl_form().Command2[3].isEnabled());
    }

    int ken = -1, ai = -1, ichiro = -1, jiro = -1, couple = -1;
};

TEST_F(RelationUndoTest, DeletedMarriageNeverComesBackWithTheNewOccupantOfAPartnersSlot)
{
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    ASSERT_EQ(kou(couple).InUse, model::SlotFree);
    ASSERT_EQ(ctrl_form().scritem[0].caption(), "UNDO 削除");
    deleteInThePersonEditor(ai);
    registerInThePersonEditor("Test", "Hanako", ai);

    expectUndoRefused();
    EXPECT_EQ(kou(couple).InUse, model::SlotFree) << "山田健 is not married to Test Hanako";
    EXPECT_EQ(model::Find_PersonMarry(ai), -1);
}

TEST_F(RelationUndoTest, DeletedMarriageNeverComesBackNamingAFreedSlot)
{
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    ASSERT_EQ(kou(couple).InUse, model::SlotFree);
    deleteInThePersonEditor(ai);

    expectUndoRefused();
    EXPECT_EQ(kou(couple).InUse, model::SlotFree);
}

TEST_F(RelationUndoTest, RemovedChildNeverComesBackAsTheNewOccupantOfItsSlot)
{
    ctrl_form().List2.setListIndex(0);
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    ASSERT_EQ(kou(couple).kou_kodo[0], -1);
    ASSERT_EQ(ctrl_form().scritem[0].caption(), "UNDO 削除子供関係");
    deleteInThePersonEditor(ichiro);
    registerInThePersonEditor("Test", "Hanako", ichiro);

    expectUndoRefused();
    EXPECT_EQ(kou(couple).kou_kodo[0], -1) << "Test Hanako is nobody's child";
}

TEST_F(RelationUndoTest, ChangedMarriageNeverGoesBackToTheNewOccupantOfAPartnersSlot)
{
    // 鈴木次郎 dragged from the men's list onto the husband field, then 登録.
    forms::ListBox& men = ctrl_form().List1[0];
    int line = -1;
    for (int i = 0; i < men.listCount(); ++i) {
        if (men.itemData(i) == jiro)
            line = i;
    }
    ASSERT_GE(line, 0);
    men.setListIndex(line);
    forms::setCursorPosition(200, 200);
    ctrl_form().List1_MouseDown(0, forms::vbLeftButton, 0, 0, 0);
    forms::setCursorPosition(203, 200);
    ctrl_form().List1_MouseMove(0, forms::vbLeftButton, 0, 0, 0);
    ASSERT_TRUE(forms::isDragInProgress());
    forms::dropOn(ctrl_form().Label2[0], 10, 10);
    ctrl_form().CMDFUNC[1].click();
    ASSERT_EQ(kou(couple).kou_titi, jiro);
    ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ChangedMarriage);
    deleteInThePersonEditor(ken);
    registerInThePersonEditor("Test", "Taro", ken);

    expectUndoRefused();
    EXPECT_EQ(kou(couple).kou_titi, jiro);
    EXPECT_EQ(model::Find_PersonMarry(ken), -1);
}

} // namespace
