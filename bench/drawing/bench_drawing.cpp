// Time of drawing the largest family the tables hold (1023 persons, 1024 marriages,
// laid out once) as the all-trees view does: every tree measured, then every tree
// drawn side by side. On the chart canvas (the person boxes rendered into their
// pictures, every element loaded and set, the canvas brought up to date), into the
// drawing lists, and the measuring pass alone.

#include "ChartCanvasForm.h"
#include "ChartWindowForm.h"
#include "LayoutFamilies.h"

#include "drawing/CanvasChartControls.h"
#include "drawing/CanvasChartElements.h"
#include "drawing/CanvasPersonBoxes.h"
#include "drawing/ChartOutputs.h"
#include "drawing/ChartRebuild.h"
#include "drawing/Draw_Keizu.h"
#include "drawing/FormsChartView.h"
#include "drawing/PersonBox.h"
#include "drawing/draw_state.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "layout/ChartView.h"
#include "layout/predraw/PreDraw.h"
#include "model/PersonTable.h"
#include "document/Snapshots.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "support/QtBenchmarks.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// The chart window with the canvas installed as every output of the drawing.
struct Chart {
    drawing_test::ChartCanvasForm form;
    std::unique_ptr<drawing::CanvasChartElements> elements;
    std::unique_ptr<drawing::CanvasPersonBoxes> boxes;
    std::unique_ptr<drawing::CanvasChartControls> controls;

    Chart()
    {
        form.show();
        elements = std::make_unique<drawing::CanvasChartElements>(drawing::ChartElementArrays{
            form.Label11, form.Label12, form.Label13, form.Line1, form.Line7, form.Image1, form.DPic});
        boxes = std::make_unique<drawing::CanvasPersonBoxes>(form.DPic);
        controls = std::make_unique<drawing::CanvasChartControls>(drawing::ChartControlArrays{
            form.Label11, form.Label12, form.Label13, form.Line1, form.Line7, form.Image1, form.DPic});
        layout::setChartElements(elements.get());
        drawing::setPersonBoxPictures(boxes.get());
        drawing::setChartControls(controls.get());
    }
};

Chart& chartWindow()
{
    static Chart* chart = new Chart;
    return *chart;
}

void layOutFullFamily()
{
    static bool done = false;
    if (done)
        return;
    layouttest::layOutFullFamily();
    done = true;
}

double originY() { return layout::chart().label_dy * 1.4 + layout::chart().margin_y; }

// Every tree measured at the origin.
void measureAllTrees()
{
    drawing::drawState().Draw_Enable = drawing::MeasuringPass;
    for (int16_t tree = 0; tree < layout::chart().tree_cnt; ++tree)
        drawing::Draw_Keizu(tree, 0, originY());
}

// Every tree drawn, each right of the one before.
void drawAllTrees()
{
    drawing::DrawState& s = drawing::drawState();
    s.Draw_Enable = drawing::DrawingPass;
    double x = layout::chart().margin_x;
    for (int16_t tree = 0; tree < layout::chart().tree_cnt; ++tree) {
        drawing::Draw_Keizu(tree, x, originY());
        x = s.Chart_MaxX + layout::chart().margin_x;
    }
}

void reportFamily(benchmark::State& state)
{
    state.counters["trees"] = layout::chart().tree_cnt;
    state.counters["cells"] = layout::chart().link_cnt;
}

void BM_DrawFullFamilyOnCanvas(benchmark::State& state)
{
    Chart& chart = chartWindow();
    layOutFullFamily();
    for (auto _ : state) {
        layout::Unload_ChartCtl();
        measureAllTrees();
        layout::Unload_ChartCtl();
        drawAllTrees();
        chart.form.Picture1.flushChanges();
    }
    reportFamily(state);
    const layout::ElementCounters& n = layout::chart().counters;
    state.counters["boxes"] = n.Label12_cnt - 1;
    state.counters["lines"] = n.Line1_cnt + n.Line7_cnt - 2;
    state.counters["captions"] = n.Label13_cnt - 1;
    state.counters["marks"] = n.Label11_cnt - 1;
    layout::Unload_ChartCtl();
}
BENCHMARK(BM_DrawFullFamilyOnCanvas)->Unit(benchmark::kMillisecond);

void BM_RecordFullFamily(benchmark::State& state)
{
    layOutFullFamily();
    drawing::DrawState& s = drawing::drawState();
    for (auto _ : state) {
        drawing::resetDrawingLists();
        s.Draw_ToBuf = -1;
        drawAllTrees();
        s.Draw_ToBuf = 0;
    }
    reportFamily(state);
    state.counters["lineRecords"] = s.line_cnt;
    state.counters["boxRecords"] = s.box_cnt;
    state.counters["textRecords"] = s.text_cnt;
}
BENCHMARK(BM_RecordFullFamily)->Unit(benchmark::kMillisecond);

// The measuring pass places the lines on screen too; they are removed afterwards.
void BM_MeasureFullFamily(benchmark::State& state)
{
    chartWindow();
    layOutFullFamily();
    for (auto _ : state) {
        measureAllTrees();
        layout::Unload_ChartCtl();
    }
    reportFamily(state);
}
BENCHMARK(BM_MeasureFullFamily)->Unit(benchmark::kMillisecond);

// --- The full chart rebuild, through a window laid out like the main window ---

