// Person boxes on the real chart canvas: Put_PersonBox through the canvas's DPic
// element array, checked with the canvas's inspection API and by the pixels the
// canvas paints where the box lies.

#include "ChartCanvasForm.h"
#include "DrawingFixture.h"

#include "drawing/BoxText.h"
#include "drawing/CanvasPersonBoxes.h"
#include "drawing/PersonBox.h"
#include "forms/Colors.h"
#include "forms/ImageSurface.h"
#include "layout/ChartMetrics.h"

#include <memory>
#include <optional>
#include <string>

namespace {

using drawing_test::ChartCanvasForm;
using drawing_test::DrawingFixture;
using drawing_test::Person;

constexpr long White = 0xFFFFFF;

// The box is put at (1500, 3000) twips: canvas pixel (100, 200). At 100 % it is
// 979.2 x 489.6 twips, 65 x 33 pixels. Pictures of it are taken with a margin.
constexpr double BoxX = 1500;
constexpr double BoxY = 3000;
constexpr int BoxLeftPx = 100;
constexpr int BoxTopPx = 200;
constexpr int BoxWidthPx = 65;
constexpr int BoxHeightPx = 33;
constexpr int Margin = 2;

long pixel(const forms::ImageSurface& image, int px, int py) { return image.point(px * 15 + 7, py * 15 + 7); }
bool isInk(long colour) { return colour != White && colour >= 0; }

class CanvasPersonBoxTest : public DrawingFixture {
protected:
    void SetUp() override
    {
        DrawingFixture::SetUp();
        layout::setZoomPercent(100);
        layout::Set_ChartMetrics();
        layout::chart().counters.Label12_cnt = 2;
        form.show();
        boxes = std::make_unique<drawing::CanvasPersonBoxes>(form.DPic);
        drawing::setPersonBoxPictures(boxes.get());
    }

    void TearDown() override
    {
        boxes.reset();
        DrawingFixture::TearDown();
    }

    std::optional<forms::ChartCanvas::ElementInfo> element(const std::string& name, int index) const
    {
        for (const auto& info : form.Picture1.inspectElements()) {
            if (info.name == name && info.index == index)
                return info;
        }
        return std::nullopt;
    }

    // The canvas around the box, the box's top left at (Margin, Margin).
    const forms::ImageSurface& boxArea()
    {
        return form.rendered(forms::PixelRect{BoxLeftPx - Margin, BoxTopPx - Margin,
                                              BoxLeftPx + BoxWidthPx + Margin, BoxTopPx + BoxHeightPx + Margin});
    }

    // The person's box drawn by the renderer straight onto a white image of the box's size.
    static std::unique_ptr<forms::ImageSurface> directBox()
    {
        auto image = std::make_unique<forms::ImageSurface>(BoxWidthPx, BoxHeightPx);
        image->setBackColor(White);
        image->cls();
        drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(*image, layout::chart().box_w, layout::chart().box_h,
                                                          drawing::BoxTarget::Chart);
        drawing::Draw_BoxText(ctx, Person, 0, 0);
        return image;
    }

    // Pixels of the box on the canvas that differ from the direct rendering.
    int differencesFromDirectRendering()
    {
        const auto direct = directBox();
        const forms::ImageSurface& area = boxArea();
        int differences = 0;
        for (int py = 0; py < BoxHeightPx; ++py)
            for (int px = 0; px < BoxWidthPx; ++px)
                differences += pixel(area, px + Margin, py + Margin) != pixel(*direct, px, py) ? 1 : 0;
        return differences;
    }

    int inkInside()
    {
        const forms::ImageSurface& area = boxArea();
        int ink = 0;
        for (int py = Margin + 1; py < Margin + BoxHeightPx - 1; ++py)
            for (int px = Margin + 1; px < Margin + BoxWidthPx - 1; ++px)
                ink += isInk(pixel(area, px, py)) ? 1 : 0;
        return ink;
    }

    ChartCanvasForm form;
    std::unique_ptr<drawing::CanvasPersonBoxes> boxes;
};

TEST_F(CanvasPersonBoxTest, LoadsAVisibleElementOfTheBoxSizeAtThePlace)
{
    drawing::Put_PersonBox(Person, BoxX, BoxY);
    EXPECT_EQ(form.DPic.uBound(), 2);
    const auto info = element("DPic", 2);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->kind, forms::ElementKind::Picture);
    EXPECT_TRUE(info->visible);
    EXPECT_DOUBLE_EQ(info->left, BoxX);
    EXPECT_DOUBLE_EQ(info->top, BoxY);
    EXPECT_NEAR(info->width, 979.2, 1e-9);
    EXPECT_NEAR(info->height, 489.6, 1e-9);
    // Loaded from the design element: white and borderless like it.
    EXPECT_EQ(info->colour, White);
    EXPECT_EQ(info->borderStyle, 0);
    EXPECT_GT(form.DPic[2].operationCount(), 0u);
    // The design elements stay hidden; the counter belongs to the caller.
    EXPECT_FALSE(element("DPic", 1)->visible);
    EXPECT_EQ(layout::chart().counters.Label12_cnt, 2);
}

