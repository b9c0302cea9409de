// Drawing surfaces: what the statements draw, checked by pixels at known twips
// on an image surface, by the recorded calls, and by the files they save.

#include "forms/Colors.h"
#include "forms/DisplayList.h"
#include "forms/ExportCanvas.h"
#include "forms/ImageSurface.h"
#include "forms/Picture.h"
#include "forms/RecordingSurface.h"

#include "platform/Errors.h"

#include "ParamNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <unistd.h>

using forms::ImageSurface;
using forms::LineShape;
using forms::RGB;

namespace {

constexpr long White = 0xFFFFFF;
constexpr long Red = 0x0000FF;
constexpr long Blue = 0xFF0000;

// The pixel at pixel coordinates (x, y) of a 96-dpi surface.
long pixelAt(const ImageSurface& surface, int x, int y)
{
    return surface.point(x * 15.0 + 1.0, y * 15.0 + 1.0);
}

struct PixelBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;   // inclusive
    bool empty() const { return right < 0; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// The bounding box of every pixel that is not the background colour.
PixelBox inkBox(const ImageSurface& surface, long background = White)
{
    PixelBox box;
    for (int y = 0; y < surface.heightPixels(); ++y) {
        for (int x = 0; x < surface.widthPixels(); ++x) {
            if (pixelAt(surface, x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    return box;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t le32(const std::string& bytes, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at]))
           | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8
           | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16
           | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/tevora-surface-XXXXXX";
        m_path = ::mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

int errorNumberOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const platform::RuntimeError& e) {
        return e.number;
    }
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Line, Box and filled box

TEST(SurfaceLine, BoxOutlineCoversBothCornersAndLeavesTheInsideAlone)
{
    ImageSurface surface(100, 60);
    surface.line(10 * 15, 10 * 15, 50 * 15, 40 * 15, Red, LineShape::Box);
    EXPECT_EQ(pixelAt(surface, 10, 10), Red);
    EXPECT_EQ(pixelAt(surface, 50, 40), Red);
    EXPECT_EQ(pixelAt(surface, 30, 10), Red);
    EXPECT_EQ(pixelAt(surface, 10, 25), Red);
    EXPECT_EQ(pixelAt(surface, 30, 25), White);
    EXPECT_EQ(pixelAt(surface, 9, 10), White);
    EXPECT_EQ(pixelAt(surface, 51, 40), White);
    EXPECT_DOUBLE_EQ(surface.currentX(), 50 * 15);
    EXPECT_DOUBLE_EQ(surface.currentY(), 40 * 15);
}

TEST(SurfaceLine, FilledBoxIsFilledInTheLineColourAndOmittedColourMeansForeColor)
{
    ImageSurface surface(100, 60);
    surface.setForeColor(Blue);
    surface.line(40 * 15, 30 * 15, 20 * 15, 10 * 15, forms::UseForeColor, LineShape::FilledBox);
    const PixelBox box = inkBox(surface);
    EXPECT_EQ(box.left, 20);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 40);
    EXPECT_EQ(box.bottom, 30);
    EXPECT_EQ(pixelAt(surface, 30, 20), Blue);
    // The end point given last is where drawing continues, whatever the order.
    EXPECT_DOUBLE_EQ(surface.currentX(), 20 * 15);
    EXPECT_DOUBLE_EQ(surface.currentY(), 10 * 15);
}

TEST(SurfaceLine, FractionalTwipsMapToDevicePixelsAsFloatingPoint)
{
    // 489.6 twips is 32.64 px: the box edge lands on pixel 32 or 33, never on a
    // pixel computed from truncated twips (such as 489 / 15 = 32.6 -> 32 in one
    // axis but 33 in the other).
    ImageSurface surface(80, 80);
    surface.line(0, 0, 489.6, 489.6, 0, LineShape::FilledBox);
    const PixelBox box = inkBox(surface);
    EXPECT_EQ(box.width(), box.height());
    EXPECT_GE(box.right, 32);
    EXPECT_LE(box.right, 33);
}

struct StyleCase {
    int drawStyle;
    int drawWidth;
    bool expectGaps;
};

void PrintTo(const StyleCase& c, std::ostream* out)
{
    *out << "DrawStyle " << c.drawStyle << ", DrawWidth " << c.drawWidth;
}

class SurfaceDrawStyle : public ::testing::TestWithParam<StyleCase> {};

TEST_P(SurfaceDrawStyle, PatternsShowOnlyOnOnePixelPens)
{
    const StyleCase c = GetParam();
    ImageSurface surface(200, 20);
    surface.setDrawStyle(c.drawStyle);
    surface.setDrawWidth(c.drawWidth);
    surface.line(10 * 15, 10 * 15, 190 * 15, 10 * 15, 0);
    int inked = 0;
    for (int x = 20; x < 180; ++x)
        inked += pixelAt(surface, x, 10) == 0 ? 1 : 0;
    if (c.expectGaps) {
        EXPECT_GT(inked, 20);
        EXPECT_LT(inked, 150);
    } else {
        EXPECT_EQ(inked, 160);
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, SurfaceDrawStyle,
                         ::testing::Values(StyleCase{0, 1, false}, StyleCase{1, 1, true},
                                           StyleCase{2, 1, true}, StyleCase{3, 1, true},
                                           StyleCase{4, 1, true}, StyleCase{2, 2, false},
                                           StyleCase{1, 3, false}),
                         [](const ::testing::TestParamInfo<StyleCase>& info) {
                             return "style" + std::to_string(info.param.drawStyle) + "_width"
                                    + std::to_string(info.param.drawWidth);
                         });

TEST(SurfaceProperties, OutOfRangePenSettingsRaise380AndKeepTheOldValue)
{
    ImageSurface surface(10, 10);
    surface.setDrawWidth(3);
    surface.setDrawStyle(2);
    for (int width : {0, -1, 40000})
        EXPECT_EQ(errorNumberOf([&] { surface.setDrawWidth(width); }), 380) << width;
    for (int style : {-1, 5, 6})
        EXPECT_EQ(errorNumberOf([&] { surface.setDrawStyle(style); }), 380) << style;
    EXPECT_EQ(surface.drawWidth(), 3);
    EXPECT_EQ(surface.drawStyle(), 2);
}

TEST(SurfaceProperties, SystemColoursDrawThroughThePaletteAndReadBackUnchanged)
{
    ImageSurface surface(20, 20);
    surface.setForeColor(forms::vbDesktop);
    surface.line(0, 0, 150, 150, forms::UseForeColor, LineShape::FilledBox);
    EXPECT_EQ(surface.foreColor(), forms::vbDesktop);
    EXPECT_EQ(pixelAt(surface, 5, 5), forms::systemColorRgb(1));
    EXPECT_EQ(forms::resolveColor(0x0140), 0x0140);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
}

// ---------------------------------------------------------------------------
// Text

TEST(SurfaceText, PrintDrawsInTheCellAtCurrentXYAndMovesToTheNextLine)
{
    ImageSurface surface(300, 100);
    surface.setFontSize(12);
    surface.setCurrentX(40 * 15);
    surface.setCurrentY(20 * 15);
    const double width = surface.textWidth("HHHH");
    const double height = surface.textHeight("HHHH");
    surface.print("HHHH");

    EXPECT_DOUBLE_EQ(surface.currentX(), 0.0);
    EXPECT_DOUBLE_EQ(surface.currentY(), 20 * 15 + height);
    const PixelBox ink = inkBox(surface);
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.left, 40);
    EXPECT_GE(ink.top, 20);
    EXPECT_LE(ink.right, 40 + std::ceil(width / 15) + 1);
    EXPECT_LE(ink.bottom, 20 + std::ceil(height / 15));
    // Capital H fills most of the cell's width and sits below its top.
    EXPECT_GE(ink.width(), width / 15 - 4);
}

TEST(SurfaceText, MultiLineTextMeasuresTheWidestLineAndEveryLine)
{
    ImageSurface surface(10, 10);
    surface.setFontSize(10);
    const double one = surface.textHeight("x");
    EXPECT_DOUBLE_EQ(surface.textHeight("ab\r\ncdefgh\r\nx"), 3 * one);
    EXPECT_DOUBLE_EQ(surface.textWidth("ab\r\ncdefgh\r\nx"), surface.textWidth("cdefgh"));
    EXPECT_DOUBLE_EQ(surface.textHeight(""), one);
}

TEST(SurfaceText, PrintOfSeveralLinesAdvancesByAllOfThem)
{
    forms::RecordingSurface surface(200, 200);
    surface.setCurrentY(150);
    surface.print("a\r\nb");
    EXPECT_DOUBLE_EQ(surface.currentY(), 150 + surface.textHeight("a\r\nb"));
    const auto prints = surface.callsNamed("Print");
    ASSERT_EQ(prints.size(), 1u);
    EXPECT_EQ(prints[0].text, "a\r\nb");
    EXPECT_DOUBLE_EQ(prints[0].numbers[1], 150.0);
}

TEST(SurfaceText, FractionalSizesMeasureBetweenTheirWholeNeighbours)
{
    ImageSurface surface(10, 10);
    const std::string text = "山田太郎 1945";
    surface.setFontSize(20);
    const double at20 = surface.textWidth(text);
    surface.setFontSize(21);
    const double at21 = surface.textWidth(text);
    surface.setFontSize(20.5);
    const double atHalf = surface.textWidth(text);
    EXPECT_DOUBLE_EQ(surface.fontSize(), 20.5);
    EXPECT_GT(atHalf, at20);
    EXPECT_LT(atHalf, at21);
}

class SurfaceTextInk : public ::testing::TestWithParam<double> {};

TEST_P(SurfaceTextInk, PrintedTextIsAsWideAsTextWidthSays)
{
    // Fractional pixel sizes (7.125 pt is 9.5 px) must be drawn at that size,
    // not at the whole pixel size a font is made with.
    ImageSurface surface(400, 60);
    surface.setFontSize(GetParam());
    const std::string text = "山田太郎山田太郎山田";
    surface.setCurrentX(150);
    surface.setCurrentY(150);
    surface.print(text);
    const PixelBox ink = inkBox(surface);
    ASSERT_FALSE(ink.empty());
    // The ink ends a side bearing (under a fifth of the em) before the advance;
    // a font drawn half a pixel too large or small would be 5 px off here.
    const double advance = surface.textWidth(text) / 15;
    const double em = GetParam() * 96 / 72;
    EXPECT_LE(ink.right - 10, advance + 1);
    EXPECT_GE(ink.right - 10, advance - em / 5 - 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SurfaceTextInk, ::testing::Values(7.125, 9.0, 10.5, 13.875));

TEST(SurfaceText, SizeZeroOrBelowDrawsAtOnePointButReadsBackAsSet)
{
    ImageSurface surface(10, 10);
    surface.setFontSize(1);
    const double onePoint = surface.textHeight("A");
    for (double size : {0.0, -3.0}) {
        surface.setFontSize(size);
        EXPECT_DOUBLE_EQ(surface.fontSize(), size);
        EXPECT_DOUBLE_EQ(surface.textHeight("A"), onePoint);
    }
}

struct DpiCase {
    const char* text;
    double size;
    bool bold;
};

void PrintTo(const DpiCase& c, std::ostream* out)
{
    *out << '"' << c.text << "\" at " << c.size << " pt" << (c.bold ? " bold" : "");
}

class SurfaceTextAcrossResolutions : public ::testing::TestWithParam<DpiCase> {};

TEST_P(SurfaceTextAcrossResolutions, TextWidthAt96And600DpiAgreesWithinAPixel)
{
    const DpiCase c = GetParam();
    ImageSurface screen(10, 10, 96);
    ImageSurface printer(10, 10, 600);
    EXPECT_DOUBLE_EQ(printer.twipsPerPixelX(), 2.4);
    for (ImageSurface* s : {&screen, &printer}) {
        s->setFontSize(c.size);
        s->setFontBold(c.bold);
    }
    EXPECT_NEAR(screen.textWidth(c.text), printer.textWidth(c.text), 15.0);
    EXPECT_NEAR(screen.textHeight(c.text), printer.textHeight(c.text), 15.0);
}

INSTANTIATE_TEST_SUITE_P(Texts, SurfaceTextAcrossResolutions,
                         ::testing::Values(DpiCase{"山田 太郎", 9, false}, DpiCase{"1945", 10.5, false},
                                           DpiCase{"ABCabc xyz", 24, true},
                                           DpiCase{"〒123-4567 東京都千代田区", 7.125, false},
                                           DpiCase{"ｱｲｳｴｵ ﾞﾟ", 36, false}),
                         [](const ::testing::TestParamInfo<DpiCase>& info) {
                             std::ostringstream size;
                             size << info.param.size;
                             return forms_test::identifierOf(size.str() + "pt" + (info.param.bold ? " bold" : ""));
                         });

TEST(SurfaceText, FontNameIsKeptAsGivenAndJapaneseNamesDrawWithTheirSubstitute)
{
    ImageSurface surface(10, 10);
    surface.setFontName("ＭＳ 明朝");
    EXPECT_EQ(surface.fontName(), "ＭＳ 明朝");
    const double mincho = surface.textWidth("abcdefghij");
    surface.setFontName("ＭＳ ゴシック");
    // Both substitutes are fixed-pitch: ten half-width letters are five
    // full-width characters wide.
    EXPECT_NEAR(surface.textWidth("abcdefghij"), mincho, 1.0);
    EXPECT_NEAR(surface.textWidth("abcdefghij"), surface.textWidth("山田太郎五"), 15.0);
}

// ---------------------------------------------------------------------------
// DrawText and the clip

TEST(SurfaceDrawText, Format37CentresOneLineInTheRectangleInTheTextColour)
{
    ImageSurface surface(300, 100);
    surface.setFontSize(14);
    surface.setForeColor(Blue);
    surface.setTextColor(Red);
    surface.drawText("MMMM", forms::PixelRect{20, 10, 280, 90}, forms::DrawTextFormat::CenteredSingleLine);
    const PixelBox ink = inkBox(surface);
    ASSERT_FALSE(ink.empty());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 150.0, 2.0);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 50.0, 4.0);
    bool anyRed = false;
    for (int x = ink.left; x <= ink.right && !anyRed; ++x)
        for (int y = ink.top; y <= ink.bottom && !anyRed; ++y)
            anyRed = pixelAt(surface, x, y) == Red;
    EXPECT_TRUE(anyRed);
}

TEST(SurfaceDrawText, Format0StartsTopLeftAndBreaksOnlyAtLineFeeds)
{
    ImageSurface surface(400, 200);
    surface.setFontSize(12);
    const double lineHeightPx = surface.textHeight("H") / 15;
    surface.drawText("HHHH HHHH HHHH\nHH", forms::PixelRect{30, 40, 120, 200}, forms::DrawTextFormat::TopLeft);
    const PixelBox ink = inkBox(surface);
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.left, 30);
    EXPECT_LE(ink.left, 33);
    EXPECT_GE(ink.top, 40);
    // Two lines, not wrapped at the blanks into four; the long first line is
    // cut at the rectangle's right edge.
    EXPECT_GT(ink.bottom, 40 + lineHeightPx);
    EXPECT_LT(ink.bottom, 40 + 2 * lineHeightPx + 1);
    EXPECT_LE(ink.right, 119);
}

class SurfaceDrawTextFormats : public ::testing::TestWithParam<int> {};

TEST_P(SurfaceDrawTextFormats, OtherFormatBitsRaiseInvalidCallAndDrawNothing)
{
    ImageSurface surface(100, 50);
    EXPECT_EQ(errorNumberOf([&] { surface.drawText("x", forms::PixelRect{0, 0, 100, 50}, GetParam()); }), 5);
    EXPECT_TRUE(inkBox(surface).empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceDrawTextFormats, ::testing::Values(2, 8, 16, 64, 256, 37 | 16, 1024));

TEST(SurfaceClip, ClipPersistsAcrossClsAndLimitsEveryStatement)
{
    ImageSurface surface(100, 100);
    surface.setClipRect(forms::PixelRect{10, 10, 20, 30});
    surface.line(0, 0, 99 * 15, 99 * 15, Red, LineShape::FilledBox);
    surface.cls();
    EXPECT_TRUE(inkBox(surface).empty()) << "Cls erases everything";
    EXPECT_TRUE(surface.hasClip());
    surface.line(0, 0, 99 * 15, 99 * 15, Red, LineShape::FilledBox);
    const PixelBox box = inkBox(surface);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 19) << "right edge is exclusive";
    EXPECT_EQ(box.bottom, 29);
    surface.clearClip();
    surface.line(50 * 15, 50 * 15, 60 * 15, 60 * 15, Blue, LineShape::FilledBox);
    EXPECT_EQ(pixelAt(surface, 55, 55), Blue);
}

TEST(SurfaceCls, FillsWithBackColorAndHomesTheDrawingPosition)
{
    ImageSurface surface(40, 40);
    surface.line(0, 0, 300, 300, Red, LineShape::FilledBox);
    surface.setCurrentX(77);
    surface.setCurrentY(88);
    surface.setBackColor(RGB(0, 128, 0));
    surface.cls();
    EXPECT_EQ(surface.currentX(), 0.0);
    EXPECT_EQ(surface.currentY(), 0.0);
    EXPECT_EQ(pixelAt(surface, 5, 5), RGB(0, 128, 0));
    EXPECT_EQ(pixelAt(surface, 39, 39), RGB(0, 128, 0));
    EXPECT_DOUBLE_EQ(surface.scaleWidth(), 40 * 15);
    EXPECT_EQ(surface.point(40 * 15, 0), -1);
}

// ---------------------------------------------------------------------------
// PaintPicture and recorded calls

namespace {

// A 2 x 2 picture: red, blue / green, black.
forms::Picture quadrantPicture(const TempDir& dir)
{
    ImageSurface source(2, 2);
    source.line(0, 0, 0, 0, Red, LineShape::FilledBox);
    source.line(15, 0, 15, 0, Blue, LineShape::FilledBox);
    source.line(0, 15, 0, 15, RGB(0, 255, 0), LineShape::FilledBox);
    source.line(15, 15, 15, 15, 0, LineShape::FilledBox);
    const std::string path = dir.file("quad.bmp");
    source.savePicture(path);
    return forms::LoadPicture(path);
}

} // namespace

TEST(SurfacePaintPicture, StretchesTheWholePictureOrAPartOfIt)
{
    TempDir dir;
    const forms::Picture picture = quadrantPicture(dir);
    ASSERT_EQ(picture.widthPixels(), 2);

    forms::RecordingSurface surface(200, 100);
    surface.paintPicture(picture, 10 * 15, 10 * 15, 40 * 15, 40 * 15);
    ImageSurface& image = *surface.imageSurface();
    EXPECT_EQ(pixelAt(image, 15, 15), Red);
    EXPECT_EQ(pixelAt(image, 45, 15), Blue);
    EXPECT_EQ(pixelAt(image, 15, 45), RGB(0, 255, 0));
    EXPECT_EQ(pixelAt(image, 45, 45), 0);
    EXPECT_EQ(pixelAt(image, 51, 51), White);

    // Only the right column of the source, stretched over 20 x 20 px.
    surface.paintPicture(picture, 100 * 15, 10 * 15, 20 * 15, 20 * 15, 15, 0, 15, 30);
    EXPECT_EQ(pixelAt(image, 105, 12), Blue);
    EXPECT_EQ(pixelAt(image, 105, 27), 0);

    // Natural size when the size is left out: 2 x 2 px.
    surface.paintPicture(picture, 150 * 15, 80 * 15);
    EXPECT_EQ(pixelAt(image, 150, 80), Red);
    EXPECT_EQ(pixelAt(image, 152, 80), White);

    const auto calls = surface.callsNamed("PaintPicture");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].numbers[2], 600.0);
    EXPECT_TRUE(std::isnan(calls[2].numbers[2]));
    EXPECT_EQ(calls[0].text, dir.file("quad.bmp"));
}

