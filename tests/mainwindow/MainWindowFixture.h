#pragma once
// Shared set-up of the main-window tests: a fresh program folder with the
// program's data files, scripted message boxes and common dialogs, one installed
// printer, an empty command line, and a recording stand-in for the windows the
// main window asks things of. The main window itself is started by each test
// (start()), after it has prepared the program folder.

#include "mainwindow/CloseMainWindow.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"

#include "drawing/draw_state.h"
#include "forms/Printers.h"
#include "layout/chart_state.h"
#include "model/ChildSlots.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "document/InitAllSetting.h"
#include "document/Snapshots.h"
#include "model/filestore/FamilyFile.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"

#include "support/ScriptedResponder.h"
#include "support/TempHome.h"
#include "support/qt/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace mainwindow_test {

// A family file the reader refuses: a font size no Integer holds.
inline constexpr const char* DamagedFamilyText = "[Header]\r\nfontsize=99999999\r\n[end_of_data]\r\n";

// Records what the main window asks of the other windows, in order.
class RecordingWindows : public mainwindow::OtherWindows {
public:
    std::vector<std::string> calls;

    int count(const std::string& call) const
    {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    void showHints() override { calls.push_back("showHints"); }
    void closePersonEditor() override { calls.push_back("closePersonEditor"); }
    void refreshPersonEditor() override { calls.push_back("refreshPersonEditor"); }
    void closeChronology() override { calls.push_back("closeChronology"); }
    void rebuildRelationLists() override { calls.push_back("rebuildRelationLists"); }
    void rebuildEasyRelationList() override { calls.push_back("rebuildEasyRelationList"); }
    void forgetRelationMarriage() override
    {
        calls.push_back("forgetRelationMarriage");
        OtherWindows::forgetRelationMarriage();
    }

    void showMessageScreen() override { calls.push_back("showMessageScreen"); }
    void showPersonInEditorCard(int person) override { record("showPersonInEditorCard", {person}); }
    void showPersonInEditor(int person) override { record("showPersonInEditor", {person}); }
    void showPersonOnCardIfOpen(int person) override { record("showPersonOnCardIfOpen", {person}); }
    void showRelationEditor() override { calls.push_back("showRelationEditor"); }
    void setRelationEditorTopMost() override { calls.push_back("setRelationEditorTopMost"); }
    void showEasyRelationBuilder() override { calls.push_back("showEasyRelationBuilder"); }
    void raisePersonEditor() override { calls.push_back("raisePersonEditor"); }
    void showPersonEditor(int person) override { record("showPersonEditor", {person}); }
    void showChronology() override { calls.push_back("showChronology"); }
    void showNameList() override { calls.push_back("showNameList"); }
    void raiseRelationEditor() override { calls.push_back("raiseRelationEditor"); }
    void editRelationMarriage(int kou) override { record("editRelationMarriage", {kou}); }
    void showRelationPage(RelationPage page) override
    {
        calls.push_back(page == RelationPage::Persons ? "showRelationPage(Persons)" : "showRelationPage(Marriage)");
    }
    void selectRelationPartner(int list, int person) override { record("selectRelationPartner", {list, person}); }
    void setEasyBasePerson(int person) override { record("setEasyBasePerson", {person}); }
    void setEasyBaseMarriage(int kou) override { record("setEasyBaseMarriage", {kou}); }
    void showChildDialog(int kou, int slot) override { record("showChildDialog", {kou, slot}); }
    void moveSelectedChild(int direction) override { record("moveSelectedChild", {direction}); }
    void refillRelationChildList(int kou) override { record("refillRelationChildList", {kou}); }
    void showPersonCard(int person) override
    {
        record("showPersonCard", {person});
        personCardOpen = true;
    }
    bool isPersonCardOpen() const override { return personCardOpen; }
    bool personCardOpen = false;
    void showCategoryWindow() override { calls.push_back("showCategoryWindow"); }
    void showLineageGroups() override { calls.push_back("showLineageGroups"); }
    void showPrinterChoice() override { calls.push_back("showPrinterChoice"); }
    // The preview sees the drawing lists as the print command left them.
    void showPrintPreview() override
    {
        calls.push_back("showPrintPreview");
        previewLines = drawing::drawState().line_cnt;
        previewBoxes = drawing::drawState().box_cnt;
        previewTexts = drawing::drawState().text_cnt;
    }
    int previewLines = -1;
    int previewBoxes = -1;
    int previewTexts = -1;
    int deleteMarriage(int kou) override
    {
        record("deleteMarriage", {kou});
        return OtherWindows::deleteMarriage(kou);
    }

    // --- Drag and drop on the chart ---
    void rebuildRelationMarriageList() override { calls.push_back("rebuildRelationMarriageList"); }
    void placeholderTaken(int list, int person) override { record("placeholderTaken", {list, person}); }
    void placeholderReturned(int list, int person) override { record("placeholderReturned", {list, person}); }
    void hideDragMarker() override { calls.push_back("hideDragMarker"); }
    // The quick name input records what it was shown and answers with quickNameAnswer
    // when quickNameConfirms, else as cancelled.
    bool showQuickNameInput(QuickName& values) override
    {
        calls.push_back("showQuickNameInput " + values.familyName + " " + values.givenName);
        quickNameShown = values;
        if (!quickNameConfirms)
            return false;
        values = quickNameAnswer;
        return true;
    }
    QuickName quickNameShown;
    QuickName quickNameAnswer;
    bool quickNameConfirms = false;

    // "name(a,b)" as recorded.
    static std::string call(const std::string& name, std::initializer_list<int> arguments)
    {
        std::string text = name + "(";
        bool first = true;
        for (int argument : arguments) {
            text += (first ? "" : ",") + std::to_string(argument);
            first = false;
        }
        return text + ")";
    }

private:
    void record(const std::string& name, std::initializer_list<int> arguments)
    {
        calls.push_back(call(name, arguments));
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_workingFolder = platform::currentDirectory();
        setCommandLine({});
        forms::setPrinterList({"Test Printer"});
        mainwindow::setOtherWindows(&windows);
        // The open-window flags outlive a new family, as the windows do; no window
        // of an earlier test is open here.
        model::runState().Entry_Open = 0;
        model::runState().Ctrl_Open = 0;
        // The chart state lives as long as the program: each test's start-up finds it
        // as the program's start does, without the extent of an earlier test's chart.
        layout::chart() = layout::ChartState();
    }

    void TearDown() override
    {
        closeMainWindow(answers);
        main_form().uninstallServices();
        mainwindow::setOtherWindows(nullptr);
        forms::resetPrinterList();
        setCommandLine({});
        // The file dialogs make the program folder current; it goes with the test.
        platform::setCurrentDirectory(m_workingFolder);
    }

    static MainForm& window() { return main_form(); }
    static model::Tables& tables() { return model::tables(); }

    // Loads and shows the main window: its Form_Load runs the start-up.
    void start() { window().show(); }

    // The program's command line as argv[1..].
    static void setCommandLine(std::initializer_list<const char*> arguments)
    {
        std::vector<char*> argv{const_cast<char*>("tevora")};
        for (const char* argument : arguments)
            argv.push_back(const_cast<char*>(argument));
        argv.push_back(nullptr);
        platform::setCommandLine(static_cast<int>(argv.size()) - 1, argv.data());
    }

    // A father, a mother and their son, married and marked changed. Returns the
    // marriage. The window must be loaded (or the tables emptied) first.
    static int buildFamily(const std::string& familyName = "山田")
    {
        const int father = model::set_per_buf(-1, "太郎", familyName, 0, "");
        const int mother = model::set_per_buf(-1, "花子", familyName, 1, "");
        const int son = model::set_per_buf(-1, "一郎", familyName, 0, "");
        const int kou = model::set_kou_buf(-1, "通常", 0, 0, father, mother, 1, "", 0);
        model::kodo_data child;
        child.KouIdx = static_cast<int16_t>(kou);
        child.KodoIdx = -1;
        child.kou_kodo = static_cast<int16_t>(son);
        child.kou_kodo_stat = 0;
        EXPECT_GE(model::Add_Kodo(child), 0);
        model::tables().Data_Changed = 1;
        return kou;
    }

    // Writes a family file into the program folder before the window starts and
    // returns its path; the tables are emptied again afterwards.
    std::string writeFamilyFile(const std::string& name, const std::string& familyName = "山田")
    {
        model::InitAllSetting();
        buildFamily(familyName);
        const std::string path = platform::joinPath(home.path(), name);
        EXPECT_TRUE(model::save_file(path));
        model::InitAllSetting();
        return path;
    }

    // The given names of the persons in use, in slot order.
    static std::vector<std::string> personNames()
    {
        std::vector<std::string> names;
        for (int p = 1; p <= model::LastSlot; ++p) {
            const model::personal_data& person = model::tables().per_buf[static_cast<size_t>(p)];
            if (person.InUse == model::SlotUsed)
                names.push_back(person.F_name + person.Name);
        }
        return names;
    }

    static std::vector<std::string> familyOf(const std::string& familyName)
    {
        return {familyName + "太郎", familyName + "花子", familyName + "一郎"};
    }

    static std::string read(const std::string& path) { return platform::readWholeFile(path); }

    // The family text of the autosave on disk, unscrambled; "" when there is none.
    std::string autosaveText() const
    {
        if (!platform::fileExists(model::autosaveSnapshotPath()))
            return {};
        const std::string copy = platform::joinPath(home.path(), "autosave-check.kez");
        platform::copyFile(model::autosaveSnapshotPath(), copy);
        EXPECT_TRUE(model::Unscramble_File(copy));
        return platform::decodeCp932(read(copy));
    }

    TempHome home{TempHome::Contents::ProgramData};
    ScriptedResponder answers;
    ScriptedDialogs dialogs;
    RecordingWindows windows;

private:
    std::string m_workingFolder;
};

} // namespace mainwindow_test
