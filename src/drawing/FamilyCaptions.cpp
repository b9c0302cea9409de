#include "drawing/FamilyCaptions.h"

#include "drawing/ElementPlacers.h"
#include "drawing/draw_state.h"
#include "layout/chart_state.h"
#include "model/Lookups.h"
#include "model/settings.h"
#include "model/tables.h"

#include <algorithm>
#include <string>

namespace drawing {

namespace {

bool onScreen()
{
    const DrawState& s = drawState();
    return s.Draw_ForOutput == 0 && s.Draw_ToBuf == 0;
}

bool drawingPass() { return drawState().Draw_Enable != 0; }

std::string givenName(int person)
{
    if (!model::isSlot(person))
        return std::string();
    return model::tables().per_buf[static_cast<size_t>(person)].Name;
}

// The label of a child taken over from a relationship: "<father>と<mother>の子" of
// the last relationship (kou_mode 1) that holds the person as a child. A person who
// is a child of no relationship gets an empty label rather than whatever caption
// was placed before.
std::string relationChildLabel(int16_t person)
{
    std::string label;
    const auto& kou_buf = model::tables().kou_buf;
    for (int k = 1; k <= model::LastSlot; ++k) {
        const model::marry_data& m = kou_buf[static_cast<size_t>(k)];
        if (!model::isTakenMarriage(m) || m.kou_mode != 1)
            continue;
        for (int slot = 0; slot <= model::LastChildSlot; ++slot) {
            if (m.kou_kodo[static_cast<size_t>(slot)] == person) {
                label = givenName(m.kou_titi) + "と" + givenName(m.kou_haha) + "の子";
                break;
            }
        }
    }
    return label;
}

std::string adoptedLabel(int16_t person)
{
    // A person of unknown sex (or none) is labelled as a son.
    const bool daughter = model::isSlot(person) && model::tables().per_buf[static_cast<size_t>(person)].Sex != 0;
    return daughter ? "養女" : "養子";
}

} // namespace

std::string marriageTitle(int kou)
{
    if (!model::isSlot(kou))
        return std::string();
    return model::tables().kou_buf[static_cast<size_t>(kou)].kou_title;
}

void drawCaptionFrame(double x, double y)
{
    if (!onScreen())
        return;
    const layout::ChartState& c = layout::chart();
    placeSolidLine(x, y, x + c.label_dx, y);
    placeSolidLine(x, y, x, y + c.label_dy);
    placeSolidLine(x + c.label_dx, y, x + c.label_dx, y + c.label_dy);
    placeSolidLine(x, y + c.label_dy, x + c.label_dx, y + c.label_dy);
}

void Draw_AdoptLabel(int16_t labelled, double x, double y, double px, double py, int16_t person, int16_t adopted)
{
    const layout::ChartState& c = layout::chart();
    DrawState& s = drawState();
    const double bar = y - c.gen_gap_b;
    if (labelled == 0) {
        s.LineY1 = y;
        s.LineY2 = bar;
        Put_Line1(0);
        placeSolidLine(x + c.box_w / 2, bar, px, py);
        return;
    }
    if (labelled != 1)
        return;

    const double f = model::settings().write_state == 0 ? 0.5 : 0.15;
    const double top = bar + c.label_dy * f;
    s.LineY1 = top;
    s.LineY2 = bar;
    Put_Line1(0);
    s.LineY1 = top + c.label_dy;
    s.LineY2 = y;
    Put_Line1(0);
    placeSolidLine(x + c.box_w / 2, bar, px, py);

    s.Label_Text = adopted == 1 ? adoptedLabel(person) : relationChildLabel(person);
    const double lx = x + c.box_w / 2 - c.label_dx / 2;
    const double ly = top;
    if (drawingPass())
        Put_TextLabel(lx + 15, ly + 15);
    drawCaptionFrame(lx, ly);
}

int16_t Scan_GenRows(int16_t row, int16_t person, int16_t mode)
{
    const layout::ChartState& c = layout::chart();
    int hi = row + 2;
    if (row >= 2 && row > c.row_max - 2)
        hi = c.row_max;
    hi = std::min(hi, layout::GridLastRow);

    int16_t result = -1;
    bool foundMainMarriage = false;
    // pass 0: main marriages (mode 0) or reference cells (mode 1); pass 1, in mode 0
    // only when no main marriage was found: relation cells.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && (mode != 0 || foundMainMarriage))
            break;
        for (int r = 0; r <= hi; ++r) {
            const auto& cells = c.cell_buf[static_cast<size_t>(r)];
            const int last = std::min<int>(c.cell_last[static_cast<size_t>(r)], static_cast<int>(cells.size()) - 1);
            for (int k = 0; k <= last; ++k) {
                const layout::cell_rec& cell = cells[static_cast<size_t>(k)];
                if (cell.per_a != person && cell.per_b != person)
                    continue;
                if (mode == 0) {
                    if (cell.kodo_f != -1)
                        continue;
                    if (pass == 0 && cell.cell_mode == 0) {
                        result = cell.kou_no;
                        foundMainMarriage = true;
                    } else if (pass == 1 && cell.cell_mode == 1) {
                        result = cell.kou_no;
                    }
                } else if (mode == 1 && cell.kodo_f != -1) {
                    result = cell.tree_no;
                }
            }
        }
    }
    return result;
}