TEST(SurfacePaintPicture, AnEmptyPictureRaises481)
{
    ImageSurface surface(10, 10);
    EXPECT_EQ(errorNumberOf([&] { surface.paintPicture(forms::Picture(), 0, 0); }), 481);
}

TEST(SurfaceRecording, LogsStatementsInOrderWithTheColourActuallyUsed)
{
    forms::RecordingSurface surface(100, 100);
    surface.setForeColor(Blue);
    surface.line(0, 0, 150, 150, forms::UseForeColor, LineShape::Box);
    surface.line(0, 0, 300, 300, Red, LineShape::FilledBox);
    surface.line(0, 0, 450, 0);
    surface.print("x");
    ASSERT_EQ(surface.calls().size(), 5u);
    const auto lines = surface.callsNamed("Line");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "B");
    EXPECT_EQ(lines[0].value, Blue);
    EXPECT_EQ(lines[1].text, "BF");
    EXPECT_EQ(lines[1].value, Red);
    EXPECT_EQ(lines[2].text, "");
    // Print starts where the last line ended.
    EXPECT_EQ(surface.calls()[4].name, "Print");
    EXPECT_DOUBLE_EQ(surface.calls()[4].numbers[0], 450.0);
    EXPECT_DOUBLE_EQ(surface.calls()[4].numbers[1], 0.0);
}

