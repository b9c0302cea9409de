// Feeds arbitrary bytes to the family file reader and takes a family it accepts on
// through what the program does next: the chart rebuild of the first tree (display
// modes, pre-draw transforms, numbering, placement, tabs, widths, the tree drawn),
// then every tree and the all-trees view drawn onto a recording surface as the
// picture export draws them, and the all-trees view recorded into the drawing lists
// as the print command records it. A file the reader lets through but the layout or
// the drawing cannot take shows here as a crash, a sanitizer report or a hang.
// No window is opened: the chart reaches no screen controls.

#include "FuzzHome.h"

#include "document/InitAllSetting.h"
#include "drawing/ChartOutputs.h"
#include "drawing/ChartRebuild.h"
#include "drawing/ChartViews.h"
#include "drawing/draw_state.h"
#include "forms/RecordingSurface.h"
#include "layout/ChartMetrics.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"
#include "model/DispStat.h"
#include "model/era/Nengo.h"
#include "model/filestore/FamilyFile.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

namespace {

// The drawing measures text and paints pictures, which needs an application; no
// window is shown.
QApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_drawing_chart";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Every tree, then the all-trees view, drawn onto surface with the export's flags.
void drawForOutput(forms::Surface& surface)
{
    drawing::DrawState& s = drawing::drawState();
    drawing::setExportCanvas(&surface);
    s.Draw_ForOutput = -1;
    s.Draw_Enable = drawing::DrawingPass;
    const layout::ChartState& c = layout::chart();
    for (int16_t tree = 0; tree < c.tree_cnt; ++tree)
        drawing::drawTreePass(tree, c.View_OriginX, c.View_OriginY, drawing::DrawingPass);
    drawing::drawShownTreesForOutput();
}

// The print command's recording of the all-trees view.
void recordForPrinting()
{
    drawing::resetDrawingLists();
    drawing::drawState().Draw_Enable = drawing::DrawingPass;
    drawing::drawState().Draw_ToBuf = -1;
    drawing::drawShownTreesForOutput();
}

// The picture export and the print recording as their commands run them: a
// failure of either is the command's message (a chart too large, a picture that
// cannot be made), so it ends the drawing here too.
void drawOutputs()
{
    model::Apply_DispModes();
    layout::TemporaryTransforms transforms;
    forms::RecordingSurface surface;
    try {
        drawForOutput(surface);
        drawing::drawState().Draw_ForOutput = 0;
        drawing::setExportCanvas(nullptr);
        recordForPrinting();
    } catch (const platform::RuntimeError&) {
    } catch (const std::bad_alloc&) {
    }
    drawing::drawState().Draw_ForOutput = 0;
    drawing::drawState().Draw_ToBuf = 0;
    drawing::setExportCanvas(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    application();
    static FuzzHome home;
    static const bool eras = model::Load_NengoTbl(TEVORA_SHIPPED_NENGO_FILE) == 0;
    if (!eras)
        std::abort();

    model::InitAllSetting();
    const std::string path = home.file("in.kez");
    platform::writeWholeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    if (!model::load_file(path))
        return 0;
    // What the open command does after the read; a failure here would reach the
    // user as a run-time error.
    layout::Reset_Zoom();
    layout::chart().sel_tree = 0;
    drawing::Build_Keizu(0);
    drawOutputs();
    return 0;
}
