#include "printing/PageRenderer.h"

#include "drawing/BoxText.h"
#include "drawing/draw_state.h"
#include "forms/ImageSurface.h"
#include "forms/Surface.h"
#include "forms/SurfaceForwarder.h"
#include "model/settings.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace printing {

namespace {

constexpr long Black = 0;

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

struct PreviewPage {
    forms::Surface& picture;
    PageOffset off;
    double scale;
    FaceIconHolder& Image1;

    double x(double chartX) const { return single(chartX / PreviewDivisor * scale - off.x); }
    double y(double chartY) const { return single(chartY / PreviewDivisor * scale - off.y); }
};

void previewLine(const PreviewPage& page, const drawing::LineRec& line)
{
    forms::Surface& picture = page.picture;
    drawElement([&] {
        if (line.Style == -1) {
            picture.setDrawWidth(1);
            picture.setDrawStyle(forms::DrawStyle::Dot);
        } else {
            picture.setDrawWidth(line.Style == 1 ? 1 : 2);
        }
        picture.setForeColor(Black);
        picture.line(page.x(line.X1), page.y(line.Y1), page.x(line.X2), page.y(line.Y2));
    });
    drawElement([&] { picture.setDrawStyle(forms::DrawStyle::Solid); });
}

void previewBoxPassStart(const PreviewPage& page)
{
    page.Image1.Visible = false;
    drawElement([&] { page.picture.setDrawWidth(1); });
}

void previewBox(const PreviewPage& page, const drawing::BoxRec& box)
{
    forms::Surface& picture = page.picture;
    drawElement([&] {
        if (box.IconF == -1)
            paintIcon(picture, box, page.x(box.Left), page.y(box.Top), page.Image1);
        else if (box.PersonF != -1)
            return;
        else if (box.MarkF != 0)
            picture.line(page.x(box.Left), page.y(box.Top), page.x(box.Right), page.y(box.Bottom), box.Color,
                         forms::LineShape::FilledBox);
        else
            picture.line(page.x(box.Left), page.y(box.Top), page.x(box.Right), page.y(box.Bottom),
                         forms::UseForeColor, forms::LineShape::Box);
    });
}

void previewCaption(forms::Surface& picture, const drawing::TextRec& text, const PageOffset& off, double scale,
                    double x8, double y8)
{
    picture.setForeColor(text.TextColor);
    std::string shown = text.Text;
    const std::vector<std::string> chars = platform::utf8::splitChars(shown);
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
    const std::vector<std::string> shownChars = platform::utf8::splitChars(shown);
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

void previewText(const PreviewPage& page, const drawing::TextRec& text)
{
    const double x8 = page.scale * text.X / PreviewDivisor;
    const double y8 = page.scale * text.Y / PreviewDivisor;
    drawElement([&] {
        if (text.PerIdx != 0) {
            drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(page.picture, text.BoxW * page.scale / PreviewDivisor,
                                                              text.BoxH * page.scale / PreviewDivisor,
                                                              drawing::BoxTarget::Preview);
            drawing::Draw_BoxText(ctx, text.PerIdx, x8 - page.off.x, y8 - page.off.y);
            return;
        }
        previewCaption(page.picture, text, page.off, page.scale, x8, y8);
    });
}

// --- Printer ---

struct PrinterPage {
    forms::Surface& printer;
    const PageGrid& grid;
    PageOffset off;
    double scale;
    FaceIconHolder& Image1;

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

void printIcon(const PrinterPage& page, const drawing::BoxRec& box)
{
    drawElement([&] {
        if (!page.boxOnPage(box) || box.IconF != -1)
            return;
        paintIcon(page.printer, box, page.x(box.Left), page.y(box.Top), page.Image1);
    });
}

void printBoxPassStart(const PrinterPage& page)
{
    drawElement([&] { page.printer.setDrawWidth(nearestInt(page.scale + 1)); });
}

void printBox(const PrinterPage& page, const drawing::BoxRec& box)
{
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

void printLine(const PrinterPage& page, const drawing::LineRec& line)
{
    forms::Surface& printer = page.printer;
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
    const std::vector<std::string> chars = platform::utf8::splitChars(text.Text);
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

void printText(const PrinterPage& page, const drawing::TextRec& text)
{
    drawElement([&] {
        if (text.PerIdx != 0) {
            drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(page.printer, text.BoxW * page.scale,
                                                              text.BoxH * page.scale, drawing::BoxTarget::Printer);
            drawing::Draw_BoxText(ctx, text.PerIdx, page.cvr(page.x(text.X)), page.cvr(page.y(text.Y)));
            return;
        }
        printCaption(page, text);
    });
}

// --- Which records touch which page ---

// The drawing state a record's drawing may depend on.
PageElements::State captureState(const forms::Surface& surface)
{
    PageElements::State state;
    state.foreColor = surface.foreColor();
    state.textColor = surface.textColor();
    state.drawWidth = surface.drawWidth();
    state.drawStyle = surface.drawStyle();
    state.fontName = surface.fontName();
    state.fontSize = surface.fontSize();
    state.fontBold = surface.fontBold();
    state.fontItalic = surface.fontItalic();
    return state;
}

void applyState(forms::Surface& surface, const PageElements::State& state)
{
    if (surface.foreColor() != state.foreColor)
        surface.setForeColor(state.foreColor);
    if (surface.textColor() != state.textColor)
        surface.setTextColor(state.textColor);
    if (surface.drawWidth() != state.drawWidth)
        surface.setDrawWidth(state.drawWidth);
    if (surface.drawStyle() != state.drawStyle)
        surface.setDrawStyle(state.drawStyle);
    if (surface.fontName() != state.fontName)
        surface.setFontName(state.fontName);
    if (surface.fontSize() != state.fontSize)
        surface.setFontSize(state.fontSize);
    if (surface.fontBold() != state.fontBold)
        surface.setFontBold(state.fontBold);
    if (surface.fontItalic() != state.fontItalic)
        surface.setFontItalic(state.fontItalic);
}

// A surface that draws nothing visible and notes the rectangle each record
// marks, measuring text and keeping the drawing state as the target would (a
// one-pixel image at the target's resolution stands in for it). Every mark is
// widened by a few pixels, for pens, antialiasing and glyphs that reach past
// their advance.
class ExtentProbe : public forms::SurfaceForwarder {
public:
    explicit ExtentProbe(int dotsPerInch) : m_image(1, 1, dotsPerInch) {}

    void startRecord() { m_extent = PageElements::Extent(); }
    const PageElements::Extent& extent() const { return m_extent; }

    void line(double x1, double y1, double x2, double y2, long colour, forms::LineShape shape) override
    {
        const double pen = (drawWidth() + MarginPixels) * twipsPerPixelX();
        mark(std::min(x1, x2) - pen, std::min(y1, y2) - pen, std::max(x1, x2) + pen, std::max(y1, y2) + pen);
        SurfaceForwarder::line(x1, y1, x2, y2, colour, shape);
    }
    void print(const std::string& text) override
    {
        markText(currentX(), currentY(), textWidth(text), textHeight(text));
        SurfaceForwarder::print(text);
    }
    void paintPicture(const forms::Picture&, double x, double y, double width, double height, double, double,
                      double, double) override
    {
        if (std::isnan(width) || std::isnan(height)) {
            m_extent.everywhere = true;
            return;
        }
        const double margin = MarginPixels * twipsPerPixelX();
        mark(std::min(x, x + width) - margin, std::min(y, y + height) - margin, std::max(x, x + width) + margin,
             std::max(y, y + height) + margin);
    }
    void drawText(const std::string& text, const forms::PixelRect& rect, int) override
    {
        const double tx = twipsPerPixelX();
        const double ty = twipsPerPixelY();
        const double left = std::min(rect.left, rect.right) * tx;
        const double right = std::max(rect.left, rect.right) * tx;
        const double top = std::min(rect.top, rect.bottom) * ty;
        const double bottom = std::max(rect.top, rect.bottom) * ty;
        const double w = textWidth(text);
        const double h = textHeight(text);
        // Centred in the rectangle or from its top left; either may reach past it.
        markText(left, top, std::max(right - left, w), std::max(bottom - top, h));
        markText((left + right - w) / 2, (top + bottom - h) / 2, w, h);
    }

protected:
    forms::Surface& drawingSurface() override { return m_image; }

private:
    static constexpr double MarginPixels = 3;

    void markText(double x, double y, double w, double h)
    {
        const double margin = MarginPixels * twipsPerPixelX() + h / 2;
        mark(x - margin, y - margin, x + w + margin, y + h + margin);
    }
    void mark(double left, double top, double right, double bottom)
    {
        PageElements::Extent& e = m_extent;
        if (e.empty) {
            e = PageElements::Extent{left, top, right, bottom, false, e.everywhere};
            return;
        }
        e.left = std::min(e.left, left);
        e.top = std::min(e.top, top);
        e.right = std::max(e.right, right);
        e.bottom = std::max(e.bottom, bottom);
    }

    forms::ImageSurface m_image;
    PageElements::Extent m_extent;
};

// Runs every record of the lists in the target's drawing order through draw.
template <class Draw>
void walkPreviewRecords(Draw&& draw)
{
    const drawing::DrawState& lists = drawing::drawState();
    for (size_t i = 0; i < lists.line_buf.size() && lists.line_buf[i].Style != 0; ++i)
        draw(PageElements::Kind::PreviewLine, i);
    draw(PageElements::Kind::PreviewBoxPass, 0);
    for (size_t i = 0; i < lists.box_buf.size() && lists.box_buf[i].Right != 0.0; ++i)
        draw(PageElements::Kind::PreviewBox, i);
    for (size_t i = 0; i < lists.text_buf.size() && lists.text_buf[i].X != 0.0; ++i)
        draw(PageElements::Kind::PreviewText, i);
}

template <class Draw>
void walkPrinterRecords(Draw&& draw)
{
    const drawing::DrawState& lists = drawing::drawState();
    draw(PageElements::Kind::PrintBoxPass, 0);
    for (size_t i = 0; i < lists.box_buf.size() && lists.box_buf[i].Right != 0.0; ++i)
        draw(PageElements::Kind::PrintIcon, i);
    draw(PageElements::Kind::PrintBoxPass, 0);
    for (size_t i = 0; i < lists.box_buf.size() && lists.box_buf[i].Right != 0.0; ++i)
        draw(PageElements::Kind::PrintBox, i);
    for (size_t i = 0; i < lists.line_buf.size() && lists.line_buf[i].Style != 0; ++i)
        draw(PageElements::Kind::PrintLine, i);
    for (size_t i = 0; i < lists.text_buf.size() && lists.text_buf[i].X != 0.0; ++i)
        draw(PageElements::Kind::PrintText, i);
}

void drawRecord(const PreviewPage& page, PageElements::Kind kind, size_t record)
{
    const drawing::DrawState& lists = drawing::drawState();
    switch (kind) {
    case PageElements::Kind::PreviewLine: previewLine(page, lists.line_buf[record]); break;
    case PageElements::Kind::PreviewBoxPass: previewBoxPassStart(page); break;
    case PageElements::Kind::PreviewBox: previewBox(page, lists.box_buf[record]); break;
    case PageElements::Kind::PreviewText: previewText(page, lists.text_buf[record]); break;
    default: break;
    }
}

void drawRecord(const PrinterPage& page, PageElements::Kind kind, size_t record)
{
    const drawing::DrawState& lists = drawing::drawState();
    switch (kind) {
    case PageElements::Kind::PrintBoxPass: printBoxPassStart(page); break;
    case PageElements::Kind::PrintIcon: printIcon(page, lists.box_buf[record]); break;
    case PageElements::Kind::PrintBox: printBox(page, lists.box_buf[record]); break;
    case PageElements::Kind::PrintLine: printLine(page, lists.line_buf[record]); break;
    case PageElements::Kind::PrintText: printText(page, lists.text_buf[record]); break;
    default: break;
    }
}

// Draws the records of page onto its target: those whose extent meets the page
// (the page's own rectangle in the coordinates of page (1, 1), where the extents
// were measured), each from the state it starts from in the walk of every record.
template <class Page>
void drawTouchingRecords(const Page& page, forms::Surface& target, const PageElements& elements, double left,
                         double top, double width, double height)
{
    for (const PageElements::Element& e : elements.elements()) {
        const PageElements::Extent& x = e.extent;
        if (!x.everywhere && (x.empty || x.right < left || x.left > left + width || x.bottom < top
                              || x.top > top + height))
            continue;
        applyState(target, e.before);
        drawRecord(page, e.kind, e.record);
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

PageElements PageElements::forPreview(const PageGrid& grid, FaceIconHolder& Image1, const forms::Surface& startState)
{
    ExtentProbe probe(nearestInt(1440.0 / startState.twipsPerPixelX()));
    applyState(probe, captureState(startState));
    const PreviewPage page{probe, previewOffset(grid, 1, 1), printScale(), Image1};
    PageElements result;
    walkPreviewRecords([&](Kind kind, size_t record) {
        const State before = captureState(probe);
        probe.startRecord();
        drawRecord(page, kind, record);
        result.m_elements.push_back({kind, record, probe.extent(), before});
    });
    return result;
}

PageElements PageElements::forPrinter(const PageGrid& grid, FaceIconHolder& Image1, const forms::Surface& startState)
{
    ExtentProbe probe(nearestInt(1440.0 / startState.twipsPerPixelX()));
    applyState(probe, captureState(startState));
    // Measured where nothing is left out or clamped: the whole chart on one
    // endless page, placed as page (1, 1).
    PageGrid endless = grid;
    endless.PageW = std::numeric_limits<double>::max();
    endless.PageH = std::numeric_limits<double>::max();
    endless.PageRgn = {std::numeric_limits<int>::min(), std::numeric_limits<int>::min(),
                       std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    const PrinterPage page{probe, endless, printerOffset(grid, 1, 1), printScale(), Image1};
    PageElements result;
    walkPrinterRecords([&](Kind kind, size_t record) {
        const State before = captureState(probe);
        probe.startRecord();
        drawRecord(page, kind, record);
        result.m_elements.push_back({kind, record, probe.extent(), before});
    });
    return result;
}

PageElements PageElements::reachingEveryPage() const
{
    PageElements every = *this;
    for (Element& e : every.m_elements)
        e.extent.everywhere = true;
    return every;
}

void DrawPagePreview(forms::Surface& picture, const PageGrid& grid, int row, int col, FaceIconHolder& Image1,
                     const PageElements& elements)
{
    const PreviewPage page{picture, previewOffset(grid, row, col), printScale(), Image1};
    drawTouchingRecords(page, picture, elements, (col - 1) * grid.PrevPageW, (row - 1) * grid.PrevPageH,
                        grid.PrevPageW, grid.PrevPageH);
}

void PrintPage(forms::Surface& printer, const PageGrid& grid, int row, int col, FaceIconHolder& Image1,
               const PageElements& elements)
{
    const PrinterPage page{printer, grid, printerOffset(grid, row, col), printScale(), Image1};
    drawTouchingRecords(page, printer, elements, (col - 1) * grid.PageW, (row - 1) * grid.PageH, grid.PageW,
                        grid.PageH);
}

void DrawPagePreview(forms::Surface& picture, const PageGrid& grid, int row, int col, FaceIconHolder& Image1)
{
    DrawPagePreview(picture, grid, row, col, Image1, PageElements::forPreview(grid, Image1, picture));
}

void PrintPage(forms::Surface& printer, const PageGrid& grid, int row, int col, FaceIconHolder& Image1)
{
    PrintPage(printer, grid, row, col, Image1, PageElements::forPrinter(grid, Image1, printer));
}

} // namespace printing
