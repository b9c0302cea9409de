// Number formatting as the family file writes it: the Str and CStr forms of Single and
// Double values with fractions (display widths and offsets), which take the
// significant-digit path rather than the whole-number one.

#include "platform/Conversions.h"

#include <benchmark/benchmark.h>

#include <iterator>
#include <string>

namespace {

constexpr double Values[] = {12.5, 33.333333333333336, 0.1, -0.75, 1e20, 1e-5, 123456789.123, 66.66666666666667, 2.5e-7};

void BM_StrDouble(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::StrDouble(Values[i++ % std::size(Values)]));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_StrDouble);

void BM_CStrSingle(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::CStrSingle(static_cast<float>(Values[i++ % std::size(Values)])));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_CStrSingle);

} // namespace
