#include "printing/PageRenderer.h"

#include "drawing/BoxText.h"
#include "drawing/draw_state.h"
#include "forms/Surface.h"
#include "model/settings.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <string>
#include <vector>

namespace printing {

namespace {

constexpr long Black = 0;

// BoxText_Target for the length of one page, back to the chart value however
// the page ends. Print_Flag belongs to the printing loop and is left alone.
class TargetScope {
public:
    explicit TargetScope(int16_t target) { model::settings().BoxText_Target = target; }
    ~TargetScope() { model::settings().BoxText_Target = drawing::BoxTarget::Chart; }
    TargetScope(const TargetScope&) = delete;
    TargetScope& operator=(const TargetScope&) = delete;
};

// Runs one element's drawing; a failed drawing call leaves that element out and
// the walk goes on, as a page must come out even when one icon or font fails.
template <class F>
void drawElement(F&& draw)
{
    try {
        draw();
    } catch (const platform::RuntimeError&) {
    }
}

double printScale()
{
    return static_cast<double>(model::settings().Print_Scale);
}

std::vector<std::string> characters(const std::string& text)
{
    std::vector<std::string> result;
    for (size_t i = 0; i < text.size();) {
        const size_t len = platform::utf8::charLength(text, i);
        result.push_back(text.substr(i, len));
        i += len;
    }
    return result;
}

// The page offsets of one page.
struct PageOffset {
    double x = 0;
    double y = 0;
};

PageOffset previewOffset(const PageGrid& grid, int row, int col)
{
    return {(col - 1) * grid.PrevPageW - grid.PrevOriginX, (row - 1) * grid.PrevPageH - grid.PrevOriginY};
}

PageOffset printerOffset(const PageGrid& grid, int row, int col)
{
    return {(col - 1) * grid.PageW - grid.OriginX, (row - 1) * grid.PageH - grid.OriginY};
}

// Coordinates on a preview page are handed over as Singles.
double single(double value)
{
    return static_cast<double>(static_cast<float>(value));
}

void paintIcon(forms::Surface& target, const drawing::BoxRec& box, double x, double y, FaceIconHolder& Image1)
{
    Image1.Picture = forms::LoadPicture(box.IconFile);
    target.paintPicture(Image1.Picture, x, y, Image1.Width, Image1.Height, 0.0, 0.0);
}

// --- Preview ---

void previewLines(forms::Surface& picture, const PageOffset& off, double scale)
{
    const auto& lines = drawing::drawState().line_buf;
    const auto px = [&](double x) { return single(x / PreviewDivisor * scale - off.x); };
    const auto py = [&](double y) { return single(y / PreviewDivisor * scale - off.y); };
    for (const drawing::LineRec& line : lines) {
        if (line.Style == 0)
            break;
        drawElement([&] {
            if (line.Style == -1) {
                picture.setDrawWidth(1);
                picture.setDrawStyle(forms::DrawStyle::Dot);
            } else {
                picture.setDrawWidth(line.Style == 1 ? 1 : 2);
            }
            picture.setForeColor(Black);
            picture.line(px(line.X1), py(line.Y1), px(line.X2), py(line.Y2));
        });
        drawElement([&] { picture.setDrawStyle(forms::DrawStyle::Solid); });
    }
}

void previewBoxes(forms::Surface& picture, const PageOffset& off, double scale, FaceIconHolder& Image1)
{
    Image1.Visible = false;
    drawElement([&] { picture.setDrawWidth(1); });
    const auto px = [&](double x) { return single(x / PreviewDivisor * scale - off.x); };
    const auto py = [&](double y) { return single(y / PreviewDivisor * scale - off.y); };
    for (const drawing::BoxRec& box : drawing::drawState().box_buf) {
        if (box.Right == 0.0)
            break;
        drawElement([&] {
            if (box.IconF == -1)
                paintIcon(picture, box, px(box.Left), py(box.Top), Image1);
            else if (box.PersonF != -1)
                return;
            else if (box.MarkF != 0)
                picture.line(px(box.Left), py(box.Top), px(box.Right), py(box.Bottom), box.Color,
                             forms::LineShape::FilledBox);
            else
                picture.line(px(box.Left), py(box.Top), px(box.Right), py(box.Bottom), forms::UseForeColor,
                             forms::LineShape::Box);
        });
    }
}

void previewCaption(forms::Surface& picture, const drawing::TextRec& text, const PageOffset& off, double scale,
                    double x8, double y8)
{
    picture.setForeColor(text.TextColor);
    std::string shown = text.Text;
    const std::vector<std::string> chars = characters(shown);
    const double size = text.FontSize / PreviewDivisor * scale;
    picture.setFontSize(size);
    picture.setFontName(text.FontName);
    picture.setFontSize(size);
    picture.setFontBold(text.FontBold != 0);
    picture.setFontItalic(text.FontItalic != 0);
    // Below 9 points a caption would be unreadable at one eighth: it shows as
    // one asterisk per character.
    if (static_cast<float>(text.FontSize * scale / PreviewDivisor) < 9.0f)
        shown.assign(chars.size(), '*');
    const double w8 = scale * text.Width / PreviewDivisor;
    const double h8 = scale * text.Height / PreviewDivisor;
    if (text.VertF == 0) {
        picture.setCurrentX((w8 - picture.textWidth(shown)) / 2 + x8 - off.x);
        picture.setCurrentY((h8 - picture.textHeight(shown)) / 2 + y8 - off.y);
        picture.print(shown);
        return;
    }
    const std::vector<std::string> shownChars = characters(shown);
    double total = 0;
    for (const std::string& c : shownChars)
        total += picture.textHeight(c);
    double y = y8 + (h8 - total) / 2 - off.y;
    for (const std::string& c : shownChars) {
        picture.setCurrentX((w8 - picture.textWidth(c)) / 2 + x8 - off.x);
        picture.setCurrentY(y);
        picture.print(c);
        y += picture.textHeight(c);
    }
}

void previewTexts(forms::Surface& picture, const PageOffset& off, double scale)
{
    for (const drawing::TextRec& text : drawing::drawState().text_buf) {
        if (text.X == 0.0)
            break;
        const double x8 = scale * text.X / PreviewDivisor;
        const double y8 = scale * text.Y / PreviewDivisor;
        drawElement([&] {
            if (text.PerIdx != 0) {
                drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(picture, text.BoxW * scale / PreviewDivisor,
                                                                  text.BoxH * scale / PreviewDivisor,
                                                                  drawing::BoxTarget::Preview);
                drawing::Draw_BoxText(ctx, text.PerIdx, x8 - off.x, y8 - off.y);
                return;
            }
            previewCaption(picture, text, off, scale, x8, y8);
        });
    }
}

// --- Printer ---

struct PrinterPage {
    forms::Surface& printer;
    const PageGrid& grid;
    PageOffset off;
    double scale;

