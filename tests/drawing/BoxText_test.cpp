// The person-box renderer, checked through the recording surface.

#include "DrawingFixture.h"

#include "forms/Colors.h"
#include "forms/ImageSurface.h"
#include "forms/Surface.h"
#include "model/run_state.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace {

namespace BoxTarget = drawing::BoxTarget;
using drawing_test::DrawingFixture;
using drawing_test::WideH;
using drawing_test::WideW;
using forms::RecordingSurface;
using Call = RecordingSurface::Call;
namespace Item = model::DispItem;

class DrawBoxText : public DrawingFixture {};

// The Print calls whose text is one of the units of a word, in order.
std::vector<Call> printsOf(const RecordingSurface& surface, const std::vector<std::string>& units)
{
    std::vector<Call> found;
    for (const Call& c : surface.callsNamed("Print")) {
        if (std::find(units.begin(), units.end(), c.text) != units.end())
            found.push_back(c);
    }
    return found;
}

TEST_F(DrawBoxText, PersonNotInUseOrOutOfRangeLeavesSurfaceUntouched)
{
    person().InUse = 0;
    EXPECT_TRUE(render(WideW, WideH)->calls().empty());
    person().InUse = model::SlotUsed;
    RecordingSurface surface(66, 33);
    for (const int slot : {-1, 1025}) {
        drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(surface, WideW, WideH);
        drawing::Draw_BoxText(ctx, slot, 0, 0);
    }
    EXPECT_TRUE(surface.calls().empty());
}

// The default block: relationship label over the name, horizontal writing, a
// solid frame; 30 % of the box stays empty below the second line.
TEST_F(DrawBoxText, DefaultBoxStacksRelationOverName)
{
    const auto surface = render(WideW, WideH);
    EXPECT_EQ(printedText(*surface), " 長男 山田 太郎");

    const auto frames = surface->callsNamed("Line");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].text, "B");
    EXPECT_EQ(frames[0].numbers, (std::vector<double>{0, 0, WideW - 15, WideH - 15}));

    const auto relation = printsOf(*surface, {"長", "男"});
    const auto name = printsOf(*surface, {"山", "田", "太", "郎"});
    ASSERT_EQ(relation.size(), 2u);
    ASSERT_EQ(name.size(), 4u);
    EXPECT_LT(relation.back().numbers[1], name.front().numbers[1]);
    for (size_t i = 1; i < name.size(); ++i) {
        EXPECT_GT(name[i].numbers[0], name[i - 1].numbers[0]) << "a row runs left to right";
        EXPECT_DOUBLE_EQ(name[i].numbers[1], name[0].numbers[1]);
    }
    for (const Call& c : surface->callsNamed("Print")) {
        EXPECT_GE(c.numbers[0], 0);
        EXPECT_LT(c.numbers[0], WideW);
        EXPECT_GE(c.numbers[1], 0);
        EXPECT_LT(c.numbers[1], 0.7 * WideH);
    }
}

TEST_F(DrawBoxText, VerticalBoxLaysColumnsRightToLeft)
{
    disp().DS_Houko = 1;
    const auto surface = render(WideH, WideW);
    const auto relation = printsOf(*surface, {"長", "男"});
    const auto name = printsOf(*surface, {"山", "田", "太", "郎"});
    ASSERT_EQ(relation.size(), 2u);
    ASSERT_EQ(name.size(), 4u);
    EXPECT_GT(relation[0].numbers[0], name[0].numbers[0]) << "the first item is the right column";
    for (size_t i = 1; i < name.size(); ++i)
        EXPECT_GT(name[i].numbers[1], name[i - 1].numbers[1]) << "a column runs top to bottom";
    for (const Call& c : surface->callsNamed("Print")) {
        EXPECT_GE(c.numbers[0], 0);
        EXPECT_LT(c.numbers[0], WideH);
    }
}

struct ShareCase {
    double name;
    double relation;
    double remarks;
    double scale;
};
std::ostream& operator<<(std::ostream& os, const ShareCase& c)
{
    return os << c.name << "+" << c.relation << "+" << c.remarks;
}

class ItemShares : public DrawingFixture, public ::testing::WithParamInterface<ShareCase> {};

