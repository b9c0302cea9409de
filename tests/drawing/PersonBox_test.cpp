// Person boxes on chart pictures: Put_PersonBox, and rendered boxes checked by
// their pixels. Every rendered box is also saved as a PNG picture in the build
// tree (test-output/drawing) for a look by eye.

#include "DrawingFixture.h"
#include "PicturesForALook.h"

#include "drawing/PersonBox.h"
#include "forms/Colors.h"
#include "forms/Control.h"
#include "forms/ImageSurface.h"
#include "layout/ChartMetrics.h"
#include "model/run_state.h"


#include <cmath>
#include <map>
#include <ostream>

namespace {

using drawing_test::DrawingFixture;
using drawing_test::Person;
namespace Item = model::DispItem;

// The chart's person-box pictures over image surfaces, each wrapped in a
// recording surface, with a log of the array operations.
class ImagePictures : public drawing::PersonBoxPictures {
public:
    struct Element {
        std::unique_ptr<forms::ImageSurface> image = std::make_unique<forms::ImageSurface>(1, 1);
        std::unique_ptr<forms::RecordingSurface> recording = std::make_unique<forms::RecordingSurface>(*image);
        bool visible = false;
        double left = -1;
        double top = -1;
    };

    int highestIndex() const override { return m_elements.empty() ? 1 : m_elements.rbegin()->first; }
    void load(int index) override
    {
        log.push_back("load " + std::to_string(index));
        m_elements[index];
    }
    void clear(int index) override
    {
        log.push_back("clear " + std::to_string(index));
        m_elements.at(index).recording->cls();
    }
    void show(int index, double width, double height) override
    {
        Element& e = m_elements.at(index);
        e.visible = true;
        e.image->resizePixels(forms::twipsToPixels(width), forms::twipsToPixels(height));
    }
    forms::Surface& surface(int index) override { return *m_elements.at(index).recording; }
    void place(int index, double left, double top) override
    {
        m_elements.at(index).left = left;
        m_elements.at(index).top = top;
    }

    Element& at(int index) { return m_elements.at(index); }

    std::vector<std::string> log;

private:
    std::map<int, Element> m_elements;
};

class PersonBoxTest : public DrawingFixture {
protected:
    void SetUp() override
    {
        DrawingFixture::SetUp();
        layout::setZoomPercent(100);
        layout::Set_ChartMetrics();
        layout::chart().counters.Label12_cnt = 2;
        drawing::setPersonBoxPictures(&m_pictures);
    }

    void TearDown() override
    {
        drawing::setPersonBoxPictures(nullptr);
        DrawingFixture::TearDown();
    }

    // Puts the person's box on the chart and saves its picture under name.
    forms::ImageSurface& putBox(const std::string& name)
    {
        drawing::Put_PersonBox(Person, 1500, 3000);
        forms::ImageSurface& image = *m_pictures.at(layout::chart().counters.Label12_cnt).image;
        savePng(image, name);
        return image;
    }

    static void savePng(const forms::ImageSurface& image, const std::string& name)
    {
        ASSERT_TRUE(drawing_test::keepForALook(drawing_test::pictureOf(image), name));
    }

