// File > "BMP出力": the chart of the selected tab, or the trees the all-trees tab
// shows side by side, drawn a second time onto the hidden picture Picture3(1) at
// the current zoom and saved as a bitmap. The screen's chart is not touched.

#include "mainwindow/MainForm.h"

#include "drawing/ChartOutputs.h"
#include "drawing/ChartViews.h"
#include "drawing/draw_state.h"
#include "forms/BusyPointer.h"
#include "forms/Picture.h"
#include "layout/ChartTrees.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"
#include "mainwindow/FamilyPaths.h"
#include "model/DispStat.h"
#include "model/filestore/FamilyFile.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <cstdint>
#include <new>
#include <optional>

namespace {

constexpr const char* ExportTitle = "BMP File Output";
constexpr const char* ExportFilter = "BMP files( *.bmp )|*.bmp";
constexpr const char* OutputFailedMessage = "出力する画像が大きい可能性があります。分けて出力するか、倍率を下げて下さい";
constexpr long White = 0xFFFFFF;
// The smallest picture: what the export surface shrinks back to after a failure.
constexpr double SmallestPicture = 15;

// Draw_ForOutput and the export surface for the length of one drawing: both are
// taken back on every way out, or later chart displays would draw into the picture.
class ExportDrawing {
public:
    explicit ExportDrawing(forms::Surface& surface)
    {
        drawing::setExportCanvas(&surface);
        drawing::drawState().Draw_ForOutput = -1;
        drawing::drawState().Draw_Enable = drawing::DrawingPass;
    }
    ~ExportDrawing() { finish(); }
    ExportDrawing(const ExportDrawing&) = delete;
    ExportDrawing& operator=(const ExportDrawing&) = delete;

    void finish()
    {
        drawing::drawState().Draw_ForOutput = 0;
        drawing::setExportCanvas(nullptr);
    }
};

// The file a chosen name stands for: a name typed without an extension gets ".bmp".
std::string pictureFileName(const std::string& chosen)
{
    const std::string name = platform::fileNameOf(chosen);
    return name.empty() || name.find('.') != std::string::npos ? chosen : chosen + ".bmp";
}

} // namespace

void MainForm::exportChartPicture()
{
    // The dialog offers the family's own name beside the family file; a family
    // without a file is offered none.
    const std::string folder = rememberedFolder();
    const std::string offered = mainwindow::outputBesideFamily(".bmp");
    CommonDialog1.setDialogTitle(ExportTitle);
    CommonDialog1.setFileName(platform::fileNameOf(offered));
    CommonDialog1.setFilter(ExportFilter);
    CommonDialog1.setFlags(forms::cdlOFNOverwritePrompt | forms::cdlOFNCreatePrompt);
    CommonDialog1.setInitDir(offered.empty() ? folder : platform::parentPath(offered));
    CommonDialog1.showSave();
    const std::string chosen = CommonDialog1.fileName();
    const std::string path = pictureFileName(chosen);
    if (!mainwindow::askBeforeReplacing(chosen, path, ExportTitle))
        return;
    // Which failure a step reports: a file that cannot be written is named with why;
    // the size advice is for a picture that could not be made.
    bool writingFile = true;
    std::optional<platform::RuntimeError> writeFailure;
    try {
        // The file can be written (its folder takes a file, it is no file its owner
        // made read-only) before anything is drawn: one that cannot fails here,
        // before the tables are touched.
        {
            const platform::PartialFile tried(path);
        }
        writingFile = false;
        const forms::BusyPointer busy(*this);
        model::Apply_DispModes();
        layout::TemporaryTransforms transforms;

        if (Picture3.exists(1))
            Picture3.unload(1);
        Picture3[0].refresh();
        Picture3.load(1);
        forms::PictureBox& picture = Picture3[1];
        picture.setBacking(forms::PictureBox::Backing::Image);
        picture.setAutoRedraw(true);
        // No frame: the bitmap has exactly the canvas's size.
        picture.setBorderStyle(0);
        picture.refresh();
        picture.move(picture.left(), picture.top(), Picture1.width(), Picture1.height());
        picture.setPicture(forms::Picture());
        picture.setBackColor(White);
        picture.cls();

        ExportDrawing output(picture.hDC());
        const layout::ChartState& c = layout::chart();
        const int tabPastTrees = c.sel_tab - c.tree_cnt;
        if (tabPastTrees <= 1) {
            // A tree tab at the origin of the screen's chart; on the new-entry tab
            // no tree is named and the picture stays white.
            drawing::drawTreePass(c.sel_tree, c.View_OriginX, c.View_OriginY, drawing::DrawingPass);
        } else if (tabPastTrees == 2) {
            // What the all-trees view shows: a tree its lineage group hides stays out.
            drawing::drawShownTreesForOutput();
        }
        output.finish();

        // A picture too large to hold comes back empty and cannot be saved.
        const forms::Picture image = picture.image();
        writingFile = !image.isEmpty();
        // Written under its partial file and renamed over the chosen file only once
        // complete, so an export that fails leaves an older picture whole.
        forms::SavePicture(image, path);
        return;
    } catch (const platform::RuntimeError& e) {
        // Reported below by the step that failed; the tables are back already.
        if (writingFile)
            writeFailure = e;
    } catch (const std::bad_alloc&) {
        // An allocation beyond what the picture's memory cap foresaw: the picture
        // could not be made.
        writingFile = false;
    }
    reportExportFailure(writeFailure ? platform::failedFileMessage(model::SaveFailedMessage, *writeFailure, path)
                                     : std::string());
}

// The advice for a chart the picture export or the print recording could not hold.
void MainForm::adviseSmallerOutput()
{
    platform::MsgBox(OutputFailedMessage, platform::vbOKOnly);
}

void MainForm::reportExportFailure(const std::string& writeFailedMessage)
{
    if (writeFailedMessage.empty())
        adviseSmallerOutput();
    else
        platform::MsgBox(writeFailedMessage, platform::vbOKOnly);
    // The large bitmap is given up.
    if (Picture3.exists(1)) {
        forms::PictureBox& picture = Picture3[1];
        picture.move(picture.left(), picture.top(), SmallestPicture, SmallestPicture);
        picture.setBackColor(White);
        picture.cls();
    }
    drawing::drawState().Draw_ForOutput = 0;
}
