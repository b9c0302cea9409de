// The element placers in their three outputs: the chart-control arrays on screen,
// the drawing lists, and the export picture (a recording surface, so the drawing
// statements can be checked). Coordinates are twips at 100 % zoom.

#include "ChartDrawFixture.h"

#include "drawing/CaptionSize.h"
#include "drawing/ElementPlacers.h"
#include "forms/ImageSurface.h"
#include "forms/RecordingSurface.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gmock/gmock.h>

#include <functional>
#include <string>

namespace {

using drawing_test::ChartDrawFixture;
using drawing_test::Element;
using forms::RecordingSurface;
using ::testing::DoubleNear;
using ::testing::Pointwise;

enum class Output { Screen, Lists, Export };

class ElementPlacersTest : public ChartDrawFixture {
protected:
    void SetUp() override
    {
        ChartDrawFixture::SetUp();
        layout::chart().counters = layout::ElementCounters{};
        drawing::resetDrawingLists();
        drawing::setExportCanvas(&exportSurface);
        draw().Draw_Enable = drawing::DrawingPass;
    }

    static void use(Output output)
    {
        draw().Draw_ForOutput = output == Output::Export ? -1 : 0;
        draw().Draw_ToBuf = output == Output::Lists ? -1 : 0;
    }

    static void setLine(double x1, double y1, double x2, double y2)
    {
        draw().LineX1 = x1;
        draw().LineY1 = y1;
        draw().LineX2 = x2;
        draw().LineY2 = y2;
    }

    // The DrawStyle in force when the export's first line was drawn.
    int styleOfFirstLine() const
    {
        int style = forms::DrawStyle::Solid;
        for (const RecordingSurface::Call& c : exportSurface.calls()) {
            if (c.name == "DrawStyle")
                style = static_cast<int>(c.value);
            if (c.name == "Line")
                return style;
        }
        return -100;
    }

    support::TempHome home;
    support::ScriptedResponder answers;
    RecordingSurface exportSurface{800, 600};
};

// --- Lines ---

struct LineCase {
    const char* name;
    std::function<void()> place;
    const char* array;
    int16_t style;
    int borderStyle;
    int exportStyle;
};

class LinePlacers : public ElementPlacersTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LinePlacers, EveryOutputGetsTheLineOfTheFourGlobals)
{
    const LineCase& c = GetParam();
    setLine(100, 200, 300, 400);

