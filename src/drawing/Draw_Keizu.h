#pragma once
// The drawing walk: one tree of the laid-out grid becomes chart elements. From the
// tree's start cells it visits the cells depth first, places each cell at the
// centre of its subtree width (tree_w), lets the couple-cell drawer place the cell's
// own elements and joins each parent cell to its row of children with a descending
// line. The same walk serves the measuring pass (Draw_Enable 0: only the extent
// Draw_MaxX, Draw_MaxY, Draw_MinX counts) and the drawing pass (Draw_Enable -1).
//
// Vertical structure of a generation whose boxes start at y: the boxes' middle at
// y + box_h / 2, the sibling bar where the children's lines meet the parent's
// descending line at y + box_h / 2 + gen_gap_a, the child row at y + gen_step.
//
// Order of emission: for each cell its own elements, then its descending line, then
// its child groups from left to right, each depth first.

#include <cstdint>

namespace drawing {

// Draws tree number tree (with lineage-group tabs, the tree of tab index tree) with
// its start cells' subtrees beginning at x and its top row at y. Resets every cell's
// done_f first; Draw_MinX starts at the viewport's width.
void Draw_Keizu(int16_t tree, double x, double y);

// Draws the marriage group of the cell (the cell with the not yet drawn cells listed
// with it) side by side from x; returns the right end x of the last cell drawn.
double Draw_CellChildren(int16_t row, int16_t col, double x, double y, double px, double py);

// Draws one cell and, recursively, its children; returns the right end x reached by
// the cell or its children, whichever is further right.
double Draw_CellBox(int16_t row, int16_t col, double x, double y, double px, double py);

} // namespace drawing
