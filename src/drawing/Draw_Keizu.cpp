#include "drawing/Draw_Keizu.h"

#include "drawing/ChartOutputs.h"
#include "drawing/Draw_CoupleCell.h"
#include "drawing/ElementPlacers.h"
#include "drawing/draw_state.h"
#include "layout/Calc_TreeWidth.h"
#include "layout/chart_state.h"
#include "model/settings.h"
#include "model/tables.h"

#include <algorithm>
#include <vector>

namespace drawing {

namespace {

layout::cell_rec& cellOf(int row, int col)
{
    return layout::chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

// The last column of a row that holds a cell (placement can widen a row beyond
// col_max; the walk follows the cells that are there).
int lastColumn(int row)
{
    const layout::ChartState& c = layout::chart();
    return std::min<int>(c.cell_last[static_cast<size_t>(row)],
                         static_cast<int>(c.cell_buf[static_cast<size_t>(row)].size()) - 1);
}

// --- Draw_Keizu's steps ---

// With lineage-group tabs the number given is a tab index; its row names the tree.
int16_t treeOfTab(int16_t tree)
{
    if (model::tables().tab_grp_f == -1)
        return tree;
    const auto& tabs = layout::chart().tab_buf;
    if (tree < 0 || static_cast<size_t>(tree) >= tabs.size())
        return tree;
    const int16_t mapped = tabs[static_cast<size_t>(tree)].tree_no;
    return mapped != -1 ? mapped : tree;
}

// The walk reads no cell past a row's last one, so the spare cells of a row (the grid
// keeps room for two hundred columns or more) are left alone: the all-trees view
// marks the grid once for every tree.
void markAllUndrawn()
{
    layout::ChartState& c = layout::chart();
    const int lastRow = std::min<int>(c.row_max, layout::GridLastRow);
    for (int r = 0; r <= lastRow; ++r) {
        auto& cells = c.cell_buf[static_cast<size_t>(r)];
        const int last = lastColumn(r);
        for (int k = 0; k <= last; ++k)
            cells[static_cast<size_t>(k)].done_f = -1;
    }
}

void seedExtent(double x, double y)
{
    DrawState& s = drawState();
    s.Draw_MaxX = x;
    s.Draw_MaxY = y;
    const ChartControls* controls = chartControls();
    s.Draw_MinX = controls ? controls->viewportWidth() : 0.0;
}

// Every start cell of the tree at (x, y): the main-marriage cells not reached from
// an earlier one; until a row gave one, any cell of the tree (a tree of relations only).
void drawStartCells(int16_t tree, double x, double y)
{
    const layout::ChartState& c = layout::chart();
    const int lastRow = std::min<int>(c.row_max, layout::GridLastRow);
    bool started = false;
    for (int r = 0; r <= lastRow; ++r) {
        if (c.cell_last[static_cast<size_t>(r)] == -1)
            continue;
        // The walk places elements only: the rows keep their cells meanwhile.
        const int last = lastColumn(r);
        for (int k = 0; k <= last; ++k) {
            const layout::cell_rec& cell = cellOf(r, k);
            if (cell.tree_no == tree && cell.cell_mode == 0 && cell.done_f != -2) {
                Draw_CellChildren(static_cast<int16_t>(r), static_cast<int16_t>(k), x, y, -1.0, -1.0);
                started = true;
            }
        }
        if (started)
            continue;
        for (int k = 0; k <= last; ++k) {
            const layout::cell_rec& cell = cellOf(r, k);
            if (cell.tree_no == tree && cell.done_f != -2)
                Draw_CellChildren(static_cast<int16_t>(r), static_cast<int16_t>(k), x, y, -1.0, -1.0);
        }
    }
}

// --- Draw_CellBox's steps ---

// x of the descending line: under the couple mark, or for a side cell under the gap
// beside its box.
double descendingLineX(const layout::cell_rec& cell, double cx)
{
    const layout::ChartState& c = layout::chart();
    const bool icons = model::settings().Dispmode_Icon != 0;
    const double offset = icons ? (c.box_w + c.icon_w) / 2 : c.box_w / 2;
    switch (cell.line_type) {
    case 0:
        return cx + offset;
    case 1:
        return cx - offset;
    default:
        return cx;
    }
}

// Places the descending line of the cell whose boxes start at y; returns the x the
// children's lines meet it at. cx may move for the children's centring.
double placeDescendingLine(const layout::cell_rec& cell, double y, double& cx)
{
    const layout::ChartState& c = layout::chart();
    DrawState& s = drawState();
    double lineX = descendingLineX(cell, cx);
    const bool singleParent = cell.cell_mode == 0 && (model::isPersonSlot(cell.per_a) != model::isPersonSlot(cell.per_b));
    if (singleParent) {
        // Straight down from the bottom of the lone parent's box.
        s.LineY1 = y + c.box_h;
        if (model::settings().Dispmode_Icon != 0) {
            lineX += model::isPersonSlot(cell.per_a) ? c.box_w / 2 : -c.box_w / 2;
            cx -= 15;
        }
    } else {
        // From just below the couple mark, which sits on the boxes' middle.
        s.LineY1 = y + c.box_h / 2 + (c.Zoom_Scale * 100 / 15) / 2;
    }
    s.LineY2 = y + c.box_h / 2 + c.gen_gap_a;
    // On screen and on the export picture the line goes one pixel further, so that it
    // meets the sibling bar.
    if (s.Draw_ToBuf == 0)
        s.LineY2 += 15;
    s.LineX1 = lineX;
    s.LineX2 = lineX;
    Put_Line1(0);
    return lineX;
}

// Total width of the children of link in the row not drawn yet, with the gaps.
double childRowWidth(int childRow, int16_t link)
{
    const layout::ChartState& c = layout::chart();
    const auto& cells = c.cell_buf[static_cast<size_t>(childRow)];
    const int last = lastColumn(childRow);
    double width = 0;
    int count = 0;
    for (int k = 0; k <= last; ++k) {
        const layout::cell_rec& child = cells[static_cast<size_t>(k)];
        if (child.oya_link == link && child.done_f != -2) {
            width += child.tree_w;
            ++count;
        }
    }
    return count == 0 ? 0.0 : width + c.sib_gap * (count - 1);
}

} // namespace

void Draw_Keizu(int16_t tree, double x, double y)
{
    tree = treeOfTab(tree);
    markAllUndrawn();
    seedExtent(x, y);
    drawStartCells(tree, x, y);
}

double Draw_CellChildren(int16_t row, int16_t col, double x, double y, double px, double py)
{
    if (!layout::isGridCell(row, col))
        return x;
    std::vector<int16_t> list;
    const int16_t n = layout::Get_MarryCells(row, col, list);
    if (n == -1)
        return cellOf(row, col).done_f != -2 ? Draw_CellBox(row, col, x, y, px, py) : x;

    const double gap = layout::chart().sib_gap;
    double v = x;
    for (int i = 0; i <= n; ++i) {
        const int16_t k = list[static_cast<size_t>(i)];
        layout::cell_rec& cell = cellOf(row, k);
        if (i == 0)
            cell.edge_f = 1;
        if (i == n)
            cell.edge_f = 2;
        if (cell.done_f != -2) {
            v = Draw_CellBox(row, k, x, y, px, py) + gap;
            x = v;
        }
    }
    return v - gap;
}

double Draw_CellBox(int16_t row, int16_t col, double x, double y, double px, double py)
{
    if (!layout::isGridCell(row, col))
        return x;
    const layout::ChartState& c = layout::chart();
    double cx = x + cellOf(row, col).tree_w / 2;
    double right = Draw_CoupleCell(cx, y, row, col, px, py);
    cellOf(row, col).done_f = -2;
    const layout::cell_rec cell = cellOf(row, col);
    if (layout::Count_ChildCells(row, col, cell.link_no) == -1)
        return right;

    const double childPx = placeDescendingLine(cell, y, cx);
    const double childPy = y + c.box_h / 2 + c.gen_gap_a;
    const int childRow = row + 1;

    double start = cx - childRowWidth(childRow, cell.link_no) / 2;
    DrawState& s = drawState();
    if (start < s.Draw_MinX)
        s.Draw_MinX = start;
    const double childY = y + c.gen_step;
    bool drewChild = false;
    double r = 0;
    const auto& children = c.cell_buf[static_cast<size_t>(childRow)];
    const int last = lastColumn(childRow);
    for (int k = 0; k <= last; ++k) {
        // Tested when the loop reaches the cell: one drawn meanwhile as part of an
        // earlier marriage group is passed over.
        const layout::cell_rec& child = children[static_cast<size_t>(k)];
        if (child.oya_link != cell.link_no || child.done_f == -2)
            continue;
        r = Draw_CellChildren(static_cast<int16_t>(childRow), static_cast<int16_t>(k), start, childY, childPx,
                              childPy);
        start = r + c.sib_gap;
        drewChild = true;
    }
    if (drewChild && r > right)
        right = r;
    return right;
}

} // namespace drawing
