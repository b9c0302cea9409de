// File > "プリンタ設定" and "印刷": the printer check, and the chart of the
// selected tab recorded into the drawing lists that the print preview reads.

#include "ChartFixture.h"

#include "model/settings.h"

#include <algorithm>
#include <set>
#include <vector>

namespace mainwindow_test {
namespace {

constexpr const char* NoPrinterMessage = "プリンタとの通信が不正です。印刷出来ません。";
constexpr int PrinterSetupItem = 10;
constexpr int PrintItem = 11;

class PrintRecording : public ChartTest {
protected:
    static void print() { window().fileitem_Click(PrintItem); }
    static void selectTab(int index) { window().TabStrip1.tabs().item(index).setSelected(true); }

    // The persons whose name boxes the lists hold.
    static std::multiset<int> recordedPersons()
    {
        std::multiset<int> persons;
        const drawing::DrawState& s = drawing::drawState();
        for (int i = 0; i < s.text_cnt; ++i) {
            if (s.text_buf[static_cast<size_t>(i)].PerIdx != 0)
                persons.insert(s.text_buf[static_cast<size_t>(i)].PerIdx);
        }
        return persons;
    }
};

class WithoutPrinter : public PrintRecording, public ::testing::WithParamInterface<int> {};

TEST_P(WithoutPrinter, BothCommandsOnlySaySoAndRecordNothing)
{
    showFamily();
    forms::setPrinterList({});
    drawing::resetDrawingLists();
    answers.answerNext(platform::vbOK);
    window().fileitem_Click(GetParam());
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{NoPrinterMessage});
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(windows.count("showPrinterChoice"), 0);
    EXPECT_EQ(windows.count("showPrintPreview"), 0);
    EXPECT_EQ(drawing::drawState().text_cnt, 0);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, WithoutPrinter, ::testing::Values(PrinterSetupItem, PrintItem));

TEST_F(PrintRecording, PrinterSetupOpensThePrinterChoiceOnly)
{
    showFamily();
    window().fileitem[PrinterSetupItem].choose();
    EXPECT_EQ(windows.count("showPrinterChoice"), 1);
    EXPECT_EQ(windows.count("showPrintPreview"), 0);
    EXPECT_TRUE(answers.shown().empty());
}

TEST_F(PrintRecording, TreeTabIsRecordedForThePreviewAndTheScreenKeepsItsChart)
{
    showFamily();
    tables().Data_Changed = 0;
    const int boxes = window().DPic.count();
    window().fileitem[PrintItem].choose();

    ASSERT_EQ(windows.count("showPrintPreview"), 1);
    EXPECT_EQ(recordedPersons(), (std::multiset<int>{Father, Mother, Son}));
    EXPECT_GT(windows.previewLines, 0);
    EXPECT_GT(windows.previewBoxes, 0);
    EXPECT_EQ(windows.previewTexts, drawing::drawState().text_cnt);
    // Each list still ends with its all-zero record.
    const drawing::DrawState& s = drawing::drawState();
    EXPECT_EQ(s.text_buf.size(), static_cast<size_t>(s.text_cnt) + 1);
    EXPECT_EQ(s.text_buf.back().X, 0);

    EXPECT_EQ(s.Draw_ToBuf, 0);
    EXPECT_EQ(window().DPic.count(), boxes);
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Data_Changed, 0);
}

TEST_F(PrintRecording, SecondPrintRecordsTheChartAfresh)
{
    showFamily();
    print();
    const int lines = drawing::drawState().line_cnt;
    const int texts = drawing::drawState().text_cnt;
    print();
    EXPECT_EQ(drawing::drawState().line_cnt, lines);
    EXPECT_EQ(drawing::drawState().text_cnt, texts);
    EXPECT_EQ(windows.count("showPrintPreview"), 2);
}

TEST_F(PrintRecording, NewEntryTabOpensThePreviewWithEmptyLists)
{
    showFamily();
    print();
    ASSERT_GT(drawing::drawState().text_cnt, 0);
    const int newEntryTab = layout::chart().tree_cnt + 1;
    selectTab(newEntryTab);
    print();
    EXPECT_EQ(layout::chart().sel_tab, newEntryTab);
    EXPECT_EQ(layout::chart().sel_tree, newEntryTab - 1);
    EXPECT_EQ(windows.previewLines, 0);
    EXPECT_EQ(windows.previewBoxes, 0);
    EXPECT_EQ(windows.previewTexts, 0);
}

TEST_F(PrintRecording, AllTreesTabRecordsEveryShownTreeFromTheLeftMargin)
{
    start();
    buildFamily("山田");
    buildFamily("佐藤");
    drawing::Refresh_TabDisp();
    ASSERT_EQ(layout::chart().tree_cnt, 2);
    selectTab(layout::chart().tree_cnt + 2);
    print();

    EXPECT_EQ(recordedPersons(), (std::multiset<int>{1, 2, 3, 4, 5, 6}));
    double leftmost = 1e9;
    const drawing::DrawState& s = drawing::drawState();
    for (int i = 0; i < s.box_cnt; ++i)
        leftmost = std::min(leftmost, s.box_buf[static_cast<size_t>(i)].Left);
    EXPECT_GE(leftmost, layout::chart().margin_x);
    EXPECT_EQ(s.Draw_ToBuf, 0);
}

