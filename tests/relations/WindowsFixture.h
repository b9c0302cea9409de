#pragma once
// Shared set-up of the tests of the easy relation builder, the group windows and
// the category window: a fresh program folder, an empty family, scripted message
// boxes, and recording stand-ins for what the windows ask of the main window and
// the family model's window services. The windows themselves are real, loaded
// headless.

#include "RelationsTestSupport.h"

#include "relations/CategMakeForm.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/GrpStatForm.h"
#include "relations/KakeGrpStatForm.h"
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

#include "forms/Control.h"

#include "support/ScriptedResponder.h"
#include "support/TempHome.h"
#include "support/qt/UnloadWindows.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace relations_windows_test {

using relations_test::RecordingRequests;
using relations_test::RecordingServices;

// A left click in the middle of a control of a shown window, as the user makes it.
inline void click(forms::Control& control)
{
    QWidget* widget = control.widget();
    ASSERT_NE(widget, nullptr) << control.name();
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

using relations_test::countOf;

class WindowsTest : public ::testing::Test, protected relations_test::FamilyBuilders {
protected:
    void SetUp() override
    {
        model::InitAllSetting();
        layout::Init_ChartState();
        relations::relationsState() = relations::RelationsState();
        relations::setRelationRequests(&requests);
        model::setWindowServices(&services);
    }

    void TearDown() override
    {
        support::unloadWindows({&easyctl_form(), &categmake_form(), &grpstat_form(), &kakegrpstat_form(), &ctrl_form(),
                                &form2()});
        relations::setRelationRequests(nullptr);
        model::setWindowServices(nullptr);
    }


    static int usedPersons()
    {
        int count = 0;
        for (int i = 1; i <= model::LastSlot; ++i)
            count += per(i).InUse == model::SlotUsed ? 1 : 0;
        return count;
    }

    static int usedMarriages()
    {
        int count = 0;
        for (int i = 1; i <= model::LastSlot; ++i)
            count += kou(i).InUse == model::SlotUsed ? 1 : 0;
        return count;
    }

    // The used marriages with exactly these partners, in slot order.
    static std::vector<int> marriagesOf(int husband, int wife)
    {
        std::vector<int> found;
        for (int i = 1; i <= model::LastSlot; ++i) {
            if (kou(i).InUse == model::SlotUsed && kou(i).kou_titi == husband && kou(i).kou_haha == wife)
                found.push_back(i);
        }
        return found;
    }

    static std::vector<int> childrenOf(int marriage)
    {
        std::vector<int> children;
        for (int s = 0; s <= model::LastChildSlot; ++s) {
            if (kou(marriage).kou_kodo[static_cast<size_t>(s)] != -1)
                children.push_back(kou(marriage).kou_kodo[static_cast<size_t>(s)]);
        }
        return children;
    }

    TempHome home{TempHome::Contents::ProgramData};
    ScriptedResponder answers;
    RecordingRequests requests;
    RecordingServices services;
};

} // namespace relations_windows_test