struct RebuildWindow {
    drawing_test::ChartWindowForm form;
    std::unique_ptr<drawing::CanvasChartElements> elements;
    std::unique_ptr<drawing::CanvasPersonBoxes> boxes;
    std::unique_ptr<drawing::CanvasChartControls> controls;
    std::unique_ptr<drawing::FormsChartView> view;
    std::string home;

    RebuildWindow()
    {
        form.show();
        elements = std::make_unique<drawing::CanvasChartElements>(
            drawing::ChartElementArrays{form.Label11, form.Label12, form.Label13, form.Line1, form.Line7,
                                        form.Image1, form.DPic},
            &form.Text1);
        boxes = std::make_unique<drawing::CanvasPersonBoxes>(form.DPic);
        controls = std::make_unique<drawing::CanvasChartControls>(
            drawing::ChartControlArrays{form.Label11, form.Label12, form.Label13, form.Line1, form.Line7,
                                        form.Image1, form.DPic},
            &form.Picture2);
        drawing::ChartViewControls c;
        c.window = &form;
        c.Picture2 = &form.Picture2;
        c.Picture1 = &form.Picture1;
        c.HScroll1 = &form.HScroll1;
        c.VScroll1 = &form.VScroll1;
        c.TabStrip1 = &form.TabStrip1;
        c.Text1 = &form.Text1;
        c.lblFocus = &form.lblFocus;
        c.Tab_ClickSkip = &form.Tab_ClickSkip;
        view = std::make_unique<drawing::FormsChartView>(c);
        // The autosave of every rebuild goes to a program folder of its own.
        home = (std::filesystem::temp_directory_path() / "tevora-bench-rebuild").string();
        platform::makeDirs(home + "/TMP");
        platform::setAppPathForTesting(home);
    }

    void install()
    {
        layout::setChartElements(elements.get());
        drawing::setPersonBoxPictures(boxes.get());
        drawing::setChartControls(controls.get());
        layout::setChartView(view.get());
    }

    ~RebuildWindow()
    {
        platform::setAppPathForTesting("");
        std::filesystem::remove_all(home);
    }
};

RebuildWindow*& rebuildWindowSlot()
{
    static RebuildWindow* window = nullptr;
    return window;
}

// The window installed as every output, with the largest family in the tables and
// nothing of an earlier chart left on the window.
RebuildWindow& rebuildWindowWithFullFamily()
{
    RebuildWindow*& window = rebuildWindowSlot();
    if (!window)
        window = new RebuildWindow;
    window->install();
    layout::Unload_ChartCtl();
    window->view->removeTreeTabs(window->view->tabCount());
    layouttest::resetAll();
    layouttest::buildFullFamily();
    return *window;
}

// Build_Keizu of the largest family with its first tab selected: display modes,
// pre-draw transforms, numbering, placement, tabs, chart-person list, widths, the
// start tree measured and drawn on the canvas, the tables restored, and the autosave
// snapshot written. Runs last: it lays the family out afresh.
void BM_FullRebuildOfTheLargestFamily(benchmark::State& state)
{
    RebuildWindow& window = rebuildWindowWithFullFamily();
    for (auto _ : state) {
        drawing::Build_Keizu(0);
        window.form.Picture1.flushChanges();
    }
    reportFamily(state);
    state.counters["tabs"] = window.form.TabStrip1.tabs().count();
    state.counters["boxes"] = layout::chart().counters.Label12_cnt - 1;
}
BENCHMARK(BM_FullRebuildOfTheLargestFamily)->Unit(benchmark::kMillisecond);

// The same with the all-trees tab selected: the rebuild, then every tree measured
// and drawn side by side.
void BM_RefreshAllTreesOfTheLargestFamily(benchmark::State& state)
{
    RebuildWindow& window = rebuildWindowWithFullFamily();
    drawing::Build_Keizu(0);
    window.form.TabStrip1.tabs().item(window.form.TabStrip1.tabs().count()).setSelected(true);
    for (auto _ : state) {
        drawing::Refresh_TabDisp();
        window.form.Picture1.flushChanges();
    }
    reportFamily(state);
    state.counters["boxes"] = layout::chart().counters.Label12_cnt - 1;
}
BENCHMARK(BM_RefreshAllTreesOfTheLargestFamily)->Unit(benchmark::kMillisecond);

// One edit of the largest family as the program runs it: the undo snapshot, the
// registration of the changed person, the chart rebuild of the first tab and the
// autosave snapshot that ends it.
void BM_EditCycleOfTheLargestFamily(benchmark::State& state)
{
    RebuildWindow& window = rebuildWindowWithFullFamily();
    drawing::Build_Keizu(0);
    const model::personal_data& person = model::tables().per_buf[1];
    const std::string givenName = person.Name;
    int edits = 0;
    for (auto _ : state) {
        if (!model::Save_Undo())
            state.SkipWithError("undo snapshot failed");
        const std::string name = givenName + (++edits % 2 == 0 ? "" : "子");
        if (model::set_per_buf(1, name, person.F_name, person.Sex, person.B_day) != 1)
            state.SkipWithError("registration refused");
        drawing::Build_Keizu(0);
        window.form.Picture1.flushChanges();
    }
}
BENCHMARK(BM_EditCycleOfTheLargestFamily)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runQtBenchmarks(argc, argv, [] {
        layout::Unload_ChartCtl();
        if (RebuildWindow* window = rebuildWindowSlot()) {
            window->form.destroySilently();
            delete window;
        }
        chartWindow().form.destroySilently();
    });
}
