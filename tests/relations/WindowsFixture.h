#pragma once
// Shared set-up of the tests of the easy relation builder, the group windows and
// the category window: a fresh program folder, an empty family, scripted message
// boxes, and recording stand-ins for what the windows ask of the main window and
// the family model's window services. The windows themselves are real, loaded
// headless.

#include "Recorders.h"

#include "relations/RelationRequests.h"
#include "relations/relations_state.h"

#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "model/ChildSlots.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/WindowServices.h"
#include "model/document/InitAllSetting.h"
#include "model/tables.h"

#include "forms/Control.h"

#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

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

class WindowsTest : public ::testing::Test {
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
        relations::setRelationRequests(nullptr);
        model::setWindowServices(nullptr);
    }

    static model::Tables& tables() { return model::tables(); }
    static model::marry_data& kou(int slot) { return model::tables().kou_buf[static_cast<size_t>(slot)]; }
    static model::personal_data& per(int slot) { return model::tables().per_buf[static_cast<size_t>(slot)]; }

    static int addPerson(const std::string& familyName, const std::string& name, int sex)
    {
        const int slot = model::set_per_buf(-1, name, familyName, sex, "");
        EXPECT_GT(slot, 0);
        return slot;
    }

    static int marry(int husband, int wife, int start = 1, const std::string& state = "通常", int mode = 0,
                     const std::string& title = "")
    {
        const int slot = model::set_kou_buf(-1, state, mode, 0, husband, wife, start, title, 0);
        EXPECT_GT(slot, 0);
        return slot;
    }

    static int addChild(int marriage, int child, int slot = -1)
    {
        model::kodo_data work;
        work.KouIdx = static_cast<int16_t>(marriage);
        work.KodoIdx = static_cast<int16_t>(slot);
        work.kou_kodo = static_cast<int16_t>(child);
        work.kodo_visible = 1;
        return model::Add_Kodo(work);
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
