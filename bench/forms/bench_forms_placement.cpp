// Where a window opens, worked out as it opens on a laptop's screen (1366 x 768)
// under a maximised main window with its commands: with six windows open, each
// with twenty controls, a window of twenty controls that finds no free place and
// covers the fewest of theirs; and a modal window over an owner with forty
// controls.

#include "forms/WindowPlacement_p.h"

#include <benchmark/benchmark.h>

namespace {

forms::Surroundings laptop()
{
    forms::Surroundings around;
    around.area = QRect(0, 0, 1366, 768);
    around.titleBarHeight = 23;
    // The title bar, four menus, fifteen toolbar buttons, three option buttons,
    // the zoom box and nine side buttons.
    around.commands.emplace_back(0, 0, 1366, 23);
    for (int i = 0; i < 4; ++i)
        around.commands.emplace_back(5 + i * 45, 23, 40, 18);
    for (int i = 0; i < 15; ++i)
        around.commands.emplace_back(4 + i * 32, 43, 30, 30);
    for (int i = 0; i < 3; ++i)
        around.commands.emplace_back(492 + i * 40, 60, 39, 17);
    around.commands.emplace_back(733, 51, 41, 28);
    for (int i = 0; i < 9; ++i)
        around.commands.emplace_back(1298, 101 + i * 32, 30, 30);
    return around;
}

// A window at the frame with a title bar and twenty controls in two columns.
forms::OpenWindow windowAt(const QRect& frame)
{
    forms::OpenWindow window{frame, {QRect(frame.topLeft(), QSize(frame.width(), 23))}};
    for (int i = 0; i < 20; ++i)
        window.parts.emplace_back(frame.left() + 10 + (i % 2) * frame.width() / 2,
                                  frame.top() + 30 + (i / 2) * (frame.height() - 40) / 10, frame.width() / 2 - 20, 20);
    return window;
}

void BM_WindowFindsNoFreePlaceAndCoversTheFewestControls(benchmark::State& state)
{
    forms::Surroundings around = laptop();
    for (const QRect& frame : {QRect(0, 101, 696, 528), QRect(696, 101, 368, 300), QRect(894, 264, 402, 504),
                               QRect(254, 276, 640, 492), QRect(0, 430, 440, 338), QRect(774, 114, 520, 544)})
        around.windows.push_back(windowAt(frame));
    const forms::OpenWindow own = windowAt(QRect(0, 0, 584, 544));
    around.ownParts = own.parts;
    for (auto _ : state)
        benchmark::DoNotOptimize(forms::placeAmong(QRect(80, 60, 584, 544), around));
}
BENCHMARK(BM_WindowFindsNoFreePlaceAndCoversTheFewestControls)->Unit(benchmark::kMicrosecond);

void BM_ModalWindowKeepsClearOfItsOwnersControls(benchmark::State& state)
{
    forms::Surroundings around = laptop();
    forms::OpenWindow owner{QRect(0, 0, 1366, 768), {QRect(0, 0, 1366, 30)}};
    for (int i = 0; i < 40; ++i)
        owner.parts.emplace_back(5 + (i % 20) * 32, 40 + (i / 20) * 300, 30, 30);
    around.windows.push_back(owner);
    for (auto _ : state)
        benchmark::DoNotOptimize(forms::placeAmong(QRect(0, 0, 800, 600), around));
}
BENCHMARK(BM_ModalWindowKeepsClearOfItsOwnersControls)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
