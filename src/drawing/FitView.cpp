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

// The chart's extent at 100 %, margins included.
struct ChartExtent {
    double X = 0;
    double Y = 0;
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
    return {drawState().Chart_MaxX + 3 * c.margin_x, drawState().Chart_MaxY + 3 * c.margin_y};
}

ChartExtent measureAllTrees()
{
    const layout::ChartState& c = layout::chart();
    arrangeTreeRows();
    ChartExtent extent;
    for (const TreeExtent& tree : measureArrangedTrees(chartTop() + c.margin_y)) {
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

// Centred along the axis that did not decide the zoom; along the other one the chart
// starts at the margin (across) or below the caption space (down).
Origin fittedOrigin(const FitZoom& fit, double W, double H, const ChartExtent& extent)
{
    const layout::ChartState& c = layout::chart();
    const double top = chartTop() + c.margin_y + FreeHeight;
    Origin o;
    if (fit.widthLimited) {
        o.x = c.margin_x;
        o.y = (H - W * extent.Y / extent.X - FreeHeight) / 2;
        if (o.y < top)
            o.y += top;
    } else {
        o.y = top;
        o.x = (W - (H - FreeHeight) * extent.X / extent.Y) / 2;
        if (o.x < c.margin_x)
            o.x += c.margin_x;
    }
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
    layout::ChartView& view = layout::chartView();
    view.beginFullScreen();
    // The grid refers to the person copies of the rebuild's transforms; without them
    // the persons of a second marriage would be drawn from free table slots.
    layout::TemporaryTransforms transforms;
    useScale(FullZoomScale);
    const bool allTrees = allTreesTabSelected();
    const ChartExtent extent = allTrees ? measureAllTrees() : measureSelectedTree();

    const double W = view.windowWidth();
    const double H = view.windowHeight();
    const FitZoom fit = fitZoomScale(W, H, extent.X, extent.Y);
    useScale(fit.scale);
    const Origin origin = fittedOrigin(fit, W, H, extent);
    if (allTrees)
        drawArrangedTrees(origin.x, origin.y, TreeSpacing::Even);
    else
        drawTreePass(layout::chart().sel_tree, origin.x, origin.y, DrawingPass);
    transforms.restore();
}

} // namespace drawing
