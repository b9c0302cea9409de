// The chart viewport of the main window: resizing, scrolling, the way back from
// the full-screen view, and the family-tree tabs.

#include "ChartFixture.h"

#include "drawing/FitView.h"
#include "layout/ChartMetrics.h"
#include "document/Snapshots.h"
#include "model/run_state.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <string>

namespace mainwindow_test {
namespace {

class WindowLayoutTest : public ChartTest {
protected:
    // Two unconnected families drawn, and the all-groups tab "全グループ表示" chosen.
    void showTwoFamiliesOnTheAllGroupsTab()
    {
        start();
        buildFamily("山田");
        buildFamily("鈴木");
        drawing::Refresh_TabDisp();
        ASSERT_EQ(layout::chart().tree_cnt, 2);
        window().TabStrip1.tabs().item(4).setSelected(true);
    }
};

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

// The size at start is the smallest the user may make the window: the window manager
// is told, so a drag stops there instead of springing back afterwards.
TEST_F(WindowLayoutTest, TheSizeAtStartIsTheSmallestSizeHintOfTheWindow)
{
    start();
    MainForm& w = window();
    QApplication::processEvents();
    QWidget* frame = w.Picture1.widget()->window();
    const QSize smallest = frame->minimumSize();
    EXPECT_GT(smallest.width(), 0);
    EXPECT_EQ(smallest, frame->size()) << "the window opens at its smallest size";
    const Layout before = layoutOf(w);

    // The user's drag, as the window manager carries it out.
    frame->resize(smallest.width() - 100, smallest.height() - 60);
    QApplication::processEvents();
    EXPECT_EQ(frame->size(), smallest);
    EXPECT_DOUBLE_EQ(w.width(), w.Min_Width);
    EXPECT_DOUBLE_EQ(w.height(), w.Min_Height);
    // A smaller size set by code becomes the smallest one too.
    w.setWidth(w.Min_Width - 2000);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.width(), w.Min_Width);
    const Layout after = layoutOf(w);
    EXPECT_DOUBLE_EQ(after.frameWidth, before.frameWidth);
    EXPECT_DOUBLE_EQ(after.frameHeight, before.frameHeight);
    EXPECT_DOUBLE_EQ(after.scrollTop, before.scrollTop);
    EXPECT_DOUBLE_EQ(after.vscrollLeft, before.vscrollLeft);
}

// A line of generations: each son marries and has a son; returns the last son.
int generations(int count)
{
    int son = model::set_per_buf(-1, "一代", "山田", 0, "");
    for (int g = 1; g < count; ++g) {
        const int wife = model::set_per_buf(-1, "妻" + std::to_string(g), "山田", 1, "");
        const int kou = model::set_kou_buf(-1, "通常", 0, 0, son, wife, g == 1 ? 1 : 0, "", 0);
        model::kodo_data child;
        child.KouIdx = static_cast<int16_t>(kou);
        child.KodoIdx = -1;
        child.kou_kodo = static_cast<int16_t>(model::set_per_buf(-1, std::to_string(g + 1) + "代", "山田", 0, ""));
        EXPECT_GE(model::Add_Kodo(child), 0);
        son = child.kou_kodo;
    }
    return son;
}

// The bottom of the lowest person box on the canvas.
double lowestBoxBottom(MainForm& w)
{
    double bottom = 0;
    for (int index : w.DPic.indexes()) {
        if (index >= 2)
            bottom = std::max(bottom, w.DPic[index].top() + w.DPic[index].height());
    }
    return bottom;
}

TEST_F(WindowLayoutTest, AfterAResizeTheCanvasAndTheScrollRangeReachTheWholeChart)
{
    start();
    MainForm& w = window();
    generations(6);
    w.move(w.left(), w.top(), w.width() + 1500, w.height() + 3000);
    QApplication::processEvents();
    drawing::Refresh_TabDisp();
    ASSERT_FALSE(w.VScroll1.isVisible()) << "the chart fits the enlarged window";

    w.move(w.left(), w.top(), w.Min_Width, w.Min_Height);
    QApplication::processEvents();
    const double lowest = lowestBoxBottom(w);
    ASSERT_GT(lowest, w.Picture2.height()) << "the shrunk viewport no longer shows the whole chart";
    EXPECT_GE(w.Picture1.height(), lowest);
    EXPECT_TRUE(w.VScroll1.isVisible());
    w.VScroll1.setValue(w.VScroll1.max());
    EXPECT_GE(-w.Picture1.top() + w.Picture2.height(), lowest) << "scrolled to the end, the lowest box shows";

    // Grown again: the chart fits, the bar goes and the canvas is back at the top.
    w.move(w.left(), w.top(), w.width() + 1500, w.height() + 3000);
    QApplication::processEvents();
    EXPECT_FALSE(w.VScroll1.isVisible());
    EXPECT_DOUBLE_EQ(w.Picture1.top(), 0);
    EXPECT_DOUBLE_EQ(w.Picture1.height(), w.Picture2.height());
}

// The side buttons move with the vertical scroll bar, stay right of it, and give way
// to the full-screen view.
TEST_F(WindowLayoutTest, SideButtonsStayRightOfTheScrollBarAndLeaveTheFullScreenViewAlone)
{
    showFamily();
    MainForm& w = window();
    QApplication::processEvents();
    const double undoLeft = w.CmdUndo.left();
    const double command1Left = w.Command1.left();
    const double scrollLeft = w.VScroll1.left();
    w.move(w.left(), w.top(), w.width() + 1500, w.height() + 900);
    QApplication::processEvents();
    const double dW = w.VScroll1.left() - scrollLeft;
    ASSERT_GT(dW, 0);
    EXPECT_DOUBLE_EQ(w.CmdUndo.left() - undoLeft, dW);
    EXPECT_DOUBLE_EQ(w.Command1.left() - command1Left, dW);
    EXPECT_GE(w.cmdEzCtrl.left(), w.VScroll1.left() + w.VScroll1.width());
    EXPECT_GE(w.cmdEzCtrl.left(), w.Frame2.left() + w.Frame2.width());

    w.Command2[4].click();
    ASSERT_EQ(w.Fullscreen_Flag, 1);
    EXPECT_FALSE(w.CmdUndo.isVisible());
    EXPECT_FALSE(w.cmdEzCtrl.isVisible());
    clickAt(5, 5);
    EXPECT_TRUE(w.CmdUndo.isVisible());
    EXPECT_TRUE(w.Command1.isVisible());
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
    showTwoFamiliesOnTheAllGroupsTab();
    MainForm& w = window();
    EXPECT_EQ(layout::chart().sel_tab, 4);
    // Both fathers are drawn, side by side.
    EXPECT_GE(boxOf(1), 2);
    EXPECT_GE(boxOf(4), 2);

    w.TabStrip1.tabs().item(2).setSelected(true);
    EXPECT_NE(boxOf(1) >= 2, boxOf(4) >= 2) << "the second tree alone";
}

// Renaming in place, the quick name input and the zoom redraw the tab that is shown:
// on "全グループ表示" that tab stays selected and every tree is drawn again.
TEST_F(WindowLayoutTest, EditsOnTheAllGroupsTabKeepThatTabAndRedrawEveryTree)
{
    showTwoFamiliesOnTheAllGroupsTab();
    MainForm& w = window();
    auto expectAllGroupsShown = [&](const char* after) {
        EXPECT_EQ(w.TabStrip1.selectedIndex(), 4) << after;
        EXPECT_EQ(layout::chart().sel_tab, 4) << after;
        EXPECT_GE(boxOf(Son), 2) << after;
        EXPECT_GE(boxOf(Son + 3), 2) << after;
    };

    clickBoxOf(Son);
    QTest::keyClick(w.Picture1.widget(), Qt::Key_F2);
    ASSERT_TRUE(w.Text2[1].isVisible());
    w.Text2[1].setText("次郎");
    w.Text2[1].setFocus();
    QTest::keyClick(w.Text2[1].widget(), Qt::Key_Return);
    EXPECT_EQ(tables().per_buf[Son].Name, "次郎");
    expectAllGroupsShown("renaming in place");

    windows.quickNameConfirms = true;
    windows.quickNameAnswer.familyName = "田中";
    windows.quickNameAnswer.givenName = "三郎";
    w.DPic.onMouseDown(boxOf(Son + 3), forms::vbRightButton, 0, 10, 10);
    EXPECT_EQ(tables().per_buf[Son + 3].Name, "三郎");
    expectAllGroupsShown("the quick name input");

    w.Text1.setText("150");
    QTest::keyClick(w.Text1.widget(), Qt::Key_Return);
    expectAllGroupsShown("the zoom");
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

// ---------------------------------------------------------------------------
// The wheel, the full-screen view of a large chart, the view after opening

// A married son of marriage parents; returns the son's marriage.
int marriedSon(int parents, const std::string& name, int startMark)
{
    model::kodo_data child;
    child.KouIdx = static_cast<int16_t>(parents);
    child.KodoIdx = -1;
    child.kou_kodo = static_cast<int16_t>(model::set_per_buf(-1, name, "山田", 0, ""));
    EXPECT_GE(model::Add_Kodo(child), 0);
    const int wife = model::set_per_buf(-1, name + "妻", "山田", 1, "");
    return model::set_kou_buf(-1, "通常", 0, 0, child.kou_kodo, wife, startMark, "", 0);
}

// A couple with `sons` married sons, each with four married sons: a generation of
// 4 x sons couples side by side. The chart starts from the last grandson's marriage
// when startsAtLastGrandson (it then lies at the right end), else from the top
// couple. Returns the marriage the chart starts from.
int wideFamily(int sons, bool startsAtLastGrandson = false)
{
    const int father = model::set_per_buf(-1, "父", "山田", 0, "");
    const int mother = model::set_per_buf(-1, "母", "山田", 1, "");
    const int top = model::set_kou_buf(-1, "通常", 0, 0, father, mother, startsAtLastGrandson ? 0 : 1, "", 0);
    int start = top;
    for (int i = 0; i < sons; ++i) {
        const int son = marriedSon(top, "子" + std::to_string(i), 0);
        for (int g = 0; g < 4; ++g) {
            const bool last = startsAtLastGrandson && i == sons - 1 && g == 3;
            const int kou = marriedSon(son, "孫" + std::to_string(i) + "_" + std::to_string(g), last ? 1 : 0);
            if (last)
                start = kou;
        }
    }
    return start;
}

// A wheel turn of notches (positive: towards the user) over the middle of the viewport.
void turnWheel(MainForm& w, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* canvas = w.Picture1.widget();
    QWidget* viewport = w.Picture2.widget();
    const QPointF local = canvas->mapFrom(viewport, QPoint(viewport->width() / 2, viewport->height() / 2));
    QWheelEvent event(local, canvas->mapToGlobal(local), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &event);
}

// The couple mark of the marriage on the canvas, -1 when it is not drawn.
int markOfMarriage(MainForm& w, int kou)
{
    for (int index : w.Label11.indexes()) {
        if (index >= 2 && drawing::drawState().Label11_Kou[static_cast<size_t>(index)] == kou)
            return index;
    }
    return -1;
}

// True when the element lies wholly in the part of the canvas the viewport shows.
bool inSight(MainForm& w, const forms::BoxElement& e)
{
    const double x = -w.Picture1.left();
    const double y = -w.Picture1.top();
    return e.left() >= x && e.left() + e.width() <= x + w.Picture2.width() && e.top() >= y
           && e.top() + e.height() <= y + w.Picture2.height();
}

TEST_F(WindowLayoutTest, TheWheelScrollsThreeRowsDownAndShiftWheelAcross)
{
    start();
    MainForm& w = window();
    wideFamily(3);
    drawing::Refresh_TabDisp();
    w.Text1.setText("300");
    QTest::keyClick(w.Text1.widget(), Qt::Key_Return);
    ASSERT_TRUE(w.VScroll1.isVisible());
    ASSERT_TRUE(w.HScroll1.isVisible());
    const layout::ChartState& c = layout::chart();
    const int step = static_cast<int>(3 * c.gen_step / c.Scroll_ScaleY);
    ASSERT_GT(step, 100) << "a notch moves more than an arrow click";

    turnWheel(w, 1);
    EXPECT_EQ(w.VScroll1.value(), std::min(step, w.VScroll1.max()));
    EXPECT_DOUBLE_EQ(w.Picture1.top(), -c.Scroll_ScaleY * w.VScroll1.value());
    EXPECT_EQ(w.HScroll1.value(), 0);
    turnWheel(w, -1);
    EXPECT_EQ(w.VScroll1.value(), 0);

    turnWheel(w, 2, Qt::ShiftModifier);
    EXPECT_EQ(w.HScroll1.value(), std::min(2 * static_cast<int>(3 * c.gen_step / c.Scroll_ScaleX), w.HScroll1.max()));
    EXPECT_DOUBLE_EQ(w.Picture1.left(), -c.Scroll_ScaleX * w.HScroll1.value());
    EXPECT_EQ(w.VScroll1.value(), 0);
    turnWheel(w, -100, Qt::ShiftModifier);
    EXPECT_EQ(w.HScroll1.value(), 0) << "the wheel stops at the chart's edge";
}

// A chart too wide even at the smallest zoom is shown full-screen from its top-left
// corner and scrolls with the arrow keys and the wheel.
TEST_F(WindowLayoutTest, AFullScreenChartTooLargeAtTheSmallestZoomScrollsFromItsTopLeft)
{
    start();
    MainForm& w = window();
    wideFamily(10);
    drawing::Refresh_TabDisp();
    const double barTop = w.HScroll1.top();
    const double barWidth = w.HScroll1.width();
    ASSERT_TRUE(w.HScroll1.isVisible());
    const int scrolledTo = w.HScroll1.max() / 2;
    w.HScroll1.setValue(scrolledTo);
    w.Command2[4].click();
    QApplication::processEvents();
    ASSERT_EQ(w.Fullscreen_Flag, 1);
    ASSERT_DOUBLE_EQ(layout::chart().Zoom_Scale, 3.75) << "the chart is too wide for the screen";

    double left = 1e9;
    double top = 1e9;
    for (int index : w.DPic.indexes()) {
        if (index >= 2) {
            left = std::min(left, w.DPic[index].left());
            top = std::min(top, w.DPic[index].top());
        }
    }
    EXPECT_GE(left, 0);
    EXPECT_LT(left, w.Picture2.width() / 20) << "the chart starts at the left margin";
    EXPECT_GE(top, 0);
    ASSERT_TRUE(w.HScroll1.isVisible());
    EXPECT_DOUBLE_EQ(w.HScroll1.top() + w.HScroll1.height(), w.scaleHeight()) << "the bar lies at the screen's edge";
    EXPECT_GE(w.Picture1.width(), w.DPic[w.DPic.indexes().back()].left());
    EXPECT_DOUBLE_EQ(w.Picture1.left(), 0);

    QTest::keyClick(w.Picture1.widget(), Qt::Key_Right);
    const int afterKey = w.HScroll1.value();
    EXPECT_GT(afterKey, 0);
    EXPECT_DOUBLE_EQ(w.Picture1.left(), -layout::chart().Scroll_ScaleX * afterKey);
    turnWheel(w, 1, Qt::ShiftModifier);
    EXPECT_GT(w.HScroll1.value(), afterKey);
    QTest::keyClick(w.Picture1.widget(), Qt::Key_Left);
    QTest::keyClick(w.Picture1.widget(), Qt::Key_Left);
    EXPECT_EQ(w.HScroll1.value(), 0);
    EXPECT_EQ(w.Fullscreen_Flag, 1) << "the keys leave the view on";

    clickAt(-w.Picture1.left() + 5, 5);
    EXPECT_EQ(w.Fullscreen_Flag, 0);
    EXPECT_TRUE(w.HScroll1.isVisible());
    EXPECT_DOUBLE_EQ(w.HScroll1.top(), barTop) << "the bar is back under the viewport";
    EXPECT_DOUBLE_EQ(w.HScroll1.width(), barWidth);
    EXPECT_EQ(w.HScroll1.value(), scrolledTo) << "the chart is scrolled as it was";
    EXPECT_DOUBLE_EQ(w.Picture1.left(), -layout::chart().Scroll_ScaleX * scrolledTo);
}

// A family whose chart starts far right opens with its start couple in sight, and
// choosing its tab again brings it back after the user scrolled away.
TEST_F(WindowLayoutTest, OpeningAFamilyAndChoosingATabShowTheStartMarriage)
{
    model::InitAllSetting();
    wideFamily(8, true);
    const std::string path = platform::joinPath(home.path(), "wide.kez");
    ASSERT_TRUE(model::save_file(path));
    model::InitAllSetting();

    this->start();
    MainForm& w = window();
    dialogs.answerNext(forms::DialogAnswer::file(path));
    w.fileitem[1].choose();
    const int start = layout::chart().start_kou;
    ASSERT_EQ(model::tables().per_buf[static_cast<size_t>(model::tables().kou_buf[static_cast<size_t>(start)].kou_titi)].Name, "孫7_3");
    const int mark = markOfMarriage(w, start);
    ASSERT_GE(mark, 2);
    ASSERT_TRUE(w.HScroll1.isVisible());
    ASSERT_GT(w.Label11[mark].left(), w.Picture2.width()) << "the start couple lies beyond the first screen";
    EXPECT_TRUE(inSight(w, w.Label11[mark]));

    w.HScroll1.setValue(0);
    ASSERT_FALSE(inSight(w, w.Label11[mark]));
    w.TabStrip1.tabs().item(2).setSelected(true);   // the new-entry tab
    w.TabStrip1.tabs().item(1).setSelected(true);
    const int again = markOfMarriage(w, start);
    ASSERT_GE(again, 2);
    EXPECT_TRUE(inSight(w, w.Label11[again]));
}

// The trees are numbered afresh by every rebuild; the tab follows the tree the user
// was on.
TEST_F(WindowLayoutTest, AfterAnEditAndItsUndoTheTabOfTheSameTreeStaysSelected)
{
    start();
    MainForm& w = window();
    const int yamada = buildFamily("山田");
    buildFamily("鈴木");
    buildFamily("佐藤");   // the chart starts here: its tree comes first
    const int wife = model::set_per_buf(-1, "良子", "山田", 1, "");
    const int sonsMarriage = model::set_kou_buf(-1, "通常", 0, 0, Son, wife, 0, "", 0);
    drawing::Refresh_TabDisp();
    ASSERT_EQ(layout::chart().tree_cnt, 3);
    w.TabStrip1.tabs().item(2).setSelected(true);
    ASSERT_GE(markOf(yamada), 2) << "the second tab shows the 山田 tree";
    ASSERT_GE(markOf(sonsMarriage), 2);

    // The 山田 tree loses its top marriage. What is left of it starts from the son's
    // marriage, the last one made, and is numbered after the 鈴木 tree.
    ASSERT_TRUE(model::Save_Undo());
    click(w.Label11[markOf(yamada)]);
    answers.answerNext(platform::vbOK);   // "削除してよろしいでしょうか？"
    QTest::keyClick(w.Picture1.widget(), Qt::Key_Delete);
    ASSERT_EQ(layout::chart().tree_cnt, 3);
    EXPECT_EQ(w.TabStrip1.selectedIndex(), 3);
    EXPECT_EQ(layout::chart().sel_tab, 3);
    EXPECT_GE(markOf(sonsMarriage), 2) << "the chart still shows the 山田 tree";
    EXPECT_GE(boxOf(Son), 2);

    // 戻 brings the marriage back, and the 山田 tree to the second tab.
    w.CmdUndo.click();
    EXPECT_EQ(w.TabStrip1.selectedIndex(), 2);
    EXPECT_GE(markOf(yamada), 2);
    EXPECT_GE(markOf(sonsMarriage), 2);

    // The all-groups tab stays the all-groups tab.
    const int allGroups = w.TabStrip1.tabs().count();
    w.TabStrip1.tabs().item(allGroups).setSelected(true);
    ASSERT_TRUE(model::Save_Undo());
    click(w.Label11[markOf(yamada)]);
    answers.answerNext(platform::vbOK);   // "削除してよろしいでしょうか？"
    QTest::keyClick(w.Picture1.widget(), Qt::Key_Delete);
    EXPECT_EQ(w.TabStrip1.selectedIndex(), allGroups);
    w.CmdUndo.click();
    EXPECT_EQ(w.TabStrip1.selectedIndex(), allGroups);
    EXPECT_GE(markOf(yamada), 2);
}

} // namespace
} // namespace mainwindow_test
