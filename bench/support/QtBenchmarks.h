#pragma once
// The main of a benchmark program that drives windows: a headless QApplication
// (unless QT_QPA_PLATFORM says otherwise) around Google Benchmark.

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>

namespace benchsupport {

// Runs the benchmarks named on the command line, then cleanUp while the
// application still exists (windows to tear down, files to remove).
inline int runQtBenchmarks(int argc, char** argv, const std::function<void()>& cleanUp = {})
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (cleanUp)
        cleanUp();
    return 0;
}

} // namespace benchsupport