void drawDestinationCaption(int16_t person, int16_t row, int16_t col, int16_t parentKou, double cx, double y)
{
    // A caption widens no extent: a measuring pass has nothing to learn from it.
    if (!drawingPass() || !layout::isGridCell(row, col))
        return;
    const layout::ChartState& c = layout::chart();
    const layout::cell_rec& cell = c.cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
    double lx0 = cx;
    if (model::settings().Dispmode_Icon == 1) {
        // The icon stands beside the box; the stub leaves from the box's centre.
        if (person == cell.per_b)
            lx0 = cx - cell.tree_w / 2 + c.box_w / 2;
        else if (person == cell.per_a)
            lx0 = cx + cell.tree_w / 2 - c.box_w / 2;
    }
    const double stubBottom = y + c.box_h + c.mark_gap;
    placeSolidLine(lx0, y + c.box_h, lx0, stubBottom);

    DrawState& s = drawState();
    s.Label_Text.clear();
    int k = model::Find_HonsujiKou(person, parentKou);
    if (k != -1)
        s.Label_Text = marriageTitle(k) + "へ";
    if (s.Label_Text.empty()) {
        const int16_t m = Scan_GenRows(row, person, 0);
        if (m != -1)
            s.Label_Text = marriageTitle(m) + "へ";
    }
    if (s.Label_Text.empty()) {
        k = model::Find_PersonMarry(person);
        if (k != -1)
            s.Label_Text = marriageTitle(k) + "へ";
    }

    const double lx = lx0 - c.label_dx / 2;
    if (drawingPass())
        Put_TextLabel(lx + 15, stubBottom + 15);
    drawCaptionFrame(lx, stubBottom);
}

void drawOriginCaption(int16_t person, int16_t row, double x, double y)
{
    // A caption widens no extent: a measuring pass has nothing to learn from it.
    if (!drawingPass() || Scan_GenRows(row, person, 1) == -1)
        return;
    const layout::ChartState& c = layout::chart();
    model::Tables& t = model::tables();
    // The look-up reports the marriage through the chart selection's child fields;
    // the selection is put back so that drawing never changes which child a later
    // delete command acts on.
    const int16_t selectedKou = t.Sel_ChildKou;
    const int16_t selectedSlot = t.Sel_ChildSlot;
    const int rc = model::Get_ChildKouLinked(person);
    const int16_t parentKou = t.Sel_ChildKou;
    t.Sel_ChildKou = selectedKou;
    t.Sel_ChildSlot = selectedSlot;

    const double mid = x + c.box_w / 2;
    placeSolidLine(mid, y, mid, y - c.mark_gap);
    DrawState& s = drawState();
    s.Label_Text = rc == -1 ? std::string() : marriageTitle(parentKou) + "より";
    const double lx = mid - c.label_dx / 2;
    const double ly = y - c.mark_gap - c.label_dy;
    if (drawingPass())
        Put_TextLabel(lx + 15, ly + 15);
    drawCaptionFrame(lx, ly);
}

} // namespace drawing
