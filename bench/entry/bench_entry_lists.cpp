// Filling the editors' lists for the largest family the tables hold (1023 persons,
// 1024 marriages): the person editor's grid (`tablein`, one row per person) and the
// relationship editor's men's, women's and marriage lists (`Build_List`). Both run
// whenever a family is opened or changed while the window is open.

#include "LayoutFamilies.h"

#include "entry/EntryForm.h"
#include "forms/Form.h"
#include "model/tables.h"
#include "relations/CtrlForm.h"
#include "support/QtBenchmarks.h"

#include <benchmark/benchmark.h>

namespace {

void setUpFamily()
{
    layouttest::resetAll();
    layouttest::buildFullFamily();
}

void BM_PersonGridFill(benchmark::State& state)
{
    setUpFamily();
    EntryForm& editor = entry_form();
    editor.load();
    for (auto _ : state)
        editor.tablein();
    state.counters["rows"] = editor.tb.rows();
    editor.unload();
}
BENCHMARK(BM_PersonGridFill)->Unit(benchmark::kMillisecond);

void BM_RelationListsBuild(benchmark::State& state)
{
    setUpFamily();
    CtrlForm& editor = ctrl_form();
    editor.load();
    for (auto _ : state)
        editor.Build_List();
    state.counters["persons"] = editor.List1[0].listCount() + editor.List1[1].listCount();
    state.counters["marriages"] = editor.List1[2].listCount();
    editor.unload();
}
BENCHMARK(BM_RelationListsBuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runQtBenchmarks(argc, argv);
}
