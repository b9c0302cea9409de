// The chart viewport of the main window: the layout that follows a resize, the
// scroll bars that move the canvas inside the viewport, the way back from the
// full-screen view (a click on the canvas) and the family-tree tabs.

#include "mainwindow/MainForm.h"

#include "drawing/ChartRebuild.h"
#include "drawing/ChartViews.h"
#include "drawing/FormsChartView.h"
#include "forms/Printers.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "mainwindow/OtherWindows.h"
#include "platform/Conversions.h"

#include <algorithm>

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
    if (windowState() != forms::vbMaximized) {
        // The setter's own resize runs this handler again with the sprung-back size.
        if (height() < Min_Height) {
            setHeight(Min_Height);
            return;
        }
        if (width() < Min_Width) {
            setWidth(Min_Width);
            return;
        }
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
    // The canvas holds the whole chart again and the scroll bars reach all of it;
    // the full-screen view keeps its canvas laid over the window.
    if ((dH != 0 || dW != 0) && Fullscreen_Flag != 1)
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
}
