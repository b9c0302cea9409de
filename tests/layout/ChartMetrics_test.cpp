// Chart metrics for both writing directions and several zooms, the zoom reset, the
// start-up state and the unloading of the chart controls.

#include "LayoutFixture.h"

#include "layout/ChartElements.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "model/settings.h"

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

class ChartMetricsTest : public LayoutTest {};

namespace {

struct MetricsCase {
    const char* name;
    double percent;
    int16_t writeState;
    double box_w, box_h, pair_gap, gen_gap, sib_gap, margin, mark_gap, label_dx, label_dy, icon, gen_step;
};

const MetricsCase metricsCases[] = {
    {"Horizontal100", 100, 0, 979.2, 489.6, 326.4, 489.6, 326.4, 163.2, 81.6, 612, 163.2, 500, 1224},
    {"Vertical100", 100, 1, 489.6, 979.2, 326.4, 816, 326.4, 163.2, 81.6, 163.2, 612, 500, 2121.6},
    {"Horizontal50", 50, 0, 489.6, 244.8, 163.2, 244.8, 163.2, 81.6, 40.8, 306, 81.6, 250, 612},
    {"Vertical25", 25, 1, 122.4, 244.8, 81.6, 204, 81.6, 40.8, 20.4, 40.8, 153, 125, 530.4},
    {"Horizontal250", 250, 0, 2448, 1224, 816, 1224, 816, 408, 204, 1530, 408, 1250, 3060},
    {"Vertical500", 500, 1, 2448, 4896, 1632, 4080, 1632, 816, 408, 816, 3060, 2500, 10608},
};

// Test names show the case's name, not the bytes of the case.
void PrintTo(const MetricsCase& c, std::ostream* out)
{
    *out << c.name;
}

class Metrics : public LayoutTest, public ::testing::WithParamInterface<MetricsCase> {};

// Records what the layout asks of the chart canvas.
class RecordingElements : public layout::ChartElements {
public:
    RecordingElements() { layout::setChartElements(this); }
    ~RecordingElements() override { layout::setChartElements(nullptr); }

    void unloadElements(layout::ChartArray array, int first, int last) override
    {
        unloads.emplace_back(array, first, last);
    }
    void setZoomBoxText(const std::string& text) override { zoomTexts.push_back(text); }

    std::vector<std::tuple<layout::ChartArray, int, int>> unloads;
    std::vector<std::string> zoomTexts;
};

} // namespace

TEST_P(Metrics, EveryMetricIsTheZoomTimesItsConstant)
{
    const MetricsCase& m = GetParam();
    model::settings().write_state = m.writeState;
    layout::setZoomPercent(m.percent);
    layout::setMetricsForWriteState();
    const layout::ChartState& c = layout::chart();
    EXPECT_DOUBLE_EQ(c.Zoom_Scale, m.percent / 100 * 15);
    EXPECT_DOUBLE_EQ(c.Zoom_Ratio, m.percent / 100);
    EXPECT_NEAR(c.box_w, m.box_w, 1e-9);
    EXPECT_NEAR(c.box_h, m.box_h, 1e-9);
    EXPECT_NEAR(c.pair_gap, m.pair_gap, 1e-9);
    EXPECT_NEAR(c.gen_gap_a, m.gen_gap, 1e-9);
    EXPECT_NEAR(c.gen_gap_b, m.gen_gap, 1e-9);
    EXPECT_NEAR(c.sib_gap, m.sib_gap, 1e-9);
    EXPECT_NEAR(c.margin_x, m.margin, 1e-9);
    EXPECT_NEAR(c.margin_y, m.margin, 1e-9);
    EXPECT_NEAR(c.mark_gap, m.mark_gap, 1e-9);
    EXPECT_NEAR(c.label_dx, m.label_dx, 1e-9);
    EXPECT_NEAR(c.label_dy, m.label_dy, 1e-9);
    EXPECT_NEAR(c.icon_w, m.icon, 1e-9);
    EXPECT_NEAR(c.icon_h, m.icon, 1e-9);
    EXPECT_NEAR(c.gen_step, m.gen_step, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Zooms, Metrics, ::testing::ValuesIn(metricsCases),
                         [](const ::testing::TestParamInfo<MetricsCase>& info) { return info.param.name; });

TEST_F(ChartMetricsTest, SwitchingDirectionKeepsTheMetricsUntilRecomputed)
{
    layout::Set_ChartMetrics();
    model::settings().write_state = 1;
    EXPECT_NEAR(layout::chart().box_w, 979.2, 1e-9);
    layout::setMetricsForWriteState();
    EXPECT_NEAR(layout::chart().box_w, 489.6, 1e-9);
}

TEST_F(ChartMetricsTest, ResetZoomShowsOneHundredPercent)
{
    RecordingElements canvas;
    layout::setZoomPercent(250);
    layout::Reset_Zoom();
    EXPECT_EQ(canvas.zoomTexts, std::vector<std::string>{"100"});
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Scale, 15.0);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Ratio, 1.0);
}

TEST_F(ChartMetricsTest, InitChartStateStartsAtOneHundredPercentInTheDocumentsDirection)
{
    RecordingElements canvas;
    layout::chart().counters.Line7_cnt = 9;
    layout::setZoomPercent(40);
    model::settings().write_state = 1;
    layout::Init_ChartState();
    const layout::ChartState& c = layout::chart();
    EXPECT_DOUBLE_EQ(c.Zoom_Scale, 15.0);
    EXPECT_NEAR(c.box_h, 979.2, 1e-9);
    EXPECT_EQ(c.counters.Line7_cnt, 1);
    EXPECT_EQ(canvas.zoomTexts.size(), 1u);
}

TEST_F(ChartMetricsTest, UnloadChartCtlUnloadsEveryLoadedElementArrayByArray)
{
    RecordingElements canvas;
    layout::ElementCounters& n = layout::chart().counters;
    n.Label11_cnt = 4;
    n.Label12_cnt = 3;
    n.Label13_cnt = 1; // nothing loaded
    n.Line1_cnt = 2;
    n.Line7_cnt = 7;
    n.Image1_cnt = 1;
    layout::Unload_ChartCtl();

    using A = layout::ChartArray;
    const std::vector<std::tuple<A, int, int>> expected = {
        {A::Label11, 2, 4}, {A::Label12, 2, 3}, {A::Line1, 2, 2}, {A::Line7, 2, 7}, {A::DPic, 2, 3}};
    EXPECT_EQ(canvas.unloads, expected);
    for (const int16_t counter : {n.Label11_cnt, n.Label12_cnt, n.Label13_cnt, n.Line1_cnt, n.Line7_cnt, n.Image1_cnt})
        EXPECT_EQ(counter, 1);

    canvas.unloads.clear();
    layout::Unload_ChartCtl();
    EXPECT_TRUE(canvas.unloads.empty()) << "nothing is loaded after an unload";
}
