// Time of the layout steps of a chart rebuild (generation numbering, placement of
// every tree, metrics and subtree widths) for the largest family the tables hold
// (1023 persons, 1024 marriages) and for a single line as deep as the grid (rows
// 0..100). Each step is also timed alone on the full family.

#include "LayoutFamilies.h"

#include "layout/Calc_TreeWidth.h"
#include "layout/LayoutGrid.h"
#include "layout/Number_Gen.h"
#include "layout/Place_Generations.h"
#include "layout/chart_state.h"

#include <benchmark/benchmark.h>

namespace {

void reportGrid(benchmark::State& state)
{
    state.counters["cells"] = layout::chart().link_cnt;
    state.counters["trees"] = layout::chart().tree_cnt;
}

void BM_LayOutFullFamily(benchmark::State& state)
{
    layouttest::resetAll();
    const int16_t start = layouttest::buildFullFamily();
    for (auto _ : state)
        layouttest::layOut(start);
    reportGrid(state);
}
BENCHMARK(BM_LayOutFullFamily)->Unit(benchmark::kMicrosecond);

void BM_LayOutDeepLine(benchmark::State& state)
{
    layouttest::resetAll();
    const int16_t start = layouttest::buildDeepLine(101);
    for (auto _ : state)
        layouttest::layOut(start);
    reportGrid(state);
}
BENCHMARK(BM_LayOutDeepLine)->Unit(benchmark::kMicrosecond);

void BM_NumberFullFamily(benchmark::State& state)
{
    layouttest::resetAll();
    const int16_t start = layouttest::buildFullFamily();
    for (auto _ : state) {
        layout::Reset_KouGen();
        layout::Number_Gen(51, start, -1);
    }
}
BENCHMARK(BM_NumberFullFamily)->Unit(benchmark::kMicrosecond);

void BM_PlaceFullFamily(benchmark::State& state)
{
    layouttest::resetAll();
    const int16_t start = layouttest::buildFullFamily();
    layout::Reset_KouGen();
    layout::Number_Gen(51, start, -1);
    for (auto _ : state) {
        layout::Clear_CellBuf();
        layout::Place_Generations();
    }
    reportGrid(state);
}
BENCHMARK(BM_PlaceFullFamily)->Unit(benchmark::kMicrosecond);

void BM_WidthsFullFamily(benchmark::State& state)
{
    layouttest::resetAll();
    layouttest::layOut(layouttest::buildFullFamily());
    for (auto _ : state)
        layout::Calc_TreeWidth();
}
BENCHMARK(BM_WidthsFullFamily)->Unit(benchmark::kMicrosecond);

} // namespace
