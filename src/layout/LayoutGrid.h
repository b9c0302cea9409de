#pragma once
// Operations on the layout grid and its companion tables (see chart_state.h):
// clearing, the chart-person list, the branch-family link list and the look-up of a
// cell by its link number.

#include <cstdint>

namespace layout {

// Empties rows 0..row_max: cell_last := -1, and in every cell of the row per_a,
// per_b, tree_no, kodo_f, link_no, oya_link, mark6, kou_no, kodo_side, bunke_idx and
// edge_f := -1, tree_w := -1.0. mark12, cell_mode, line_type and done_f keep their
// values (placement and the width pass set them). Cells a row grew beyond col_max are
// dropped. tree_cnt and link_cnt := 0, every ChartPerIdx entry := -1 (so no link of an
// earlier, larger chart survives), every tab_buf row emptied with tab_grp_f := -1 (no
// tree has a tab row), and the branch-family list is emptied.
void Clear_CellBuf();

// Every ChartPerIdx entry := -1 and every ChartPerList row's Flag := -1.
void Clear_ChartPerIdx();
// Every ChartPerList row emptied: Flag -1, names and dates empty, Sex 0, Age -1.
void Clear_ChartPerList();
// Lists the persons of the chart in placement order (by link number), each name
// once; persons with an empty family name and the given name "unknown" are left out.
// A cell naming a temporary copy lists the person it copies (personOfCell): runs
// after Remember_CopyOrigins.
void Build_ChartPerList();

// Every bunke_buf row's first value := -1 and kind := 0; bunke_cnt := -1.
void Clear_BunkeList();
// Appends a branch-family link row and returns its index, or -1 when the list would
// pass the 16-bit row limit.
int16_t Add_BunkeLink(int16_t kind, int16_t kou_a, int16_t kou_b, int16_t tree, int16_t extra);

// The first cell (rows 0..100, columns 0..cell_last, row by row) whose link_no is
// value: 0 with row and col set; -1 when no placed cell carries it.
int Find_GridCell(int16_t value, int16_t& row, int16_t& col);

} // namespace layout
