// The File menu of the main window: the prologue and error rule every File
// command shares, New, Open, Save, Save As and Exit, and the load of a family
// file that Open, the start-up and the autosave recovery share. The output and
// exchange commands live in MainForm_Export, _Print, _Csv and _Groups.

#include "mainwindow/MainForm.h"

#include "drawing/ChartRebuild.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "mainwindow/FamilyPaths.h"
#include "mainwindow/OtherWindows.h"
#include "model/Utilities.h"
#include "document/InitAllSetting.h"
#include "document/WorkFolders.h"
#include "document/Snapshots.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/MediaBundle.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/FileStore.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "reports/nametb.h"

#include <memory>
#include <string>

namespace {

// fileitem indexes with a command of their own in this file.
constexpr int NewItem = 0;
constexpr int OpenItem = 1;
constexpr int SaveItem = 2;
constexpr int SaveAsItem = 3;
constexpr int CsvInputItem = 5;
constexpr int CsvOutputItem = 6;
constexpr int PictureItem = 8;
constexpr int PrinterSetupItem = 10;
constexpr int PrintItem = 11;
constexpr int GroupSaveItem = 13;
constexpr int MergeLoadItem = 14;
constexpr int ExitItem = 16;

constexpr const char* OpenTitle = "家系図の読込み";
constexpr const char* SaveTitle = "家系図の保存";
constexpr const char* DiscardForNewQuestion = "データが変更されています。\r\n保存せずに新しい家系図を作成しますか？";
constexpr const char* DiscardForOpenQuestion = "データが変更されています。\r\n保存せずに新しい家系図を読込みますか？";
constexpr const char* CannotReadMessage = "指定されたファイルを読込めません";

} // namespace

void MainForm::fileitem_Click(int Index)
{
    // Every File command sets the relationship editor back to a new record: its
    // unregistered change is settled first.
    if (!mainwindow::otherWindows().settleRelationEditor())
        return;
    CommonDialog1.setCancelError(true);
    Clear_Selection();
    mainwindow::otherWindows().forgetRelationMarriage();
    try {
        runFileCommand(Index);
    } catch (const platform::RuntimeError&) {
        // The error rule of the File commands: a cancelled dialog, or any step
        // that fails, ends the command there without a message; what it had done
        // stays done. Steps whose failure must not end the command guard themselves.
    }
}

