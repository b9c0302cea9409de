// The chart viewport of the main window: resizing, scrolling, the way back from
// the full-screen view, and the family-tree tabs.

#include "ChartFixture.h"

#include "drawing/FitView.h"
#include "layout/ChartMetrics.h"
#include "model/run_state.h"

#include <QApplication>
#include <QTest>

namespace mainwindow_test {
namespace {

using WindowLayoutTest = ChartTest;

// The geometry the resize moves, read in one go.
struct Layout {
    double scrollTop, scrollWidth, vscrollLeft, vscrollHeight;
    double frameWidth, frameHeight, viewportWidth, viewportHeight, canvasWidth, canvasHeight, tabsWidth;
    double innerWidth, innerHeight;
};

Layout layoutOf(MainForm& w)
{
    return {w.HScroll1.top(),  w.HScroll1.width(), w.VScroll1.left(), w.VScroll1.height(),
            w.Frame2.width(),  w.Frame2.height(),  w.Picture2.width(), w.Picture2.height(),
            w.Picture1.width(), w.Picture1.height(), w.TabStrip1.width(), w.scaleWidth(),
            w.scaleHeight()};
}

// Every size and position the resize moves changed by exactly the inner size's change.
void expectFollowsInnerSize(const Layout& before, const Layout& after)
{
    const double dW = after.innerWidth - before.innerWidth;
    const double dH = after.innerHeight - before.innerHeight;
    EXPECT_DOUBLE_EQ(after.scrollTop - before.scrollTop, dH);
    EXPECT_DOUBLE_EQ(after.vscrollHeight - before.vscrollHeight, dH);
    EXPECT_DOUBLE_EQ(after.frameHeight - before.frameHeight, dH);
    EXPECT_DOUBLE_EQ(after.viewportHeight - before.viewportHeight, dH);
    EXPECT_DOUBLE_EQ(after.canvasHeight - before.canvasHeight, dH);
    EXPECT_DOUBLE_EQ(after.scrollWidth - before.scrollWidth, dW);
    EXPECT_DOUBLE_EQ(after.vscrollLeft - before.vscrollLeft, dW);
    EXPECT_DOUBLE_EQ(after.frameWidth - before.frameWidth, dW);
    EXPECT_DOUBLE_EQ(after.viewportWidth - before.viewportWidth, dW);
    EXPECT_DOUBLE_EQ(after.canvasWidth - before.canvasWidth, dW);
    EXPECT_DOUBLE_EQ(after.tabsWidth - before.tabsWidth, dW);
}

TEST_F(WindowLayoutTest, GrowingAndShrinkingTheWindowMovesTheViewportByTheInnerSizesChange)
{
    start();
    MainForm& w = window();
    QApplication::processEvents();
    const Layout designed = layoutOf(w);
    w.move(w.left(), w.top(), w.width() + 1500, w.height() + 900);
    QApplication::processEvents();
    const Layout grown = layoutOf(w);
    EXPECT_GT(grown.innerWidth, designed.innerWidth);
    EXPECT_GT(grown.innerHeight, designed.innerHeight);
    expectFollowsInnerSize(designed, grown);

    w.move(w.left(), w.top(), w.Min_Width, w.Min_Height);
    QApplication::processEvents();
    const Layout back = layoutOf(w);
    expectFollowsInnerSize(grown, back);
    EXPECT_DOUBLE_EQ(back.frameWidth, designed.frameWidth);
    EXPECT_DOUBLE_EQ(back.scrollTop, designed.scrollTop);
}

TEST_F(WindowLayoutTest, AWindowMadeSmallerThanAtStartSpringsBack)
{
    start();
    MainForm& w = window();
    QApplication::processEvents();
    const Layout before = layoutOf(w);
    w.setWidth(w.Min_Width - 2000);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.width(), w.Min_Width);
    w.setHeight(w.Min_Height - 1000);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.height(), w.Min_Height);
    const Layout after = layoutOf(w);
    EXPECT_DOUBLE_EQ(after.frameWidth, before.frameWidth);
    EXPECT_DOUBLE_EQ(after.frameHeight, before.frameHeight);
    EXPECT_DOUBLE_EQ(after.scrollTop, before.scrollTop);
    EXPECT_DOUBLE_EQ(after.vscrollLeft, before.vscrollLeft);
}

