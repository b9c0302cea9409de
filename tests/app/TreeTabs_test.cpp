// The tree tabs with the program's real windows: a family of four unconnected couples
// has a tab for each tree. A click on any tab through the real tab strip draws that
// tab's tree and leaves that tab marked, and whatever works on the shown tree
// afterwards (a redraw, the print, the group save, the chronology) takes that tree.

#include "drawing/ChartRebuild.h"
#include "drawing/draw_state.h"
#include "forms/Testing.h"
#include "layout/chart_state.h"
#include "mainwindow/MainForm.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "printing/PrePrint.h"
#include "reports/yeartb.h"

#include "ProgramFixture.h"
#include "support/qt/ScriptedDialogs.h"

#include <QTabBar>
#include <QTest>

#include <set>
#include <string>
#include <vector>

namespace {

// The families in the order of their marriages, so of their tabs.
const std::vector<std::string> FamilyNames = {"青木", "井上", "上田", "江口"};

constexpr int ManWomanItem = 1;   // 設定 > 男女別表示
constexpr int PrintItem = 11;     // ファイル > 印刷
constexpr int GroupSaveItem = 13; // ファイル > グループ保存

class TreeTabs : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        // No hints window at start-up.
        platform::writeWholeFile(home.file("\\tvora.ini"), "QAMODE,0\r\n");
        ProgramFixture::SetUp();
        main_form().show();
        for (const std::string& family : FamilyNames) {
            const int husband = model::set_per_buf(-1, "太郎", family, 0, "");
            const int wife = model::set_per_buf(-1, "花子", family, 1, "");
            // The first couple is the start of the chart.
            const int start = family == FamilyNames.front() ? 1 : 0;
            ASSERT_GT(model::set_kou_buf(-1, "通常", 0, 0, husband, wife, start, family + "家", 0), 0);
        }
        drawing::Refresh_TabDisp();
        ASSERT_EQ(tabCaptions(), (std::vector<std::string>{"青木家", "井上家", "上田家", "江口家", "",
                                                            "全グループ表示"}));
    }

    void TearDown() override
    {
        forms::clearOnShown();
        if (yeartb_form().isLoaded())
            yeartb_form().unload();
        ProgramFixture::TearDown();
    }

    static QTabBar& tabBar() { return *static_cast<QTabBar*>(main_form().TabStrip1.widget()); }

    static std::vector<std::string> tabCaptions()
    {
        std::vector<std::string> captions;
        for (int i = 0; i < tabBar().count(); ++i)
            captions.push_back(tabBar().tabText(i).toStdString());
        return captions;
    }

    // The user's click on tab (1-based) of the strip.
    static void clickTab(int tab)
    {
        QTest::mouseClick(&tabBar(), Qt::LeftButton, Qt::NoModifier, tabBar().tabRect(tab - 1).center());
    }

    static std::string familyOf(int person)
    {
        return model::tables().per_buf[static_cast<size_t>(person)].F_name;
    }

    // The family names of the persons boxed on the chart.
    static std::set<std::string> familiesOnChart()
    {
        std::set<std::string> families;
        for (int index : main_form().DPic.indexes()) {
            if (index >= 2)
                families.insert(familyOf(drawing::drawState().Label12_Per[static_cast<size_t>(index)]));
        }
        return families;
    }

    // The tab marked on the strip and its bar, and the tab the chart state names.
    static void expectMarked(int tab)
    {
        EXPECT_EQ(main_form().TabStrip1.selectedIndex(), tab);
        EXPECT_EQ(tabBar().currentIndex(), tab - 1);
        EXPECT_EQ(layout::chart().sel_tab, tab);
        EXPECT_EQ(layout::chart().sel_tree, tab - 1);
    }

    ScriptedDialogs dialogs;
};

TEST_F(TreeTabs, EveryTabClickedMarksTheTabWhoseTreeIsDrawn)
{
    // From the third tab on, then back to the second, which must answer the click.
    for (int tab : {3, 4, 2, 1, 4, 3}) {
        SCOPED_TRACE("tab " + std::to_string(tab));
        clickTab(tab);
        expectMarked(tab);
        EXPECT_EQ(familiesOnChart(), std::set<std::string>{FamilyNames[static_cast<size_t>(tab - 1)]});
    }

    // An edit that redraws keeps the tree the user was looking at.
    main_form().setitem[ManWomanItem].choose();
    ASSERT_EQ(model::settings().Dispmode_Manwoman, 1);
    expectMarked(3);
    EXPECT_EQ(familiesOnChart(), std::set<std::string>{"上田"});
    EXPECT_EQ(tabCaptions()[2], "上田家");
}

TEST_F(TreeTabs, TheCommandsOnTheShownTreeTakeTheTabClicked)
{
    clickTab(3);

    // The print records the tree shown.
    bool previewShown = false;
    std::set<std::string> printed;
    forms::onShown("PrePrint", [&](forms::Form& form) {
        previewShown = true;
        const drawing::DrawState& s = drawing::drawState();
        for (int i = 0; i < s.text_cnt; ++i) {
            if (s.text_buf[static_cast<size_t>(i)].PerIdx > 0)
                printed.insert(familyOf(s.text_buf[static_cast<size_t>(i)].PerIdx));
        }
        static_cast<printing::PrePrintForm&>(form).CMDEND.click();
    });
    main_form().fileitem[PrintItem].choose();
    EXPECT_TRUE(previewShown);
    EXPECT_EQ(printed, std::set<std::string>{"上田"});
    expectMarked(3);

    // The group save offers and writes the tree shown.
    const std::string path = home.file("\\group.kez");
    dialogs.answerNext(forms::DialogAnswer::file(path));
    answers.answerNext(platform::vbOK);
    main_form().fileitem[GroupSaveItem].choose();
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].fileName, "上田家.kez");
    const std::string written = platform::decodeCp932(platform::readWholeFile(model::kezFileName(path)));
    EXPECT_NE(written.find("上田"), std::string::npos);
    for (const char* other : {"青木", "井上", "江口"})
        EXPECT_EQ(written.find(other), std::string::npos) << other << " is not of the tree shown";

    // The chronology lists the tree shown under its title.
    main_form().Command2[app_test::toolbar::Chronology].click();
    ASSERT_TRUE(yeartb_form().isLoaded());
    const reports::ChronologyRows& table = yeartb_form().table;
    EXPECT_EQ(table.YTitle, "　上田家");
    ASSERT_EQ(table.YRowLast, 1);
    for (int row = 0; row <= table.YRowLast; ++row)
        EXPECT_EQ(familyOf(table.rows[static_cast<size_t>(row)].PerIdx), "上田");
}

} // namespace
