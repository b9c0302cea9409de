#pragma once
// Subtree widths: every cell gets in tree_w the width of the subtree below it, which
// the drawing walk uses to put children side by side. One pass per row from the top,
// main marriages first, then the cells no earlier measurement reached; each cell is
// measured once (done_f -2 marks it), also when a second parent or a second group
// reaches it.
//
// Own width of a cell (box_w, pair_gap and icon_w from the metrics; icons count while
// Dispmode_Icon is set):
//   one person (the other -1 or the blank partner) : box_w (+ icon_w)
//   a couple, line_type 2                         : 2 box_w + pair_gap (+ 2 icon_w)
//   a side cell of a group, line_type 0 or 1       : box_w + pair_gap (+ icon_w)
//   anything else                                 : 0
// A cell's width is the larger of its own width and its children's widths plus sib_gap
// between neighbouring child cells.

#include <cstdint>
#include <vector>

namespace layout {

// Measures the whole grid: every placed cell gets its width.
void Calc_TreeWidth();
// Measures one cell and its subtree; stores and returns tree_w.
double Calc_CellWidth(int16_t row, int16_t col);
// The own width of the cell's boxes.
double Calc_BoxWidth(int16_t row, int16_t col);
// Width of the cell's marriage group, or of the cell alone.
double Calc_GroupWidth(int16_t row, int16_t col);
// Fills list with the columns of the cell's marriage group (the not yet measured
// cells of the row under the same parent link and in the same tree, once any of them
// is a kou_mode 1 relation) and returns the last index used; -1 when there is no group.
int16_t Get_MarryCells(int16_t row, int16_t col, std::vector<int16_t>& list);
// Number of cells in row + 1 whose oya_link is link, minus 1 (-1 = none); -1 as well
// for a single person, for row 100 and when row + 1 is empty.
int16_t Count_ChildCells(int16_t row, int16_t col, int16_t link);

} // namespace layout
