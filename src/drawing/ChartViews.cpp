#include "drawing/ChartViews.h"

#include "drawing/Draw_Keizu.h"
#include "drawing/draw_state.h"
#include "forms/BusyPointer.h"
#include "layout/Calc_TreeWidth.h"
#include "layout/ChartMetrics.h"
#include "layout/ChartTrees.h"
#include "layout/ChartView.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"
#include "model/DispStat.h"
#include "model/tables.h"
#include "platform/Conversions.h"

#include <algorithm>
#include <cmath>

namespace drawing {

namespace {

using layout::ScrollAxis;

// The scroll bars count 0..32767; a longer span is scaled down to that.
constexpr double ScrollLimit = 32767;

// Where the chart's top row starts: the caption above the first generation's boxes
// needs label_dy x 1.4.
double chartTop()
{
    return layout::chart().label_dy * 1.4;
}

// The viewport's size, held in single precision by the window.
double viewportWidth()
{
    return static_cast<float>(layout::chartView().viewportWidth());
}

double viewportHeight()
{
    return static_cast<float>(layout::chartView().viewportHeight());
}

// How one axis of the canvas was sized.
struct AxisFit {
    bool fits = true; // the chart fits: no scroll bar
    int max = 0;      // the scroll bar's Max when it shows
};

// Sizes the scroll bar of one axis for a chart of the given extent; returns the
// canvas length along the axis through length.
AxisFit fitAxis(ScrollAxis axis, double extent, double viewport, double& length)
{
    layout::ChartView& view = layout::chartView();
    layout::ChartState& c = layout::chart();
    AxisFit fit;
    if (extent < viewport) {
        view.hideScrollBar(axis);
        length = viewport;
        return fit;
    }
    length = extent;
    const double span = extent - viewport;
    double& scale = axis == ScrollAxis::Horizontal ? c.Scroll_ScaleX : c.Scroll_ScaleY;
    fit.fits = false;
    if (span > ScrollLimit) {
        fit.max = static_cast<int>(ScrollLimit);
        scale = span / ScrollLimit;
    } else {
        fit.max = platform::CInt(span);
        scale = 1.0;
    }
    view.showScrollBar(axis, fit.max);
    return fit;
}

struct CanvasFit {
    AxisFit across;
    AxisFit down;
};

// The canvas takes the chart's extent, or the viewport's size where the chart fits.
CanvasFit sizeCanvas(double extentX, double extentY)
{
    layout::ChartState& c = layout::chart();
    c.Canvas_ExtX = extentX;
    c.Canvas_ExtY = extentY;
    CanvasFit fit;
    double width = 0;
    double height = 0;
    fit.across = fitAxis(ScrollAxis::Horizontal, extentX, viewportWidth(), width);
    fit.down = fitAxis(ScrollAxis::Vertical, extentY, viewportHeight(), height);
    layout::chartView().setCanvasSize(width, height);
    return fit;
}

// A remembered scroll position put back after a redraw, clamped to the new range;
// a hidden bar goes back to 0.
void restoreScrollValue(ScrollAxis axis, int kept, const AxisFit& fit)
{
    const int value = fit.fits ? 0 : std::min(kept, fit.max);
    layout::chartView().setScrollValue(axis, std::max(value, 0));
}

// The x of a chart of the given width: centred when it fits across (one margin
// further right when less than a margin would be left), else from the left margin.
double originX(double width, bool fitsAcross)
{
    const double margin = layout::chart().margin_x;
    if (!fitsAcross)
        return margin;
    double x = (viewportWidth() - width) / 2;
    if (x < margin)
        x += margin;
    return x;
}

// --- Redisp_Keizu's steps ---

void firstRowsOfTrees(int16_t trees, int16_t& highest)
{
    layout::ChartState& c = layout::chart();
    // A tree found in no row keeps the bottom row and so never becomes the highest.
    std::fill_n(c.Tree_FirstRow.begin(), trees, int16_t{layout::GridLastRow});
    std::vector<bool> found(static_cast<size_t>(trees), false);
    const int lastRow = std::min<int>(c.row_max, layout::GridLastRow);
    for (int r = 0; r <= lastRow; ++r) {
        const auto& cells = c.cell_buf[static_cast<size_t>(r)];
        const int last = std::min<int>(c.cell_last[static_cast<size_t>(r)], static_cast<int>(cells.size()) - 1);
        for (int k = 0; k <= last; ++k) {
            const int16_t t = cells[static_cast<size_t>(k)].tree_no;
            if (t >= 0 && t < trees && !found[static_cast<size_t>(t)]) {
                found[static_cast<size_t>(t)] = true;
                c.Tree_FirstRow[static_cast<size_t>(t)] = static_cast<int16_t>(r);
            }
        }
    }
    highest = layout::GridLastRow;
    for (int t = 0; t < trees; ++t)
        highest = std::min(highest, c.Tree_FirstRow[static_cast<size_t>(t)]);
}

// The lineage group's tab row of tree t, while lineage-group tabs are in use.
const layout::tab_rec* lineageRowOf(int16_t t)
{
    if (model::tables().tab_grp_f == -1)
        return nullptr;
    const auto& tabs = layout::chart().tab_buf;
    const auto row = std::find_if(tabs.begin(), tabs.end(), [t](const layout::tab_rec& r) { return r.tree_no == t; });
    return row != tabs.end() ? &*row : nullptr;
}

void applyLineageOffsets(int16_t trees, int16_t highest)
{
    layout::ChartState& c = layout::chart();
    int lowestRow = 0;
    for (int16_t t = 0; t < trees; ++t) {
        double offset = 0;
        c.Tree_Shown[static_cast<size_t>(t)] = 1;
        if (const layout::tab_rec* row = lineageRowOf(t)) {
            offset = row->Offset;
            c.Tree_Shown[static_cast<size_t>(t)] = row->Visible == -1 ? 1 : 0;
        }
        int16_t& first = c.Tree_FirstRow[static_cast<size_t>(t)];
        first = platform::CInt(first + offset - highest);
        lowestRow = std::min<int>(lowestRow, first);
    }
    // Trees moved above the top row bring every tree down with them.
    for (int16_t t = 0; t < trees && lowestRow < 0; ++t)
        c.Tree_FirstRow[static_cast<size_t>(t)] = static_cast<int16_t>(c.Tree_FirstRow[static_cast<size_t>(t)] - lowestRow);
}

// --- Redisp_View's steps ---

// Width and height of the arrangement measured by Redisp_Keizu.
struct Arrangement {
    double width = 0;
    double height = 0;
};

Arrangement measuredArrangement()
{
    const layout::ChartState& c = layout::chart();
    Arrangement a;
    for (int t = 0; t < c.tree_cnt; ++t) {
        a.width += c.Tree_ExtX[static_cast<size_t>(t)] + c.margin_x;
        a.height = std::max(a.height, c.Tree_ExtY[static_cast<size_t>(t)]);
    }
    return a;
}

} // namespace

void drawTreePass(int16_t tab, double x, double y, int16_t pass)
{
    DrawState& s = drawState();
    s.Draw_Enable = pass;
    s.Chart_MaxX = x;
    s.Chart_MaxY = y;
    Draw_Keizu(tab, x, y);
}

void Setup_ChartView(int16_t tree)
{
    layout::ChartView& view = layout::chartView();
    layout::ChartState& c = layout::chart();
    DrawState& s = drawState();

    view.enableScrollBars();
    const int keptH = view.scrollValue(ScrollAxis::Horizontal);
    const int keptV = view.scrollValue(ScrollAxis::Vertical);
    view.setScrollValue(ScrollAxis::Horizontal, 0);
    view.setScrollValue(ScrollAxis::Vertical, 0);
    view.setCanvasVisible(false);

    layout::Unload_ChartCtl();
    drawTreePass(tree, 0, chartTop(), MeasuringPass);
    s.Chart_MaxX += 3 * c.margin_x;
    s.Chart_MaxY += 3 * c.margin_y;
    const CanvasFit fit = sizeCanvas(s.Chart_MaxX, s.Chart_MaxY);

    const double x = originX(s.Chart_MaxX, fit.across.fits);
    const double y = chartTop() + c.margin_y;
    layout::Unload_ChartCtl();
    drawTreePass(tree, x, y, DrawingPass);
    c.View_OriginX = x;
    c.View_OriginY = y;
    c.shownTree = tree;

    restoreScrollValue(ScrollAxis::Vertical, keptV, fit.down);
    restoreScrollValue(ScrollAxis::Horizontal, keptH, fit.across);
    view.setCanvasVisible(true);
}

void Refit_Canvas()
{
    layout::ChartView& view = layout::chartView();
    const layout::ChartState& c = layout::chart();
    const int keptH = view.scrollValue(ScrollAxis::Horizontal);
    const int keptV = view.scrollValue(ScrollAxis::Vertical);
    const CanvasFit fit = sizeCanvas(c.Canvas_ExtX, c.Canvas_ExtY);
    restoreScrollValue(ScrollAxis::Vertical, keptV, fit.down);
    restoreScrollValue(ScrollAxis::Horizontal, keptH, fit.across);
    view.moveCanvasTo(-c.Scroll_ScaleX * view.scrollValue(ScrollAxis::Horizontal),
                      -c.Scroll_ScaleY * view.scrollValue(ScrollAxis::Vertical));
}

void sizeCanvasToChart(double extentX, double extentY)
{
    layout::ChartView& view = layout::chartView();
    view.enableScrollBars();
    sizeCanvas(extentX, extentY);
    view.setScrollValue(ScrollAxis::Horizontal, 0);
    view.setScrollValue(ScrollAxis::Vertical, 0);
    view.moveCanvasTo(0, 0);
}

void arrangeTreeRows()
{
    const int16_t trees = layout::chart().tree_cnt;
    int16_t highest = layout::GridLastRow;
    firstRowsOfTrees(trees, highest);
    applyLineageOffsets(trees, highest);
}

double treeTop(int16_t tree, double top)
{
    const layout::ChartState& c = layout::chart();
    return top + c.Tree_FirstRow[static_cast<size_t>(tree)] * (c.gen_gap_b + c.gen_gap_a + c.box_h / 2);
}

void drawArrangedTrees(double firstX, double top, TreeSpacing spacing)
{
    const layout::ChartState& c = layout::chart();
    double x = firstX;
    bool first = true;
    for (int16_t t = 0; t < c.tree_cnt; ++t) {
        if (c.Tree_Shown[static_cast<size_t>(t)] == 0)
            continue;
        drawTreePass(layout::tabOfTree(t), x, treeTop(t, top), DrawingPass);
        const bool wider = first && spacing == TreeSpacing::WiderAfterFirst;
        x = drawState().Chart_MaxX + (wider ? 2 : 1) * c.margin_x;
        first = false;
    }
}

void drawShownTreesForOutput()
{
    const layout::ChartState& c = layout::chart();
    arrangeTreeRows();
    drawArrangedTrees(c.margin_x, chartTop() + c.margin_y, TreeSpacing::WiderAfterFirst);
}

std::vector<TreeExtent> measureArrangedTrees(double top)
{
    const layout::ChartState& c = layout::chart();
    std::vector<TreeExtent> extents(static_cast<size_t>(std::max<int>(c.tree_cnt, 0)));
    for (int16_t t = 0; t < c.tree_cnt; ++t) {
        // A hidden tree is not drawn, so its measure would not be used.
        if (c.Tree_Shown[static_cast<size_t>(t)] == 0)
            continue;
        drawTreePass(layout::tabOfTree(t), 0, treeTop(t, top), MeasuringPass);
        extents[static_cast<size_t>(t)] = {drawState().Chart_MaxX, drawState().Chart_MaxY};
    }
    return extents;
}

void Redisp_Keizu()
{
    const forms::BusyPointer busy;
    model::Apply_DispModes();
    layout::TemporaryTransforms transforms;
    layout::setMetricsForWriteState();
    layout::Calc_TreeWidth();
    drawAllTreesView();
    transforms.restore();
    layout::reportExpansionShortfall(transforms.shortfall());
}

void drawAllTreesView()
{
    // A recording pass leaves the canvas as it is; only a redraw on screen hides it
    // while it is rebuilt.
    if (drawState().Draw_ToBuf == 0)
        layout::chartView().setCanvasVisible(false);
    layout::ChartState& c = layout::chart();
    arrangeTreeRows();
    const std::vector<TreeExtent> extents = measureArrangedTrees(chartTop() + c.margin_y);
    for (size_t t = 0; t < extents.size(); ++t) {
        c.Tree_ExtX[t] = std::floor(extents[t].right);
        c.Tree_ExtY[t] = std::floor(extents[t].bottom);
    }
    Redisp_View();
}

void Redisp_View()
{
    layout::ChartView& view = layout::chartView();
    layout::ChartState& c = layout::chart();
    DrawState& s = drawState();
    const Arrangement arrangement = measuredArrangement();
    const double width = arrangement.width + 2 * c.margin_x;
    const double height = arrangement.height + 2 * c.margin_y;
    s.Draw_Enable = DrawingPass;

    bool fitsAcross = width < viewportWidth();
    if (s.Draw_ToBuf != 0) {
        resetDrawingLists();
    } else {
        // The all-trees view always opens at its top left corner.
        view.setCanvasVisible(true);
        view.moveCanvasTo(0, 0);
        view.setScrollValue(ScrollAxis::Horizontal, 0);
        view.setScrollValue(ScrollAxis::Vertical, 0);
        layout::Unload_ChartCtl();
        fitsAcross = sizeCanvas(width, height).across.fits;
        c.shownTree = -1;
    }
    const double firstX = fitsAcross ? (viewportWidth() - arrangement.width) / 2 : c.margin_x;
    // The second tree keeps one margin more from the first when the trees do not fit
    // across.
    drawArrangedTrees(firstX, chartTop() + c.margin_y, fitsAcross ? TreeSpacing::Even : TreeSpacing::WiderAfterFirst);
}

} // namespace drawing
