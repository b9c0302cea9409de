// The page renderer drawing into recording surfaces: what reaches a preview page
// and a printer page for each kind of record, in which order, at which widths
// and sizes, and what is left out (end records, other pages, broken icons).

#include "PrintingFixture.h"

#include "drawing/BoxText.h"
#include "forms/ImageSurface.h"
#include "forms/RecordingSurface.h"
#include "printing/PageRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

using forms::RecordingSurface;
using printing_test::PrintingFixture;

constexpr double PageW = 11000;
constexpr double PageH = 16000;
constexpr int PrinterDpi = 600;   // 2.4 twips per printer dot

// A line as it reached the surface, with the pen in force when it was drawn.
struct DrawnLine {
    double x1, y1, x2, y2;
    std::string shape;
    long colour;
    long width;
    long style;
};

std::vector<DrawnLine> drawnLines(const RecordingSurface& surface)
{
    std::vector<DrawnLine> lines;
    long width = 1;
    long style = 0;
    for (const auto& call : surface.calls()) {
        if (call.name == "DrawWidth")
            width = call.value;
        else if (call.name == "DrawStyle")
            style = call.value;
        else if (call.name == "Line")
            lines.push_back({call.numbers[0], call.numbers[1], call.numbers[2], call.numbers[3], call.text,
                             call.value, width, style});
    }
    return lines;
}

// The order in which kinds of calls first appear ("Line", "Line B", "PaintPicture" ...).
std::vector<std::string> drawingOrder(const RecordingSurface& surface)
{
    std::vector<std::string> order;
    for (const auto& call : surface.calls()) {
        std::string kind;
        if (call.name == "Line")
            kind = call.text.empty() ? "line" : call.text;
        else if (call.name == "PaintPicture" || call.name == "Print" || call.name == "DrawText")
            kind = call.name;
        else
            continue;
        if (order.empty() || order.back() != kind)
            order.push_back(kind);
    }
    return order;
}

class PageRendererTest : public PrintingFixture {
protected:
    void SetUp() override
    {
        PrintingFixture::SetUp();
        grid.PageW = PageW;
        grid.PageH = PageH;
        grid.PrevPageW = PageW / 8;
        grid.PrevPageH = PageH / 8;
        grid.PagesX = 2;
        grid.PagesY = 1;
        grid.PageRgn = {0, 0, static_cast<int>(PageW / 2.4), static_cast<int>(PageH / 2.4)};
        grid.PrevRgn = {0, 0, 92, 133};
    }

    void setScale(float scale) { model::settings().Print_Scale = scale; }

    void print(RecordingSurface& printer, int row = 1, int col = 1)
    {
        printing::PrintPage(printer, grid, row, col, icon);
    }
    void preview(RecordingSurface& picture, int row = 1, int col = 1)
    {
        printing::DrawPagePreview(picture, grid, row, col, icon);
    }

    printing::PageGrid grid;
    printing::FaceIconHolder icon;
};

TEST_F(PageRendererTest, EmptyListsDrawNothing)
{
    RecordingSurface printer(200, 200, PrinterDpi);
    RecordingSurface picture(100, 100);
    print(printer);
    preview(picture);
    for (const RecordingSurface* s : {&printer, &picture}) {
        EXPECT_TRUE(s->callsNamed("Line").empty());
        EXPECT_TRUE(s->callsNamed("Print").empty());
        EXPECT_TRUE(s->callsNamed("DrawText").empty());
        EXPECT_TRUE(s->callsNamed("PaintPicture").empty());
    }
}

