#pragma once
// Marriage groups: a person's marriages and relations stand side by side in one row.
// Build_MarryGroup lists the cells for the couple being expanded: every marriage or
// relation of either person not yet in the grid, each main marriage (kou_mode 0) with
// its husband's relations on its left and its wife's relations on its right, the
// lowest sort_lev next to the marriage. The result is chart().GroupCells.
//
// The work tables (MarryList, MarryRows, GroupCells) grow with the family, so a group
// of any size keeps the order and the cells a group of up to 101 cells would have.

#include <cstdint>

namespace layout {

// Fills GroupCells for persons A and B (-1 allowed); GroupCells_cnt -1 means the cell
// is placed as a single cell.
void Build_MarryGroup(int16_t A, int16_t B);

// Appends the person's marriages in use (1..1024, in index order) to MarryList,
// skipping those already listed and those whose pair already stands in the grid.
// The blank partner 1024 collects nothing.
void Collect_PersonMarries(int16_t person);
// Moves listed marriages into new MarryRows rows, in list order: filter 0 takes the
// kou_mode 0 marriages, -1 every one left.
void Add_GroupRows(int16_t filter);
// Attaches the marriages left in MarryList to the rows' side lists: side 0 to the
// row's husband, side 1 to its wife; side 0 is sorted by non-increasing sort_lev,
// side 1 by non-decreasing sort_lev, equal levels keeping list order.
void Attach_GroupSides(int16_t side);
// Appends one side list of a row to GroupCells (mark12 = the partner who is not the
// row's husband or wife, line_type = side).
void Add_GroupSide(int16_t side, int16_t row);

} // namespace layout