TEST_F(WindowLayoutTest, ACanvasLowerThanTheShrinkStaysAtZeroHeight)
{
    start();
    MainForm& w = window();
    QApplication::processEvents();
    const double frameHeight = w.Frame2.height();
    w.move(w.left(), w.top(), w.width() + 1500, w.height() + 3000);
    QApplication::processEvents();
    // The chart view sized the canvas to a small chart meanwhile.
    w.Picture1.setHeight(300);
    w.move(w.left(), w.top(), w.Min_Width, w.Min_Height);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.Picture1.height(), 0);
    EXPECT_DOUBLE_EQ(w.Frame2.height(), frameHeight) << "the rest of the layout is back as it was";
}

TEST_F(WindowLayoutTest, ScrollBarsMoveTheCanvasByTheirStep)
{
    start();
    MainForm& w = window();
    layout::ChartState& c = layout::chart();
    c.Scroll_ScaleX = 2.5;
    c.Scroll_ScaleY = 3;
    w.HScroll1.setMax(1000);
    w.VScroll1.setMax(1000);
    w.HScroll1.setValue(120);
    w.VScroll1.setValue(40);
    EXPECT_DOUBLE_EQ(w.Picture1.left(), -300);
    EXPECT_DOUBLE_EQ(w.Picture1.top(), -120);
    w.HScroll1.setValue(0);
    EXPECT_DOUBLE_EQ(w.Picture1.left(), 0);
    c.Scroll_ScaleX = 1;
    c.Scroll_ScaleY = 1;
}

// ---------------------------------------------------------------------------
// Full screen

TEST_F(WindowLayoutTest, ClickOnTheCanvasOutsideFullScreenDoesNothing)
{
    showFamily();
    MainForm& w = window();
    const int boxes = w.DPic.count();
    const double frameWidth = w.Frame2.width();
    clickAt(20, 20);
    EXPECT_EQ(w.Fullscreen_Flag, 0);
    EXPECT_EQ(w.DPic.count(), boxes);
    EXPECT_DOUBLE_EQ(w.Frame2.width(), frameWidth);
}

TEST_F(WindowLayoutTest, ClickOnTheCanvasLeavesFullScreenAndRestoresLayoutAndZoom)
{
    showFamily();
    MainForm& w = window();
    w.Text1.setText("150");
    QTest::keyClick(w.Text1.widget(), Qt::Key_Return);
    const double frameTop = w.Frame2.top();
    const double frameWidth = w.Frame2.width();
    const double viewportWidth = w.Picture2.width();

    drawing::Fullscreen_Disp();
    w.TabStrip1.setVisible(false);
    ASSERT_EQ(w.Fullscreen_Flag, 1);
    ASSERT_FALSE(w.filemenu.isVisible());
    clickAt(5, 5);   // the margin of the fitted chart: empty canvas

    EXPECT_EQ(w.Fullscreen_Flag, 0);
    for (forms::Menu* menu : {&w.filemenu, &w.scrmenu, &w.setmenu, &w.helpmenu})
        EXPECT_TRUE(menu->isVisible()) << menu->name();
    EXPECT_TRUE(w.TabStrip1.isVisible());
    EXPECT_DOUBLE_EQ(w.Frame2.top(), frameTop);
    EXPECT_DOUBLE_EQ(w.Frame2.width(), frameWidth);
    EXPECT_DOUBLE_EQ(w.Picture1.left(), 0);
    EXPECT_DOUBLE_EQ(w.Picture1.top(), 0);
    EXPECT_DOUBLE_EQ(w.Picture2.width(), viewportWidth);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Scale, 22.5) << "the zoom box's zoom is back";
    EXPECT_GE(boxOf(Son), 2) << "the chart is drawn again";
}

