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
#include "entry/EntryForm.h"
#include "forms/Printers.h"
#include "layout/ChartElements.h"
#include "layout/ChartView.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"
#include "model/WindowServices.h"
#include "document/InitAllSetting.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "reports/ChronologyWindows.h"

#include "LayoutFamilies.h"
#include "ProgramFixture.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QTest>

#include <string>
#include <typeinfo>
#include <vector>

namespace {

class ProgramComposition : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        // What main() does before the event loop.
        ProgramFixture::SetUp();
        main_form().show();
    }

    void TearDown() override
    {
        if (dspop_form().isLoaded())
            dspop_form().unload();
        ProgramFixture::TearDown();
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

TEST_F(ProgramComposition, TheFileCommandsSettleThePersonEditorsUnregisteredInputFirst)
{
    buildFamily();
    drawing::Refresh_TabDisp();
    model::Tables& t = model::tables();
    int woman = 1;
    while (woman <= model::LastPersonSlot && (t.per_buf[woman].InUse != model::SlotUsed || t.per_buf[woman].Sex != 1))
        ++woman;
    ASSERT_LE(woman, model::LastPersonSlot);
    model::runState().Cur_PerIdx = static_cast<int16_t>(woman);
    main_form().scritem[2].choose(); // View > 入力画面
    EntryForm& editor = entry_form();
    ASSERT_TRUE(editor.isLoaded());
    ASSERT_TRUE(editor.Option1[1].value()) << "a woman is shown";
    t.Data_Changed = 0;
    QTest::keyClicks(editor.Text1[7].widget(), "Chiyoda");

    // Cancel stops File > New, Open and Exit: the family and the edit stay.
    for (int item : {0, 1, 16}) {
        answers.answerNext(platform::vbCancel);
        main_form().fileitem[item].choose();
        EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{entry::UnregisteredInputQuestion})) << item;
        answers.clearRecords();
        ASSERT_TRUE(main_form().isLoaded() && editor.isLoaded()) << item;
        EXPECT_EQ(editor.Text1[7].text(), "Chiyoda") << item;
        EXPECT_EQ(t.PerCount, 3) << item;
    }
    EXPECT_FALSE(answers.programEnded());

    // No drops the edit and New goes on: the blank card offers a man.
    answers.answerNext(platform::vbNo);
    main_form().fileitem[0].choose();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{entry::UnregisteredInputQuestion}));
    EXPECT_EQ(t.PerCount, 0);
    ASSERT_TRUE(editor.isLoaded());
    EXPECT_TRUE(editor.Text1[7].text().empty());
    EXPECT_TRUE(editor.Option1[0].value());
    EXPECT_FALSE(editor.Option1[1].value());
}

} // namespace
