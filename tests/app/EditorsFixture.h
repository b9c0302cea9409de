#pragma once
// The whole program with a small family and the relationship editor open on its
// couple: 山田健 and 佐藤愛 married (山田家, the start marriage) with their son 山田一郎,
// and 鈴木次郎 with no relation. The helpers drag lines of the editor's person lists
// and drop them on the chart as the user does.

#include "ProgramFixture.h"

#include "drawing/ChartRebuild.h"
#include "drawing/draw_state.h"
#include "entry/EntryForm.h"
#include "forms/DragDrop.h"
#include "forms/Keys.h"
#include "mainwindow/MainForm.h"
#include "model/ChildSlots.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "relations/CtrlForm.h"
#include "relations/InfoChldForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app_test {

inline model::marry_data& kou(int slot) { return model::tables().kou_buf[static_cast<size_t>(slot)]; }
inline model::personal_data& per(int slot) { return model::tables().per_buf[static_cast<size_t>(slot)]; }

// The used persons.
inline int usedPersons()
{
    int count = 0;
    for (int p = 1; p <= model::LastSlot; ++p)
        count += per(p).InUse == model::SlotUsed ? 1 : 0;
    return count;
}

// The used person with this given name, -1 none.
inline int personNamed(const std::string& name)
{
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot) {
        if (per(slot).InUse == model::SlotUsed && per(slot).Name == name)
            return slot;
    }
    return -1;
}

class EditorsFixture : public ProgramFixture<> {
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
        ASSERT_EQ(addChild(couple, ichiro), 0);
        model::clearKouUndo();
        drawing::Refresh_TabDisp();
        main_form().scritem[3].choose(); // View > 関係設定画面
        ASSERT_TRUE(ctrl_form().isVisible());
        chooseMarriage(couple);
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

    // The person as the marriage's next child, marked for the direct line; its slot.
    static int addChild(int marriage, int person)
    {
        model::kodo_data work;
        work.KouIdx = static_cast<int16_t>(marriage);
        work.KodoIdx = -1;
        work.kou_kodo = static_cast<int16_t>(person);
        work.kodo_visible = 1;
        return model::Add_Kodo(work);
    }

    // The marriage chosen in the editor's list of marriages.
    static void chooseMarriage(int marriage)
    {
        forms::ListBox& marriages = ctrl_form().List1[2];
        for (int line = 0; line < marriages.listCount(); ++line) {
            if (marriages.itemData(line) == marriage)
                marriages.setListIndex(line);
        }
        ASSERT_EQ(model::runState().KouNum, marriage);
    }

    // Starts a drag of the line of the editor's list (0 men, 1 women) holding
    // `person`; -1 the placeholder line.
    static void startDrag(int list, int person)
    {
        forms::ListBox& l = ctrl_form().List1[list];
        int line = -1;
        for (int i = 0; i < l.listCount(); ++i) {
            if (l.itemData(i) == person)
                line = i;
        }
        ASSERT_GE(line, 0);
        l.setListIndex(line);
        forms::setCursorPosition(200, 200);
        ctrl_form().List1_MouseDown(list, forms::vbLeftButton, 0, 0, 0);
        forms::setCursorPosition(203, 200);
        ctrl_form().List1_MouseMove(list, forms::vbLeftButton, 0, 0, 0);
        ASSERT_TRUE(forms::isDragInProgress());
    }

    // The index of the couple mark of a marriage on the chart, -1 none.
    static int coupleMarkOf(int marriage)
    {
        const std::vector<int16_t>& marks = drawing::drawState().Label11_Kou;
        for (int index : main_form().Label11.indexes()) {
            if (index >= 2 && static_cast<size_t>(index) < marks.size() && marks[static_cast<size_t>(index)] == marriage)
                return index;
        }
        return -1;
    }

    // Drops on the middle of the couple mark of a marriage on the chart.
    static void dropOnMark(int marriage)
    {
        const int mark = coupleMarkOf(marriage);
        ASSERT_GT(mark, 0) << "marriage " << marriage << " has no couple mark on the chart";
        const forms::CanvasLabel& label = main_form().Label11[mark];
        forms::dropOn(main_form().Picture1, label.left() + label.width() / 2, label.top() + label.height() / 2);
    }

    // The couple mark of the marriage chosen on the chart, Delete, and the question
    // answered (OK unless told).
    void deleteOnTheChart(int marriage, int answer = platform::vbOK)
    {
        model::runState().Sel_KouMark = 1;
        model::runState().KouNum = static_cast<int16_t>(marriage);
        answers.answerNext(answer);
        int key = forms::vbKeyDelete;
        main_form().Form_KeyDown(key, 0);
    }

    // The couple's title changed in the relationship editor and registered.
    void retitle(const std::string& title)
    {
        chooseMarriage(couple);
        ctrl_form().Text1[0].setText(title);
        ctrl_form().CMDFUNC[1].click();
        ASSERT_EQ(kou(couple).kou_title, title);
    }

    // The child dialog (子供情報画面) on 一郎's entry in the couple's marriage.
    void openChildDialogOnIchiro()
    {
        model::tables().Sel_ChildKou = static_cast<int16_t>(couple);
        model::tables().Sel_ChildSlot = 0;
        model::runState().Sel_Person = static_cast<int16_t>(ichiro);
        infochld_form().show();
        infochld_form().edit_ch_data(couple, 0, 0, 0);
    }

    // In the open person editor: 新規, the names typed, 登録. The new person's slot.
    static int registerInPersonEditor(const std::string& familyName, const std::string& name)
    {
        entry_form().CMDFUNC[0].click();
        entry_form().Text1[0].setText(familyName);
        entry_form().Text1[1].setText(name);
        entry_form().CMDFUNC[1].click();
        return personNamed(name);
    }

    // 戻 in the main window, which must be offered.
    static void mainUndo()
    {
        ASSERT_TRUE(main_form().CmdUndo.isEnabled());
        main_form().CmdUndo.click();
    }

    // The index of the person's box on the chart, -1 none.
    static int boxOf(int person)
    {
        for (int index : main_form().DPic.indexes()) {
            if (index >= 2 && drawing::drawState().Label12_Per[static_cast<size_t>(index)] == person)
                return index;
        }
        ADD_FAILURE() << "person " << person << " has no box on the chart";
        return -1;
    }

    // Drops on the middle of a person's box on the chart.
    static void dropOnBox(int person)
    {
        const int box = boxOf(person);
        if (box == -1)
            return;
        const forms::CanvasPicture& picture = main_form().DPic[box];
        forms::dropOn(main_form().Picture1, picture.left() + picture.width() / 2, picture.top() + picture.height() / 2);
    }

    int ken = -1, ai = -1, ichiro = -1, jiro = -1, couple = -1;
};

} // namespace app_test