// ---------------------------------------------------------------------------
// Display lists

namespace {

template <class S>
void drawSample(S& surface)
{
    surface.setFontSize(11);
    surface.line(15, 15, 1200, 600, Red, LineShape::Box);
    surface.setDrawStyle(2);
    surface.line(15, 300, 1200, 300, Blue);
    surface.setDrawStyle(0);
    surface.line(150, 400, 400, 550, RGB(0, 128, 0), LineShape::FilledBox);
    surface.setCurrentX(450);
    surface.setCurrentY(60);
    surface.print("山田");
    surface.setClipRect(forms::PixelRect{0, 0, 60, 40});
    surface.setCurrentX(450);
    surface.print("太郎太郎太郎");
    surface.clearClip();
    surface.drawText("D", forms::PixelRect{50, 0, 80, 20}, 37);
}

} // namespace

TEST(DisplayList, ReplayDrawsExactlyWhatAnImageSurfaceDraws)
{
    ImageSurface direct(90, 45);
    drawSample(direct);
    forms::DisplayListSurface recorded;
    recorded.setSizePixels(90, 45);
    drawSample(recorded);
    EXPECT_DOUBLE_EQ(recorded.textWidth("山田"), direct.textWidth("山田"));

    ImageSurface replayed(90, 45);
    replayed.paintPicture(recorded.image(), 0, 0);
    int differing = 0;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 90; ++x)
            differing += pixelAt(direct, x, y) != pixelAt(replayed, x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
}