    ImagePictures m_pictures;
};

bool isInk(long colour) { return colour != forms::RGB(255, 255, 255) && colour >= 0; }

// Pixel helpers: pixel (px, py) of the image, read at its centre.
long pixel(const forms::ImageSurface& image, int px, int py) { return image.point(px * 15 + 7, py * 15 + 7); }

int inkInRow(const forms::ImageSurface& image, int py, int from, int to)
{
    int n = 0;
    for (int px = from; px <= to; ++px)
        n += isInk(pixel(image, px, py)) ? 1 : 0;
    return n;
}

int inkInColumn(const forms::ImageSurface& image, int px, int from, int to)
{
    int n = 0;
    for (int py = from; py <= to; ++py)
        n += isInk(pixel(image, px, py)) ? 1 : 0;
    return n;
}

TEST_F(PersonBoxTest, LoadsSizesRendersAndPlacesTheElement)
{
    drawing::Put_PersonBox(Person, 1500, 3000);
    EXPECT_EQ(m_pictures.log, std::vector<std::string>{"load 2"});
    ImagePictures::Element& e = m_pictures.at(2);
    EXPECT_TRUE(e.visible);
    EXPECT_EQ(e.left, 1500);
    EXPECT_EQ(e.top, 3000);
    EXPECT_EQ(printedText(*e.recording), " 長男 山田 太郎");

    // The element exists now: the next box in it clears it first.
    person().Name = "花子";
    e.recording->clearCalls();
    drawing::Put_PersonBox(Person, 0, 0);
    EXPECT_EQ(m_pictures.log, (std::vector<std::string>{"load 2", "clear 2"}));
    EXPECT_EQ(e.recording->calls().front().name, "Cls");
    EXPECT_EQ(printedText(*e.recording), " 長男 山田 花子");
}

TEST_F(PersonBoxTest, WithoutPicturesNothingHappens)
{
    drawing::setPersonBoxPictures(nullptr);
    drawing::Put_PersonBox(Person, 0, 0);
    EXPECT_TRUE(m_pictures.log.empty());
}

// A chart box is drawn for the chart: no printer inset, whatever the margin factor.
TEST_F(PersonBoxTest, DrawsForTheChart)
{
    model::runState().PWM_Value = 10;
    disp().DHLocate[Item::Relation] = 1;
    disp().DWLocate[Item::Relation] = 2;
    drawing::Put_PersonBox(Person, 0, 0);
    const forms::RecordingSurface& rec = *m_pictures.at(2).recording;
    EXPECT_TRUE(rec.callsNamed("DrawText").empty());
    const auto prints = rec.callsNamed("Print");
    ASSERT_FALSE(prints.empty());
    EXPECT_EQ(prints[0].numbers[0], 0) << "no printer inset";
    const auto frame = rec.callsNamed("Line");
    ASSERT_EQ(frame.size(), 1u);
    EXPECT_EQ(frame[0].text, "B");
}

// A horizontal box at 100 %: 979.2 x 489.6 twips is 65 x 33 pixels; the frame
// runs round its outermost pixels and the text lies inside.
TEST_F(PersonBoxTest, HorizontalBoxPixels)
{
    const forms::ImageSurface& image = putBox("box-horizontal");
    ASSERT_EQ(image.widthPixels(), 65);
    ASSERT_EQ(image.heightPixels(), 33);
    EXPECT_EQ(inkInRow(image, 0, 0, 64), 65) << "top edge";
    EXPECT_EQ(inkInRow(image, 32, 0, 64), 65) << "bottom edge";
    EXPECT_EQ(inkInColumn(image, 0, 0, 32), 33) << "left edge";
    EXPECT_EQ(inkInColumn(image, 64, 0, 32), 33) << "right edge";
    int inside = 0;
    for (int py = 1; py < 32; ++py)
        inside += inkInRow(image, py, 1, 63);
    EXPECT_GT(inside, 20) << "the text is drawn inside the frame";
    EXPECT_EQ(inkInRow(image, 30, 1, 63), 0) << "the last 30 % stays empty";
}

TEST_F(PersonBoxTest, VerticalBoxPixels)
{
    model::settings().write_state = 1;
    layout::Set_ChartMetricsW();
    disp().DS_Houko = 1;
    disp().DS_FName = 0;
    person().Name = "（太郎）";
    const forms::ImageSurface& image = putBox("box-vertical");
    ASSERT_EQ(image.widthPixels(), 33);
    ASSERT_EQ(image.heightPixels(), 65);
    EXPECT_EQ(inkInColumn(image, 0, 0, 64), 65);
    EXPECT_EQ(inkInColumn(image, 32, 0, 64), 65);
    // Items lie in columns from the right: the relation column is right of the name.
    int rightHalf = 0;
    int leftHalf = 0;
    for (int py = 1; py < 64; ++py) {
        rightHalf += inkInRow(image, py, 17, 31);
        leftHalf += inkInRow(image, py, 1, 15);
    }
    EXPECT_GT(rightHalf, 10);
    EXPECT_GT(leftHalf, 0);
    EXPECT_EQ(printedUnits(*m_pictures.at(2).recording).at(4), "∧");
}

// Ink on the two outermost pixel rings of a box.
int inkOnRim(const forms::ImageSurface& image)
{
    const int w = image.widthPixels();
    const int h = image.heightPixels();
    int n = 0;
    for (const int py : {1, h - 2})
        n += inkInRow(image, py, 2, w - 3);
    for (const int px : {1, w - 2})
        n += inkInColumn(image, px, 1, h - 2);
    return n;
}

TEST_F(PersonBoxTest, DeathFramePixels)
{
    person().Zokugara.clear();
    person().F_name.clear();
    person().Name.clear();
    const int plainRim = inkOnRim(putBox("box-plain"));
    model::settings().Dispmode_Death = 1;
    disp().DS_DeathW = 1;
    const forms::ImageSurface& image = putBox("box-death-frame");
    EXPECT_EQ(inkInRow(image, 0, 0, 64), 65);
    EXPECT_EQ(inkInColumn(image, 0, 0, 32), 33);
    // 975 / 50 -> 19 twips thick: the bars reach into the second pixel ring.
    EXPECT_EQ(plainRim, 0);
    EXPECT_GT(inkOnRim(image), 100);
}

struct PatternCase {
    int16_t pattern;
    bool solid;
};
std::ostream& operator<<(std::ostream& os, const PatternCase& c) { return os << "DS_WakuPat " << c.pattern; }

class FramePatternPixels : public PersonBoxTest, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(FramePatternPixels, SolidOrBroken)
{
    disp().DS_WakuPat = GetParam().pattern;
    const forms::ImageSurface& image = putBox("box-pattern-" + std::to_string(GetParam().pattern));
    const int top = inkInRow(image, 0, 0, 64);
    if (GetParam().solid) {
        EXPECT_EQ(top, 65);
    } else {
        EXPECT_GT(top, 5) << "the frame is there";
        EXPECT_LT(top, 62) << "with gaps";
    }
}

INSTANTIATE_TEST_SUITE_P(, FramePatternPixels,
    ::testing::Values(PatternCase{0, true}, PatternCase{1, false}, PatternCase{2, false}, PatternCase{3, false},
                      PatternCase{4, false}, PatternCase{9, true}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(PersonBoxTest, LongNameShrinksToStayInsideTheBox)
{
    person().F_name = "寿限無寿限無五劫の擦り切れ";
    person().Name = "海砂利水魚の水行末雲来末風来末";
    const forms::ImageSurface& image = putBox("box-long-name");
    const auto sizes = m_pictures.at(2).recording->callsNamed("FontSize");
    ASSERT_FALSE(sizes.empty());
    EXPECT_LT(sizes.back().numbers[0], 50) << "the name's size comes down from 50";
    // The frame stays whole: nothing was drawn across it and every unit starts inside.
    EXPECT_EQ(inkInColumn(image, 0, 0, 32), 33);
    for (const auto& c : m_pictures.at(2).recording->callsNamed("Print")) {
        EXPECT_GE(c.numbers[0], 0);
        EXPECT_LT(c.numbers[0], 979.2);
    }
}

// The picture position is kept in the block for the face icon beside the box;
// the box itself looks the same whatever it holds.
TEST_F(PersonBoxTest, FaceIconPositionDoesNotChangeTheBox)
{
    disp().DS_PicHouko = 0;
    const forms::ImageSurface& plain = putBox("box-icon-none");
    std::vector<long> plainPixels;
    for (int py = 0; py < 33; ++py)
        for (int px = 0; px < 65; ++px)
            plainPixels.push_back(pixel(plain, px, py));

    disp().DS_PicHouko = 1;
    const forms::ImageSurface& above = putBox("box-icon-above");
    std::vector<long> abovePixels;
    for (int py = 0; py < 33; ++py)
        for (int px = 0; px < 65; ++px)
            abovePixels.push_back(pixel(above, px, py));
    EXPECT_EQ(plainPixels, abovePixels);
}

} // namespace
