// Every edit leaves a current autosave, also one made in a window that rebuilds no
// chart: persons registered or deleted in the person editor, opened from the main
// window, are in TMP/Autosave.kez (or gone from it) as soon as each command is done.

#include "app/AppWindows.h"

#include "document/Snapshots.h"
#include "drawing/DspOp.h"
#include "entry/EntryForm.h"
#include "forms/Testing.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "reports/ChronologyWindows.h"

#include "ProgramFixture.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class AutosaveAfterEdits : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        main_form().show();
    }

    static void click(forms::Control& control)
    {
        QWidget* widget = control.widget();
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    }

    // Text committed by the input method, as kanji are typed.
    static void type(forms::Control& control, const std::string& text)
    {
        QWidget* widget = control.widget();
        ASSERT_NE(widget, nullptr);
        widget->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromStdString(text));
        QCoreApplication::sendEvent(widget, &commit);
    }

    // The family text of the autosave on disk ("" when there is none).
    std::string autosaveText() const
    {
        if (!platform::fileExists(model::autosaveSnapshotPath()))
            return {};
        const std::string copy = platform::joinPath(home.path(), "check.kez");
        platform::copyFile(model::autosaveSnapshotPath(), copy);
        EXPECT_TRUE(model::Unscramble_File(copy));
        return platform::decodeCp932(platform::readWholeFile(copy));
    }

};

TEST_F(AutosaveAfterEdits, EachPersonRegisteredOrDeletedInTheEditorIsInTheAutosaveAtOnce)
{
    main_form().scritem[2].choose();
    EntryForm& editor = entry_form();
    ASSERT_TRUE(editor.isLoaded());
    ASSERT_EQ(model::runState().Entry_Open, 1);

    const std::vector<std::string> names{"太郎", "花子", "一郎"};
    for (size_t i = 0; i < names.size(); ++i) {
        click(editor.CMDFUNC[0]);
        type(editor.Text1[0], "山田");
        type(editor.Text1[1], names[i]);
        click(editor.CMDFUNC[1]);
        ASSERT_EQ(model::tables().per_buf[i + 1].Name, names[i]);
        ASSERT_TRUE(editor.isLoaded()) << "the editor stays open: no chart was rebuilt";

        const std::string text = autosaveText();
        for (size_t j = 0; j <= i; ++j)
            EXPECT_NE(text.find(names[j]), std::string::npos) << names[j] << " after registering " << names[i];
        EXPECT_NE(text.find("[end_of_data]"), std::string::npos);
    }
    EXPECT_TRUE(answers.shown().empty());

    // The card of a registered person, deleted.
    click(editor.CMDFUNC[5]);
    const int shown = model::runState().Cur_PerIdx;
    ASSERT_GE(shown, 1);
    const std::string deleted = model::tables().per_buf[static_cast<size_t>(shown)].Name;
    answers.answerNext(platform::vbYes);
    click(editor.CMDFUNC[2]);
    ASSERT_NE(model::tables().per_buf[static_cast<size_t>(shown)].InUse, model::SlotUsed);
    const std::string text = autosaveText();
    EXPECT_EQ(text.find(deleted), std::string::npos) << deleted;
    for (const std::string& name : names) {
        if (name != deleted) {
            EXPECT_NE(text.find(name), std::string::npos) << name;
        }
    }
}

} // namespace
