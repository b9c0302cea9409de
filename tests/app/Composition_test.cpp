// The program's real composition, as main() builds it: every interface through
// which one library asks the windows of another is installed, none is left at
// its default that does nothing, and a command that goes through one of them
// reaches the real window.

#include "app/AppWindows.h"

#include "drawing/ChartOutputs.h"
#include "drawing/ChartRebuild.h"
#include "drawing/DspOp.h"
#include "drawing/PersonBox.h"
#include "drawing/draw_state.h"
#include "forms/Printers.h"
#include "layout/ChartElements.h"
#include "layout/ChartView.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"
#include "model/WindowServices.h"
#include "document/InitAllSetting.h"
#include "model/tables.h"
#include "reports/ChronologyWindows.h"

#include "LayoutFamilies.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

class ProgramComposition : public ::testing::Test {
protected:
    void SetUp() override
    {
        forms::setPrinterList({"Test Printer"});
        // What main() does before the event loop.
        app::installProgram();
        main_form().show();
    }

    void TearDown() override
    {
        if (dspop_form().isLoaded())
            dspop_form().unload();
        main_form().uninstallServices();
        mainwindow::setOtherWindows(nullptr);
        reports::setChronologyWindows(nullptr);
        drawing::setDspOpRequests(nullptr);
        forms::resetPrinterList();
    }

    // A father, a mother and their son in one marriage.
    static void buildFamily()
    {
        layouttest::FamilyBuilder family;
        const int16_t kou = family.couple();
        family.child(kou, family.person(layouttest::FamilyBuilder::Male));
    }

    // The person boxes on the chart (elements 0 and 1 are the design's).
    static int chartBoxes() { return main_form().DPic.count() - 2; }

    TempHome home{TempHome::Contents::ProgramData};
    ScriptedResponder answers;
};

template <typename Interface>
bool isDefault(Interface& installed)
{
    return typeid(installed) == typeid(Interface);
}

TEST_F(ProgramComposition, NoInterfaceIsLeftAtItsDefault)
{
    EXPECT_FALSE(isDefault(mainwindow::otherWindows()));
    EXPECT_FALSE(isDefault(reports::chronologyWindows()));
    EXPECT_FALSE(isDefault(drawing::dspOpRequests()));
    EXPECT_FALSE(isDefault(model::windowServices()));
    EXPECT_FALSE(isDefault(layout::chartView()));
    EXPECT_FALSE(isDefault(layout::chartElements()));
    EXPECT_NE(drawing::chartControls(), nullptr);
    EXPECT_NE(drawing::personBoxPictures(), nullptr);
}

TEST_F(ProgramComposition, DisplayOptionsAppliedRedrawTheChart)
{
    buildFamily();
    drawing::Refresh_TabDisp();
    const int boxes = chartBoxes();
    ASSERT_EQ(boxes, 3);

    dspop_form().showForPerson(1);
    ASSERT_TRUE(dspop_form().isLoaded());
    // The window reads the zoom from the main window's zoom box.
    EXPECT_EQ(dspop_form().txtBai.text(), main_form().Text1.text());
    EXPECT_EQ(dspop_form().CmdOK.caption(), "決定");
    dspop_form().CmdOK.click();

    EXPECT_FALSE(dspop_form().isLoaded());
    EXPECT_EQ(chartBoxes(), boxes) << "the chart is drawn again, not left empty";
    EXPECT_EQ(model::tables().Data_Changed, 1);
}

} // namespace