    double x(double chartX) const { return scale * chartX - off.x; }
    double y(double chartY) const { return scale * chartY - off.y; }
    int pixelX(double pageX) const { return nearestInt(pageX / printer.twipsPerPixelX()); }
    int pixelY(double pageY) const { return nearestInt(pageY / printer.twipsPerPixelY()); }
    bool onPage(double left, double top, double right, double bottom) const
    {
        return rectMeetsRegion({pixelX(left), pixelY(top), pixelX(right), pixelY(bottom)}, grid.PageRgn);
    }
    bool boxOnPage(const drawing::BoxRec& box) const
    {
        return onPage(x(box.Left), y(box.Top), x(box.Right), y(box.Bottom));
    }
    double cvr(double value) const { return CvR(grid, value); }
};

void printIcons(const PrinterPage& page, FaceIconHolder& Image1)
{
    for (const drawing::BoxRec& box : drawing::drawState().box_buf) {
        if (box.Right == 0.0)
            break;
        drawElement([&] {
            if (!page.boxOnPage(box) || box.IconF != -1)
                return;
            paintIcon(page.printer, box, page.x(box.Left), page.y(box.Top), Image1);
        });
    }
}

void printBoxes(const PrinterPage& page)
{
    drawElement([&] { page.printer.setDrawWidth(nearestInt(page.scale + 1)); });
    for (const drawing::BoxRec& box : drawing::drawState().box_buf) {
        if (box.Right == 0.0)
            break;
        drawElement([&] {
            if (!page.boxOnPage(box) || box.IconF != 0 || box.PersonF != -1)
                return;
            const double x1 = page.cvr(page.x(box.Left));
            const double y1 = page.cvr(page.y(box.Top));
            const double x2 = page.cvr(page.x(box.Right));
            const double y2 = page.cvr(page.y(box.Bottom));
            if (box.MarkF != 0)
                page.printer.line(x1, y1, x2, y2, box.Color, forms::LineShape::FilledBox);
            else
                page.printer.line(x1, y1, x2, y2, Black, forms::LineShape::Box);
        });
    }
}

void printLines(const PrinterPage& page)
{
    forms::Surface& printer = page.printer;
    for (const drawing::LineRec& line : drawing::drawState().line_buf) {
        if (line.Style == 0)
            break;
        const double x1 = page.cvr(page.x(line.X1));
        const double y1 = page.cvr(page.y(line.Y1));
        const double x2 = page.cvr(page.x(line.X2));
        const double y2 = page.cvr(page.y(line.Y2));
        drawElement([&] {
            if (line.Style != -1) {
                printer.setDrawStyle(forms::DrawStyle::Solid);
                printer.setDrawWidth(nearestInt(line.Style * page.scale + 1));
                printer.line(x1, y1, x2, y2, Black);
                return;
            }
            // A dotted line one dot wide would vanish on paper: it is drawn as a
            // band of copies one twip apart, wider as the scale grows.
            printer.setDrawWidth(1);
            printer.setDrawStyle(forms::DrawStyle::Dot);
            const int m = nearestInt((page.scale + 1) / 2);
            for (int k = -m; k <= m; ++k)
                printer.line(x1, y1 + k, x2, y2 + k, Black);
        });
        drawElement([&] { printer.setDrawStyle(forms::DrawStyle::Solid); });
    }
}

void printCaption(const PrinterPage& page, const drawing::TextRec& text)
{
    forms::Surface& printer = page.printer;
    const int left = page.pixelX(page.x(text.X));
    const int right = page.pixelX(page.scale * text.X + page.scale * text.Width - page.off.x);
    const int top = page.pixelY(page.y(text.Y));
    const int bottom = page.pixelY(page.scale * text.Y + page.scale * text.Height - page.off.y);
    if (!rectMeetsRegion({left, top, right, bottom}, page.grid.PageRgn))
        return;
    printer.setFontName(text.FontName);
    printer.setFontSize(static_cast<float>(text.FontSize * page.scale));
    printer.setFontBold(text.FontBold != 0);
    printer.setFontItalic(text.FontItalic != 0);
    if (text.VertF == 0) {
        printer.setTextColor(text.TextColor);
        printer.drawText(text.Text, {left, top, right, bottom}, forms::DrawTextFormat::CenteredSingleLine);
        return;
    }
    const std::vector<std::string> chars = characters(text.Text);
    double total = 0;
    for (const std::string& c : chars)
        total += printer.textHeight(c);
    double y = top + ((bottom - top) - total / printer.twipsPerPixelY()) / 2;
    printer.setTextColor(text.TextColor);
    for (const std::string& c : chars) {
        const int y1 = nearestInt(y);
        const int y2 = nearestInt(y + printer.textHeight(c) / printer.twipsPerPixelY());
        printer.drawText(c, {left, y1, right, y2}, forms::DrawTextFormat::CenteredSingleLine);
        y = y2;
    }
}

void printTexts(const PrinterPage& page)
{
    for (const drawing::TextRec& text : drawing::drawState().text_buf) {
        if (text.X == 0.0)
            break;
        drawElement([&] {
            if (text.PerIdx != 0) {
                drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(page.printer, text.BoxW * page.scale,
                                                                  text.BoxH * page.scale,
                                                                  drawing::BoxTarget::Printer);
                drawing::Draw_BoxText(ctx, text.PerIdx, page.cvr(page.x(text.X)), page.cvr(page.y(text.Y)));
                return;
            }
            printCaption(page, text);
        });
    }
}

} // namespace

bool rectMeetsRegion(const forms::PixelRect& rect, const forms::PixelRect& region)
{
    const int left = std::min(rect.left, rect.right);
    const int right = std::max(rect.left, rect.right);
    const int top = std::min(rect.top, rect.bottom);
    const int bottom = std::max(rect.top, rect.bottom);
    return left < region.right && right > region.left && top < region.bottom && bottom > region.top
           && left < right && top < bottom;
}

void DrawPagePreview(forms::Surface& picture, const PageGrid& grid, int row, int col, FaceIconHolder& Image1)
{
    TargetScope target(drawing::BoxTarget::Preview);
    const PageOffset off = previewOffset(grid, row, col);
    const double scale = printScale();
    previewLines(picture, off, scale);
    previewBoxes(picture, off, scale, Image1);
    previewTexts(picture, off, scale);
}

void PrintPage(forms::Surface& printer, const PageGrid& grid, int row, int col, FaceIconHolder& Image1)
{
    TargetScope target(drawing::BoxTarget::Printer);
    const PrinterPage page{printer, grid, printerOffset(grid, row, col), printScale()};
    drawElement([&] { printer.setDrawWidth(nearestInt(page.scale + 1)); });
    printIcons(page, Image1);
    printBoxes(page);
    printLines(page);
    printTexts(page);
}

} // namespace printing