TEST_F(PageRendererTest, AnEndRecordInsideAListEndsThatWalk)
{
    addLine(100, 100, 900, 100);
    addLine(0, 0, 0, 0, 0);           // Style 0: the end of the line list
    addLine(100, 500, 900, 500);
    addBox(100, 100, 900, 900);
    addBox(0, 0, 0, 0);               // Right 0.0
    addBox(100, 1000, 900, 1900);
    addCaption("前", 200, 200, 1000, 300, 80);
    addCaption("", 0, 0, 0, 0, 0);    // X 0.0
    addCaption("後", 200, 900, 1000, 300, 80);

    RecordingSurface printer(2000, 2000, PrinterDpi);
    print(printer);
    const auto lines = drawnLines(printer);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const DrawnLine& l) { return l.shape.empty(); }), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const DrawnLine& l) { return l.shape == "B"; }), 1);
    ASSERT_EQ(printer.callsNamed("DrawText").size(), 1u);
    EXPECT_EQ(printer.callsNamed("DrawText")[0].text, "前");

    RecordingSurface picture(200, 200);
    preview(picture);
    EXPECT_EQ(picture.callsNamed("Line").size(), 2u);
    ASSERT_EQ(picture.callsNamed("Print").size(), 1u);
}

struct WidthCase {
    const char* name;
    float scale;
    long solidWidth;      // Style 1 on paper
    long wideWidth;       // Style 2 on paper
    int dottedCopies;
};

void PrintTo(const WidthCase& c, std::ostream* os)
{
    *os << c.name;
}

class PrintedLineWidths : public PageRendererTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(PrintedLineWidths, GrowWithTheScaleAndDottedLinesBecomeBands)
{
    const WidthCase& c = GetParam();
    setScale(c.scale);
    addLine(100, 100, 900, 100, 1);
    addLine(100, 300, 900, 300, 2);
    addLine(100, 500, 900, 500, -1);
    addBox(1000, 1000, 1500, 1500);

    RecordingSurface printer(2000, 2000, PrinterDpi);
    print(printer);
    const auto lines = drawnLines(printer);
    std::vector<DrawnLine> solid, wide, dotted, frames;
    for (const DrawnLine& l : lines) {
        if (l.shape == "B")
            frames.push_back(l);
        else if (l.style == forms::DrawStyle::Dot)
            dotted.push_back(l);
        else if (std::abs(l.y1 - 300 * c.scale) < 1e-6)
            wide.push_back(l);
        else
            solid.push_back(l);
    }
    ASSERT_EQ(solid.size(), 1u);
    EXPECT_EQ(solid[0].width, c.solidWidth);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].width, c.wideWidth);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].width, c.solidWidth);
    EXPECT_EQ(frames[0].colour, 0);
    ASSERT_EQ(static_cast<int>(dotted.size()), c.dottedCopies);
    const int m = c.dottedCopies / 2;
    for (int k = -m; k <= m; ++k) {
        const DrawnLine& l = dotted[static_cast<size_t>(k + m)];
        EXPECT_EQ(l.width, 1);
        EXPECT_DOUBLE_EQ(l.y1, 500 * c.scale + k);
        EXPECT_DOUBLE_EQ(l.x1, 100 * c.scale);   // the copies move only vertically
    }
    // Every line leaves the pen solid.
    EXPECT_EQ(printer.drawStyle(), forms::DrawStyle::Solid);

    RecordingSurface picture(200, 200);
    preview(picture);
    const auto previewLines = drawnLines(picture);
    ASSERT_EQ(previewLines.size(), 4u);
    EXPECT_EQ(previewLines[0].width, 1);
    EXPECT_EQ(previewLines[1].width, 2);
    EXPECT_EQ(previewLines[2].width, 1);
    EXPECT_EQ(previewLines[2].style, forms::DrawStyle::Dot);
    EXPECT_EQ(previewLines[3].width, 1);
}

INSTANTIATE_TEST_SUITE_P(Scales, PrintedLineWidths,
                         ::testing::Values(WidthCase{"full", 1.0f, 2, 3, 3}, WidthCase{"half", 0.5f, 2, 2, 3},
                                           WidthCase{"fourfold", 4.0f, 5, 9, 5}),
                         [](const auto& info) { return info.param.name; });

struct AsteriskCase {
    const char* name;
    float scale;
    int16_t fontSize;
    bool asterisks;
};

void PrintTo(const AsteriskCase& c, std::ostream* os)
{
    *os << c.name;
}

class PreviewCaptions : public PageRendererTest, public ::testing::WithParamInterface<AsteriskCase> {};