void MainForm::runFileCommand(int Index)
{
    switch (Index) {
    case NewItem:
        newFamily();
        break;
    case OpenItem:
        openFamily();
        break;
    case SaveItem:
        saveFamily(SaveMode::KeepPath);
        break;
    case SaveAsItem:
        saveFamily(SaveMode::AskPath);
        break;
    case CsvInputItem:
        csvInput();
        break;
    case CsvOutputItem:
        csvOutput();
        break;
    case PictureItem:
        exportChartPicture();
        break;
    case PrinterSetupItem:
        showPrinterSetup();
        break;
    case PrintItem:
        printChart();
        break;
    case GroupSaveItem:
        saveShownGroup();
        break;
    case MergeLoadItem:
        mergeFamilyFile();
        break;
    case ExitItem: {
        int cancel = 0;
        Form_QueryUnload(cancel, forms::vbFormControlMenu);
        if (cancel == 0)
            unload();
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// New

void MainForm::newFamily()
{
    if (!mainwindow::settleEditorsFirst())
        return;
    closeChartReports();
    if (mayDiscardFamily())
        discardFamily();
}

bool MainForm::mayDiscardFamily()
{
    return model::tables().Data_Changed != 1
           || platform::MsgBox(DiscardForNewQuestion, platform::vbOKCancel) == platform::vbOK;
}

void MainForm::discardFamily()
{
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    layout::ChartState& c = layout::chart();
    if (c.tab_cnt != -1)
        removeTreeTabs(c.tab_cnt);
    c.tab_cnt = -1;
    model::Kill_UndoFiles();
    model::InitAllSetting();
    // The autosave follows the family that replaces the discarded one: an empty family
    // leaves none, so an interruption never offers back what the user threw away.
    (void)model::Save_Autosave();
    layout::Reset_Zoom();
    // A drop on the empty canvas leaves the zoom box and the full-screen button
    // off until a relationship is set; the new family offers them again.
    Text1.setEnabled(true);
    Command2[4].setEnabled(true);
    windows.rebuildRelationLists();
    if (model::Find_FormByName("EasyCtl"))
        windows.rebuildEasyRelationList();
    if (model::runState().Entry_Open == 1)
        windows.refreshPersonEditor();
    windows.showCurrentFamily();
}

void MainForm::removeTreeTabs(int count)
{
    forms::Tabs& tabs = TabStrip1.tabs();
    for (int i = 0; i < count && tabs.count() > 0; ++i)
        tabs.remove(1);
}

void MainForm::closeChartReports()
{
    mainwindow::otherWindows().closeChronology();
    if (nametb_form().isLoaded())
        nametb_form().unload();
}

// ---------------------------------------------------------------------------
// Open and the load of a family file

void MainForm::openFamily()
{
    model::Tables& t = model::tables();
    if (!mainwindow::settleEditorsFirst())
        return;
    if (t.Data_Changed != 1
        || platform::MsgBox(DiscardForOpenQuestion, platform::vbOKCancel) == platform::vbOK) {
        const std::string folder = rememberedFolder();
        CommonDialog1.setDialogTitle(OpenTitle);
        CommonDialog1.setFilter(mainwindow::FamilyFileFilter);
        CommonDialog1.setFileName(mainwindow::FamilyFileFilter);
        CommonDialog1.setInitDir(folder);
        CommonDialog1.showOpen();
        LoadKezFile(CommonDialog1.fileName());
    }
    LoadAfterDisp();
}

bool MainForm::LoadKezFile(std::string path)
{
    if (path.empty()) {
        platform::MsgBox(CannotReadMessage, platform::vbOKOnly);
        return false;
    }
    // The file is read in full before anything of the open family goes: a file that
    // cannot be read, or holds no family, leaves the family, its file, its changed
    // mark, its undo, its chart and the open windows as they were, and the reader has
    // said why. The family read starts from the settings the New below leaves.
    const std::unique_ptr<model::StagedFamily> family = model::readFamilyFile(path, model::newFamilySettings());
    if (!family)
        return false;
    showFamily(*family, path, LoadOrigin::FamilyFile);
    return true;
}

void MainForm::showFamily(model::StagedFamily& family, std::string path, LoadOrigin origin)
{
    model::Tables& t = model::tables();
    // The open family goes as New takes it, without New's questions: its callers
    // settled the editors and asked before the file was chosen.
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    model::runState().Entry_Open = 0;
    windows.closePersonEditor();
    closeChartReports();
    Clear_Selection();
    windows.forgetRelationMarriage();
    discardFamily();
    model::takeOverFamily(family);
    t.Data_Changed = 0;
    if (TabStrip1.tabs().count() > 0)
        TabStrip1.tabs().item(1).setSelected(true);
    layout::Reset_Zoom();
    Picture1.setBackColor(model::settings().Dispmode_BGcolor);
    layout::chart().sel_tree = 0;
    if (origin == LoadOrigin::Recovered || model::fileStore().loadDamaged) {
        // The recovered edit was never saved: it is a changed family without a file,
        // so Save asks for a name and closing asks before it is lost. The autosave in
        // TMP is no file of the user's: it shows nowhere and the remembered folder stays.
        // A damaged file (the reader has said what is missing or unreadable) opens the
        // same way, so a plain Save never overwrites it with what could be read.
        t.Data_Changed = 1;
        t.Cur_FilePath.clear();
        setCaption("");
    } else {
        // The family file becomes the document's file, whoever opened it.
        t.Cur_FilePath = path;
        model::rememberFamilyFile(path);
        setCaption(path);
        rememberFolderOf(path);
    }
    drawing::Refresh_TabDisp();
    // A wide tree may start far from the canvas's top-left corner.
    scrollStartIntoView();
}

void MainForm::LoadAfterDisp()
{
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    windows.rebuildRelationLists();
    if (model::Find_FormByName("EasyCtl"))
        windows.rebuildEasyRelationList();
    windows.refreshPersonEditor();
    windows.showCurrentFamily();

    // Only the flags that are on set their marks here: a load has already reset
    // every mark through the New command.
    const model::Settings& s = model::settings();
    if (s.Dispmode_Death == 1)
        setitem[0].setChecked(true);
    if (s.Dispmode_Manwoman == 1)
        setitem[1].setChecked(true);
    if (s.write_state == 1) {
        vertwide[0].setChecked(false);
        vertwide[1].setChecked(true);
    }
    if (s.Dispmode_Icon == 1)
        setitem[4].setChecked(true);
    if (s.Dispmode_Fname == 1)
        setitem[5].setChecked(true);
    if (s.dispmode == 1) {
        dispmodeitem[0].setChecked(false);
        dispmodeitem[1].setChecked(true);
    }
    dispmodeitem[2].setChecked(s.Dispmode_Tyokei == 1);
    dispmodeitem[3].setChecked(s.Dispmode_Flip == 1);
}

// ---------------------------------------------------------------------------
// Save and Save As

void MainForm::saveFamily(SaveMode mode)
{
    model::Tables& t = model::tables();
    const std::string previousPath = t.Cur_FilePath;
    if (mode == SaveMode::AskPath || t.Cur_FilePath.empty()) {
        const std::string file = askSavePath();
        if (file.empty())
            return;
        t.Cur_FilePath = file;
    }
    mainwindow::Conv_FileName(t.Cur_FilePath);
    // A plain save writes without a dialog: over a file another program saved
    // meanwhile only when the user says so.
    if (mode == SaveMode::KeepPath && !previousPath.empty() && !mainwindow::askBeforeReplacingChanged(t.Cur_FilePath)) {
        t.Cur_FilePath = previousPath;
        return;
    }
    if (!model::save_file(t.Cur_FilePath)) {
        // save_file has shown why. The document keeps the file it belonged to, its
        // media references and stays changed; no completion is announced for a save
        // that failed.
        model::restoreLeftOutMedia();
        t.Cur_FilePath = previousPath;
        return;
    }
    model::rememberFamilyFile(t.Cur_FilePath);
    // The saved family is what the work folder now serves: pictures nobody shows go.
    model::Remove_UnusedFaceFiles();
    setCaption(t.Cur_FilePath);
    t.Data_Changed = 0;
    rememberFolderOf(t.Cur_FilePath);
    // A save that could not include a voice memo or picture says which, never plain success.
    platform::MsgBox(model::savedFamilyMessage(), platform::vbOKOnly);
}

std::string MainForm::rememberedFolder()
{
    std::string folder;
    try {
        folder = mainwindow::GetSaveFilePath();
    } catch (const platform::RuntimeError&) {
        // "FilePath.ini" could not be read: the dialogs start in the program folder.
        folder = platform::GetAppPath();
    }
    platform::setCurrentDirectory(platform::GetAppPath());
    return folder;
}

// The family file a name chosen in the save dialog stands for (its Conv_FileName
// form), or "" when that file exists and the user would not replace it. The
// dialog asked before overwriting the name as typed; the file written may be
// another one ("a" is saved as "a.kez"), so that one is asked about too
// (default No). A cancelled dialog raises the File commands' error.
std::string MainForm::askSavePath()
{
    // The name box offers the family's own name; a new family has none yet.
    const std::string& current = model::tables().Cur_FilePath;
    return askSavePath(current.empty() ? std::string() : platform::fileNameOf(current));
}

std::string MainForm::askSavePath(const std::string& offeredName)
{
    const std::string folder = rememberedFolder();
    CommonDialog1.setDialogTitle(SaveTitle);
    CommonDialog1.setFilter(mainwindow::FamilyFileFilter);
    CommonDialog1.setFileName(offeredName);
    CommonDialog1.setFlags(forms::cdlOFNOverwritePrompt);
    CommonDialog1.setInitDir(folder);
    CommonDialog1.showSave();
    const std::string chosen = CommonDialog1.fileName();
    std::string file = chosen;
    mainwindow::Conv_FileName(file);
    return confirmOverwrite(chosen, file) ? file : std::string();
}

bool MainForm::confirmOverwrite(const std::string& chosen, const std::string& saveName)
{
    return mainwindow::askBeforeReplacing(chosen, model::kezFileName(saveName), SaveTitle);
}

void MainForm::rememberFolderOf(const std::string& path)
{
    try {
        mainwindow::SetSaveFilePath(path);
    } catch (const platform::RuntimeError&) {
        // The remembered folder only decides where the next dialog starts: a
        // folder that cannot be recorded (a program folder that cannot be
        // written, a name cp932 cannot hold) must not undo or hide a save or a
        // load that succeeded.
    }
}
