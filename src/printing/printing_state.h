#pragma once
// Printing as the whole program sees it: the texts of the printing windows, the
// page grid that cuts the recorded chart into printer pages, and the arithmetic
// shared by the page set-up and the page renderer. Program-wide values of the
// document (Print_Scale, Print_TateYoko) live in model::settings(); the chart recorded for printing lives in the drawing lists
// (drawing::drawState()).
//
// Units: twips unless a name says px. Page (row, col) counts from 1, rows top to
// bottom and columns left to right; its index in the page-picture array is
// (row - 1) x PagesX + col.

#include "drawing/draw_state.h"
#include "forms/Surface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace printing {

// --- Window captions and texts ---
inline constexpr const char* PrePrintCaption = "印刷プレビュー画面";
inline constexpr const char* DispKeizuCaption = "家系図表示画面";
inline constexpr const char* PrnSetCaption = "プリンタの選択";
inline constexpr const char* NoPrinterMessage = "プリンタとの通信が不正です。印刷出来ません。";
inline constexpr const char* PleaseWaitText = "プレビューを作成しています。お待ち下さい . . .";
inline constexpr const char* ScaleMessage = "倍率を入力して下さい(25～500%)";
inline constexpr const char* StartPositionMessage = "印刷開始位置を入力して下さい(0～100%)";
// The question after the printer refused the job: yes tries again, no stops.
inline constexpr const char* PrinterFailureQuestion = "プリンタ処理中にエラーが発生しました。\r\n処理を続けますか？";
inline constexpr const char* PrinterFailureTitle = "プリンタエラー";
inline constexpr const char* TooManyPagesMessage = "ページ数が多すぎます。印刷倍率を小さくして下さい";

// --- Page grid constants ---
// A preview page is the printed page at one eighth of its size.
constexpr double PreviewDivisor = 8.0;
constexpr int16_t DefaultPageGapX = 150;   // left margin and gap between preview pages
constexpr int16_t DefaultPageGapY = 100;   // top margin and gap between preview rows
// The print scale the windows accept, in percent, and the start position.
constexpr double MinScalePercent = 25;
constexpr double MaxScalePercent = 500;
constexpr double MaxStoredScale = 5.0;
// Printer coordinates are kept within +-0x1FFF0 twips on an ordinary page, which
// the device coordinates of the printer can hold.
constexpr double CoordinateLimit = 131056.0;
// The scroll bars move the page canvas in steps of this many twips.
constexpr double ScrollStep = 100.0;
// Scroll-bar values are 16-bit.
constexpr int MaxScrollValue = 32767;
// A printable area narrower or lower than an inch is no page to print on.
constexpr double MinPrintableTwips = 1440;
// The most pages a set-up may cut the chart into.
constexpr int MaxPageCount = 2000;

// The chart extent over the box records, in chart twips.
struct ChartExtent {
    double left = 10000000.0;
    double top = 10000000.0;
    double right = 0.0;
    double bottom = 0.0;
};

// Both the left and the right of every box widen left and right, both its top
// and bottom widen top and bottom; records 0 .. count - 1. Lines and texts do
// not take part.
ChartExtent chartExtent(const std::vector<drawing::BoxRec>& boxes, int count);

// The page set-up of a preview window: the form variables the page set-up
// fills and the renderer reads.
struct PageGrid {
    int16_t PageGapX = DefaultPageGapX;
    int16_t PageGapY = DefaultPageGapY;
    double PageH = 0;           // printable page on the printer
    double PageW = 0;
    double PrevPageH = 0;       // PageH / 8, PageW / 8
    double PrevPageW = 0;
    int16_t PagesX = 1;
    int16_t PagesY = 1;
    int16_t OldPagesX = 1;
    int16_t OldPagesY = 1;
    double OriginX = 0;         // minus the chart's left (top) edge times Print_Scale
    double OriginY = 0;
    double PrevOriginX = 0;     // OriginX / 8, OriginY / 8
    double PrevOriginY = 0;
    forms::PixelRect PrevRgn;   // one preview page picture, screen pixels
    forms::PixelRect PageRgn;   // one printer page, printer pixels

    int pageCount() const { return PagesX * PagesY; }
};

// What a set-up needs to know about the printer and the chart.
struct PageSetupInput {
    double pageWidth = 0;             // Printer.ScaleWidth
    double pageHeight = 0;            // Printer.ScaleHeight
    double printerTwipsPerPixelX = 1;
    double printerTwipsPerPixelY = 1;
    double screenTwipsPerPixel = 15;
    double scale = 1.0;               // Print_Scale
    int boxCount = 0;                 // box_cnt
    ChartExtent extent;               // over the box records (unused when boxCount is 0)
    // Start position in percent of the paper; applied only when boxCount is not 0.
    double startXPercent = 0;
    double startYPercent = 0;
};

// Whether a page set-up can be made.
enum class PageSetupVerdict {
    Made,
    NoPrintableArea,   // under MinPrintableTwips across or down: refused like no printer
    TooManyPages,      // more than MaxPageCount pages
};

// SetupPages without the window: page sizes, old counts, page counts (one plus
// the quotient, so a chart exactly one page wide takes two), origins and the
// two clip regions. A set-up that is refused leaves the grid as it was.
PageSetupVerdict setupPageGrid(PageGrid& grid, const PageSetupInput& input);

// CvR: a printer coordinate clamped to +-CoordinateLimit on an ordinary page;
// unchanged when either page dimension reaches the limit.
double CvR(const PageGrid& grid, double value);

// N(x): the nearest whole number, halves to even, as the conversions to
// Integer round.
int32_t nearestInt(double value);

// The value of an input box as the windows read it: Val of its text (0 for a
// text that is no number).
double boxValue(const std::string& text);

// Page picture position inside the canvas, for column col or row row.
double pageLeft(const PageGrid& grid, int col);
double pageTop(const PageGrid& grid, int row);

// The scroll-bar maximum for a canvas that exceeds its viewport: N(excess / 100
// + 1), kept within the 16-bit range a scroll bar holds.
int scrollMax(double canvasExtent, double viewportExtent);

} // namespace printing