TEST_P(ItemShares, AboveTheWholeBoxAreScaledDown)
{
    const ShareCase& c = GetParam();
    showOnly({{Item::Relation, c.relation}, {Item::Name, c.name}, {Item::Remarks, c.remarks}});
    disp().DWidth[Item::Address] = 90; // hidden: never counted
    render(WideW, WideH);
    const model::DispStat& last = model::tables().LastDispStat;
    EXPECT_NEAR(last.DWidth[Item::Name], c.name * c.scale, 1e-9);
    EXPECT_NEAR(last.DWidth[Item::Relation], c.relation * c.scale, 1e-9);
    EXPECT_NEAR(last.DWidth[Item::Remarks], c.remarks * c.scale, 1e-9);
    EXPECT_EQ(last.DWidth[Item::Address], 90);
    EXPECT_EQ(disp().DWidth[Item::Name], c.name) << "the person's own block is not changed";
}

INSTANTIATE_TEST_SUITE_P(, ItemShares,
    ::testing::Values(ShareCase{50, 40, 30, 100.0 / 120}, ShareCase{50, 20, 30, 1}, ShareCase{50, 20, 0, 1}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(DrawBoxText, ItemsFollowRankAndEqualRanksKeepItemOrder)
{
    person().Old_name = "旧";
    person().Kaimyo = "戒";
    showOnly({{Item::Posthumous, 30}, {Item::OldName, 30}});
    disp().DRank[Item::OldName] = 3;
    disp().DRank[Item::Posthumous] = 3;
    EXPECT_EQ(printedText(*render(WideW, WideH)), " 旧  戒 ");
    disp().DRank[Item::Posthumous] = 2;
    EXPECT_EQ(printedText(*render(WideW, WideH)), " 戒  旧 ");
}

// The replacement follows the chart's writing direction, not the box's.
struct BracketCase {
    int16_t writeState;
    int16_t boxHouko;
    std::vector<std::string> units;
};
std::ostream& operator<<(std::ostream& os, const BracketCase& c)
{
    return os << "write_state " << c.writeState << ", DS_Houko " << c.boxHouko;
}

class Brackets : public DrawingFixture, public ::testing::WithParamInterface<BracketCase> {};

TEST_P(Brackets, AreUprightOnlyInAVerticalChart)
{
    model::settings().write_state = GetParam().writeState;
    disp().DS_Houko = GetParam().boxHouko;
    disp().DS_FName = 0;
    person().Name = "（太郎）ー。";
    showOnly({{Item::Name, 100}});
    EXPECT_EQ(printedUnits(*render(WideH, WideW)), GetParam().units);
}

INSTANTIATE_TEST_SUITE_P(, Brackets,
    ::testing::Values(
        BracketCase{1, 1, {"∧", "太", "郎", "∨", "|", "゜"}},
        BracketCase{1, 0, {"∧", "太", "郎", "∨", "|", "゜"}},
        BracketCase{0, 1, {"（", "太", "郎", "）", "ー", "。"}}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(DrawBoxText, DateDigitsFormOneUnitTelephoneDigitsDoNot)
{
    model::settings().write_state = 1;
    disp().DS_Houko = 1;
    disp().DS_Nen = 4;
    person().B_day = "昭和20年08月15日";
    person().TelNo = "03-12";
    showOnly({{Item::Birth, 50}, {Item::Tel, 50}});
    const auto surface = render(WideH, WideW);
    EXPECT_EQ(printedUnits(*surface),
              (std::vector<std::string>{" ", "1945", "/", "08", "/", "15", " ", "生", " ", " ", "0", "3", "|", "1",
                                        "2", " "}));
}

struct BirthCase {
    const char* stored;
    std::vector<std::string> units;
};
std::ostream& operator<<(std::ostream& os, const BirthCase& c) { return os << '"' << c.stored << '"'; }

class BirthLine : public DrawingFixture, public ::testing::WithParamInterface<BirthCase> {};

TEST_P(BirthLine, ShowsFormattedStoredOrBlankText)
{
    disp().DS_Nen = 1;
    person().B_day = GetParam().stored;
    person().Kaimyo = "戒";
    showOnly({{Item::Birth, 30}, {Item::Posthumous, 30}});
    const auto surface = render(WideW, WideH);
    EXPECT_EQ(printedUnits(*surface), GetParam().units);
    // The birth line keeps its place even when blank: the next item starts below it.
    const auto posthumous = printsOf(*surface, {"戒"});
    ASSERT_EQ(posthumous.size(), 1u);
    EXPECT_GE(posthumous[0].numbers[1], 0.3 * WideH - 1e-9);
}

INSTANTIATE_TEST_SUITE_P(, BirthLine,
    ::testing::Values(
        BirthCase{"", {" ", " ", " ", "戒", " "}},
        BirthCase{"  ", {" ", " ", " ", "戒", " "}},
        BirthCase{" 不明 ", {" ", "不", "明", " ", "生", " ", " ", "戒", " "}},
        BirthCase{"S64/01/07", {" ", "昭", "和", "64", "年", "01", "月", "07", "日", " ", "生", " ", " ", "戒", " "}}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(DrawBoxText, LineFeedStartsANewRowAndCarriageReturnIsIgnored)
{
    person().Biko = "一\r\n二";
    showOnly({{Item::Remarks, 100}});
    const auto surface = render(WideW, WideH);
    const auto units = surface->callsNamed("Print");
    ASSERT_EQ(printedUnits(*surface), (std::vector<std::string>{"一", "二"}));
    EXPECT_DOUBLE_EQ(units[0].numbers[0], units[1].numbers[0]) << "rows start at the same left edge";
    EXPECT_GT(units[1].numbers[1], units[0].numbers[1]);
}

// Only 100 lines of an item stand side by side; later columns fall on the 100th.
TEST_F(DrawBoxText, LinesFromTheHundredAndFirstPileOnTheLastColumn)
{
    disp().DS_Houko = 1;
    std::string remarks;
    for (int i = 0; i < 103; ++i)
        remarks += "a\n";
    person().Biko = remarks;
    showOnly({{Item::Remarks, 100}});
    const auto units = render(WideH, WideW)->callsNamed("Print");
    ASSERT_EQ(units.size(), 103u);
    for (size_t i = 1; i < 99; ++i)
        EXPECT_LT(units[i].numbers[0], units[i - 1].numbers[0]) << "line " << i;
    EXPECT_DOUBLE_EQ(units[101].numbers[0], units[100].numbers[0]);
    EXPECT_DOUBLE_EQ(units[102].numbers[0], units[100].numbers[0]);
}

struct FrameCase {
    int16_t waku;
    int16_t pattern;
    int drawStyle; // -1: no frame
};
std::ostream& operator<<(std::ostream& os, const FrameCase& c)
{
    return os << "DS_Waku " << c.waku << " DS_WakuPat " << c.pattern;
}

class FramePattern : public DrawingFixture, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FramePattern, DrawsFrameInItsLineStyle)
{
    disp().DS_Waku = GetParam().waku;
    disp().DS_WakuPat = GetParam().pattern;
    RecordingSurface surface(66, 33);
    surface.setDrawStyle(forms::DrawStyle::Dot);
    surface.setDrawWidth(3);
    surface.clearCalls();
    drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(surface, WideW, WideH);
    drawing::Draw_BoxText(ctx, drawing_test::Person, 0, 0);

    const auto& calls = surface.calls();
    const auto frame = std::find_if(calls.begin(), calls.end(), [](const Call& c) { return c.name == "Line"; });
    if (GetParam().drawStyle < 0) {
        EXPECT_EQ(frame, calls.end());
    } else {
        ASSERT_NE(frame, calls.end());
        EXPECT_EQ(frame->text, "B");
        const auto style = std::find_if(std::make_reverse_iterator(frame), calls.rend(),
                                        [](const Call& c) { return c.name == "DrawStyle"; });
        ASSERT_NE(style, calls.rend());
        EXPECT_EQ(style->value, GetParam().drawStyle);
    }
    EXPECT_EQ(surface.drawStyle(), forms::DrawStyle::Dot) << "DrawStyle comes back as found";
    EXPECT_EQ(surface.drawWidth(), 1);
}

INSTANTIATE_TEST_SUITE_P(, FramePattern,
    ::testing::Values(FrameCase{1, 0, 0}, FrameCase{1, 1, 1}, FrameCase{1, 2, 2}, FrameCase{1, 3, 3},
                      FrameCase{1, 4, 4}, FrameCase{1, 7, 0}, FrameCase{1, 9, 0}, FrameCase{1, -1, 0},
                      FrameCase{0, 1, -1}, FrameCase{0, 9, -1}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(DrawBoxText, DeathFrameIsFourFilledBarsInsideTheBox)
{
    model::settings().Dispmode_Death = 1;
    disp().DS_DeathW = 1;
    const auto surface = render(WideW, WideH);
    const auto bars = surface->callsNamed("Line");
    ASSERT_EQ(bars.size(), 5u);
    // Wider than high: the thickness is a fiftieth of the width, 990 / 50 -> 19.
    const double d = 19;
    const double x2 = WideW - 15;
    const double y2 = WideH - 15;
    const std::vector<std::vector<double>> expected = {
        {0, 0, d, y2}, {0, 0, x2, d}, {0, y2 - d, x2, y2}, {x2 - d, 0, x2, y2}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(bars[i + 1].text, "BF");
        EXPECT_EQ(bars[i + 1].numbers, expected[i]) << "bar " << i;
    }
    for (const Call& c : surface->callsNamed("Print")) {
        EXPECT_GE(c.numbers[0], d) << "text stays inside the death frame";
        EXPECT_GE(c.numbers[1], d);
    }
}

TEST_F(DrawBoxText, DeathFrameNeedsTheDocumentSetting)
{
    model::settings().Dispmode_Death = 0;
    disp().DS_DeathW = 1;
    EXPECT_TRUE(render(WideW, WideH)->callsNamed("Line").size() == 1u);
}

TEST_F(DrawBoxText, DeathFrameCornersSnapToPixelsOnTheChartOnly)
{
    model::settings().Dispmode_Death = 1;
    disp().DS_DeathW = 1;
    const double x = 100;
    const double y = 52;
    for (const int16_t target : {BoxTarget::Chart, BoxTarget::Preview}) {
        RecordingSurface surface(200, 100);
        drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(surface, WideW, WideH, target);
        ctx.Draw_ForOutput = 1; // the box extent is W x H on the picture export
        drawing::Draw_BoxText(ctx, drawing_test::Person, x, y);
        const auto bars = surface.callsNamed("Line");
        ASSERT_EQ(bars.size(), 5u);
        const double snappedX = target == BoxTarget::Chart ? 105 : 100; // round(107.5) = 108 -> 7 x 15
        const double snappedY = target == BoxTarget::Chart ? 60 : 52;   // round(59.5) = 60 -> 4 x 15
        EXPECT_EQ(bars[1].numbers[0], snappedX) << "target " << target;
        EXPECT_EQ(bars[1].numbers[1], snappedY) << "target " << target;
    }
}

struct ColourCase {
    int16_t mode;
    int16_t sex;
    long colour;
};
std::ostream& operator<<(std::ostream& os, const ColourCase& c)
{
    return os << "Dispmode_Manwoman " << c.mode << " Sex " << c.sex;
}

class TextColour : public DrawingFixture, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(TextColour, FollowsSexAndComesBackAfterwards)
{
    const long green = forms::RGB(0, 128, 0);
    model::settings().Dispmode_Manwoman = GetParam().mode;
    person().Sex = GetParam().sex;
    RecordingSurface surface(66, 33);
    surface.setForeColor(green);
    drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(surface, WideW, WideH);
    drawing::Draw_BoxText(ctx, drawing_test::Person, 0, 0);
    const long expected = GetParam().colour < 0 ? green : GetParam().colour;
    for (const Call& c : surface.callsNamed("Print"))
        EXPECT_EQ(c.value, expected);
    EXPECT_EQ(surface.callsNamed("Line").at(0).value, expected) << "the frame takes the text colour";
    EXPECT_EQ(surface.foreColor(), green);
}

INSTANTIATE_TEST_SUITE_P(, TextColour,
    ::testing::Values(ColourCase{0, 1, forms::RGB(0, 0, 0)}, ColourCase{1, 0, forms::RGB(0, 0, 255)},
                      ColourCase{1, 1, forms::RGB(255, 0, 0)}, ColourCase{1, 5, -1}, ColourCase{2, 0, -1}),
    [](const auto& info) { return std::to_string(info.index); });

// On the printer the frame is four single lines, units go out as device-context
// text, and the text keeps PWM_Value printer pixels from the frame.
TEST_F(DrawBoxText, PrinterTargetUsesLinesDeviceTextAndInset)
{
    person().Biko = "備";
    showOnly({{Item::Remarks, 100}});
    disp().DHLocate[Item::Remarks] = 1; // left
    disp().DWLocate[Item::Remarks] = 2; // top
    const int dpi = 600;                // 2.4 twips per pixel
    for (const double margin : {0.0, 2.0}) {
        SCOPED_TRACE(margin);
        model::runState().PWM_Value = margin;
        const auto surface = render(WideW, WideH, BoxTarget::Printer, dpi);
        const auto lines = surface->callsNamed("Line");
        ASSERT_EQ(lines.size(), 4u);
        for (const Call& l : lines)
            EXPECT_EQ(l.text, "");
        EXPECT_EQ(lines[0].numbers, (std::vector<double>{0, 0, WideW - 2.4, 0})) << "top edge first";
        EXPECT_TRUE(surface->callsNamed("Print").empty());
        const auto texts = surface->callsNamed("DrawText");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "備");
        EXPECT_EQ(texts[0].numbers[0], margin);
        EXPECT_EQ(texts[0].numbers[1], margin);
        EXPECT_GT(texts[0].numbers[2], texts[0].numbers[0]);
        EXPECT_EQ(surface->callsNamed("SetTextColor").size(), 1u);
    }
}

TEST_F(DrawBoxText, ChartAndPreviewTargetsHaveNoInset)
{
    model::runState().PWM_Value = 2;
    person().Biko = "備";
    showOnly({{Item::Remarks, 100}});
    disp().DHLocate[Item::Remarks] = 1;
    disp().DWLocate[Item::Remarks] = 2;
    for (const int16_t target : {BoxTarget::Chart, BoxTarget::Preview}) {
        const auto prints = render(WideW, WideH, target)->callsNamed("Print");
        ASSERT_EQ(prints.size(), 1u);
        EXPECT_EQ(prints[0].numbers[0], 0) << "target " << target;
        EXPECT_EQ(prints[0].numbers[1], 0) << "target " << target;
    }
}

TEST_F(DrawBoxText, DebugFlagOutlinesEveryPrintedUnit)
{
    model::runState().Dbg_Flag = 1;
    const auto surface = render(WideW, WideH, BoxTarget::Printer, 600);
    const auto units = surface->callsNamed("DrawText");
    size_t outlines = 0;
    for (const Call& l : surface->callsNamed("Line"))
        outlines += l.text == "B" ? 1 : 0;
    EXPECT_EQ(outlines, units.size());
}

// --- Fit_ItemSize on the real font -------------------------------------------

class FitItemSize : public DrawingFixture {
protected:
    drawing::BoxTextCtx cell(forms::Surface& surface, const std::string& text, double w, double h)
    {
        drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(surface, w, h);
        ctx.FontName = model::settings().font;
        ctx.Text = text;
        ctx.FontSize = 50;
        return ctx;
    }

    static bool fitsAt(drawing::BoxTextCtx ctx, double size)
    {
        ctx.FontSize = size;
        ctx.DrawF = 0;
        ctx.FirstExt = ctx.BlockW = ctx.BlockH = 0;
        ctx.LineExt.fill(0);
        drawing::Fit_BoxText(ctx);
        return ctx.BlockW <= ctx.W && ctx.BlockH <= ctx.H;
    }

    forms::ImageSurface m_surface{66, 33};
};

TEST_F(FitItemSize, ChoosesTheLargestSizeThatFits)
{
    for (const char* text : {"寿限無寿限無五劫の擦り切れ海砂利水魚", "山田 太郎", "一\n二\n三"}) {
        SCOPED_TRACE(text);
        drawing::BoxTextCtx ctx = cell(m_surface, text, WideW, 240);
        drawing::Fit_ItemSize(ctx);
        EXPECT_EQ(ctx.DrawF, -1);
        EXPECT_LT(ctx.FontSize, 50);
        EXPECT_GE(ctx.FontSize, 1);
        EXPECT_LE(ctx.BlockW, ctx.W) << "extents belong to the chosen size";
        EXPECT_LE(ctx.BlockH, ctx.H);
        EXPECT_FALSE(fitsAt(ctx, ctx.FontSize + 1));
    }
}

TEST_F(FitItemSize, KeepsTheItemSizeWhenItFitsAndFallsToOne)
{
    drawing::BoxTextCtx roomy = cell(m_surface, "山", 5000, 5000);
    drawing::Fit_ItemSize(roomy);
    EXPECT_EQ(roomy.FontSize, 50);

    drawing::BoxTextCtx tiny = cell(m_surface, "山田太郎", 10, 10);
    drawing::Fit_ItemSize(tiny);
    EXPECT_EQ(tiny.FontSize, 1);
    EXPECT_EQ(tiny.DrawF, -1);
}

} // namespace
