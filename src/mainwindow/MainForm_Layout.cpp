// The chart viewport of the main window: the layout that follows a resize, the
// scroll bars that move the canvas inside the viewport, the way back from the
// full-screen view (a click on the canvas) and the family-tree tabs.

#include "mainwindow/MainForm.h"

#include "drawing/ChartRebuild.h"
#include "drawing/ChartViews.h"
#include "drawing/FitView.h"
#include "drawing/FormsChartView.h"
#include "drawing/draw_state.h"
#include "forms/Printers.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "mainwindow/OtherWindows.h"
#include "platform/Conversions.h"

#include <algorithm>
#include <optional>

namespace {

// The zoom the zoom box accepts, in percent.
constexpr double SmallestZoom = 25;
constexpr double LargestZoom = 500;

// A size grown (or shrunk) by the change of the window's inner size; never below 0,
// a negative size is no size at all.
double grown(double size, double change)
{
    return std::max(0.0, size + change);
}

} // namespace

// ---------------------------------------------------------------------------
// Resize

void MainForm::Form_Resize()
{
    if (windowState() == forms::vbMinimized)
        return;
    if (Fullscreen_Flag == 1) {
        // The desktop may give the full-screen window its size after the view was
        // fitted: the view is fitted to the size it has. The normal layout waits,
        // with the inner size it was made for, for the way back.
        drawing::Fullscreen_Disp();
        return;
    }

    const double dH = scaleHeight() - Prev_ScaleHeight;
    const double dW = scaleWidth() - Prev_ScaleWidth;
    if (dH != 0) {
        HScroll1.setTop(HScroll1.top() + dH);
        VScroll1.setHeight(grown(VScroll1.height(), dH));
        Frame2.setHeight(grown(Frame2.height(), dH));
        Picture2.setHeight(grown(Picture2.height(), dH));
    }
    if (dW != 0) {
        HScroll1.setWidth(grown(HScroll1.width(), dW));
        VScroll1.setLeft(VScroll1.left() + dW);
        Frame2.setWidth(grown(Frame2.width(), dW));
        Picture2.setWidth(grown(Picture2.width(), dW));
        TabStrip1.setWidth(grown(TabStrip1.width(), dW));
        // The side buttons keep their place right of the vertical scroll bar.
        for (forms::CommandButton* button : sideButtons())
            button->setLeft(button->left() + dW);
    }
    // The canvas holds the whole chart again and the scroll bars reach all of it.
    if (dH != 0 || dW != 0)
        drawing::Refit_Canvas();
    Prev_ScaleHeight = scaleHeight();
    Prev_ScaleWidth = scaleWidth();
}

// ---------------------------------------------------------------------------
// Scrolling: the canvas already holds the whole chart, so nothing is redrawn.

void MainForm::HScroll1_Change()
{
    m_chartView->scrollChanged(layout::ScrollAxis::Horizontal);
}

void MainForm::VScroll1_Change()
{
    m_chartView->scrollChanged(layout::ScrollAxis::Vertical);
}

namespace {

struct Area {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The scroll value that brings [start, start + length) of the canvas into a viewport
// of the given length: unchanged where it shows already, else centred.
int valueShowing(const forms::ScrollBar& bar, double scale, double start, double length, double viewport)
{
    const double shownFrom = bar.value() * scale;
    if (start >= shownFrom && start + length <= shownFrom + viewport)
        return bar.value();
    const double wanted = (start + length / 2 - viewport / 2) / (scale > 0 ? scale : 1.0);
    return static_cast<int>(std::clamp(wanted, 0.0, static_cast<double>(bar.max())));
}

} // namespace

void MainForm::scrollStartIntoView()
{
    const drawing::DrawState& s = drawing::drawState();
    std::optional<Area> target;
    if (const int box = selectedPersonBox(); box != -1)
        target = Area{DPic[box].left(), DPic[box].top(), DPic[box].width(), DPic[box].height()};
    // Elements 0 and 1 are the design-time templates.
    std::optional<Area> first;
    for (int index : Label11.indexes()) {
        const forms::CanvasLabel& mark = Label11[index];
        if (target || index < 2 || !mark.isVisible())
            continue;
        const Area area{mark.left(), mark.top(), mark.width(), mark.height()};
        if (static_cast<size_t>(index) < s.Label11_Kou.size() && s.Label11_Kou[static_cast<size_t>(index)] == layout::chart().start_kou)
            target = area;
        else if (!first || area.top < first->top || (area.top == first->top && area.left < first->left))
            first = area;
    }
    if (!target)
        target = first;
    if (!target)
        return;
    const layout::ChartState& c = layout::chart();
    if (HScroll1.isVisible())
        HScroll1.setValue(valueShowing(HScroll1, c.Scroll_ScaleX, target->left, target->width, Picture2.width()));
    if (VScroll1.isVisible())
        VScroll1.setValue(valueShowing(VScroll1, c.Scroll_ScaleY, target->top, target->height, Picture2.height()));
}

// ---------------------------------------------------------------------------
// Full screen

void MainForm::Picture1_Click()
{
    if (Fullscreen_Flag != 1)
        return;
    // Flag, menus, window, frame, viewport and canvas back as they were saved.
    m_chartView->endFullScreen();
    showChartSurroundings(true);
    layout::Unload_ChartCtl();
    // The fit zoom of the full-screen view goes; the zoom box's zoom comes back,
    // within the limits the box itself enforces on Enter: text typed there without
    // Enter may be no number at all, and a zoom of 0 would draw no chart.
    const double percent = std::clamp(platform::Val(Text1.text()), SmallestZoom, LargestZoom);
    layout::chart().Zoom_Scale = percent / 100 * 15;
    drawing::Refresh_TabDisp();
}

void MainForm::showChartSurroundings(bool visible)
{
    TabStrip1.setVisible(visible);
    for (forms::CommandButton* button : sideButtons()) {
        button->setVisible(visible);
        if (visible)
            button->zOrder(0);
    }
}

// ---------------------------------------------------------------------------
// Tree tabs

void MainForm::TabStrip1_Click()
{
    if (Tab_ClickSkip == 1) {
        Tab_ClickSkip = 0;
        return;
    }
    Clear_Selection();
    layout::ChartState& c = layout::chart();
    c.sel_tab = static_cast<int16_t>(TabStrip1.selectedIndex());
    c.sel_tree = static_cast<int16_t>(c.sel_tab - 1);

    if (c.sel_tab <= c.tree_cnt) {
        drawing::Build_Keizu(static_cast<int16_t>(c.sel_tab - 1));
        const bool printerInstalled = forms::Printers().count() > 0;
        Command2[3].setEnabled(printerInstalled);
        fileitem[11].setEnabled(printerInstalled);
        Picture1.setOleDragMode(forms::vbOLEDragManual);
        Command2[6].setEnabled(true);
        setitem[10].setEnabled(true);
    } else if (c.sel_tab == c.tree_cnt + 1) {
        // The new-entry tab: an empty canvas onto which persons are dropped from the
        // relationship editor's lists.
        layout::Unload_ChartCtl();
        Picture1.setOleDropMode(forms::vbOLEDropManual);
        mainwindow::otherWindows().raiseRelationEditor();
    } else if (c.sel_tab == c.tree_cnt + 2) {
        drawing::Redisp_Keizu();
        Picture1.setOleDragMode(forms::vbOLEDragManual);
    }
    scrollStartIntoView();
}
