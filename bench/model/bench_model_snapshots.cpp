// The undo snapshot and the autosave snapshot that every edit pays for: of the largest
// family the tables hold (a family file of some 7 MB, no media), and of 100 persons
// with a face picture of 700 KB each (70 MB of media that the edits do not change).
// Times are wall times of the whole snapshot, writing included.

#include "FullFamily.h"

#include "document/InitAllSetting.h"
#include "document/Snapshots.h"
#include "model/tables.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

using benchfamily::Quiet;
using benchfamily::ScratchHome;

constexpr int MediaPersons = 100;
constexpr size_t PictureBytes = 700 * 1000;

enum class Family { Largest, WithMedia };

struct Fixture {
    explicit Fixture(Family family)
    {
        platform::setHooks(&quiet);
        if (family == Family::Largest) {
            benchfamily::buildFullFamily();
        } else {
            model::InitAllSetting();
            benchfamily::buildPicturedFamily(home, MediaPersons, PictureBytes);
        }
    }
    ~Fixture() { platform::setHooks(nullptr); }
    Quiet quiet;
    ScratchHome home;
};

template <bool (*Snapshot)()>
void runSnapshot(benchmark::State& state, Family family)
{
    Fixture f(family);
    for (auto _ : state) {
        if (!Snapshot())
            state.SkipWithError("snapshot failed");
    }
}

void BM_SaveUndoOfTheLargestFamily(benchmark::State& state)
{
    runSnapshot<model::Save_Undo>(state, Family::Largest);
}
BENCHMARK(BM_SaveUndoOfTheLargestFamily)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveAutosaveOfTheLargestFamily(benchmark::State& state)
{
    runSnapshot<model::Save_Autosave>(state, Family::Largest);
}
BENCHMARK(BM_SaveAutosaveOfTheLargestFamily)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveUndoWith70MBOfUnchangedMedia(benchmark::State& state)
{
    runSnapshot<model::Save_Undo>(state, Family::WithMedia);
}
BENCHMARK(BM_SaveUndoWith70MBOfUnchangedMedia)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveAutosaveWith70MBOfUnchangedMedia(benchmark::State& state)
{
    runSnapshot<model::Save_Autosave>(state, Family::WithMedia);
}
BENCHMARK(BM_SaveAutosaveWith70MBOfUnchangedMedia)->Unit(benchmark::kMillisecond)->UseRealTime();

// The end of every user command: an edit of the largest family (the changed flag set)
// leaves its autosave; a command that edited nothing writes nothing.
void BM_EndOfACommandThatEditedTheLargestFamily(benchmark::State& state)
{
    Fixture f(Family::Largest);
    for (auto _ : state) {
        model::tables().Data_Changed = 1;
        if (!model::Save_AutosaveAfterEdits())
            state.SkipWithError("autosave failed");
    }
}
BENCHMARK(BM_EndOfACommandThatEditedTheLargestFamily)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EndOfACommandThatEditedNothing(benchmark::State& state)
{
    Fixture f(Family::Largest);
    if (!model::Save_Autosave())
        state.SkipWithError("autosave failed");
    for (auto _ : state)
        benchmark::DoNotOptimize(model::Save_AutosaveAfterEdits());
}
BENCHMARK(BM_EndOfACommandThatEditedNothing);

} // namespace
