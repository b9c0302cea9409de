#pragma once
// Placement of couples and children into the layout grid. Row by row from the top,
// each numbered marriage not yet in the grid becomes the top cell of a new tree; the
// tree grows downwards: a couple cell is expanded into its marriage group, and under
// every group cell its children are placed in the next row, in sibling order, as
// couple cells (expanded the same way), single cells or reference cells (the person's
// own family is laid out elsewhere).
//
// Which children stand under a cell depends on dispmode: in mode 1 a relation's
// husband-side children (kou_kodo_stat 0) stand under the husband's marriage and its
// wife-side children (1) under the wife's, when that partner has one; in mode 0 every
// marriage shows its own children. A marriage of kou_mode 2 is laid out like a main
// marriage and shows all its own children.
//
// The grid is bounded only by the 16-bit link numbers: when a family would need more
// than MaxChartLinks cells, placement stops, shows a message once, and leaves the
// cells placed so far.

#include <cstdint>

namespace layout {

// Shown (once per build) when the grid is full and placement stops.
inline constexpr const char* GridFullMessage =
    "家系図が大きすぎるため、一部の人物を配置できませんでした。";
inline constexpr const char* GridFullTitle = "家系図の作成";

// Places every numbered marriage of rows 0..row_max not yet in the grid as a tree,
// row by row from the top: in a row holding a main marriage (kou_mode 0 or 2) only
// those start trees, in a row without one every marriage does. A relation still off
// the grid after all rows (no group of its partners took it in) then starts a tree.
void Place_Generations();

// Column of a cell (rows 0..100, columns 0..cell_last) holding the two persons in
// either order; -1 when none or when either person is -1. The row is not used.
int16_t Find_PairCell(int16_t row, int16_t husband, int16_t wife);
// Highest-index marriage in use whose partners are A and B in either order; -1 none.
int16_t Find_PairKou(int16_t A, int16_t B);
// First marriage in use with the person as husband or wife, preferring kou_mode 0.
int16_t Find_FirstMarry(int16_t person);
// mark6 := person when it is not -1, else per_a, or per_b when per_a is -1.
void Set_BloodMark(int16_t row, int16_t col, int16_t person);

} // namespace layout
