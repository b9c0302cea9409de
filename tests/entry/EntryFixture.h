#pragma once
// Shared set-up of the person editor tests: a fresh program folder, an empty
// family in western date form, scripted message boxes and recording stand-ins
// for the windows the editor asks things of. Each test builds its family and
// then opens the editor as the main window does (open()).

#include "entry/EntryForm.h"
#include "entry/EntryRequests.h"
#include "entry/IconPView.h"
#include "entry/InfoOne.h"
#include "entry/entry_state.h"

#include "forms/Testing.h"
#include "mainwindow/OtherWindows.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "document/InitAllSetting.h"
#include "document/Snapshots.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include "support/ScriptedResponder.h"
#include "support/TempHome.h"
#include "support/qt/UnloadWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace entry_test {

// Records the requests to the relationship editor and the chronology window.
class RecordingWindows : public mainwindow::OtherWindows {
public:
    std::vector<std::string> calls;
    int count(const std::string& call) const
    {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }
    void closeChronology() override { calls.push_back("closeChronology"); }
    void rebuildRelationLists() override { calls.push_back("rebuildRelationLists"); }
};

// Records the editor's own requests (chart rebuild, companion windows). A rebuild
// fails with a run-time error while failRebuild is set.
class RecordingRequests : public entry::EntryRequests {
public:
    std::vector<std::string> calls;
    bool failRebuild = false;
    int count(const std::string& call) const
    {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }
    void rebuildChart() override
    {
        calls.push_back("rebuildChart");
        if (failRebuild)
            throw platform::RuntimeError(platform::err::OutOfMemory, "rebuild failed");
    }
    void showDisplayOptions(int person) override { calls.push_back("showDisplayOptions " + std::to_string(person)); }
    void showColumnChooser() override { calls.push_back("showColumnChooser"); }
    void closeColumnChooser() override { calls.push_back("closeColumnChooser"); }
    void closeVoiceMemo() override { calls.push_back("closeVoiceMemo"); }
};

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The list columns 0 and 15..20 and the other values a new family keeps
        // start as at the program's start, whatever an earlier test chose.
        model::settings() = model::Settings();
        model::runState() = model::RunState();
        model::InitAllSetting();
        model::settings().Dispmode_Nengo = 0;
        model::settings().Array_SortMode = 0;
        model::settings().Sort_factor = 0;
        entry::entryState() = entry::EntryState();
        mainwindow::setOtherWindows(&windows);
        entry::setEntryRequests(&requests);
    }

    void TearDown() override
    {
        support::unloadWindows({&iconpview_form(), &infoone_form(), &form()});
        entry::setEntryRequests(nullptr);
        mainwindow::setOtherWindows(nullptr);
        model::InitAllSetting();
    }

    static EntryForm& form() { return entry_form(); }
    static model::Tables& t() { return model::tables(); }
    static model::personal_data& person(int slot) { return model::tables().per_buf[static_cast<size_t>(slot)]; }

    // A person in the first free slot; returns the slot.
    static int addPerson(const std::string& familyName, const std::string& name, int sex = 0,
                         const std::string& birth = "")
    {
        const int slot = model::set_per_buf(-1, name, familyName, sex, birth);
        EXPECT_GT(slot, 0);
        return slot;
    }

    // Gives a person a value in every field a new person must not inherit from
    // an earlier occupant of the slot.
    static void fillLabelsGroupAndFlags(model::personal_data& p)
    {
        p.Zokugara = "長男";
        p.ZokugaraK = "婿";
        p.Kaimyo = "釋一";
        p.GrpName = "本家";
        p.CategoryF = 1;
        p.CsvOutFlag = 1;
        p.CopyIdx = 7;
        p.Disp.DS_Waku = 1;
        p.Disp.DS_DeathW = 1;
    }

    // Those fields as a cleared record holds them.
    static void expectClearedLabelsGroupAndFlags(const model::personal_data& p)
    {
        EXPECT_TRUE(p.Zokugara.empty() && p.ZokugaraK.empty() && p.Kaimyo.empty() && p.GrpName.empty());
        EXPECT_EQ(p.CategoryF, -1);
        EXPECT_EQ(p.CsvOutFlag, 0);
        EXPECT_EQ(p.CopyIdx, -1);
        EXPECT_EQ(p.Disp.DS_Waku, model::tables().DefDispStat.DS_Waku);
        EXPECT_EQ(p.Disp.DS_DeathW, model::tables().DefDispStat.DS_DeathW);
    }

    // Opens the editor as the main window does: Entry_Open 1, then shown.
    void open()
    {
        model::runState().Entry_Open = 1;
        form().show();
    }

    // The given names in grid rows 1.., as the grid shows them.
    static std::vector<std::string> gridNames()
    {
        std::vector<std::string> names;
        for (int r = 1; r < form().tb.rows(); ++r)
            names.push_back(form().tb.textMatrix(r, 2));
        return names;
    }

    static bool undoSnapshotExists() { return platform::fileExists(model::undoSnapshotPath()); }

    TempHome home{TempHome::Contents::ProgramData};
    ScriptedResponder answers;
    RecordingWindows windows;
    RecordingRequests requests;
};

} // namespace entry_test
