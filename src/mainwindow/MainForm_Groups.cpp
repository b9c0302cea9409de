// File > "表示している家系グループを保存" and "家系データの追加読み込み": the family
// group of the selected tab saved as a file of its own, and the persons and
// marriages of a second family file appended to the open family. The file work
// is the family store's; this is what the main window does around it.

#include "mainwindow/MainForm.h"

#include "drawing/ChartRebuild.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "mainwindow/FamilyPaths.h"
#include "mainwindow/OtherWindows.h"
#include "document/GroupSave.h"
#include "document/MergeLoad.h"
#include "document/Snapshots.h"
#include "model/filestore/FileStore.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include <memory>

namespace {

constexpr const char* MergeTitle = "家系図の追加読み込み";
constexpr const char* CannotReadMessage = "指定されたファイルを読込めません";

} // namespace

void MainForm::saveShownGroup()
{
    model::Save_GrpFile(layout::chart().sel_tree);
}

// The appended file only lends its persons and marriages: the merged family
// still belongs to the file it was opened from (or to none), so the next Save
// does not write the merged family over the appended file. And the merge is a
// change not yet saved: the family stays marked changed, so closing the program
// asks before the appended persons could be lost.
void MainForm::mergeFamilyFile()
{
    const std::string folder = rememberedFolder();
    CommonDialog1.setDialogTitle(MergeTitle);
    CommonDialog1.setFilter(mainwindow::FamilyFileFilter);
    CommonDialog1.setFileName(mainwindow::FamilyFileFilter);
    CommonDialog1.setInitDir(folder);
    CommonDialog1.showOpen();
    const std::string path = CommonDialog1.fileName();
    // The second file is read in full first: one that cannot be read, holds no family
    // or is cut off (the reader has said why) leaves the family, its undo snapshot and
    // the open windows as they were.
    std::unique_ptr<model::StagedFamily> second;
    if (path.empty())
        platform::MsgBox(CannotReadMessage, platform::vbOKOnly);
    else
        second = model::readMergeFile(path);
    if (second) {
        // The merge closes the person editor and refills the relationship editor:
        // their unregistered input is settled before the snapshot, so that the undo
        // takes back the merge alone.
        if (!mainwindow::settleEditorsFirst())
            return;
        // The snapshot of the family before the merge, taken once the file is read.
        model::Save_Undo();
        model::runState().Entry_Open = 0;
        mainwindow::otherWindows().closePersonEditor();
        model::Merge_LoadFile(*second);
        if (model::fileStore().EndOfDataF != 0) {
            if (TabStrip1.tabs().count() > 0)
                TabStrip1.tabs().item(1).setSelected(true);
            layout::Reset_Zoom();
            Picture1.setBackColor(model::settings().Dispmode_BGcolor);
            layout::chart().sel_tree = 0;
            drawing::Refresh_TabDisp();
        }
    }
    LoadAfterDisp();
}
