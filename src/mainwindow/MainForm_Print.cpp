// File > "プリンタ設定" and "印刷": the printer choice, and the chart of the
// selected tab recorded into the drawing lists for the print preview, which
// previews and prints from those lists alone.

#include "mainwindow/MainForm.h"

#include "drawing/ChartViews.h"
#include "drawing/draw_state.h"
#include "forms/Printers.h"
#include "layout/ChartTrees.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"
#include "mainwindow/OtherWindows.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"

#include <cstdint>
#include <new>

namespace {

constexpr const char* NoPrinterMessage = "プリンタとの通信が不正です。印刷出来ません。";

// Both printer commands start here: without a printer there is nothing to choose
// or to print on.
bool printerInstalled()
{
    if (forms::Printers().count() > 0)
        return true;
    platform::MsgBox(NoPrinterMessage, platform::vbOKOnly);
    return false;
}

// Draw_ToBuf for the length of one recording, taken back also when the drawing
// fails: later chart displays must create chart elements again.
class Recording {
public:
    Recording() { drawing::drawState().Draw_ToBuf = -1; }
    ~Recording() { drawing::drawState().Draw_ToBuf = 0; }
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
};

} // namespace

void MainForm::showPrinterSetup()
{
    if (printerInstalled())
        mainwindow::otherWindows().showPrinterChoice();
}

void MainForm::printChart()
{
    if (!printerInstalled())
        return;
    drawing::resetDrawingLists();
    layout::ChartState& c = layout::chart();
    c.sel_tab = static_cast<int16_t>(TabStrip1.selectedIndex());
    c.sel_tree = static_cast<int16_t>(c.sel_tab - 1);
    drawing::drawState().Draw_Enable = drawing::DrawingPass;

    bool recorded = true;
    if (c.sel_tab <= c.tree_cnt || c.sel_tab - c.tree_cnt == 2) {
        try {
            // The laid-out grid names the temporary copies of persons with several
            // marriages; they exist again for the length of the recording (the same
            // slots the preview recreates), so every recorded box names its person.
            layout::TemporaryTransforms transforms;
            Recording recording;
            if (c.sel_tab <= c.tree_cnt)
                drawing::drawTreePass(c.sel_tree, c.View_OriginX, c.View_OriginY, drawing::DrawingPass);
            else
                drawing::drawShownTreesForOutput();
        } catch (const platform::RuntimeError&) {
            recorded = false;
        } catch (const std::bad_alloc&) {
            recorded = false;
        }
    }
    if (!recorded) {
        // A recording that fails says so, rather than ending the File command
        // without a word, and the preview does not open on a partial chart.
        drawing::resetDrawingLists();
        adviseSmallerOutput();
        return;
    }
    // On the new-entry tab nothing is recorded: the preview shows one empty page.
    mainwindow::otherWindows().showPrintPreview();
}
