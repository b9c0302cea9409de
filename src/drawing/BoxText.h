#pragma once
// The person-box renderer: one person's frame, death frame and shown display
// items, each item in lines of its own (columns in vertical writing, rows in
// horizontal writing), in the order, size, alignment and share its display block
// gives. The same renderer draws on a chart picture, the picture export, a
// preview page and the printer; the context says which.

#include <array>
#include <cstdint>
#include <string>

namespace forms {
class Surface;
}

namespace drawing {

// What a box is rendered for. It changes the pixel size used for the frame,
// the frame's shape and the printer inset.
namespace BoxTarget {
constexpr int16_t Chart = 0;    // a chart picture box, the display-options preview, the picture export
constexpr int16_t Preview = 1;  // a page of the print preview
constexpr int16_t Printer = 2;  // the printer
} // namespace BoxTarget

// Lines of one item that are placed side by side (0..99); later lines pile on
// the last one. LineExt has one entry more, which is never filled.
constexpr int LineExtCount = 101;
constexpr int16_t LastLineIdx = 100;

// The rendering context handed through all routines of the renderer. Its target
// fields travel with it, so each rendering draws for its own target.
struct BoxTextCtx {
    forms::Surface* Target = nullptr;  // the drawing surface
    std::string Text;                  // the text being laid out (an item, or one unit)
    double X = 0;                      // current position, twips
    double Y = 0;
    double W = 0;                      // current cell: the whole box, then one item's line
    double H = 0;
    int16_t Vert = 0;                  // 0 horizontal writing, other values vertical
    double LineW = 0;                  // extents of the line being built
    double LineH = 0;
    std::string FontName;
    double FontSize = 0;               // points
    int16_t DrawF = 0;                 // 0 measure only, -1 measure and draw
    int16_t AlignA = 0;                // the item's DWLocate
    int16_t AlignB = 0;                // the item's DHLocate
    double FirstExt = 0;               // extent across the writing direction of the first line
    double BlockW = 0;                 // the whole laid-out block
    double BlockH = 0;
    std::array<double, LineExtCount> LineExt{}; // extent across the writing direction of each line
    int16_t LineIdx = 0;
    int16_t DateF = 0;                 // 1 while the item is a date (digits are set in groups)

    int16_t BoxText_Target = BoxTarget::Chart;
    int16_t Print_Flag = 0;            // 1: units go out through the device-context text call
    int16_t Draw_ForOutput = 0;        // 1: chart box on the export picture (extent from W, H)
};

// A context for one box of width x height twips on target. The printer target
// also sets Print_Flag; the export sets Draw_ForOutput on a chart context.
BoxTextCtx makeBoxTextCtx(forms::Surface& target, double width, double height,
                          int16_t boxTarget = BoxTarget::Chart);

// Renders the whole box of a person (slot 0..1024) with its top-left corner at
// x, y twips into ctx.Target; ctx.W and ctx.H hold the box size. A slot out of
// range or a person whose InUse is 0 leaves the surface untouched. The surface's
// ForeColor comes back as it was, DrawWidth is left at 1, DrawStyle as found, and
// the font of the last item stays set. The person's record is not changed; the
// block with its widths scaled goes to tables().LastDispStat.
void Draw_BoxText(BoxTextCtx& ctx, int person, double x, double y);

// Chooses ctx.FontSize for ctx.Text in the cell: the item's size when it fits,
// else the largest of 1..100 that fits (at least 1). Leaves DrawF at -1 and the
// block extents of the chosen size.
void Fit_ItemSize(BoxTextCtx& ctx);

// Lays out ctx.Text in the cell X, Y, W, H, line by line at line feeds, and draws
// it when DrawF is -1; always measures.
void Fit_BoxText(BoxTextCtx& ctx);

// Places one unit (ctx.Text: a character or a group of date digits) at the
// current position, draws it when DrawF is -1, and advances.
void Put_VertChar(BoxTextCtx& ctx);

} // namespace drawing
