#pragma once
// The elements of one cell of the layout grid: the name boxes of its one or two
// persons, their face icons, the couple mark and the family title of the couple, the
// line joining the blood member to the parents' sibling bar, the "より" / "へ"
// captions, the dotted frame of a placeholder partner ("unknown" in a marriage of
// kou_mode 2) and the dotted tie line from a side relation to the person it shares
// with the neighbouring cell. The elements are laid out left to right round cx, the
// centre of the cell's subtree; the extent (Draw_MaxX, Draw_MaxY and the copies
// Chart_MaxX, Chart_MaxY) grows to hold them and a caption's room below the boxes.
//
// In the measuring pass (Draw_Enable 0) nothing is placed: name boxes, icons, couple
// marks and caption texts are left out here, lines and caption frames by the placers.

#include <cstdint>

namespace drawing {

// Draws cell (row, col) with its subtree centred on cx and its boxes' top at y; px,
// py is the parent's connection point, both -1.0 for a start cell (no parent line).
// Returns the right end x of the cell's elements.
double Draw_CoupleCell(double cx, double y, int16_t row, int16_t col, double px, double py);

} // namespace drawing
