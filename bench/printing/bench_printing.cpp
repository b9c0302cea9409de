// Time of the print preview of the largest family the tables hold (1023 persons,
// 1024 marriages), tree 0 recorded as the print command records it: the window
// opened until its pages in view are drawn, at 100 % and at 500 %, and the 100 %
// preview printed to a PDF file. The program makes its own headless QApplication.

#include "LayoutFamilies.h"

#include "drawing/Draw_Keizu.h"
#include "drawing/draw_state.h"
#include "forms/CommonDialog.h"
#include "forms/Printer.h"
#include "forms/Printers.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "printing/PrePrint.h"
#include "support/QtBenchmarks.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

// Where the family "is" and the PDF goes: a folder of its own.
const std::string& benchFolder()
{
    static const std::string folder = [] {
        const std::string path = (std::filesystem::temp_directory_path() / "tevora-bench-printing").string();
        platform::makeDirs(path);
        return path;
    }();
    return folder;
}

// Answers the PDF printer's save dialog with the file beside the family.
class SaveBesideTheFamily : public forms::DialogResponder {
public:
    forms::DialogAnswer respond(const forms::DialogRequest&) override
    {
        return forms::DialogAnswer::file(benchFolder() + "/family.pdf");
    }
};

// The largest family laid out, tree 0 recorded into the drawing lists.
void recordTreeZero()
{
    static bool done = false;
    if (done)
        return;
    layouttest::layOutFullFamily();
    model::tables().Cur_FilePath = benchFolder() + "/family.KEZ";
    forms::setPrinterList({forms::PdfPrinterName});

    layout::ChartState& c = layout::chart();
    drawing::resetDrawingLists();
    drawing::DrawState& s = drawing::drawState();
    s.Draw_Enable = drawing::DrawingPass;
    layout::TemporaryTransforms transforms;
    s.Draw_ToBuf = -1;
    drawing::Draw_Keizu(0, c.margin_x, c.label_dy * 1.4 + c.margin_y);
    s.Draw_ToBuf = 0;
    done = true;
}

void openPreview(benchmark::State& state, float scale)
{
    recordTreeZero();
    printing::PrePrintForm& form = printing::preprint_form();
    for (auto _ : state) {
        model::settings().Print_Scale = scale;
        form.show();
        state.PauseTiming();
        state.counters["pages"] = form.grid.pageCount();
        state.counters["pictures"] = form.Picture3.count();
        form.unload();
        state.ResumeTiming();
    }
    state.counters["boxRecords"] = drawing::drawState().box_cnt;
    state.counters["textRecords"] = drawing::drawState().text_cnt;
}

void BM_PreviewOpensAt100(benchmark::State& state)
{
    openPreview(state, 1.0f);
}
BENCHMARK(BM_PreviewOpensAt100)->Unit(benchmark::kMillisecond);

void BM_PreviewOpensAt500(benchmark::State& state)
{
    openPreview(state, 5.0f);
}
BENCHMARK(BM_PreviewOpensAt500)->Unit(benchmark::kMillisecond);

void BM_PrintThe100PreviewToPdf(benchmark::State& state)
{
    recordTreeZero();
    SaveBesideTheFamily answer;
    forms::setDialogResponder(&answer);
    model::settings().Print_Scale = 1.0f;
    printing::PrePrintForm& form = printing::preprint_form();
    form.show();
    for (auto _ : state)
        form.CMDFUNC[1].click();
    state.counters["pages"] = form.grid.pageCount();
    state.counters["pdfBytes"] = static_cast<double>(platform::fileLength(benchFolder() + "/family.pdf"));
    form.unload();
    forms::setDialogResponder(nullptr);
}
BENCHMARK(BM_PrintThe100PreviewToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runQtBenchmarks(argc, argv, [] {
        forms::resetCurrentPrinter();
        std::filesystem::remove_all(benchFolder());
    });
}
