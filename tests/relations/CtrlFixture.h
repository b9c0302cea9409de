#pragma once
// Shared set-up of the relationship editor tests: a fresh program folder, an
// empty family, scripted message boxes, and recording stand-ins for what the
// editor asks of the main window, the person editor and the family model's
// window services. The editor itself is the real window, loaded headless.

#include "RelationsTestSupport.h"

#include "model/run_state.h"
#include "relations/CtrlForm.h"
#include "relations/InfoChldForm.h"
#include "relations/RelationRequests.h"
#include "relations/relations_state.h"

#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "model/ChildSlots.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/WindowServices.h"
#include "document/InitAllSetting.h"
#include "model/tables.h"

#include "support/ScriptedResponder.h"
#include "support/TempHome.h"
#include "support/qt/UnloadWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace relations_test {

// The last drop-mode request to the chart canvas, "" when none was made.
inline std::string lastDropMode(const std::vector<std::string>& calls)
{
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
        if (*it == "acceptsDrops" || *it == "refusesDrops")
            return *it;
    }
    return {};
}

class CtrlTest : public ::testing::Test, protected FamilyBuilders {
protected:
    void SetUp() override
    {
        model::InitAllSetting();
        layout::Init_ChartState();
        relations::relationsState() = relations::RelationsState();
        relations::setRelationRequests(&requests);
        model::setWindowServices(&services);
        // Loading the window resets the editor cursors, so it is loaded before a test
        // sets them.
        ctrl().load();
    }

    void TearDown() override
    {
        support::unloadWindows({&infochld_form(), &ctrl_form(), &form2()});
        relations::setRelationRequests(nullptr);
        model::setWindowServices(nullptr);
    }

    static CtrlForm& ctrl() { return ctrl_form(); }

    // A partner label as a drop from the person lists leaves it.
    static void setPartner(int side, int person)
    {
        ctrl().Label2[side].setCaption(per(person).F_name + per(person).Name);
        ctrl().Label2[side].setTag(std::to_string(person));
    }

    // Picks a marriage as a click in the marriage list does.
    static void choose(int marriage)
    {
        model::runState().KouNum = static_cast<int16_t>(marriage);
        model::runState().Sel_KouMark = 1;
        ctrl().edit_kou_data(marriage);
    }

    static std::vector<std::string> lines(const forms::ListBox& list)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < list.listCount(); ++i)
            texts.push_back(list.list(i));
        return texts;
    }

    TempHome home{TempHome::Contents::ProgramData};
    ScriptedResponder answers;
    RecordingRequests requests;
    RecordingServices services;
};

} // namespace relations_test