    use(Output::Screen);
    c.place();
    const auto lines = shown(c.array);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].index, 2);
    EXPECT_THAT((std::vector<double>{lines[0].x1, lines[0].y1, lines[0].x2, lines[0].y2}), Pointwise(DoubleNear(1e-6), std::vector<double>{100, 200, 300, 400}));
    EXPECT_EQ(lines[0].borderStyle, c.borderStyle);

    use(Output::Lists);
    c.place();
    ASSERT_EQ(draw().line_cnt, 1);
    EXPECT_EQ(draw().line_buf[0], (drawing::LineRec{100, 200, 300, 400, 0, c.style}));

    use(Output::Export);
    c.place();
    const auto drawn = exportSurface.callsNamed("Line");
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_THAT(drawn[0].numbers, Pointwise(DoubleNear(1e-6), std::vector<double>{100, 200, 300, 400}));
    EXPECT_EQ(drawn[0].value, 0); // black
    EXPECT_EQ(styleOfFirstLine(), c.exportStyle);
    EXPECT_EQ(exportSurface.drawStyle(), forms::DrawStyle::Solid); // a dotted line sets it back
    EXPECT_EQ(exportSurface.drawWidth(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LinePlacers,
    ::testing::Values(LineCase{"Solid", [] { drawing::Put_Line1(0); }, "Line1", 1, 1, forms::DrawStyle::Solid},
                      LineCase{"Dotted", [] { drawing::Put_Line7(); }, "Line7", -1, 3, forms::DrawStyle::Dot}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Face icons ---

struct IconCase {
    const char* name;
    int16_t pictureIndex;
    const char* file;
    bool placed;       // an element on screen and a record
    bool withPicture;  // a picture on screen and painted on the export
};

class FaceIcons : public ElementPlacersTest, public ::testing::WithParamInterface<IconCase> {
protected:
    void SetUp() override
    {
        ElementPlacersTest::SetUp();
        forms::ImageSurface icon(8, 8);
        icon.line(0, 0, 119, 119, 0x0000FF, forms::LineShape::FilledBox);
        icon.savePicture(home.file("\\face\\face.bmp"));
        person().Picture_index = GetParam().pictureIndex;
        person().Picture_filename = GetParam().file;
    }
};

TEST_P(FaceIcons, IconSnapsToTheGridAndNeedsAPictureIndex)
{
    const IconCase& c = GetParam();
    const std::string expectedPath = std::string(c.file).empty() ? home.file("\\face") + "/" : home.file("\\face\\face.bmp");

    use(Output::Screen);
    drawing::Put_FaceIcon(drawing_test::Person, 100, 50);
    const auto icons = shown("Image1");
    ASSERT_EQ(icons.size(), c.placed ? 1u : 0u);
    if (c.placed) {
        // 100 + 7.5 = 107.5 -> 108; 108 \ 15 = 7; 7 x 15 + 15 = 120.
        EXPECT_EQ(icons[0].left, 120);
        EXPECT_EQ(icons[0].top, 50);
        EXPECT_EQ(icons[0].width, 500);
        EXPECT_EQ(icons[0].height, 500);
        EXPECT_EQ(icons[0].picturePath.empty(), !c.withPicture);
        EXPECT_EQ(draw().Image1_Per[2], drawing_test::Person);
    }

    use(Output::Lists);
    drawing::Put_FaceIcon(drawing_test::Person, 100, 50);
    ASSERT_EQ(draw().box_cnt, c.placed ? 1 : 0);
    if (c.placed) {
        const drawing::BoxRec& r = draw().box_buf[0];
        EXPECT_THAT((std::vector<double>{r.Left, r.Top, r.Right, r.Bottom}), Pointwise(DoubleNear(1e-6), std::vector<double>{120, 50, 620, 550}));
        EXPECT_EQ((std::vector<int>{r.MarkF, r.IconF, r.ExtF, r.PersonF}), (std::vector<int>{0, -1, 1, -1}));
        EXPECT_EQ(r.IconFile, expectedPath);
    }

    use(Output::Export);
    drawing::Put_FaceIcon(drawing_test::Person, 100, 50);
    const auto painted = exportSurface.callsNamed("PaintPicture");
    ASSERT_EQ(painted.size(), c.withPicture ? 1u : 0u);
    if (c.withPicture) {
        EXPECT_EQ(painted[0].text, expectedPath);
        EXPECT_THAT((std::vector<double>(painted[0].numbers.begin(), painted[0].numbers.begin() + 4)),
                    Pointwise(DoubleNear(1e-6), std::vector<double>{120, 50, 500, 500}));
    }
    EXPECT_TRUE(answers.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Icons, FaceIcons,
                         ::testing::Values(IconCase{"NoPictureIndex", -1, "face.bmp", false, false},
                                           IconCase{"IndexWithoutFile", 0, "", true, false},
                                           IconCase{"IndexWithFile", 0, "face.bmp", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ElementPlacersTest, UnreadableIconIsReportedAndPlacesNothingFurther)
{
    home.write("\\face\\broken.bmp", "not a picture");
    person().Picture_index = 0;
    person().Picture_filename = "broken.bmp";
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);

    use(Output::Screen);
    drawing::Put_FaceIcon(drawing_test::Person, 0, 0);
    EXPECT_TRUE(shown("Image1").empty());
    use(Output::Export);
    drawing::Put_FaceIcon(drawing_test::Person, 0, 0);
    EXPECT_TRUE(exportSurface.callsNamed("PaintPicture").empty());
    // The record only names the file; nothing is loaded for it.
    use(Output::Lists);
    drawing::Put_FaceIcon(drawing_test::Person, 0, 0);
    EXPECT_EQ(draw().box_cnt, 1);

    const std::string named = "アイコンファイルが不正です\r\n" + home.file("\\face\\broken.bmp") + "\r\n（画像ファイルではありません）";
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{named, named}));
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
}

// --- Couple marks ---

struct MarkCase {
    const char* name;
    int16_t kouMode;
    bool edited;     // the marriage open in the relationship editor
    long colour;
    double left;     // x handed over: 1000
    double width;
};

class CoupleMarks : public ElementPlacersTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(CoupleMarks, MarkIsCentredOnTheBoxesAndColouredByItsMarriage)
{
    const MarkCase& c = GetParam();
    const int16_t kou = family.couple();
    model::tables().kou_buf[static_cast<size_t>(kou)].kou_mode = c.kouMode;
    model::runState().KouNum = c.edited ? kou : -1;
    // 100 twips high, centred on the box's middle 244.8 below y.
    const double top = 2000 + 244.8 - 50;

    use(Output::Screen);
    drawing::Put_CoupleMark(kou, 1000, 2000);
    const auto marks = shown("Label11");
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_NEAR(marks[0].left, c.left, 1e-9);
    EXPECT_NEAR(marks[0].top, top, 1e-9);
    EXPECT_NEAR(marks[0].width, c.width, 1e-9);
    EXPECT_NEAR(marks[0].height, 100, 1e-9);
    EXPECT_EQ(marks[0].colour, c.colour);
    EXPECT_EQ(marks[0].oleDropMode, 1);
    EXPECT_EQ(draw().Label11_Kou[2], kou);

    use(Output::Lists);
    drawing::Put_CoupleMark(kou, 1000, 2000);
    ASSERT_EQ(draw().box_cnt, 1);
    const drawing::BoxRec& r = draw().box_buf[0];
    EXPECT_NEAR(r.Left, c.left, 1e-9);
    EXPECT_NEAR(r.Right - r.Left, c.width, 1e-9);
    EXPECT_NEAR(r.Bottom - r.Top, 100, 1e-9);
    EXPECT_EQ(r.Color, c.colour);
    EXPECT_EQ((std::vector<int>{r.MarkF, r.IconF, r.ExtF, r.PersonF}), (std::vector<int>{-1, 0, 0, -1}));

    use(Output::Export);
    drawing::Put_CoupleMark(kou, 1000, 2000);
    const auto filled = exportSurface.callsNamed("Line");
    ASSERT_EQ(filled.size(), 1u);
    EXPECT_EQ(filled[0].text, "BF");
    EXPECT_EQ(filled[0].value, c.colour);
    EXPECT_NEAR(filled[0].numbers[0], c.left, 1e-9);
    EXPECT_NEAR(filled[0].numbers[2] - filled[0].numbers[0], c.width, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Marks, CoupleMarks,
                         ::testing::Values(MarkCase{"MainMarriage", 0, false, 0x40, 1000, 326.4},
                                           MarkCase{"Relation", 1, false, 0xC0C0C0, 1000 + 40.8, 244.8},
                                           MarkCase{"EditedMarriage", 0, true, 0xFF0000, 1000, 326.4},
                                           MarkCase{"EditedRelation", 1, true, 0xFF0000, 1000 + 40.8, 244.8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ElementPlacersTest, MarkOfNoMarriageRecordIsNotPlaced)
{
    for (const Output output : {Output::Screen, Output::Lists, Output::Export}) {
        use(output);
        for (const int16_t kou : {int16_t{-1}, int16_t{0}, int16_t{1025}})
            drawing::Put_CoupleMark(kou, 0, 0);
    }
    EXPECT_TRUE(shown("Label11").empty());
    EXPECT_EQ(draw().box_cnt, 0);
    EXPECT_TRUE(exportSurface.calls().empty());
}

// --- Name boxes ---

struct NameCase {
    const char* name;
    int16_t relationFlag;
    int16_t categoryF;
    int dropMode;
    const char* tag;
    int16_t relF;
    bool boxRecord;
};

class NameBoxes : public ElementPlacersTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NameBoxes, BoxIsHandedOverFifteenTwipsInAndMappedForTheHandlers)
{
    const NameCase& c = GetParam();
    person().CategoryF = c.categoryF;

    use(Output::Screen);
    drawing::Put_NameLabel(drawing_test::Person, 1015, 2015, c.relationFlag, 7, 9);
    const auto boxes = shown("DPic");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].index, 2);
    EXPECT_EQ(boxes[0].left, 1015);
    EXPECT_EQ(boxes[0].top, 2015);
    EXPECT_EQ(boxes[0].oleDropMode, c.dropMode);
    EXPECT_EQ(boxes[0].tag, c.tag);
    EXPECT_TRUE(shown("Label12").empty()); // loaded, kept invisible
    EXPECT_TRUE(form.Label12.exists(2));
    EXPECT_EQ(draw().Label12_Per[2], drawing_test::Person);
    EXPECT_EQ(draw().Label12_OyaKou[2], 7);
    EXPECT_EQ(draw().Label12_Kou[2], 9);
    EXPECT_EQ(draw().Label12_RelF[2], c.relF);

    use(Output::Lists);
    drawing::Put_NameLabel(drawing_test::Person, 1015, 2015, c.relationFlag, 7, 9);
    ASSERT_EQ(draw().text_cnt, 1);
    const drawing::TextRec& t = draw().text_buf[0];
    EXPECT_EQ(t.PerIdx, drawing_test::Person);
    EXPECT_THAT((std::vector<double>{t.X, t.Y, t.BoxW, t.BoxH}), Pointwise(DoubleNear(1e-6), std::vector<double>{1000, 2000, 979.2, 489.6}));
    EXPECT_TRUE(t.Text.empty());
    ASSERT_EQ(draw().box_cnt, c.boxRecord ? 1 : 0);
    if (c.boxRecord) {
        const drawing::BoxRec& b = draw().box_buf[0];
        EXPECT_THAT((std::vector<double>{b.Left, b.Top, b.Right, b.Bottom}), Pointwise(DoubleNear(1e-6), std::vector<double>{1000, 2000, 1000 + 979.2, 2000 + 489.6}));
        EXPECT_EQ(b.PersonF, 0);
    }

    use(Output::Export);
    drawing::Put_NameLabel(drawing_test::Person, 1015, 2015, c.relationFlag, 7, 9);
    // The renderer draws the box's text inside the box at (1015, 2015).
    const auto printed = exportSurface.callsNamed("Print");
    ASSERT_FALSE(printed.empty());
    EXPECT_GE(printed[0].numbers[0], 1015);
    EXPECT_LT(printed[0].numbers[0], 1015 + 979.2);
    EXPECT_GE(printed[0].numbers[1], 2015);
    EXPECT_LT(printed[0].numbers[1], 2015 + 489.6);
}

INSTANTIATE_TEST_SUITE_P(Names, NameBoxes,
                         ::testing::Values(NameCase{"LonePerson", 1, -1, 1, "1", 1, true},
                                           NameCase{"MainCouple", 0, -1, 0, "0", 0, true},
                                           NameCase{"PlaceholderCouple", -1, -1, 0, "0", 0, false},
                                           NameCase{"Category", 0, 1, 1, "-1", 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ElementPlacersTest, CopyOfAPersonMapsToTheOriginalAndNoSlotMapsToNothing)
{
    model::tables().per_buf[5] = person();
    model::tables().per_buf[5].OrgIdx = drawing_test::Person;
    use(Output::Screen);
    drawing::Put_NameLabel(5, 15, 15, 1, -1, -1);
    EXPECT_EQ(draw().Label12_Per[2], drawing_test::Person);

    // Persons are 1..1024: a name record of person 0 would read as a caption.
    for (const Output output : {Output::Screen, Output::Lists, Output::Export}) {
        use(output);
        for (const int16_t p : {int16_t{0}, int16_t{-1}, int16_t{1025}})
            drawing::Put_NameLabel(p, 15, 15, 1, -1, -1);
    }
    EXPECT_EQ(shown("DPic").size(), 1u);
    EXPECT_EQ(draw().text_cnt, 0);
    EXPECT_TRUE(exportSurface.calls().empty());
}

// --- Captions ---

struct CaptionLayout {
    int16_t writeState;
    const char* text;
    double top;     // below y handed over (y = 1000)
    double height;
};

class CaptionLabels : public ElementPlacersTest, public ::testing::WithParamInterface<CaptionLayout> {};

TEST_P(CaptionLabels, ScreenLabelIsFittedRoundItsCharacters)
{
    const CaptionLayout& c = GetParam();
    model::settings().write_state = c.writeState;
    layout::setMetricsForWriteState();
    draw().Label_Text = c.text;
    use(Output::Screen);
    drawing::Put_TextLabel(500, 1000);
    const auto labels = shown("Label13");
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].left, 500);
    EXPECT_NEAR(labels[0].width, metrics().label_dx, 1e-9);
    EXPECT_NEAR(labels[0].top, 1000 + c.top, 1e-6);
    EXPECT_NEAR(labels[0].height, c.height, 1e-6);
}

// Horizontal: label_dx 612, label_dy 163.2; vertical: label_dx 163.2, label_dy 612.
INSTANTIATE_TEST_SUITE_P(
    Layouts, CaptionLabels,
    ::testing::Values(CaptionLayout{1, "家", 306 - 81.6, 163.2}, CaptionLayout{1, "山田", 306 - 163.2, 326.4},
                      CaptionLayout{1, "山田家", 306 - 195.84, 489.6}, CaptionLayout{1, "山田家へ", 0, 652.8},
                      CaptionLayout{1, "山田本家へ", 0, 5 * 612.0}, CaptionLayout{1, "", 0, 612},
                      CaptionLayout{1, "一二三四五六七八九", 0, 612}, CaptionLayout{0, "山田家へ", 0.15 * 163.2, 0.85 * 163.2},
                      CaptionLayout{0, "山田本家へ", 0.2 * 163.2, 0.8 * 163.2},
                      CaptionLayout{0, "一二三四五六七八", 0.34 * 163.2, 0.66 * 163.2},
                      CaptionLayout{0, "家", 0.05 * 163.2, 0.95 * 163.2}));

TEST_F(ElementPlacersTest, CaptionTextSizeAndRecordsFollowTheLadders)
{
    // 612 x 163.2 for four characters: 153 twips a character allows 7, the height 5.
    draw().Label_Text = "山田家へ";
    use(Output::Lists);
    drawing::Put_TextLabel(515, 1015);
    ASSERT_EQ(draw().text_cnt, 1);
    const drawing::TextRec& t = draw().text_buf[0];
    EXPECT_EQ(t.Text, "山田家へ");
    EXPECT_EQ(t.FontSize, 5);
    EXPECT_EQ(t.FontName, model::settings().font);
    EXPECT_THAT((std::vector<double>{t.X, t.Y, t.Width, t.Height}), Pointwise(DoubleNear(1e-6), std::vector<double>{500, 1000, 612, 163.2}));
    EXPECT_EQ(t.VertF, 0);
    EXPECT_EQ(t.PerIdx, 0);
    const drawing::BoxRec& b = draw().box_buf[0];
    EXPECT_THAT((std::vector<double>{b.Left, b.Top, b.Right, b.Bottom}), Pointwise(DoubleNear(1e-6), std::vector<double>{500, 1000, 1112, 1163.2}));
    EXPECT_EQ((std::vector<int>{b.MarkF, b.IconF, b.ExtF, b.PersonF}), (std::vector<int>{0, 0, 1, -1}));

    // Vertical: 163.2 wide allows 6, 306 a character 14.
    model::settings().write_state = 1;
    layout::Set_ChartMetricsW();
    draw().Label_Text = "山田";
    use(Output::Screen);
    drawing::Put_TextLabel(515, 1015);
    const auto labels = shown("Label13");
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].fontSize, 6);
    EXPECT_EQ(labels[0].caption, "山\r\n田\r\n");
    use(Output::Lists);
    drawing::Put_TextLabel(515, 1015);
    EXPECT_EQ(draw().text_buf[1].VertF, -1);

    // On the export picture each character is printed on its own, top to bottom,
    // inside the frame drawn round the caption box.
    use(Output::Export);
    drawing::Put_TextLabel(515, 1015);
    const auto frame = exportSurface.callsNamed("Line");
    ASSERT_EQ(frame.size(), 1u);
    EXPECT_EQ(frame[0].text, "B");
    EXPECT_THAT(frame[0].numbers, Pointwise(DoubleNear(1e-6), std::vector<double>{500, 1000, 500 + 163.2, 1000 + 612}));
    const auto printed = exportSurface.callsNamed("Print");
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0].text + printed[1].text, "山田");
    EXPECT_LT(printed[0].numbers[1], printed[1].numbers[1]);
    EXPECT_GT(printed[0].numbers[1], 1000);
    EXPECT_LT(printed[1].numbers[1], 1000 + 612);
}

