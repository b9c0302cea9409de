#pragma once
// The pieces of the couple-cell drawer that join a person to the family he or she
// belongs to on the chart: the line from a child's box up to the parents' sibling
// bar, with the adoption label that can sit in it ("養子", "養女", or the parents'
// given names joined by "と" and followed by "の子"); the caption under a reference
// cell naming the family the person went to (a family title and "へ"); the caption
// above a spouse naming the family he or she came from (a family title and "より");
// the frame drawn round a caption on screen; and the grid search Scan_GenRows that
// finds where else a person stands in the nearby generations.
//
// Geometry: y is the top of the row's boxes, the parents' sibling bar lies at
// y - gen_gap_b, and px, py is the parent's connection point (x of the parent's
// descending line, y of the bar).

#include <cstdint>
#include <string>

namespace drawing {

// The parent line of a person whose box has its left edge at x, with LineX1 =
// LineX2 = x + box_w / 2 set by the caller. labelled 0: a plain line from the box top
// up to the bar and along the bar to (px, py). labelled 1: the line leaves room for a
// label naming the adoption (adopted 1: "養子" or "養女" by the person's sex) or the
// parents of the relationship the person is a child of; the label's text is placed
// in the drawing pass only, its frame on screen in both passes. Any other labelled
// value places nothing.
void Draw_AdoptLabel(int16_t labelled, double x, double y, double px, double py, int16_t person,
                     int16_t adopted);

// Where else a person stands, searching rows 0..row + 2 (row_max at the bottom of
// the grid). mode 0: the marriage of the last main-marriage cell (not a reference)
// holding the person, else of the last relation cell; mode 1: the tree of the last
// reference cell holding the person. -1 when nothing is found.
int16_t Scan_GenRows(int16_t row, int16_t person, int16_t mode);

// A marriage's family title; empty for a number that names no marriage record.
std::string marriageTitle(int kou);

// The frame of a caption whose top-left corner is (x, y): four solid lines round the
// label_dx x label_dy box, placed on screen only (in both passes, also round an
// empty caption).
void drawCaptionFrame(double x, double y);

// The "へ" caption below the box of person of a reference cell (row, col): a stub
// below the box and the title of the family the person went to, found through the
// person's main-line registration (parentKou the cell's parent marriage), else the
// person's marriage cell in the nearby rows, else the person's first marriage; an
// empty caption when none is found. cx is the cell's subtree centre.
void drawDestinationCaption(int16_t person, int16_t row, int16_t col, int16_t parentKou, double cx, double y);

// The "より" caption above the box (left edge x) of a spouse who stands as a
// reference cell in a nearby row, naming the family the spouse is a child of. The
// chart selection (Sel_ChildKou, Sel_ChildSlot) is left as it was.
void drawOriginCaption(int16_t person, int16_t row, double x, double y);

} // namespace drawing