TEST_F(PrintRecording, AllTreesTabLeavesOutTheTreesTheLineageGroupsHide)
{
    start();
    buildFamily("山田");
    buildFamily("佐藤");
    drawing::Refresh_TabDisp();
    ASSERT_EQ(layout::chart().tree_cnt, 2);
    selectTab(2);
    print();
    const std::multiset<int> secondTree = recordedPersons();
    ASSERT_EQ(secondTree.size(), 3u);

    // Lineage-group tabs in use, the group of tree 0 hidden.
    selectTab(layout::chart().tree_cnt + 2);
    layout::ChartState& c = layout::chart();
    tables().tab_grp_f = 1;
    for (int16_t t = 0; t < 2; ++t) {
        c.tab_buf[static_cast<size_t>(t)].tree_no = t;
        c.tab_buf[static_cast<size_t>(t)].Visible = t == 0 ? 0 : -1;
        c.tab_buf[static_cast<size_t>(t)].Offset = 0;
    }
    print();
    tables().tab_grp_f = -1;

    EXPECT_EQ(recordedPersons(), secondTree);
    double leftmost = 1e9;
    const drawing::DrawState& s = drawing::drawState();
    for (int i = 0; i < s.text_cnt; ++i) {
        if (s.text_buf[static_cast<size_t>(i)].PerIdx != 0)
            leftmost = std::min(leftmost, s.text_buf[static_cast<size_t>(i)].X);
    }
    EXPECT_GE(leftmost, c.margin_x) << "the first shown tree starts at the left margin";
    EXPECT_LT(leftmost, 4 * c.margin_x + c.box_w) << "and not where tree 0 would have ended";
}

// A tree moved far down by its lineage group lies below the 16-bit range of
// twips: it is recorded where the all-trees view shows it and the preview opens.
TEST_F(PrintRecording, ATreeMovedFarDownIsRecordedWhereTheViewShowsIt)
{
    start();
    buildFamily("山田");
    buildFamily("佐藤");
    drawing::Refresh_TabDisp();
    selectTab(layout::chart().tree_cnt + 2);
    layout::ChartState& c = layout::chart();
    const double step = c.gen_gap_a + c.gen_gap_b + c.box_h / 2;
    tables().tab_grp_f = 1;
    for (int16_t t = 0; t < 2; ++t) {
        c.tab_buf[static_cast<size_t>(t)].tree_no = t;
        c.tab_buf[static_cast<size_t>(t)].Visible = -1;
        c.tab_buf[static_cast<size_t>(t)].Offset = t == 0 ? 0 : 32767 / step + 3;
    }
    print();
    tables().tab_grp_f = -1;

    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(windows.count("showPrintPreview"), 1);
    EXPECT_EQ(recordedPersons(), (std::multiset<int>{1, 2, 3, 4, 5, 6}));
    double lowest = 0;
    const drawing::DrawState& s = drawing::drawState();
    for (int i = 0; i < s.box_cnt; ++i)
        lowest = std::max(lowest, s.box_buf[static_cast<size_t>(i)].Top);
    EXPECT_GT(lowest, 32767.0);
}

// The chart names temporary copies of a person with two marriages; each copy
// is recorded as the screen shows it, face icon included.
TEST_F(PrintRecording, PersonOfTwoMarriagesIsRecordedAsTheScreenShowsHim)
{
    start();
    buildFamily();
    const int secondWife = model::set_per_buf(-1, "秋子", "田中", 1, "");
    ASSERT_GE(model::set_kou_buf(-1, "通常", 0, 0, Father, secondWife, 0, "", 0), 1);
    model::personal_data& father = tables().per_buf[Father];
    father.Picture_index = 1;
    father.Picture_mode = 0;
    model::settings().Dispmode_Icon = 1;
    drawing::Refresh_TabDisp();
    // Every tree side by side: the second marriage is on the chart wherever it stands.
    selectTab(layout::chart().tree_cnt + 2);
    const int screenBoxes = static_cast<int>(window().DPic.indexes().size()) - 2;
    const int screenIcons = static_cast<int>(window().Image1.indexes().size()) - 2;
    ASSERT_GE(screenBoxes, 5) << "the father stands in both marriages";
    ASSERT_EQ(screenIcons, 2) << "the father and his copy";
    print();
    model::settings().Dispmode_Icon = 0;

    int recordedIcons = 0;
    const drawing::DrawState& s = drawing::drawState();
    for (int i = 0; i < s.box_cnt; ++i)
        recordedIcons += s.box_buf[static_cast<size_t>(i)].IconF == -1 ? 1 : 0;
    EXPECT_EQ(static_cast<int>(recordedPersons().size()), screenBoxes);
    EXPECT_EQ(recordedIcons, screenIcons);
    EXPECT_EQ(personNames().size(), 4u) << "no copy is left in the tables";
}

TEST_F(PrintRecording, ToolbarPrintButtonPrints)
{
    showFamily();
    window().Command2[3].click();
    EXPECT_EQ(windows.count("showPrintPreview"), 1);
    EXPECT_EQ(recordedPersons().size(), 3u);
}

} // namespace
} // namespace mainwindow_test