TEST_F(ElementPlacersTest, EmptyCaptionKeepsTheLastSizeExceptOnScreenWhereNoneBecomesOne)
{
    drawing::captionSizing().Label_FontSize = 0;
    draw().Label_Text.clear();
    use(Output::Lists);
    drawing::Put_TextLabel(15, 15);
    EXPECT_EQ(draw().text_buf[0].FontSize, 0);
    use(Output::Screen);
    drawing::Put_TextLabel(15, 15);
    EXPECT_EQ(shown("Label13").at(0).fontSize, 1);
}

// --- The drawing lists ---

TEST_F(ElementPlacersTest, ListsEndWithAZeroRecordAndRefuseRecordsBeyondTheCount)
{
    use(Output::Lists);
    for (int i = 1; i <= 3; ++i) {
        setLine(i, i, i, i);
        drawing::Put_Line1(0);
    }
    ASSERT_EQ(draw().line_cnt, 3);
    ASSERT_EQ(draw().line_buf.size(), 4u);
    EXPECT_EQ(draw().line_buf[3], drawing::LineRec{});
    int seen = 0;
    while (draw().line_buf[static_cast<size_t>(seen)].Style != 0)
        ++seen;
    EXPECT_EQ(seen, 3);

    while (draw().line_cnt < drawing::MaxListRecords)
        drawing::Put_Line1(0);
    drawing::Put_Line7();
    EXPECT_EQ(draw().line_cnt, drawing::MaxListRecords);
    EXPECT_EQ(draw().line_buf.back(), drawing::LineRec{});
    EXPECT_EQ(draw().line_buf.size(), static_cast<size_t>(drawing::MaxListRecords) + 1);

    drawing::resetDrawingLists();
    EXPECT_EQ(draw().line_cnt, 0);
    EXPECT_EQ(draw().line_buf.size(), 1u);
}

TEST_F(ElementPlacersTest, CountersResetWithoutAnUnloadReuseTheLoadedElements)
{
    // Start-up sets the counters to 1 without unloading; a chart drawn over elements
    // that are still loaded takes them over instead of failing to load them again.
    const int16_t kou = family.couple();
    use(Output::Screen);
    for (const double x : {1000.0, 5000.0}) {
        layout::chart().counters = layout::ElementCounters{};
        setLine(x, 0, x, 100);
        drawing::Put_Line1(0);
        drawing::Put_CoupleMark(kou, x, 0);
        draw().Label_Text = "山田家";
        drawing::Put_TextLabel(x, 0);
        drawing::Put_NameLabel(1, x, 0, 1, -1, kou);
    }
    for (const char* array : {"Line1", "Label11", "Label13", "DPic"}) {
        const auto elements = shown(array);
        ASSERT_EQ(elements.size(), 1u) << array;
        EXPECT_EQ(elements[0].left, 5000) << array;
    }
}

} // namespace