TEST_F(WindowLayoutTest, LeavingFullScreenKeepsTheZoomWithinItsLimits)
{
    showFamily();
    MainForm& w = window();
    drawing::Fullscreen_Disp();
    w.Text1.setText("abc");   // typed into the zoom box without Enter
    clickAt(5, 5);
    EXPECT_EQ(w.Fullscreen_Flag, 0);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Scale, 3.75);
    EXPECT_GT(w.DPic[boxOf(Son)].width(), 0);
}

// ---------------------------------------------------------------------------
// Tree tabs

TEST_F(WindowLayoutTest, NewEntryTabShowsAnEmptyCanvasThatTakesDrops)
{
    showFamily();
    MainForm& w = window();
    ASSERT_EQ(layout::chart().tree_cnt, 1);
    ASSERT_EQ(w.TabStrip1.tabs().count(), 3);
    windows.calls.clear();
    w.TabStrip1.tabs().item(2).setSelected(true);
    EXPECT_EQ(layout::chart().sel_tab, 2);
    EXPECT_EQ(layout::chart().sel_tree, 1);
    EXPECT_EQ(w.DPic.count(), 2) << "only the design-time boxes";
    EXPECT_EQ(w.Picture1.oleDropMode(), forms::vbOLEDropManual);
    EXPECT_EQ(windows.count("raiseRelationEditor"), 1);
}

TEST_F(WindowLayoutTest, AllGroupsTabDrawsEveryTree)
{
    start();
    buildFamily("山田");
    buildFamily("鈴木");
    drawing::Refresh_TabDisp();
    MainForm& w = window();
    ASSERT_EQ(layout::chart().tree_cnt, 2);
    w.TabStrip1.tabs().item(4).setSelected(true);
    EXPECT_EQ(layout::chart().sel_tab, 4);
    // Both fathers are drawn, side by side.
    EXPECT_GE(boxOf(1), 2);
    EXPECT_GE(boxOf(4), 2);

    w.TabStrip1.tabs().item(2).setSelected(true);
    EXPECT_NE(boxOf(1) >= 2, boxOf(4) >= 2) << "the second tree alone";
}

TEST_F(WindowLayoutTest, TabClickWhileASkipIsPendingOnlyClearsTheFlag)
{
    showFamily();
    MainForm& w = window();
    clickBoxOf(Son);
    const int boxes = w.DPic.count();
    w.Tab_ClickSkip = 1;
    w.TabStrip1.tabs().item(2).setSelected(true);
    EXPECT_EQ(w.Tab_ClickSkip, 0);
    EXPECT_EQ(model::runState().Sel_Person, Son);
    EXPECT_TRUE(w.lblFocus.isVisible());
    EXPECT_EQ(w.DPic.count(), boxes);
    EXPECT_EQ(layout::chart().sel_tab, 1);
}

TEST_F(WindowLayoutTest, TreeTabFollowsTheInstalledPrinters)
{
    showFamily();
    MainForm& w = window();
    w.TabStrip1.tabs().item(2).setSelected(true);
    forms::setPrinterList({});
    w.TabStrip1.tabs().item(1).setSelected(true);
    EXPECT_FALSE(w.Command2[3].isEnabled());
    EXPECT_FALSE(w.fileitem[11].isEnabled());
    EXPECT_TRUE(w.Command2[6].isEnabled());
    EXPECT_TRUE(w.setitem[10].isEnabled());
    EXPECT_GE(boxOf(Son), 2);

    w.TabStrip1.tabs().item(2).setSelected(true);
    forms::setPrinterList({"Test Printer"});
    w.TabStrip1.tabs().item(1).setSelected(true);
    EXPECT_TRUE(w.Command2[3].isEnabled());
    EXPECT_TRUE(w.fileitem[11].isEnabled());
}

} // namespace
} // namespace mainwindow_test
