// Time of opening the chronology window (年表画面) for the largest family the tables
// hold (1023 persons, 1024 marriages, laid out as one chart), on the all-trees tab
// and on tree 0: the rows collected, ordered and packed onto lines, a bar (and a
// name beside a narrow bar) loaded and set for each person, the year grid and its
// labels, until show returns. The program makes its own headless QApplication.

#include "DatedFullFamily.h"

#include "layout/chart_state.h"
#include "reports/yeartb.h"
#include "support/QtBenchmarks.h"

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

void openChronology(benchmark::State& state, bool allTrees)
{
    setUpFamily();
    layout::ChartState& c = layout::chart();
    c.sel_tree = static_cast<int16_t>(allTrees ? c.tree_cnt + 1 : 0);
    YeartbForm& form = yeartb_form();
    for (auto _ : state) {
        form.show();
        state.PauseTiming();
        state.counters["bars"] = form.lastBar - 2;
        state.counters["names"] = form.BarName.count() - 1;
        form.unload();
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

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runQtBenchmarks(argc, argv);
}
