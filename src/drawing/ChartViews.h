#pragma once
// The chart on the main window's canvas. Every view draws a tree twice: a measuring
// pass (Draw_Enable 0) that only learns the extent, then, with the chart elements
// emptied, the drawing pass (Draw_Enable -1) at the chosen origin. The canvas
// (Picture1) is sized to the chart inside the viewport (Picture2); a scroll bar
// shows along an axis where the chart does not fit, and the scroll positions survive
// a redraw, clamped to the new range. The window is reached through
// layout::chartView().
//
// The views draw the laid-out grid, which refers to the person copies of the
// temporary pre-draw transforms: the caller of Setup_ChartView has them in place
// (the chart rebuild does); Redisp_Keizu applies and undoes them itself.

#include <cstdint>
#include <vector>

namespace drawing {

// Draws tree (a tab index - 1) on the canvas: measured, canvas and scroll bars
// sized, drawn centred across when it fits, else from the left margin.
void Setup_ChartView(int16_t tree);

// The viewport changed size: the canvas is sized again to the chart it shows (or to
// the viewport, where the chart fits) and the scroll bars reach the whole chart,
// keeping their positions where the new range allows. Nothing is redrawn.
void Refit_Canvas();

// The canvas takes a chart of the given extent, or the viewport's size where the
// chart fits, with scroll bars that reach all of it, scrolled to its top-left corner
// (the full-screen view, after it laid out its viewport).
void sizeCanvasToChart(double extentX, double extentY);

// The all-trees view: every tree side by side, the trees of lineage-group tabs
// moved by their generation offset and left out when the group is hidden.
void Redisp_Keizu();
// Redisp_Keizu's drawing for a caller that has the pre-draw transforms in place, the
// metrics set and the tree widths calculated (the chart rebuild): every shown tree
// measured, then drawn by Redisp_View.
void drawAllTreesView();
// Places the trees Redisp_Keizu measured on the canvas, or, while Draw_ToBuf is
// set, records them into fresh drawing lists without touching the canvas.
void Redisp_View();

// One pass of the drawing walk (MeasuringPass or DrawingPass) over the tree of tab
// index tab at (x, y). Chart_MaxX and Chart_MaxY start at the origin, so a tree
// without cells measures as empty rather than as the previous drawing.
void drawTreePass(int16_t tab, double x, double y, int16_t pass);

// Shared with the fit view. Fills Tree_FirstRow and Tree_Shown for trees
// 0..tree_cnt - 1: the top row of each tree, moved by its lineage group's offset,
// relative to the highest tree, never negative.
void arrangeTreeRows();
// The y at which tree t of the arrangement starts, for an arrangement whose top row
// starts at top.
double treeTop(int16_t tree, double top);

// Draws every shown tree side by side from firstX, each at treeTop(t, top), the
// next one margin_x right of the previous one's extent; two margins after the first
// one with WiderAfterFirst.
enum class TreeSpacing { Even, WiderAfterFirst };
void drawArrangedTrees(double firstX, double top, TreeSpacing spacing);

// The all-trees view for an output (the picture export, the print recording):
// arranges the trees and draws the ones the view shows side by side from the left
// margin, at the view's top, two margins after the first one. Every coordinate is a
// double, so a tall arrangement at a high zoom places its trees as the screen does.
void drawShownTreesForOutput();

// The measured extent of one tree (whole twips are kept by Redisp_Keizu).
struct TreeExtent {
    double right = 0;
    double bottom = 0;
};
// Measures every shown tree at x = 0 and at treeTop(t, top); a tree not shown
// measures 0.
std::vector<TreeExtent> measureArrangedTrees(double top);

} // namespace drawing
