#pragma once
// Mirrored layout ("男女表示を左右反転させる"): wives on the left, husbands on the
// right. Runs once over the finished grid: the two persons of every cell are
// exchanged, and in each row every run of cells grouped around one couple cell (a
// left part of line_type 0 cells, the line_type 2 pivot, a right part of line_type 1
// cells) is reversed, its side cells changing sides (0 <-> 1). The order of sibling
// subtrees in a row does not change.

#include <cstdint>

namespace layout {

void Flip_Grid();
// Scans columns column..lastColumn of the row, reversing every group found; returns
// the column after the last one scanned.
int16_t Flip_ScanRow(int16_t column, int16_t lastColumn, int16_t row);
// Rewrites columns S..E of the row as the right part (Ce down to Cs), the pivot M and
// the left part (Be down to Bs), with line_type 0 and 1 exchanged. Parts given as -1
// are absent. Bounds that do not cover S..E as one run (left part, pivot, right part,
// side by side, within cell_last) leave the row as it is.
void Flip_ReverseRun(int16_t row, int16_t S, int16_t E, int16_t Bs, int16_t Be, int16_t Cs,
                     int16_t Ce, int16_t M);

} // namespace layout