TEST_P(PreviewCaptions, BelowNinePointsShowOneAsteriskPerCharacter)
{
    const AsteriskCase& c = GetParam();
    setScale(c.scale);
    addCaption("山田家", 800, 800, 3000, 600, c.fontSize);
    RecordingSurface picture(400, 400);
    preview(picture);
    const auto prints = picture.callsNamed("Print");
    ASSERT_EQ(prints.size(), 1u);
    EXPECT_EQ(prints[0].text, c.asterisks ? "***" : "山田家");

    RecordingSurface printer(2000, 2000, PrinterDpi);
    print(printer);
    const auto texts = printer.callsNamed("DrawText");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "山田家");   // the printed page always shows the text
    EXPECT_EQ(texts[0].value, forms::DrawTextFormat::CenteredSingleLine);
    EXPECT_DOUBLE_EQ(printer.fontSize(), static_cast<float>(c.fontSize * c.scale));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PreviewCaptions,
                         ::testing::Values(AsteriskCase{"size71AtFull", 1.0f, 71, true},
                                           AsteriskCase{"size72AtFull", 1.0f, 72, false},
                                           AsteriskCase{"size14AtFivefold", 5.0f, 14, true},
                                           AsteriskCase{"size15AtFivefold", 5.0f, 15, false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(PageRendererTest, PreviewCaptionIsCentredInItsBox)
{
    addCaption("ABC", 1600, 800, 3200, 800, 80);
    RecordingSurface picture(400, 400);
    preview(picture);
    const auto prints = picture.callsNamed("Print");
    ASSERT_EQ(prints.size(), 1u);
    const double w = picture.textWidth("ABC");
    const double h = picture.textHeight("ABC");
    EXPECT_NEAR(prints[0].numbers[0] + w / 2, (1600 + 3200 / 2) / 8.0, 1e-6);
    EXPECT_NEAR(prints[0].numbers[1] + h / 2, (800 + 800 / 2) / 8.0, 1e-6);
}

TEST_F(PageRendererTest, VerticalCaptionPrintsItsCharactersTopToBottomCentredAcross)
{
    addCaption("山田家", 2400, 2400, 480, 4800, 12, -1);
    RecordingSurface printer(3000, 3000, PrinterDpi);
    print(printer);
    const auto texts = printer.callsNamed("DrawText");
    ASSERT_EQ(texts.size(), 3u);
    const std::vector<std::string> expected = {"山", "田", "家"};
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].text, expected[i]);
        EXPECT_EQ(texts[i].numbers[0], 1000);   // the caption's left and right in dots
        EXPECT_EQ(texts[i].numbers[2], 1200);
        if (i > 0) {
            EXPECT_EQ(texts[i].numbers[1], texts[i - 1].numbers[3]);   // each cell below the last
        }
    }
    // The column as a whole is centred in the caption's height.
    const double top = texts.front().numbers[1] - 1000;
    const double bottom = 3000 - texts.back().numbers[3];
    EXPECT_NEAR(top, bottom, 1.0);

    RecordingSurface picture(400, 400);
    setScale(5.0f);   // large enough to show text in the preview
    preview(picture, 2, 2);   // where the caption lies at 500 %
    const auto prints = picture.callsNamed("Print");
    ASSERT_EQ(prints.size(), 3u);
    EXPECT_LT(prints[0].numbers[1], prints[1].numbers[1]);
    EXPECT_LT(prints[1].numbers[1], prints[2].numbers[1]);
}

TEST_F(PageRendererTest, EmptyVerticalCaptionDrawsNothing)
{
    addCaption("", 2400, 2400, 480, 4800, 12, -1);
    RecordingSurface printer(3000, 3000, PrinterDpi);
    print(printer);
    EXPECT_TRUE(printer.callsNamed("DrawText").empty());
}

TEST_F(PageRendererTest, PrinterDrawsMarksBeforeLinesAndThePreviewLinesFirst)
{
    addLine(100, 100, 5000, 100);
    addBox(200, 50, 400, 150, -1, 0x0000FF);   // a couple mark
    addBox(1000, 1000, 2000, 1400);            // a caption frame
    addCaption("題", 1000, 1000, 1000, 400, 80);

    RecordingSurface printer(3000, 3000, PrinterDpi);
    print(printer);
    EXPECT_EQ(drawingOrder(printer), (std::vector<std::string>{"BF", "B", "line", "DrawText"}));
    const auto marks = drawnLines(printer);
    EXPECT_EQ(marks[0].colour, 0x0000FF);

    RecordingSurface picture(400, 400);
    preview(picture);
    EXPECT_EQ(drawingOrder(picture), (std::vector<std::string>{"line", "BF", "B", "Print"}));
}

