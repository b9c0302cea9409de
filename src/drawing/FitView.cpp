#include "drawing/FitView.h"

#include "drawing/ChartViews.h"
#include "drawing/draw_state.h"
#include "layout/Calc_TreeWidth.h"
#include "layout/ChartMetrics.h"
#include "layout/ChartView.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace drawing {

namespace {

constexpr double FullZoomScale = 15.0;                // 100 %
constexpr double MinZoomScale = 25.0 / 100 * 15;      // 25 %
constexpr double MaxZoomScale = 500.0 / 100 * 15;     // 500 %
// Twips of the window's height kept free below the chart.
constexpr double FreeHeight = 100;

// The chart's extent, margins included, measured with its top row at y = top (the
// caption space above it is part of the extent).
struct ChartExtent {
    double X = 0;
    double Y = 0;
    double top = 0;
};

double chartTop()
{
    return layout::chart().label_dy * 1.4;
}

bool allTreesTabSelected()
{
    const layout::ChartState& c = layout::chart();
    return c.sel_tab - c.tree_cnt == 2;
}

void useScale(double scale)
{
    layout::chart().Zoom_Scale = scale;
    layout::setMetricsForWriteState();
    layout::Unload_ChartCtl();
    layout::Calc_TreeWidth();
}

// --- Fullscreen_Disp's steps ---

ChartExtent measureSelectedTree()
{
    const layout::ChartState& c = layout::chart();
    drawTreePass(c.sel_tree, 0, chartTop(), MeasuringPass);
    return {drawState().Chart_MaxX + 3 * c.margin_x, drawState().Chart_MaxY + 3 * c.margin_y, chartTop()};
}

ChartExtent measureAllTrees()
{
    const layout::ChartState& c = layout::chart();
    arrangeTreeRows();
    ChartExtent extent;
    extent.top = chartTop() + c.margin_y;
    for (const TreeExtent& tree : measureArrangedTrees(extent.top)) {
        extent.X += tree.right;
        extent.Y = std::max(extent.Y, tree.bottom);
    }
    extent.X += (c.tree_cnt + 2) * c.margin_x;
    extent.Y += 4 * c.margin_y;
    return extent;
}

struct Origin {
    double x = 0;
    double y = 0;
};

// Where the extent of the chart at the zoom applied goes: centred along an axis where
// it leaves room; where it does not, at the left margin and the top, so that its
// top-left corner shows and the rest scrolls.
Origin fittedOrigin(double W, double H, const ChartExtent& shown)
{
    Origin o;
    o.x = std::max((W - shown.X) / 2, layout::chart().margin_x);
    o.y = std::max((H - FreeHeight - shown.Y) / 2, 0.0);
    return o;
}

} // namespace

FitZoom fitZoomScale(double W, double H, double X, double Y)
{
    const double a = std::floor(W / X * 15);
    const double b = std::floor((H - FreeHeight) / Y * 15);
    FitZoom fit;
    fit.widthLimited = a < b;
    fit.scale = fit.widthLimited ? a : b;
    if (fit.scale < FullZoomScale)
        fit.scale -= 1.0;
    fit.scale = std::clamp(fit.scale, MinZoomScale, MaxZoomScale);
    return fit;
}

void Fullscreen_Disp()
{
    // The window's own resize while the view begins is fitted by the pass running.
    static bool fitting = false;
    if (fitting)
        return;
    fitting = true;
    struct Done {
        ~Done() { fitting = false; }
    } done;

    layout::ChartView& view = layout::chartView();
    view.beginFullScreen();
    // The grid refers to the person copies of the rebuild's transforms; without them
    // the persons of a second marriage would be drawn from free table slots.
    layout::TemporaryTransforms transforms;
    const bool allTrees = allTreesTabSelected();
    useScale(FullZoomScale);
    const ChartExtent full = allTrees ? measureAllTrees() : measureSelectedTree();

    const double W = view.windowWidth();
    const double H = view.windowHeight();
    const FitZoom fit = fitZoomScale(W, H, full.X, full.Y);
    useScale(fit.scale);
    // Measured again at the zoom applied: the smallest zoom may leave it larger than
    // the window.
    const ChartExtent shown = allTrees ? measureAllTrees() : measureSelectedTree();
    const Origin origin = fittedOrigin(W, H, shown);
    view.layFullScreenViewport(origin.x + shown.X, origin.y + shown.Y);
    sizeCanvasToChart(origin.x + shown.X, origin.y + shown.Y);
    layout::Unload_ChartCtl();
    if (allTrees)
        drawArrangedTrees(origin.x, origin.y + shown.top, TreeSpacing::Even);
    else
        drawTreePass(layout::chart().sel_tree, origin.x, origin.y + shown.top, DrawingPass);
    transforms.restore();
}

} // namespace drawing
