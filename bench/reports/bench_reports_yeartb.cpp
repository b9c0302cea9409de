// Time of the chronology window (年表画面) for the largest family the tables hold
// (1023 persons, 1024 marriages, laid out as one chart):
// - opening it, on the all-trees tab and on tree 0: the rows collected, ordered and
//   packed onto lines, a bar (and a name beside a narrow bar) loaded and set for
//   each person, the year grid and its labels;
// - its commands on the open window, on the all-trees tab: 家系順 (the tree layout
//   replaced by the line list in birth order), the same button pressed again (back
//   to the family order), and 再表示 (the tree layout built afresh over itself);
// each until the window is up to date on screen (the event loop has deleted the
// controls removed, polished and painted the new ones).
// The program makes its own headless QApplication.

#include "DatedFullFamily.h"

#include "layout/chart_state.h"
#include "reports/yeartb.h"
#include "support/QtBenchmarks.h"

#include <QApplication>

#include <benchmark/benchmark.h>


namespace {

void setUpFamily()
{
    static bool done = false;
    if (done)
        return;
    benchfamily::layOutDatedFullFamily();
    done = true;
}

// What the event loop does after a command until the window is up to date for the
// user: the controls removed are deleted, the new ones polished, laid out and
// painted. Part of every timed action, and run before one so that it starts from
// a window at rest.
void settle()
{
    QApplication::processEvents();
}

void openChronology(benchmark::State& state, bool allTrees)
{
    setUpFamily();
    layout::ChartState& c = layout::chart();
    c.sel_tree = static_cast<int16_t>(allTrees ? c.tree_cnt + 1 : 0);
    YeartbForm& form = yeartb_form();
    for (auto _ : state) {
        form.show();
        settle();
        state.PauseTiming();
        state.counters["bars"] = form.lastBar - 2;
        state.counters["names"] = form.BarName.count() - 1;
        form.unload();
        settle();
        state.ResumeTiming();
    }
}

void BM_ChronologyOpensWithAllTrees(benchmark::State& state)
{
    openChronology(state, true);
}
BENCHMARK(BM_ChronologyOpensWithAllTrees)->Unit(benchmark::kMillisecond);

void BM_ChronologyOpensWithTreeZero(benchmark::State& state)
{
    openChronology(state, false);
}
BENCHMARK(BM_ChronologyOpensWithTreeZero)->Unit(benchmark::kMillisecond);

// One press of a button of the open window; prepare runs untimed before it.
template <typename Prepare, typename Press>
void pressOnOpenWindow(benchmark::State& state, Prepare prepare, Press press)
{
    setUpFamily();
    layout::ChartState& c = layout::chart();
    c.sel_tree = static_cast<int16_t>(c.tree_cnt + 1);
    YeartbForm& form = yeartb_form();
    for (auto _ : state) {
        state.PauseTiming();
        form.show();
        settle();
        prepare(form);
        settle();
        state.ResumeTiming();
        press(form);
        settle();
        state.PauseTiming();
        form.unload();
        settle();
        state.ResumeTiming();
    }
}

void BM_ChronologyFamilyOrderButton(benchmark::State& state)
{
    pressOnOpenWindow(state, [](YeartbForm&) {}, [](YeartbForm& form) { form.CMDFUNC[2].click(); });
}
BENCHMARK(BM_ChronologyFamilyOrderButton)->Unit(benchmark::kMillisecond);

void BM_ChronologyOrderButtonBackToFamilyOrder(benchmark::State& state)
{
    pressOnOpenWindow(
        state, [](YeartbForm& form) { form.CMDFUNC[2].click(); },
        [](YeartbForm& form) { form.CMDFUNC[2].click(); });
}
BENCHMARK(BM_ChronologyOrderButtonBackToFamilyOrder)->Unit(benchmark::kMillisecond);

void BM_ChronologyRedisplay(benchmark::State& state)
{
    pressOnOpenWindow(state, [](YeartbForm&) {}, [](YeartbForm& form) { form.Command1.click(); });
}
BENCHMARK(BM_ChronologyRedisplay)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runQtBenchmarks(argc, argv);
}