TEST_F(PageRendererTest, PrinterSkipsBoxesOfOtherPagesAndDrawsStraddlersOnBoth)
{
    addBox(1000, 1000, 2000, 2000);                   // page 1 only
    addBox(PageW + 1000, 1000, PageW + 2000, 2000);   // page 2 only
    addBox(PageW - 500, 3000, PageW + 500, 4000);     // across the border

    RecordingSurface first(5000, 7000, PrinterDpi);
    print(first, 1, 1);
    RecordingSurface second(5000, 7000, PrinterDpi);
    print(second, 1, 2);
    const auto onFirst = first.callsNamed("Line");
    const auto onSecond = second.callsNamed("Line");
    ASSERT_EQ(onFirst.size(), 2u);
    ASSERT_EQ(onSecond.size(), 2u);
    EXPECT_DOUBLE_EQ(onFirst[0].numbers[0], 1000);
    EXPECT_DOUBLE_EQ(onSecond[0].numbers[0], 1000);   // page 2 starts one page width on
    EXPECT_DOUBLE_EQ(onFirst[1].numbers[0], PageW - 500);
    EXPECT_DOUBLE_EQ(onSecond[1].numbers[0], -500);
}

TEST_F(PageRendererTest, PrinterClampsFarCoordinates)
{
    addLine(100, 100, 900000, 100);
    RecordingSurface printer(200, 200, PrinterDpi);
    print(printer);
    const auto lines = printer.callsNamed("Line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].numbers[2], printing::CoordinateLimit);
}

TEST_F(PageRendererTest, FaceIconsArePaintedAtTheHolderSizeAndBrokenOnesLeftOut)
{
    forms::ImageSurface face(8, 8);
    const std::string faceFile = home.path() + "/face1.bmp";
    face.savePicture(faceFile);

    drawing::BoxRec missing;
    missing.Left = 100;
    missing.Top = 100;
    missing.Right = 600;
    missing.Bottom = 600;
    missing.IconF = -1;
    missing.PersonF = -1;
    missing.IconFile = home.path() + "/no-such-face.bmp";
    drawing::appendBox(missing);
    drawing::BoxRec good = missing;
    good.Left = 1000;
    good.Right = 1100;   // only the region test reads Right and Bottom
    good.IconFile = faceFile;
    drawing::appendBox(good);
    addBox(3000, 3000, 3500, 3500);
    icon.Width = 750;
    icon.Height = 900;

    RecordingSurface printer(5000, 5000, PrinterDpi);
    print(printer);
    const auto pictures = printer.callsNamed("PaintPicture");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_DOUBLE_EQ(pictures[0].numbers[0], 1000);
    EXPECT_DOUBLE_EQ(pictures[0].numbers[2], 750);
    EXPECT_DOUBLE_EQ(pictures[0].numbers[3], 900);
    EXPECT_EQ(printer.callsNamed("Line").size(), 1u);   // the frame after the icons still came out
    EXPECT_FALSE(icon.Picture.isEmpty());
}

TEST_F(PageRendererTest, PersonBoxesGoToTheBoxRendererOnlyForThePagesTheyTouch)
{
    addPerson(1, "山田", "太郎");
    addPersonBox(1, PageW / 2 + 500, 500, 1500, 600);   // at 200 % on page 2 only
    setScale(2.0f);

    // Draw_BoxText reads the target from the context; its drawing shows up as text.
    const auto drawsText = [](const RecordingSurface& surface) {
        return !surface.callsNamed("DrawText").empty() || !surface.callsNamed("Print").empty();
    };
    RecordingSurface printer(2000, 2000, PrinterDpi);
    print(printer, 1, 1);
    EXPECT_FALSE(drawsText(printer));
    RecordingSurface second(2000, 2000, PrinterDpi);
    print(second, 1, 2);
    EXPECT_TRUE(drawsText(second));
    // The box record itself is never drawn as a frame from the box list.
    for (const auto& call : second.callsNamed("Line"))
        EXPECT_NE(call.text, "BF");

    RecordingSurface picture(400, 400);
    preview(picture, 1, 1);
    EXPECT_FALSE(drawsText(picture));
    RecordingSurface picture2(400, 400);
    preview(picture2, 1, 2);
    EXPECT_TRUE(drawsText(picture2));
}

TEST_F(PageRendererTest, PageDrawsOnlyTheRecordsThatTouchIt)
{
    addLine(800, 1600, 0.9 * PageW, 1600);             // page 1 only
    addBox(PageW + 1000, 1000, PageW + 2000, 2000);    // page 2 only
    addCaption("山田家", 2000, 2000, 3000, 600, 15);   // page 1 only

    RecordingSurface picture(400, 400);
    preview(picture, 1, 2);
    EXPECT_EQ(picture.callsNamed("Line").size(), 1u);   // the box, not the line
    EXPECT_TRUE(picture.callsNamed("Print").empty());

    RecordingSurface printer(5000, 7000, PrinterDpi);
    print(printer, 1, 2);
    EXPECT_EQ(printer.callsNamed("Line").size(), 1u);
    EXPECT_TRUE(printer.callsNamed("DrawText").empty());
}

// Every page of a chart, drawn with only the records that touch it, against the
// same page drawn with every record: the pixels are the same.
class PagePixels : public PageRendererTest, public ::testing::WithParamInterface<float> {
protected:
    static constexpr int PagesX = 3;
    static constexpr int PagesY = 2;

    // A chart whose elements straddle the page borders, in the order the
    // recording pass writes them.
    void recordMixedChart(const std::string& faceFile)
    {
        for (int slot : {1, 2, 3})
            addPerson(slot, "山田", "太郎" + std::to_string(slot));
        model::tables().per_buf[2].Sex = 1;
        const double w = pageWidth / scale();
        const double h = pageHeight / scale();
        addLine(300, 0.9 * h, 2.6 * w, 0.9 * h);
        addLine(w - 40, 200, w - 40, 1.7 * h, -1);
        addLine(0.5 * w, 1.2 * h, 2.2 * w, 1.2 * h, 2);
        addBox(w - 600, 400, w + 700, 900, 1, 0x00FF00);
        addBox(2 * w - 300, h - 300, 2 * w + 300, h + 300);
        drawing::BoxRec icon;
        icon.Left = 2 * w - 200;
        icon.Top = 0.5 * h;
        icon.Right = 2 * w + 400;
        icon.Bottom = 0.5 * h + 700;
        icon.IconF = -1;
        icon.PersonF = -1;
        icon.IconFile = faceFile;
        drawing::appendBox(icon);
        addPersonBox(1, w - 700, 0.3 * h, 1500, 700);
        addCaption("山田家の系図", w - 1500, h - 200, 3200, 500, 96);
        addPersonBox(2, 2 * w - 800, 1.1 * h, 1500, 700);
        addCaption("分家", 1.3 * w, h - 1200, 500, 2400, 90, -1);
        addPersonBox(3, 0.2 * w, h - 350, 1500, 700);
        addCaption("本家", 0.4 * w, 1.5 * h, 2000, 400, 12);
    }

    double scale() const { return GetParam(); }

    // The pixels of a surface, row by row.
    static std::vector<long> pixels(const forms::ImageSurface& surface)
    {
        std::vector<long> result;
        for (int y = 0; y < surface.heightPixels(); ++y)
            for (int x = 0; x < surface.widthPixels(); ++x)
                result.push_back(surface.point(x * surface.twipsPerPixelX(), y * surface.twipsPerPixelY()));
        return result;
    }

    double pageWidth = 0;
    double pageHeight = 0;
};

TEST_P(PagePixels, PagesDrawnFromTheirOwnRecordsMatchEveryRecordDrawn)
{
    forms::ImageSurface face(12, 14);
    face.line(0, 0, 150, 180, 0xFF0000, forms::LineShape::FilledBox);
    const std::string faceFile = home.path() + "/face.bmp";
    face.savePicture(faceFile);
    setScale(GetParam());
    icon.Width = 600 * scale() / 8;
    icon.Height = 700 * scale() / 8;

    // Preview pages of 92 x 134 screen pixels.
    pageWidth = 92 * 15 * 8;
    pageHeight = 134 * 15 * 8;
    recordMixedChart(faceFile);
    printing::PageGrid small;
    small.PageW = pageWidth;
    small.PageH = pageHeight;
    small.PrevPageW = pageWidth / 8;
    small.PrevPageH = pageHeight / 8;
    small.PrevOriginX = 45;
    small.PrevOriginY = 30;
    small.PagesX = PagesX;
    small.PagesY = PagesY;
    small.PrevRgn = {0, 0, 92, 134};
    forms::ImageSurface start(1, 1);
    const printing::PageElements elements = printing::PageElements::forPreview(small, icon, start);
    for (int row = 1; row <= PagesY; ++row) {
        for (int col = 1; col <= PagesX; ++col) {
            forms::ImageSurface page(92, 134);
            page.setClipRect(small.PrevRgn);
            printing::DrawPagePreview(page, small, row, col, icon, elements);
            forms::ImageSurface every(92, 134);
            every.setClipRect(small.PrevRgn);
            printing::DrawPagePreview(every, small, row, col, icon, elements.reachingEveryPage());
            EXPECT_EQ(pixels(page), pixels(every)) << "preview page " << row << ", " << col;
        }
    }
}

TEST_P(PagePixels, PrintedPagesDrawnFromTheirOwnRecordsMatchEveryRecordDrawn)
{
    forms::ImageSurface face(12, 14);
    const std::string faceFile = home.path() + "/face.bmp";
    face.savePicture(faceFile);
    setScale(GetParam());
    icon.Width = 600 * scale();
    icon.Height = 700 * scale();

    // Printer pages of 400 x 600 dots.
    pageWidth = 400 * 2.4;
    pageHeight = 600 * 2.4;
    recordMixedChart(faceFile);
    printing::PageGrid small;
    small.PageW = pageWidth;
    small.PageH = pageHeight;
    small.OriginX = 240;
    small.OriginY = 120;
    small.PagesX = PagesX;
    small.PagesY = PagesY;
    small.PageRgn = {0, 0, 400, 600};
    forms::ImageSurface start(1, 1, PrinterDpi);
    const printing::PageElements elements = printing::PageElements::forPrinter(small, icon, start);
    for (int row = 1; row <= PagesY; ++row) {
        for (int col = 1; col <= PagesX; ++col) {
            forms::ImageSurface page(400, 600, PrinterDpi);
            page.setClipRect(small.PageRgn);
            printing::PrintPage(page, small, row, col, icon, elements);
            forms::ImageSurface every(400, 600, PrinterDpi);
            every.setClipRect(small.PageRgn);
            printing::PrintPage(every, small, row, col, icon, elements.reachingEveryPage());
            EXPECT_EQ(pixels(page), pixels(every)) << "printed page " << row << ", " << col;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, PagePixels, ::testing::Values(1.0f, 2.5f, 0.5f));

TEST(RegionTest, RectanglesMeetTheRegionWhenTheyShareAPixel)
{
    const forms::PixelRect page{0, 0, 100, 200};
    EXPECT_TRUE(printing::rectMeetsRegion({10, 10, 20, 20}, page));
    EXPECT_TRUE(printing::rectMeetsRegion({90, 190, 150, 250}, page));
    EXPECT_TRUE(printing::rectMeetsRegion({50, 50, -50, -50}, page));   // corners in any order
    EXPECT_FALSE(printing::rectMeetsRegion({100, 10, 150, 20}, page));  // right edge is exclusive
    EXPECT_FALSE(printing::rectMeetsRegion({-50, -50, 0, 0}, page));
    EXPECT_FALSE(printing::rectMeetsRegion({10, 10, 10, 20}, page));    // no area
}

} // namespace