TEST(DisplayList, ClsDropsTheRecordingAndKeepsTheClip)
{
    forms::DisplayListSurface surface;
    surface.setSizePixels(50, 50);
    int changes = 0;
    surface.setChangeHandler([&] { ++changes; });
    surface.setClipRect(forms::PixelRect{0, 0, 10, 10});
    for (int i = 0; i < 100; ++i)
        surface.line(0, i * 15.0, 750, i * 15.0, Red);
    EXPECT_GE(surface.operationCount(), 100u);
    EXPECT_GE(changes, 100);
    surface.cls();
    EXPECT_LE(surface.operationCount(), 1u) << "only the clip survives Cls";
    surface.line(0, 0, 49 * 15, 49 * 15, Red, LineShape::FilledBox);

    ImageSurface check(50, 50);
    check.paintPicture(surface.image(), 0, 0);
    EXPECT_EQ(pixelAt(check, 5, 5), Red);
    EXPECT_EQ(pixelAt(check, 20, 20), White);
}

TEST(DisplayList, BackColorChangeErasesAndResizingKeepsTheDrawing)
{
    forms::DisplayListSurface surface;
    surface.setSizePixels(20, 20);
    surface.line(0, 0, 150, 150, Red, LineShape::FilledBox);
    surface.setSizePixels(40, 40);
    ImageSurface check(40, 40);
    check.paintPicture(surface.image(), 0, 0);
    EXPECT_EQ(pixelAt(check, 5, 5), Red);
    EXPECT_DOUBLE_EQ(surface.scaleWidth(), 600.0);

    surface.setBackColor(Blue);
    check.paintPicture(surface.image(), 0, 0);
    EXPECT_EQ(pixelAt(check, 5, 5), Blue);
    EXPECT_EQ(pixelAt(check, 35, 35), Blue);
}

