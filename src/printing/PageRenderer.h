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
// Either target draws only the records that touch the page (PageElements).
//
// Person boxes are rendered with the box target of each (1 preview, 2 printer).
// A drawing call that fails leaves out the element it belongs to and the walk
// goes on with the next one; a face icon whose file cannot be loaded is left out.

#include "forms/Picture.h"
#include "printing/printing_state.h"

#include <cstddef>
#include <string>
#include <vector>

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

// The records of the drawing lists as one page set-up draws them on one kind of
// target: in drawing order, each with the rectangle it marks (twips of the
// target, where page (1, 1) has its origin) and the drawing state (colours, pen,
// font) it starts from when every record is drawn in turn. A page then draws
// only the records that touch it, each from its own starting state, and comes
// out as it would with every record drawn on it and the rest cut away.
class PageElements {
public:
    enum class Kind : unsigned char {
        PreviewLine, PreviewBoxPass, PreviewBox, PreviewText,
        PrintBoxPass, PrintIcon, PrintBox, PrintLine, PrintText,
    };
    struct Extent {
        double left = 0;
        double top = 0;
        double right = 0;
        double bottom = 0;
        bool empty = true;         // draws nothing
        bool everywhere = false;   // reaches every page
    };
    struct State {
        long foreColor = 0;
        long textColor = 0;
        int drawWidth = 1;
        int drawStyle = 0;
        std::string fontName;
        double fontSize = 0;
        bool fontBold = false;
        bool fontItalic = false;
    };
    struct Element {
        Kind kind;
        size_t record;   // index in its list; 0 for the start of a pass
        Extent extent;
        State before;
    };

    // Measures every record once, as the preview pages (the printer pages) of
    // grid draw it, starting from the drawing state of startState.
    static PageElements forPreview(const PageGrid& grid, FaceIconHolder& Image1, const forms::Surface& startState);
    static PageElements forPrinter(const PageGrid& grid, FaceIconHolder& Image1, const forms::Surface& startState);

    const std::vector<Element>& elements() const { return m_elements; }
    // The same records, each taken to reach every page: a page drawn from these
    // gets every record, as if nothing were selected.
    PageElements reachingEveryPage() const;

private:
    std::vector<Element> m_elements;
};

// One page from the elements measured for its grid and target.
void DrawPagePreview(forms::Surface& picture, const PageGrid& grid, int row, int col, FaceIconHolder& Image1,
                     const PageElements& elements);
void PrintPage(forms::Surface& printer, const PageGrid& grid, int row, int col, FaceIconHolder& Image1,
               const PageElements& elements);
// One page on its own, measuring the records for it first.
void DrawPagePreview(forms::Surface& picture, const PageGrid& grid, int row, int col, FaceIconHolder& Image1);
void PrintPage(forms::Surface& printer, const PageGrid& grid, int row, int col, FaceIconHolder& Image1);

// RectInRegion of a rectangular region: true when the rectangle (corners in
// any order, right and bottom exclusive) shares at least one pixel with it.
bool rectMeetsRegion(const forms::PixelRect& rect, const forms::PixelRect& region);

} // namespace printing
