#pragma once
// The element placers: every visible piece of the chart (a line, a face icon, the
// mark between the partners of a couple, a person's name box, a caption) is placed
// by one of them. The drawing walk computes where a piece goes; the placer decides
// how it is produced, testing on every call, in this order:
//   Draw_ForOutput <> 0: drawn at once onto the export picture (exportCanvas());
//   else Draw_ToBuf <> 0: appended to the drawing lists (draw_state.h);
//   else: the next element of one of the main window's chart-control arrays
//         (chartControls()), its counter in layout::chart().counters advanced first.
//
// Coordinates are twips on the chart canvas. Name boxes and captions are handed over
// at their top-left corner plus 15 twips in x and y; the screen and the export use
// that position, the drawing lists take the 15 off again.

#include <cstdint>

namespace drawing {

// Relation flag of a name box: 1 a lone person or a side relation (drops are
// accepted), 0 a main couple, -1 a couple of a marriage of kou_mode 2 (recorded
// without a box extent).
namespace RelationFlag {
constexpr int16_t Related = 1;
constexpr int16_t Couple = 0;
constexpr int16_t Placeholder = -1;
} // namespace RelationFlag

// The line LineX1, LineY1 to LineX2, LineY2 (drawState()) as a solid line. flag is
// always 0.
void Put_Line1(int16_t flag);
// The same line dotted.
void Put_Line7();

// Put_Line1 and Put_Line7 for the line (x1, y1) to (x2, y2), set into drawState() first.
void placeSolidLine(double x1, double y1, double x2, double y2);
void placeDottedLine(double x1, double y1, double x2, double y2);

// The person's face icon, icon_w x icon_h, with its top-left corner at (x', y): x is
// snapped to the 15-twip grid (half to even) and moved one step right. A person
// without a picture (Picture_index -1) gets nothing. A picture file that cannot be
// loaded shows "アイコンファイルが不正です" with the file and why, and places nothing
// further for the icon.
void Put_FaceIcon(int16_t person, double x, double y);

// The mark of marriage kou: x is the left edge of the gap between the partners'
// boxes, y the boxes' top. Centred on the boxes' height; three quarters of the gap
// wide for a relation (kou_mode 1); dark red, light grey for a relation, blue for the
// marriage edited in the relationship editor (KouNum). A kou that names no marriage
// record places nothing.
void Put_CoupleMark(int16_t kou, double x, double y);

// The person's name box at its top-left corner (x, y) less 15 twips. The relation
// flag, the parent marriage and the cell's marriage go into the element maps on
// screen. A person outside 1..1024 places nothing.
void Put_NameLabel(int16_t person, double x, double y, int16_t relationFlag, int16_t parentKou,
                   int16_t curKou);

// The caption Label_Text (drawState()) in a box label_dx x label_dy whose top-left
// corner is (x, y) less 15 twips, its text size chosen by the caption ladders.
void Put_TextLabel(double x, double y);

} // namespace drawing
