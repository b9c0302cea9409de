// The main window's requests reach the real person editor, relationship editor and
// child dialog once the program's windows are installed; requests that only
// refresh an open window leave a closed one closed.

#include "app/AppWindows.h"

#include "entry/EntryForm.h"
#include "entry/InfoOne.h"
#include "entry/InputNameOne.h"
#include "document/InitAllSetting.h"
#include "model/run_state.h"
#include "model/UndoRecords.h"
#include "model/tables.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/InfoChldForm.h"
#include "relations/KakeGrpStatForm.h"
#include "printing/FrmPrnSet.h"
#include "reports/ChronologyWindows.h"
#include "reports/nametb.h"
#include "reports/yeartb.h"

#include "platform/Hooks.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

using mainwindow::otherWindows;

class AppWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model::InitAllSetting();
        app::installProgram();
        model::Tables& t = model::tables();
        addPerson(1, "山田", "太郎", 0);
        addPerson(2, "山田", "花子", 1);
        addPerson(3, "山田", "一郎", 0);
        model::marry_data& m = t.kou_buf[1];
        m.InUse = model::SlotUsed;
        m.kou_title = "山田家";
        m.kou_titi = 1;
        m.kou_haha = 2;
        m.kou_mode = 0;
        m.dsp_start = 1;
        m.kou_kodo[0] = 3;
        m.kou_kodo_stat[0] = 0;
    }

    void TearDown() override
    {
        for (forms::Form* form : {static_cast<forms::Form*>(&infochld_form()), static_cast<forms::Form*>(&ctrl_form()),
                                  static_cast<forms::Form*>(&entry_form()), static_cast<forms::Form*>(&easyctl_form()),
                                  static_cast<forms::Form*>(&infoone_form()), static_cast<forms::Form*>(&nametb_form()),
                                  static_cast<forms::Form*>(&kakegrpstat_form()), static_cast<forms::Form*>(&yeartb_form()),
                                  static_cast<forms::Form*>(&form2())}) {
            if (form->isLoaded())
                form->unload();
        }
        mainwindow::setOtherWindows(nullptr);
        reports::setChronologyWindows(nullptr);
        drawing::setDspOpRequests(nullptr);
    }

    static void addPerson(int slot, const char* family, const char* given, int sex)
    {
        model::personal_data& p = model::tables().per_buf[slot];
        p = model::clearedPerson(slot);
        p.InUse = model::SlotUsed;
        p.F_name = family;
        p.Name = given;
        p.Sex = static_cast<int16_t>(sex);
        ++model::tables().PerCount;
    }

    static bool listHolds(const forms::ListBox& list, int person)
    {
        for (int i = 0; i < list.listCount(); ++i) {
            if (list.itemData(i) == person)
                return true;
        }
        return false;
    }

    TempHome home;
    ScriptedResponder answers;
};

TEST_F(AppWindowsTest, RefreshRequestsLeaveAClosedRelationEditorClosed)
{
    otherWindows().rebuildRelationLists();
    otherWindows().clearRelationPersonLists();
    otherWindows().resetRelationEditor();
    otherWindows().enableRelationUndo("UNDO 削除");
    otherWindows().disableRelationUndo();
    EXPECT_FALSE(ctrl_form().isLoaded());

    // Forgetting the marriage still does the table part.
    model::runState().KouNum = 1;
    otherWindows().forgetRelationMarriage();
    EXPECT_EQ(model::runState().KouNum, -1);
}

TEST_F(AppWindowsTest, TheOpenRelationEditorRebuildsItsListsFromTheTables)
{
    ctrl_form().load();
    otherWindows().rebuildRelationLists();
    ASSERT_TRUE(listHolds(ctrl_form().List1[0], 1));
    ASSERT_FALSE(listHolds(ctrl_form().List1[0], 4));

    addPerson(4, "山田", "次郎", 0);
    otherWindows().rebuildRelationLists();
    EXPECT_TRUE(listHolds(ctrl_form().List1[0], 4));
    EXPECT_TRUE(listHolds(ctrl_form().List1[1], 2));
}

TEST_F(AppWindowsTest, DeletingAMarriageGoesThroughTheOpenEditor)
{
    // Without the editor the model asks and frees the record, and no window opens.
    answers.answerNext(platform::vbOK);
    EXPECT_EQ(otherWindows().deleteMarriage(1), 0);
    EXPECT_EQ(model::tables().kou_buf[1].InUse, model::SlotFree);
    EXPECT_FALSE(ctrl_form().isLoaded());

    // With the editor open its own delete runs, but the step is the main window's:
    // the editor's undo is not armed by it (the main window's undo takes it back).
    SetUp();
    ctrl_form().load();
    ASSERT_FALSE(ctrl_form().scritem[0].isEnabled());
    answers.answerNext(platform::vbOK);
    EXPECT_EQ(otherWindows().deleteMarriage(1), 0);
    EXPECT_EQ(model::tables().kou_buf[1].InUse, model::SlotFree);
    EXPECT_FALSE(ctrl_form().scritem[0].isEnabled());
    EXPECT_FALSE(ctrl_form().Command2[3].isEnabled());
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::None);
    EXPECT_EQ(otherWindows().deleteMarriage(1), -1) << "a freed record is not asked about again";
}

TEST_F(AppWindowsTest, ClosingThePersonEditorUnloadsIt)
{
    otherWindows().showPersonEditor(1);
    ASSERT_TRUE(entry_form().isLoaded());
    model::runState().Entry_Open = 0;
    otherWindows().closePersonEditor();
    EXPECT_FALSE(entry_form().isLoaded());
}

