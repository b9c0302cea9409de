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

// The top y of tree t beside the others, as the picture export places it: the
// tree's first layout row times the generation step, both 16-bit Integers.
double recordedTreeTop(int16_t tree, int16_t step)
{
    const layout::ChartState& c = layout::chart();
    const int32_t rows = static_cast<int32_t>(c.Tree_FirstRow[static_cast<size_t>(tree)]) * step;
    if (rows < INT16_MIN || rows > INT16_MAX)
        throw platform::RuntimeError(6, "オーバーフローしました。");
    return c.label_dy * 1.4 + c.margin_y + rows;
}

// The trees the all-trees view shows, side by side from the left margin; the
// first one recorded keeps two margins from the next.
void recordShownTrees()
{
    const layout::ChartState& c = layout::chart();
    drawing::arrangeTreeRows();
    const int16_t step = platform::CInt(c.gen_gap_a + c.gen_gap_b + c.box_h / 2);
    double x = c.margin_x;
    bool first = true;
    for (int16_t t = 0; t < c.tree_cnt; ++t) {
        if (c.Tree_Shown[static_cast<size_t>(t)] == 0)
            continue;
        drawing::drawTreePass(layout::tabOfTree(t), x, recordedTreeTop(t, step), drawing::DrawingPass);
        x = drawing::drawState().Chart_MaxX + (first ? 2 : 1) * c.margin_x;
        first = false;
    }
}

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

    if (c.sel_tab <= c.tree_cnt || c.sel_tab - c.tree_cnt == 2) {
        // The laid-out grid names the temporary copies of persons with several
        // marriages; they exist again for the length of the recording (the same
        // slots the preview recreates), so every recorded box names its person.
        layout::TemporaryTransforms transforms;
        Recording recording;
        if (c.sel_tab <= c.tree_cnt)
            drawing::drawTreePass(c.sel_tree, c.View_OriginX, c.View_OriginY, drawing::DrawingPass);
        else
            recordShownTrees();
    }
    // On the new-entry tab nothing is recorded: the preview shows one empty page.
    mainwindow::otherWindows().showPrintPreview();
}
