// Time of opening the chronology window (年表画面) for the largest family the tables
// hold (1023 persons, 1024 marriages, laid out as one chart), on the all-trees tab
// and on tree 0: the rows collected, ordered and packed onto lines, a bar (and a
// name beside a narrow bar) loaded and set for each person, the year grid and its
// labels, until show returns. The program makes its own headless QApplication.

#include "LayoutFamilies.h"

#include "layout/chart_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "reports/yeartb.h"
#include "support/QtBenchmarks.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The full family with western dates: births spread over three centuries, every
// third person dead forty to ninety years later, the rest alive.
void setUpFamily()
{
    static bool done = false;
    if (done)
        return;
    layouttest::resetAll();
    const int16_t start = layouttest::buildFullFamily();
    model::settings().Dispmode_Nengo = 0;
    auto& per_buf = model::tables().per_buf;
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot) {
        model::personal_data& p = per_buf[static_cast<size_t>(slot)];
        if (p.InUse != model::SlotUsed)
            continue;
        const int birth = 1700 + (slot * 7919) % 300;
        p.B_day = std::to_string(birth) + "/04/01";
        if (slot % 3 == 0)
            p.Death_day = std::to_string(birth + 40 + slot % 50) + "/12/31";
    }
    layouttest::layOut(start);
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
