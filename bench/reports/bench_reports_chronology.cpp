// Time of building the chronology table for the largest family the tables hold
// (1023 persons, 1024 marriages, laid out as one chart): collecting the rows of the
// all-trees tab (a chart look-up per person and tree), ordering them, packing the
// bars onto lines, and building the two line lists.

#include "DatedFullFamily.h"

#include "layout/chart_state.h"
#include "reports/Chronology.h"

#include <benchmark/benchmark.h>

namespace {

void setUpFamily()
{
    benchfamily::layOutDatedFullFamily();
    layout::chart().sel_tree = static_cast<int16_t>(layout::chart().tree_cnt + 1);
}

void BM_CollectRows(benchmark::State& state)
{
    setUpFamily();
    reports::ChronologyRows table;
    for (auto _ : state) {
        reports::Load_YTbl(table);
        benchmark::DoNotOptimize(table.YRowLast);
    }
    state.counters["rows"] = table.YRowLast + 1;
}
BENCHMARK(BM_CollectRows)->Unit(benchmark::kMillisecond);

void BM_OrderAndPack(benchmark::State& state)
{
    setUpFamily();
    reports::ChronologyRows collected;
    reports::Load_YTbl(collected);
    int lines = 0;
    for (auto _ : state) {
        reports::ChronologyRows table = collected;
        reports::orderChronologyRows(table);
        const reports::YearExtent extent = reports::chronologyExtent(table);
        lines = reports::packChronologyRows(
            table, [&](int row) { return reports::treeBarGeometry(table.rows[row], 0, extent, 8760).span(); },
            [](int, int) {});
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = lines;
}
BENCHMARK(BM_OrderAndPack)->Unit(benchmark::kMillisecond);

void BM_LineLists(benchmark::State& state)
{
    setUpFamily();
    for (auto _ : state) {
        const reports::ChronologyLines lines = reports::buildChronologyLines();
        benchmark::DoNotOptimize(lines.persons);
    }
}
BENCHMARK(BM_LineLists)->Unit(benchmark::kMillisecond);

} // namespace
