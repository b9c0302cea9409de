#include "layout/ChartMetrics.h"

#include "layout/ChartElements.h"
#include "layout/ChartView.h"
#include "layout/chart_state.h"
#include "model/settings.h"
#include "platform/Conversions.h"

namespace layout {

namespace {

// The constants of one writing direction, in screen pixels at 100 %. All but the
// icon's are multiples of 5.44; the directions exchange the box's width and height
// and the two caption offsets, and vertical writing widens the generation gaps.
struct MetricConstants {
    double box_w;
    double box_h;
    double pair_gap;
    double gen_gap_a;
    double gen_gap_b;
    double sib_gap;
    double margin_x;
    double margin_y;
    double mark_gap;
    double label_dx;
    double label_dy;
};

constexpr MetricConstants HorizontalWriting{65.28, 32.64, 21.76, 32.64, 32.64, 21.76,
                                            10.88, 10.88, 5.44,  40.8,  10.88};
constexpr MetricConstants VerticalWriting{32.64, 65.28, 21.76, 54.4,  54.4, 21.76,
                                          10.88, 10.88, 5.44,  10.88, 40.8};
// A face icon is 500 twips square at 100 %.
constexpr double IconTwipsAt100 = 500.0;

void applyMetrics(const MetricConstants& k)
{
    ChartState& c = chart();
    const double s = c.Zoom_Scale;
    c.box_w = s * k.box_w;
    c.box_h = s * k.box_h;
    c.pair_gap = s * k.pair_gap;
    c.gen_gap_a = s * k.gen_gap_a;
    c.gen_gap_b = s * k.gen_gap_b;
    c.sib_gap = s * k.sib_gap;
    c.margin_x = s * k.margin_x;
    c.margin_y = s * k.margin_y;
    c.mark_gap = s * k.mark_gap;
    c.label_dx = s * k.label_dx;
    c.label_dy = s * k.label_dy;
    c.icon_w = (s * IconTwipsAt100) / 15;
    c.icon_h = (s * IconTwipsAt100) / 15;
    // Computed last, from the final values: the distance from one generation's box
    // tops to the next one's.
    c.gen_step = c.gen_gap_b + c.gen_gap_a + c.box_h / 2;
}

void unloadArray(ChartArray array, int16_t counter)
{
    if (counter >= 2)
        chartElements().unloadElements(array, 2, counter);
}

} // namespace

void setZoomPercent(double percent)
{
    chart().Zoom_Scale = percent / 100 * 15;
    chart().Zoom_Ratio = percent / 100;
}

void Set_ChartMetrics()
{
    applyMetrics(HorizontalWriting);
}

void Set_ChartMetricsW()
{
    applyMetrics(VerticalWriting);
}

void setMetricsForWriteState()
{
    if (model::settings().write_state == 1)
        Set_ChartMetricsW();
    else
        Set_ChartMetrics();
}

void Reset_Zoom()
{
    const std::string text = "100";
    chartElements().setZoomBoxText(text);
    setZoomPercent(platform::Val(text));
}

void Unload_ChartCtl()
{
    ElementCounters& n = chart().counters;
    unloadArray(ChartArray::Label11, n.Label11_cnt);
    unloadArray(ChartArray::Label12, n.Label12_cnt);
    unloadArray(ChartArray::Label13, n.Label13_cnt);
    unloadArray(ChartArray::Line1, n.Line1_cnt);
    unloadArray(ChartArray::Line7, n.Line7_cnt);
    unloadArray(ChartArray::Image1, n.Image1_cnt);
    // The person-box pictures are paired one to one with the name labels.
    unloadArray(ChartArray::DPic, n.Label12_cnt);
    n = ElementCounters{};
    // A box dropped alone on the empty canvas went with the rest.
    chartView().enableChartCommands();
}

void Init_NengoMode()
{
    model::settings().Dispmode_Nengo = 1;
}

void Init_ChartState()
{
    Reset_Zoom();
    setMetricsForWriteState();
    chart().counters = ElementCounters{};
}

} // namespace layout
