// Where a window opens, worked out as it opens on a laptop's screen (1366 x 768)
// under a maximised main window: with the relationship editor and the easy
// builder kept in front and five windows open, a window that finds no free place
// and is kept in front where it hides the least; and a modal window over an owner
// with forty controls.

#include "forms/WindowPlacement_p.h"

#include <benchmark/benchmark.h>

namespace {

forms::Surroundings laptop()
{
    forms::Surroundings around;
    around.area = QRect(0, 0, 1366, 768);
    around.mainFrame = around.area;
    around.bars = QRect(0, 0, 1366, 82);
    return around;
}

void BM_WindowFindsNoFreePlaceBesideTheWindowsKeptInFront(benchmark::State& state)
{
    forms::Surroundings around = laptop();
    around.inFront = {QRect(0, 82, 696, 528), QRect(696, 82, 368, 300), QRect(894, 264, 472, 504)};
    around.behind = {QRect(254, 276, 640, 492), QRect(0, 430, 440, 360), QRect(774, 114, 584, 544)};
    for (auto _ : state)
        benchmark::DoNotOptimize(forms::placeAmong(QRect(80, 60, 584, 544), around));
}
BENCHMARK(BM_WindowFindsNoFreePlaceBesideTheWindowsKeptInFront)->Unit(benchmark::kMicrosecond);

void BM_ModalWindowKeepsClearOfItsOwnersControls(benchmark::State& state)
{
    forms::Surroundings around = laptop();
    around.ownerParts.emplace_back(0, 0, 1366, 30);
    for (int i = 0; i < 40; ++i)
        around.ownerParts.emplace_back(5 + (i % 20) * 32, 40 + (i / 20) * 300, 30, 30);
    for (auto _ : state)
        benchmark::DoNotOptimize(forms::placeAmong(QRect(0, 0, 800, 600), around));
}
BENCHMARK(BM_ModalWindowKeepsClearOfItsOwnersControls)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