// ---------------------------------------------------------------------------
// Saving and the export canvas

TEST(SavePicture, WritesA24BitBmpOfExactlyThePixelSize)
{
    TempDir dir;
    forms::ExportCanvas canvas;
    canvas.setWidth(1234.0);   // 82.27 px -> 82
    canvas.setHeight(457.0);   // 30.47 px -> 30
    EXPECT_EQ(canvas.width(), 1234.0);
    canvas.cls();
    canvas.line(0, 0, 15, 15, Red, LineShape::FilledBox);   // 2 x 2 px at the top left
    const std::string path = dir.file("chart.bmp");
    canvas.savePicture(path);

    const std::string bmp = readFile(path);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const uint32_t width = le32(bmp, 18);
    const uint32_t height = le32(bmp, 22);
    EXPECT_EQ(width, 82u);
    EXPECT_EQ(height, 30u);
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24);
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    EXPECT_EQ(bmp.size(), 54u + rowBytes * height);
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    // Rows are stored bottom-up: the top-left pixel is in the last row, as B, G, R.
    const size_t topLeft = 54 + rowBytes * (height - 1);
    EXPECT_EQ(static_cast<unsigned char>(bmp[topLeft]), 0x00);
    EXPECT_EQ(static_cast<unsigned char>(bmp[topLeft + 2]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bmp[54]), 0xFF) << "bottom-left stays white";

    const forms::Picture back = forms::LoadPicture(path);
    EXPECT_EQ(back.widthPixels(), 82);
    EXPECT_EQ(back.heightPixels(), 30);
}