TEST_F(AppWindowsTest, TheChildDialogOpensOnTheChosenChild)
{
    otherWindows().showChildDialog(1, 0);
    ASSERT_TRUE(infochld_form().isLoaded());
    EXPECT_NE(infochld_form().Text1[1].text().find("一郎"), std::string::npos) << "the child's name";
    EXPECT_NE(infochld_form().Text1[0].text().find("太郎"), std::string::npos) << "the parents";
}

TEST_F(AppWindowsTest, TheEasyBuilderTakesItsBaseOnlyWhileOpen)
{
    otherWindows().setEasyBasePerson(1);
    otherWindows().rebuildEasyRelationList();
    EXPECT_FALSE(easyctl_form().isLoaded());

    otherWindows().showEasyRelationBuilder();
    ASSERT_TRUE(easyctl_form().isLoaded());
    otherWindows().setEasyBasePerson(3);
    EXPECT_EQ(easyctl_form().MotoNin, 3);
    EXPECT_EQ(easyctl_form().Label3.caption(), "山田 一郎");
    // A marriage's base person is its husband.
    otherWindows().setEasyBaseMarriage(1);
    EXPECT_EQ(easyctl_form().MotoKou, 1);
    EXPECT_EQ(easyctl_form().MotoNin, 1);
}

// Whether any text box of the card holds the text.
bool cardShows(const std::string& text)
{
    for (int i = 0; i <= 13; ++i) {
        if (infoone_form().Text1[i].text().find(text) != std::string::npos)
            return true;
    }
    return false;
}

TEST_F(AppWindowsTest, ThePersonCardFollowsTheChartOnlyWhileOpen)
{
    otherWindows().showPersonOnCardIfOpen(2);
    EXPECT_FALSE(infoone_form().isLoaded());

    infoone_form().showPersonCard(1);
    ASSERT_TRUE(cardShows("太郎"));
    otherWindows().showPersonOnCardIfOpen(2);
    EXPECT_TRUE(cardShows("花子"));
    EXPECT_FALSE(cardShows("太郎"));
}

TEST_F(AppWindowsTest, TheNameListOpens)
{
    otherWindows().showNameList();
    EXPECT_TRUE(nametb_form().isLoaded());
    EXPECT_TRUE(nametb_form().isVisible());
}

TEST_F(AppWindowsTest, TheQuickNameInputHandsBackWhatTheUserConfirmed)
{
    mainwindow::OtherWindows::QuickName values;
    values.familyName = "山田";
    values.givenName = "太郎";
    values.options[2] = 1; // frame shown
    forms::onShown("InputNameOne", [](forms::Form&) {
        InputNameOne& dialog = inputnameone_form();
        EXPECT_EQ(dialog.Text2.text(), "太郎");
        EXPECT_EQ(dialog.chkINNO[2].value(), forms::vbChecked);
        EXPECT_EQ(dialog.chkINNO[0].value(), forms::vbUnchecked);
        dialog.Text2.setText("次郎");
        dialog.chkINNO[0].setValue(forms::vbChecked);
        dialog.Command1_Click();
    });
    ASSERT_TRUE(otherWindows().showQuickNameInput(values));
    EXPECT_EQ(values.familyName, "山田");
    EXPECT_EQ(values.givenName, "次郎");
    EXPECT_EQ(values.options[0], 1) << "category";
    EXPECT_EQ(values.options[2], 1) << "frame";

    forms::onShown("InputNameOne", [](forms::Form&) { inputnameone_form().Command2_Click(); });
    values.givenName = "三郎";
    EXPECT_FALSE(otherWindows().showQuickNameInput(values));
    EXPECT_EQ(values.givenName, "三郎") << "a cancel hands nothing back";
}

TEST_F(AppWindowsTest, TheRelationEditorsChildListIsRefilledOnlyWhenItHoldsEntries)
{
    ctrl_form().load();
    forms::ListBox& children = ctrl_form().List2;
    children.clear();
    otherWindows().refillRelationChildList(1);
    EXPECT_EQ(children.listCount(), 0);

    children.addItem("old");
    otherWindows().refillRelationChildList(1);
    ASSERT_EQ(children.listCount(), 1);
    EXPECT_EQ(children.list(0), "山田一郎");
    EXPECT_EQ(children.itemData(0), 3);
}

TEST_F(AppWindowsTest, TheLineageGroupsAndThePrinterChoiceOpen)
{
    otherWindows().showLineageGroups();
    EXPECT_TRUE(kakegrpstat_form().isLoaded());

    bool shown = false;
    forms::onShown("frmPrnSet", [&](forms::Form& form) {
        shown = true;
        form.unload();
    });
    otherWindows().showPrinterChoice();
    EXPECT_TRUE(shown);
}

TEST_F(AppWindowsTest, TheChronologyOpensClosesAndReachesThePersonCard)
{
    otherWindows().showChronology();
    ASSERT_TRUE(yeartb_form().isLoaded());
    otherWindows().closeChronology();
    EXPECT_FALSE(yeartb_form().isLoaded());
    EXPECT_EQ(model::runState().YTbl_Open, 0);

    reports::ChronologyWindows& windows = reports::chronologyWindows();
    EXPECT_FALSE(windows.isPersonCardOpen());
    windows.showPersonCard(2);
    EXPECT_TRUE(windows.isPersonCardOpen());
    EXPECT_TRUE(cardShows("花子"));
    windows.closePersonCard();
    EXPECT_FALSE(windows.isPersonCardOpen());
    EXPECT_FALSE(infoone_form().isLoaded());
}

} // namespace