TEST_F(CanvasPersonBoxTest, TheCanvasShowsTheFramedBoxWhereItWasPut)
{
    drawing::Put_PersonBox(Person, BoxX, BoxY);
    const forms::ImageSurface& area = boxArea();
    const int first = Margin;
    const int right = Margin + BoxWidthPx - 1;
    const int bottom = Margin + BoxHeightPx - 1;
    for (int px = first; px <= right; ++px) {
        EXPECT_TRUE(isInk(pixel(area, px, first))) << "top edge at " << px;
        EXPECT_TRUE(isInk(pixel(area, px, bottom))) << "bottom edge at " << px;
        EXPECT_EQ(pixel(area, px, first - 1), White) << "above the box at " << px;
        EXPECT_EQ(pixel(area, px, bottom + 1), White) << "below the box at " << px;
    }
    for (int py = first; py <= bottom; ++py) {
        EXPECT_TRUE(isInk(pixel(area, first, py))) << "left edge at " << py;
        EXPECT_TRUE(isInk(pixel(area, right, py))) << "right edge at " << py;
        EXPECT_EQ(pixel(area, first - 1, py), White) << "left of the box at " << py;
        EXPECT_EQ(pixel(area, right + 1, py), White) << "right of the box at " << py;
    }
    EXPECT_GT(inkInside(), 20) << "the text is drawn inside the frame";
}

// What the canvas shows of the element is the renderer's drawing of the person,
// pixel for pixel; the same element reused for another text shows only that.
TEST_F(CanvasPersonBoxTest, TheElementShowsThePersonsTextAndOnlyTheLatest)
{
    drawing::Put_PersonBox(Person, BoxX, BoxY);
    EXPECT_EQ(differencesFromDirectRendering(), 0);
    const int withName = inkInside();
    const std::size_t operations = form.DPic[2].operationCount();

    person().F_name.clear();
    person().Name.clear();
    drawing::Put_PersonBox(Person, BoxX, BoxY);
    EXPECT_EQ(form.DPic.uBound(), 2) << "the element is reused, not loaded again";
    EXPECT_EQ(differencesFromDirectRendering(), 0) << "nothing of the old name is left";
    EXPECT_LT(inkInside(), withName - 20) << "the name was what made the difference";
    EXPECT_LT(form.DPic[2].operationCount(), operations) << "the display list was cleared first";
}

TEST_F(CanvasPersonBoxTest, EachCounterValueHasItsOwnElement)
{
    drawing::Put_PersonBox(Person, BoxX, BoxY);
    layout::chart().counters.Label12_cnt = 3;
    person().Name = "花子";
    drawing::Put_PersonBox(Person, 6000, 600);
    EXPECT_EQ(form.DPic.uBound(), 3);
    const auto second = element("DPic", 3);
    ASSERT_TRUE(second.has_value());
    EXPECT_TRUE(second->visible);
    EXPECT_DOUBLE_EQ(second->left, 6000);
    EXPECT_DOUBLE_EQ(second->top, 600);
    // The first box is still where it was, showing the first text.
    const auto first = element("DPic", 2);
    ASSERT_TRUE(first.has_value());
    EXPECT_DOUBLE_EQ(first->left, BoxX);
    person().Name = "太郎";
    EXPECT_EQ(differencesFromDirectRendering(), 0);

    // A lower counter with higher elements loaded reuses its element.
    layout::chart().counters.Label12_cnt = 2;
    drawing::Put_PersonBox(Person, 300, 300);
    EXPECT_EQ(form.DPic.uBound(), 3);
    EXPECT_DOUBLE_EQ(element("DPic", 2)->left, 300);
}

TEST_F(CanvasPersonBoxTest, PicturesThatGoAwayUninstallThemselves)
{
    ASSERT_EQ(drawing::personBoxPictures(), boxes.get());
    boxes.reset();
    EXPECT_EQ(drawing::personBoxPictures(), nullptr);
    drawing::Put_PersonBox(Person, BoxX, BoxY);
    EXPECT_EQ(form.DPic.uBound(), 1) << "nothing is drawn without pictures";

    // Pictures that are not the installed ones leave the installed ones alone.
    drawing::CanvasPersonBoxes installed(form.DPic);
    drawing::setPersonBoxPictures(&installed);
    { drawing::CanvasPersonBoxes other(form.DPic); }
    EXPECT_EQ(drawing::personBoxPictures(), &installed);
}

} // namespace