TEST(SavePicture, AFailedWriteRaisesAFileErrorAndLeavesNoFile)
{
    TempDir dir;
    ImageSurface surface(10, 10);
    const std::string missingFolder = dir.file("no-such-folder/out.bmp");
    EXPECT_EQ(errorNumberOf([&] { surface.savePicture(missingFolder); }), 76);
    EXPECT_NE(errorNumberOf([&] { surface.savePicture(dir.file("")); }), 0) << "a folder is no file";
    EXPECT_NE(errorNumberOf([&] { forms::SavePicture(forms::Picture(), dir.file("x.bmp")); }), 0);
    EXPECT_FALSE(std::ifstream(dir.file("x.bmp")).good());
}

TEST(ExportCanvas, AnOversizedCanvasRaises7AndStaysUsable)
{
    forms::ExportCanvas canvas;
    canvas.setMemoryCap(4 * 1000 * 1000);   // one million pixels
    canvas.setSize(600 * 15, 400 * 15);
    canvas.line(0, 0, 150, 150, Red, LineShape::FilledBox);

    EXPECT_EQ(errorNumberOf([&] { canvas.setWidth(3000 * 15); }), 7);
    EXPECT_EQ(canvas.width(), 600 * 15) << "a refused size is not taken";
    EXPECT_EQ(canvas.widthPixels(), 600);
    EXPECT_EQ(pixelAt(canvas, 5, 5), Red) << "the drawing survives the refusal";

    // Far beyond any image, whatever the cap: refused, no allocation attempted.
    canvas.setMemoryCap(INT64_MAX);
    EXPECT_EQ(errorNumberOf([&] { canvas.setSize(1e12, 1e12); }), 7);
    EXPECT_EQ(errorNumberOf([&] { canvas.setSize(4e9, 4e9); }), 7);

    // The failure path shrinks the canvas to one pixel and clears it.
    canvas.setSize(15, 15);
    canvas.cls();
    EXPECT_EQ(canvas.widthPixels(), 1);
    EXPECT_EQ(pixelAt(canvas, 0, 0), White);
}

TEST(ExportCanvas, NewCanvasesTakeTheConfiguredDefaultCap)
{
    const int64_t saved = forms::ExportCanvas::defaultMemoryCap();
    EXPECT_EQ(saved, int64_t(1) << 30);
    forms::ExportCanvas::setDefaultMemoryCap(400);
    forms::ExportCanvas small;
    EXPECT_EQ(errorNumberOf([&] { small.setSize(11 * 15, 10 * 15); }), 7);
    EXPECT_EQ(errorNumberOf([&] { small.setSize(10 * 15, 10 * 15); }), 0);
    forms::ExportCanvas::setDefaultMemoryCap(saved);
}
