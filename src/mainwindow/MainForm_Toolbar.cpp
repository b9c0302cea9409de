// The toolbar Command2(0..14) and the side buttons of the chart. Almost every
// button forwards to a menu command or opens another window; the child deletion
// is the only one with steps of its own.

#include "mainwindow/MainForm.h"

#include "drawing/ChartRebuild.h"
#include "drawing/DspOp.h"
#include "drawing/FitView.h"
#include "forms/BusyPointer.h"
#include "mainwindow/OtherWindows.h"
#include "model/ChildSlots.h"
#include "model/Utilities.h"
#include "model/WindowServices.h"
#include "document/Snapshots.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Hooks.h"

namespace {

// Toolbar buttons.
enum ToolButton {
    NewButton = 0,
    OpenButton = 1,
    SaveButton = 2,
    PrintButton = 3,
    FullScreenButton = 4,
    EasyBuilderButton = 5,
    FontButton = 6,
    IconButton = 7,
    PersonCardButton = 8,
    PersonEditorButton = 9,
    RelationEditorButton = 10,
    NameListButton = 11,
    ChronologyButton = 12,
    BackgroundButton = 13,
    LineageGroupsButton = 14,
};

// The menu items the buttons forward to.
constexpr int FileNewItem = 0;
constexpr int FileOpenItem = 1;
constexpr int FileSaveItem = 2;
constexpr int FilePrintItem = 11;
constexpr int ViewPersonEditorItem = 2;
constexpr int ViewRelationEditorItem = 3;
constexpr int ViewNameListItem = 5;
constexpr int ViewEasyBuilderItem = 7;
constexpr int SettingsIconItem = 4;
constexpr int SettingsBackgroundItem = 8;
constexpr int SettingsFontItem = 10;

constexpr const char* SelectPersonMessage = "表示したい個人を選択して下さい";
constexpr const char* ShowingPersonMessage = "個人情報を表示します";

} // namespace

void MainForm::connectToolbarEvents()
{
    Command2.onClick = [this](int index) { Command2_Click(index); };
    cmdEzCtrl.onClick = [this] { cmdEzCtrl_Click(); };
    cmdChDel.onClick = [this] { cmdChDel_Click(); };
    cmdChdMov.onClick = [this](int index) { cmdChdMov_Click(index); };
    cmdDispOp.onClick = [this] { cmdDispOp_Click(); };
    CmdUndo.onClick = [this] { CmdUndo_Click(); };
    cmdCategory.onClick = [this] { cmdCategory_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
}

void MainForm::Command2_Click(int Index)
{
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    switch (Index) {
    case NewButton:
        Clear_Selection();
        fileitem_Click(FileNewItem);
        break;
    case OpenButton:
        Clear_Selection();
        fileitem_Click(FileOpenItem);
        break;
    case SaveButton:
        Clear_Selection();
        fileitem_Click(FileSaveItem);
        break;
    case PrintButton:
        Clear_Selection();
        fileitem_Click(FilePrintItem);
        break;
    case FullScreenButton:
        Clear_Selection();
        showChartSurroundings(false);
        drawing::Fullscreen_Disp();
        break;
    case EasyBuilderButton:
        scritem_Click(ViewEasyBuilderItem);
        break;
    case FontButton:
        Clear_Selection();
        setitem_Click(SettingsFontItem);
        break;
    case IconButton:
        Clear_Selection();
        setitem_Click(SettingsIconItem);
        break;
    case PersonCardButton:
        showPersonCard();
        break;
    case PersonEditorButton: {
        const forms::BusyPointer busy(*this);
        scritem_Click(ViewPersonEditorItem);
        break;
    }
    case RelationEditorButton:
        scritem_Click(ViewRelationEditorItem);
        break;
    case NameListButton:
        scritem_Click(ViewNameListItem);
        break;
    case ChronologyButton: {
        const forms::BusyPointer busy(*this, forms::vbArrow);
        windows.showChronology();
        break;
    }
    case BackgroundButton:
        setitem_Click(SettingsBackgroundItem);
        break;
    case LineageGroupsButton:
        Clear_Selection();
        windows.showLineageGroups();
        break;
    default:
        break;
    }
}

void MainForm::showPersonCard()
{
    const int person = model::runState().Sel_Person;
    if (person == -1) {
        platform::MsgBox(SelectPersonMessage, platform::vbOKOnly);
        return;
    }
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    if (windows.isPersonCardOpen())
        platform::MsgBox(ShowingPersonMessage, platform::vbOKOnly);
    windows.showPersonCard(person);
}

void MainForm::cmdEzCtrl_Click()
{
    scritem_Click(ViewEasyBuilderItem);
}

void MainForm::cmdChDel_Click()
{
    deleteSelectedChild();
}

// Del_Kodo asks and refuses by itself (no child selected, the user declines) and
// marks the family changed only when it deleted; the lists and the chart follow in
// any case.
void MainForm::deleteSelectedChild()
{
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    // The deletion refills the relationship editor's child list (and empties its
    // fields when the marriage goes with its last child): its unregistered change is
    // settled first. A registration there forgets the chosen marriage.
    const int16_t chosen = run.KouNum;
    if (!windows.settleRelationEditor())
        return;
    run.KouNum = chosen;
    // The snapshot follows the confirmation: a cancelled deletion keeps the undo.
    const model::UndoSnapshotStep snapshot;
    windows.closeChronology();
    model::Del_Kodo(t.Sel_ChildKou, t.Sel_ChildSlot);
    if (run.KouNum != -1)
        windows.refillRelationChildList(run.KouNum);
    windows.rebuildRelationLists();
    if (model::Find_FormByName("EasyCtl") == 1)
        windows.rebuildEasyRelationList();
    drawing::Refresh_TabDisp();
}

void MainForm::cmdChdMov_Click(int Index)
{
    mainwindow::otherWindows().moveSelectedChild(Index);
}

void MainForm::cmdDispOp_Click()
{
    model::RunState& run = model::runState();
    run.DspOp_Person = run.Sel_Person;
    if (run.DspOp_Person == -1) {
        platform::Beep();
        return;
    }
    dspop_form().showForPerson(run.DspOp_Person);
}

void MainForm::CmdUndo_Click()
{
    // The person editor then shows the family brought back: input it holds that was
    // never registered is asked about first. Registered, it is the newest command,
    // and going back past it would throw it away again: the undo stops there.
    // The restore empties the relationship editor's fields: its unregistered change
    // is settled the same way.
    const uint64_t edits = model::familyEdits();
    if (!mainwindow::settlePersonEditorFirst() || model::familyEdits() != edits)
        return;
    if (!mainwindow::otherWindows().settleRelationEditor() || model::familyEdits() != edits)
        return;
    // The child dialog then shows its entry as brought back: what it holds typed too.
    if (!mainwindow::otherWindows().settleChildDialog() || model::familyEdits() != edits)
        return;
    Clear_Selection();
    // The restore empties the tab strip; the chart comes back on the tab shown.
    const drawing::ShownTab shown = drawing::shownTab();
    closeChartReports();
    model::Restore_Undo();
    drawing::Refresh_TabDisp(shown);
}

void MainForm::cmdCategory_Click()
{
    mainwindow::otherWindows().showCategoryWindow();
}

void MainForm::Command1_Click()
{
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    windows.showEasyRelationBuilder();
    windows.rebuildEasyRelationList();
}
