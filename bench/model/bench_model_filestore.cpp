// Saving and loading the largest family the tables hold: 1023 persons with every text
// field filled (remarks of 1024 characters), 1024 marriages with all 20 child slots
// filled. The file is some 7 MB of cp932 text. Save times include writing the file
// through platform::writeFileAtomically, whose fsync shows in the wall time only.

#include "FullFamily.h"

#include "model/PersonTable.h"
#include "model/filestore/FamilyFile.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

using benchfamily::Quiet;
using benchfamily::ScratchHome;

struct Fixture {
    Fixture()
    {
        platform::setHooks(&quiet);
        benchfamily::buildFullFamily();
        path = home.file("full.kez");
        if (!model::save_file(path))
            throw std::runtime_error("save failed");
        bytes = platform::fileLength(path);
    }
    Quiet quiet;
    ScratchHome home;
    std::string path;
    int64_t bytes = 0;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_SaveFullFamily(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        if (!model::save_file(f.path))
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}
BENCHMARK(BM_SaveFullFamily)->Unit(benchmark::kMillisecond);

void BM_LoadFullFamily(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        if (!model::load_file(f.path))
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}
BENCHMARK(BM_LoadFullFamily)->Unit(benchmark::kMillisecond);

// A family of 1000 persons, each with a face picture of 20 KB of its own: the save
// packs 1000 files into the bundle, the load unpacks each into the work folder
// through a partial file of its own.
constexpr int PicturedPersons = 1000;
constexpr size_t SmallPictureBytes = 20 * 1000;

struct PicturedFixture {
    PicturedFixture()
    {
        platform::setHooks(&quiet);
        model::Clear_PerBuf();
        model::Clear_KouBuf();
        benchfamily::buildPicturedFamily(home, PicturedPersons, SmallPictureBytes);
        path = home.file("pictured.kez");
        if (!model::save_file(path))
            throw std::runtime_error("save failed");
    }
    Quiet quiet;
    ScratchHome home;
    std::string path;
};

PicturedFixture& picturedFixture()
{
    static PicturedFixture f;
    return f;
}

void BM_SaveFamilyWith1000Pictures(benchmark::State& state)
{
    PicturedFixture& f = picturedFixture();
    for (auto _ : state) {
        if (!model::save_file(f.path))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveFamilyWith1000Pictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadFamilyWith1000Pictures(benchmark::State& state)
{
    PicturedFixture& f = picturedFixture();
    for (auto _ : state) {
        if (!model::load_file(f.path))
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadFamilyWith1000Pictures)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
