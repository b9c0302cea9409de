#pragma once
// The page renderer: one page of the recorded chart, either into a preview page
// picture at one eighth of the printed size (DrawPagePreview) or onto the
// printer's current sheet (PrintPage). Both read the drawing lists
// (drawing::drawState()) from record 0 up to the first end record and place
// every record with the page arithmetic of the grid:
//
//   printer: x' = Print_Scale x x - offX, offX = (col - 1) x PageW - OriginX
//   preview: x' = x / 8 x Print_Scale - offX, offX = (col - 1) x PrevPageW - PrevOriginX
//
// (and likewise for y). The preview draws lines, then boxes, then texts, with
// captions below 9 points shown as asterisks; the printer draws icons, then
// couple marks and frames, then lines, then texts, with line widths that grow
// with the scale, and skips icons, marks, frames and captions that lie wholly
// outside the page. Person boxes go to the person-box renderer on both.
//
// Both set BoxText_Target (1 preview, 2 printer) for their whole run and put it
// back to 0 however they end. A drawing call that fails leaves out the element
// it belongs to and the walk goes on with the next one; a face icon whose file
// cannot be loaded is left out.

#include "forms/Picture.h"
#include "printing/printing_state.h"

namespace forms {
class Surface;
}

namespace printing {

// The window's hidden image box that face icons are loaded into before they are
// painted (Image1): its size is the size every icon is painted at.
struct FaceIconHolder {
    double Width = 0;
    double Height = 0;
    forms::Picture Picture;     // the last icon loaded
    bool Visible = false;
};

void DrawPagePreview(forms::Surface& picture, const PageGrid& grid, int row, int col, FaceIconHolder& Image1);
void PrintPage(forms::Surface& printer, const PageGrid& grid, int row, int col, FaceIconHolder& Image1);

// RectInRegion of a rectangular region: true when the rectangle (corners in
// any order, right and bottom exclusive) shares at least one pixel with it.
bool rectMeetsRegion(const forms::PixelRect& rect, const forms::PixelRect& region);

} // namespace printing
