// The layout's chart requests on the real chart canvas: Unload_ChartCtl empties
// the chart-control arrays down to their design-time elements, and the zoom box
// shows the zoom.

#include "ChartCanvasForm.h"
#include "DrawingFixture.h"

#include "drawing/CanvasChartElements.h"
#include "drawing/CanvasPersonBoxes.h"
#include "drawing/PersonBox.h"
#include "layout/ChartMetrics.h"

#include "platform/Errors.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using drawing_test::ChartCanvasForm;
using drawing_test::DrawingFixture;
using drawing_test::Person;

class CanvasChartElementsTest : public DrawingFixture {
protected:
    void SetUp() override
    {
        DrawingFixture::SetUp();
        layout::setZoomPercent(100);
        layout::Set_ChartMetrics();
        layout::chart().counters = layout::ElementCounters{};
        form.show();
        elements = std::make_unique<drawing::CanvasChartElements>(
            drawing::ChartElementArrays{form.Label11, form.Label12, form.Label13, form.Line1, form.Line7, form.Image1,
                                        form.DPic},
            &form.Text1);
        layout::setChartElements(elements.get());
        boxes = std::make_unique<drawing::CanvasPersonBoxes>(form.DPic);
        drawing::setPersonBoxPictures(boxes.get());
    }

    void TearDown() override
    {
        boxes.reset();
        elements.reset();
        DrawingFixture::TearDown();
    }

    // Places elements as the chart's element placers do: raise the counter, load
    // that index, show it.
    static void place(forms::ElementArrayBase& array, int16_t& counter, int count)
    {
        for (int i = 0; i < count; ++i) {
            ++counter;
            array.load(counter);
            array.elementAt(counter).setVisible(true);
        }
    }

    // Person boxes with their hidden name labels.
    void placeBoxes(int count)
    {
        int16_t& counter = layout::chart().counters.Label12_cnt;
        for (int i = 0; i < count; ++i) {
            ++counter;
            form.Label12.load(counter);
            drawing::Put_PersonBox(Person, 1200.0 * i, 600);
        }
    }

    // The loaded indexes of every element array (and stand-alone element) on the canvas.
    std::map<std::string, std::vector<int>> loadedIndexes() const
    {
        std::map<std::string, std::vector<int>> result;
        for (const auto& info : form.Picture1.inspectElements())
            result[info.name].push_back(info.index);
        return result;
    }

    ChartCanvasForm form;
    std::unique_ptr<drawing::CanvasChartElements> elements;
    std::unique_ptr<drawing::CanvasPersonBoxes> boxes;
};

TEST_F(CanvasChartElementsTest, UnloadChartCtlLeavesOnlyTheDesignElements)
{
    layout::ElementCounters& n = layout::chart().counters;
    place(form.Label11, n.Label11_cnt, 3);
    placeBoxes(4);
    place(form.Label13, n.Label13_cnt, 2);
    place(form.Line1, n.Line1_cnt, 6);
    place(form.Line7, n.Line7_cnt, 1);
    place(form.Image1, n.Image1_cnt, 4);
    ASSERT_EQ(form.DPic.uBound(), 5);
    ASSERT_EQ(form.Picture1.elementCount(), 7u * 2 + 1 + 3 + 4 + 4 + 2 + 6 + 1 + 4);

    layout::Unload_ChartCtl();

    const std::vector<int> design{0, 1};
    const std::map<std::string, std::vector<int>> expected{
        {"Label11", design}, {"Label12", design}, {"Label13", design}, {"Line1", design},
        {"Line7", design},   {"Image1", design},  {"DPic", design},    {"lblFocus", {-1}}};
    EXPECT_EQ(loadedIndexes(), expected);
    EXPECT_EQ(form.Picture1.elementCount(), 7u * 2 + 1);
    for (forms::ElementArrayBase* array : form.chartArrays())
        EXPECT_EQ(array->uBound(), 1) << array->name();
    for (int16_t counter : {n.Label11_cnt, n.Label12_cnt, n.Label13_cnt, n.Line1_cnt, n.Line7_cnt, n.Image1_cnt})
        EXPECT_EQ(counter, 1);
    // Nothing of the chart is painted any more: only the canvas's white.
    const forms::ImageSurface& canvas = form.rendered(forms::PixelRect{0, 0, 400, 120});
    for (int py = 0; py < 120; py += 3)
        for (int px = 0; px < 400; px += 3)
            ASSERT_EQ(canvas.point(px * 15 + 7, py * 15 + 7), forms::RGB(255, 255, 255)) << px << "," << py;
}

// The next rebuild places its elements from index 2 again.
TEST_F(CanvasChartElementsTest, ARebuildAfterTheUnloadStartsAtIndexTwo)
{
    placeBoxes(3);
    place(form.Line1, layout::chart().counters.Line1_cnt, 2);
    layout::Unload_ChartCtl();
    placeBoxes(1);
    place(form.Line1, layout::chart().counters.Line1_cnt, 1);
    EXPECT_EQ(form.DPic.indexes(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(form.Line1.indexes(), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(form.DPic[2].isVisible());
    EXPECT_GT(form.DPic[2].operationCount(), 0u);
}

// A counter ahead of what was loaded (a build that stopped early) is no error.
TEST_F(CanvasChartElementsTest, CountersBeyondTheLoadedElementsAreNoError)
{
    layout::ElementCounters& n = layout::chart().counters;
    place(form.Label13, n.Label13_cnt, 2);
    n.Label13_cnt = 40;
    n.Image1_cnt = 7;
    EXPECT_NO_THROW(layout::Unload_ChartCtl());
    EXPECT_EQ(form.Label13.indexes(), (std::vector<int>{0, 1}));
}

TEST_F(CanvasChartElementsTest, TheZoomBoxShowsTheZoom)
{
    form.Text1.setText("250");
    layout::Reset_Zoom();
    EXPECT_EQ(form.Text1.text(), "100");
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Scale, 15.0);
}

TEST_F(CanvasChartElementsTest, ElementsThatGoAwayUninstallThemselves)
{
    elements.reset();
    form.Text1.setText("250");
    layout::Reset_Zoom();   // the do-nothing default again, not a dangling canvas
    EXPECT_EQ(form.Text1.text(), "250");
}

} // namespace
