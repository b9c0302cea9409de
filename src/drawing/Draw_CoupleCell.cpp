#include "drawing/Draw_CoupleCell.h"

#include "drawing/ElementPlacers.h"
#include "drawing/FamilyCaptions.h"
#include "drawing/draw_state.h"
#include "layout/LayoutGrid.h"
#include "layout/chart_state.h"
#include "model/settings.h"
#include "model/tables.h"

#include <string>

namespace drawing {

namespace {

constexpr int16_t Blank = model::BlankPartner;

// The shapes of a cell, by what it shows.
enum class Shape {
    Empty,      // no person
    LoneB,      // B shown alone (A empty or the blank partner)
    LoneA,      // A shown alone
    Couple,     // A and B side by side with the couple mark between them
    LeftSide,   // a relation on the husband's side: box left, gap right
    RightSide,  // a relation on the wife's side: gap left, box right
};

// One call of Draw_CoupleCell: the cell, the persons shown and the running left
// edge X of the next element.
struct CellDraw {
    double cx = 0;
    double y = 0;
    double px = -1;
    double py = -1;
    int16_t row = 0;
    int16_t col = 0;
    layout::cell_rec cell;
    int16_t A = -1;
    int16_t B = -1;
    int16_t P0 = -1;   // the parent cell's marriage
    Shape shape = Shape::Empty;
    double X = 0;
};

const layout::ChartState& metrics() { return layout::chart(); }

bool drawingPass() { return drawState().Draw_Enable != 0; }

bool onScreen()
{
    const DrawState& s = drawState();
    return s.Draw_ForOutput == 0 && s.Draw_ToBuf == 0;
}

bool iconsShown() { return model::settings().Dispmode_Icon == 1; }

// kou_mode of a marriage; -1 for a number that names no record.
int16_t kouMode(int kou)
{
    if (!model::isSlot(kou))
        return -1;
    return model::tables().kou_buf[static_cast<size_t>(kou)].kou_mode;
}

// A start cell has no parent point (-1.0, -1.0): its blood member gets no parent
// line, which would otherwise run across the chart to the canvas's corner.
bool hasParent(const CellDraw& d) { return !(d.px == -1.0 && d.py == -1.0); }

// --- Step 1: the persons shown and the parent marriage ---
void startCell(CellDraw& d)
{
    d.cell = layout::chart().cell_buf[static_cast<size_t>(d.row)][static_cast<size_t>(d.col)];
    d.A = d.cell.per_a;
    d.B = d.cell.per_b;
    drawState().Cur_DrawKou = d.cell.kou_no;
    // A reference cell of a child: only the blood member is shown.
    if (d.cell.kou_no == -1 && d.A != -1 && d.B != -1) {
        if (d.A == d.cell.mark6)
            d.B = -1;
        else
            d.A = -1;
    }
    d.P0 = -1;
    if (d.cell.oya_link != -1) {
        int16_t parentRow = -1;
        int16_t parentCol = -1;
        if (layout::Find_GridCell(d.cell.oya_link, parentRow, parentCol) == 0)
            d.P0 = layout::chart().cell_buf[static_cast<size_t>(parentRow)][static_cast<size_t>(parentCol)].kou_no;
    }
}

// --- Step 2: shape and width; X starts at the left edge of the cell's elements ---
void chooseShape(CellDraw& d)
{
    const layout::ChartState& c = metrics();
    const double icon = iconsShown() ? c.icon_w : 0.0;
    const bool aEmpty = d.A == -1 || d.A == Blank;
    const bool bEmpty = d.B == -1 || d.B == Blank;
    double width = 0;
    if (aEmpty && d.B != -1) {
        d.shape = Shape::LoneB;
        width = c.box_w + icon;
    } else if (d.A != -1 && bEmpty) {
        d.shape = Shape::LoneA;
        width = c.box_w + icon;
    } else if (d.A != -1 && d.B != -1) {
        d.shape = Shape::Couple;
        width = 2 * c.box_w + c.pair_gap + 2 * icon;
    }
    if (d.cell.line_type == 0 || d.cell.line_type == 1) {
        d.shape = d.cell.line_type == 0 ? Shape::LeftSide : Shape::RightSide;
        width = c.box_w + c.pair_gap + icon;
    }
    d.X = d.cx - width / 2;
}

// --- The pieces the shapes are made of ---

void faceIcon(const CellDraw& d, int16_t person)
{
    if (drawingPass()) {
        const layout::ChartState& c = metrics();
        Put_FaceIcon(person, d.X, d.y - (c.icon_h - c.box_h) / 2);
    }
}

void nameBox(const CellDraw& d, int16_t person, int16_t relationFlag)
{
    if (drawingPass())
        Put_NameLabel(person, d.X + 15, d.y + 15, relationFlag, d.P0, drawState().Cur_DrawKou);
}

// The relation flag of a couple's boxes: on screen it tells the drop handlers whether
// the couple is a relation; recorded and exported, a placeholder marriage (kou_mode 2)
// gets -1 so that its boxes do not count for the chart's extent.
int16_t coupleRelationFlag()
{
    const int16_t mode = kouMode(drawState().Cur_DrawKou);
    if (mode == 1)
        return RelationFlag::Related;
    if (!onScreen() && mode == 2)
        return RelationFlag::Placeholder;
    return RelationFlag::Couple;
}

// The status of the person's child slot in the parent marriage (2 adopted); 0 when
// there is no parent marriage in use or the person is not among its children.
int16_t childStatus(const CellDraw& d, int16_t person)
{
    if (!model::isSlot(d.P0))
        return 0;
    const model::marry_data& m = model::tables().kou_buf[static_cast<size_t>(d.P0)];
    if (!model::isUsedMarriage(m))
        return 0;
    for (int slot = 0; slot <= model::LastChildSlot; ++slot) {
        if (m.kou_kodo[static_cast<size_t>(slot)] == person)
            return m.kou_kodo_stat[static_cast<size_t>(slot)];
    }
    return 0;
}

// The blood member's line up to the parents' sibling bar, labelled for an adopted
// child and for a child taken over from a partner's relation.
void connect(const CellDraw& d, int16_t person)
{
    if (!hasParent(d))
        return;
    const layout::ChartState& c = metrics();
    DrawState& s = drawState();
    s.LineX1 = d.X + c.box_w / 2;
    s.LineX2 = s.LineX1;
    const int16_t status = childStatus(d, person);
    const bool takenOver = (d.cell.kodo_side == 0 && person == d.A) || (d.cell.kodo_side == 1 && person == d.B);
    const int16_t labelled = (takenOver || status == 2) ? 1 : 0;
    const int16_t adopted = status == 2 ? 1 : 0;
    Draw_AdoptLabel(labelled, d.X, d.y, d.px, d.py, person, adopted);
}

// The plain line of a side cell's blood member: up from the box's middle to the bar,
// then along it to the parent's line.
void plainParentLine(const CellDraw& d)
{
    if (!hasParent(d))
        return;
    const layout::ChartState& c = metrics();
    const double mid = d.X + c.box_w / 2;
    placeSolidLine(mid, d.y, mid, d.y - c.gen_gap_b);
    placeSolidLine(mid, d.y - c.gen_gap_b, d.px, d.py);
}

// A placeholder partner ("unknown" in a marriage of kou_mode 2) is framed dotted.
void placeholderFrame(const CellDraw& d, int16_t person)
{
    if (!model::isSlot(person) || kouMode(drawState().Cur_DrawKou) != 2)
        return;
    if (model::tables().per_buf[static_cast<size_t>(person)].Name != "unknown")
        return;
    const layout::ChartState& c = metrics();
    const double x = d.X;
    const double y = d.y;
    placeDottedLine(x, y, x + c.box_w, y);
    placeDottedLine(x, y, x, y + c.box_h);
    placeDottedLine(x + c.box_w, y, x + c.box_w, y + c.box_h);
    placeDottedLine(x, y + c.box_h, x + c.box_w, y + c.box_h);
}

void coupleMark(const CellDraw& d)
{
    if (drawingPass())
        Put_CoupleMark(drawState().Cur_DrawKou, d.X, d.y);
}

// The family title of the cell's marriage with its top-left corner at (x, y).
void familyTitle(double x, double y)
{
    drawState().Label_Text = marriageTitle(drawState().Cur_DrawKou);
    if (drawingPass())
        Put_TextLabel(x + 15, y + 15);
    drawCaptionFrame(x, y);
}

// Height of a family title above the boxes, by writing direction.
double titleY(const CellDraw& d)
{
    const layout::ChartState& c = metrics();
    return model::settings().write_state == 1 ? d.y - 0.5 * c.label_dy : d.y - 1.5 * c.label_dy;
}

bool vertical() { return model::settings().write_state == 1; }

// --- Step 3: the elements by shape ---

void drawLone(CellDraw& d)
{
    const layout::ChartState& c = metrics();
    const int16_t P = d.shape == Shape::LoneB ? d.B : d.A;
    if (d.shape == Shape::LoneA && iconsShown()) {
        faceIcon(d, d.A);
        d.X += c.icon_w;
    }
    if (P == d.cell.mark6)
        connect(d, P);
    nameBox(d, P, RelationFlag::Related);
    if (d.cell.kodo_f != -1)
        drawDestinationCaption(P, d.row, d.col, d.P0, d.cx, d.y);
    d.X += c.box_w;
    if (d.shape == Shape::LoneB && iconsShown()) {
        faceIcon(d, d.B);
        d.X += c.icon_w;
    }
}

// One partner's box at d.X, d.X moved past it: the blood member (mark6) joined to the
// parents, the other partner captioned with the family he or she came from.
void partnerBox(CellDraw& d, int16_t person, int16_t flag)
{
    if (person == d.cell.mark6)
        connect(d, person);
    nameBox(d, person, flag);
    placeholderFrame(d, person);
    if (person != d.cell.mark6)
        drawOriginCaption(person, d.row, d.X, d.y);
    d.X += metrics().box_w;
}

void drawCouple(CellDraw& d)
{
    const layout::ChartState& c = metrics();
    const int16_t flag = coupleRelationFlag();
    if (iconsShown()) {
        faceIcon(d, d.A);
        d.X += c.icon_w;
    }
    partnerBox(d, d.A, flag);
    coupleMark(d);
    familyTitle(d.X + c.pair_gap / 2 - c.label_dx / 2, titleY(d));
    d.X += c.pair_gap;
    partnerBox(d, d.B, flag);
    if (iconsShown()) {
        faceIcon(d, d.B);
        d.X += c.icon_w;
    }
}

void drawLeftSide(CellDraw& d)
{
    const layout::ChartState& c = metrics();
    const int16_t Q = d.cell.mark12;
    const double cellLeft = d.X;
    if (iconsShown()) {
        if (Q != Blank)
            faceIcon(d, Q);
        d.X += c.icon_w;
    }
    if (Q == d.cell.mark6)
        plainParentLine(d);
    if (vertical())
        familyTitle(d.X + 1.3 * c.box_w, titleY(d));
    else
        familyTitle(d.X + 5 * c.box_w / 6, titleY(d));
    if (Q != Blank) {
        nameBox(d, Q, RelationFlag::Related);
        if (Q != d.cell.mark6)
            drawOriginCaption(Q, d.row, d.X, d.y);
    }
    d.X += c.box_w;
    coupleMark(d);
    d.X += c.pair_gap;

    // The dotted tie to the shared person, the left box of the next cell.
    const layout::ChartState& chart = layout::chart();
    const int next = d.col + 1;
    if (next <= chart.cell_last[static_cast<size_t>(d.row)] && layout::isGridCell(d.row, next)) {
        const layout::cell_rec& N = chart.cell_buf[static_cast<size_t>(d.row)][static_cast<size_t>(next)];
        const double own = c.pair_gap + c.box_w;
        const double right = own >= d.cell.tree_w ? d.X : d.X - own / 2 + d.cell.tree_w / 2;
        const double centre = right + c.sib_gap + N.tree_w / 2;
        const bool couple = kouMode(N.kou_no) == 0;
        double end = centre - (couple ? c.pair_gap / 2 + c.box_w : own / 2);
        if (iconsShown())
            end -= couple ? 1.5 * c.icon_w : c.icon_w;
        const double mid = d.y + c.box_h / 2;
        placeDottedLine(d.X, mid, end, mid);
    }
    if (Q == Blank && d.cell.edge_f == -1) {
        const double mid = d.y + c.box_h / 2;
        placeDottedLine(cellLeft, mid, d.X - c.pair_gap, mid);
    }
}

void drawRightSide(CellDraw& d)
{
    const layout::ChartState& c = metrics();
    const int16_t Q = d.cell.mark12;
    const double mid = d.y + c.box_h / 2;

    // The dotted tie from the shared person, the right edge of the previous cell's boxes.
    const int previous = d.col - 1;
    if (previous >= 0 && layout::isGridCell(d.row, previous)) {
        const layout::cell_rec& V =
            layout::chart().cell_buf[static_cast<size_t>(d.row)][static_cast<size_t>(previous)];
        const bool couple = V.cell_mode == 0;
        double start = d.X - d.cell.tree_w / 2 - c.sib_gap + (c.pair_gap + c.box_w) / 2 - V.tree_w / 2
            + (couple ? (2 * c.box_w + c.pair_gap) / 2 : (c.pair_gap + c.box_w) / 2);
        if (model::settings().Dispmode_Icon != 0)
            start += couple ? 1.5 * c.icon_w : c.icon_w;
        placeDottedLine(start, mid, d.X, mid);
    }
    if (vertical())
        familyTitle(d.X + c.box_w / 3, titleY(d));
    else
        familyTitle(d.X - c.box_w / 6, titleY(d));
    coupleMark(d);
    d.X += c.pair_gap;
    if (Q == d.cell.mark6)
        plainParentLine(d);
    if (Q == Blank) {
        // The blank partner's place stays empty; the cell ends at its left edge.
        if (d.cell.edge_f == -1)
            placeDottedLine(d.X, mid, d.X + c.box_w, mid);
        return;
    }
    nameBox(d, Q, RelationFlag::Related);
    if (Q != d.cell.mark6)
        drawOriginCaption(Q, d.row, d.X, d.y);
    d.X += c.box_w;
    if (iconsShown()) {
        faceIcon(d, Q);
        d.X += c.icon_w;
    }
}

// --- Step 4: the extent, with room for a caption below the boxes ---
void widenExtent(const CellDraw& d)
{
    const layout::ChartState& c = metrics();
    DrawState& s = drawState();
    const double bottom = d.y + c.box_h + 1.4 * c.label_dy;
    if (d.X > s.Draw_MaxX)
        s.Draw_MaxX = d.X;
    if (bottom > s.Draw_MaxY)
        s.Draw_MaxY = bottom;
    s.Chart_MaxX = s.Draw_MaxX;
    s.Chart_MaxY = s.Draw_MaxY;
}

} // namespace

double Draw_CoupleCell(double cx, double y, int16_t row, int16_t col, double px, double py)
{
    CellDraw d;
    d.cx = cx;
    d.y = y;
    d.px = px;
    d.py = py;
    d.row = row;
    d.col = col;
    d.X = cx;
    if (!layout::isGridCell(row, col)) {
        widenExtent(d);
        return d.X;
    }
    startCell(d);
    chooseShape(d);
    switch (d.shape) {
    case Shape::LoneA:
    case Shape::LoneB:
        drawLone(d);
        break;
    case Shape::Couple:
        drawCouple(d);
        break;
    case Shape::LeftSide:
        drawLeftSide(d);
        break;
    case Shape::RightSide:
        drawRightSide(d);
        break;
    case Shape::Empty:
        d.X = cx;
        break;
    }
    widenExtent(d);
    return d.X;
}

} // namespace drawing
