// The View menu (the work windows) and the Settings menu (display flags,
// background colour, chart font, child order) of the main window. The toolbar
// calls several of these items directly.
//
// Every settings command writes the undo snapshot before it changes anything, so
// the undo button brings the previous settings back.

#include "mainwindow/MainForm.h"

#include "drawing/ChartRebuild.h"
#include "forms/BusyPointer.h"
#include "layout/chart_state.h"
#include "mainwindow/OtherWindows.h"
#include "model/ChildSlots.h"
#include "model/SavableText.h"
#include "model/Utilities.h"
#include "document/Snapshots.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Errors.h"

namespace {

// scritem indexes.
constexpr int PersonEditorItem = 2;
constexpr int RelationEditorItem = 3;
constexpr int ChronologyItem = 4;
constexpr int NameListItem = 5;
constexpr int EasyBuilderItem = 7;
constexpr int HintsItem = 9;

// setitem indexes.
constexpr int DeathItem = 0;
constexpr int ManWomanItem = 1;
constexpr int IconItem = 4;
constexpr int FamilyNameItem = 5;
constexpr int BackgroundItem = 8;
constexpr int FontItem = 10;
constexpr int ChildOrderItem = 12;

// Font dialog flags: screen and printer fonts.
constexpr int ScreenAndPrinterFonts = 3;
// Colour dialog flags: start at the colour given.
constexpr int StartAtGivenColour = 1;

// A display flag switched between 0 and 1 with the check mark of its item.
void toggle(int16_t& flag, forms::Menu& item)
{
    flag = flag != 0 ? 0 : 1;
    item.setChecked(flag == 1);
}

bool easyBuilderLoaded()
{
    return model::Find_FormByName("EasyCtl") == 1;
}

// The end of every display command: the chart of the selected tab afresh, and the
// family marked changed.
void redrawChanged()
{
    drawing::Refresh_TabDisp();
    model::tables().Data_Changed = 1;
}

} // namespace

void MainForm::connectMenuEvents()
{
    scritem.onClick = [this](int index) { scritem_Click(index); };
    setitem.onClick = [this](int index) { setitem_Click(index); };
    dispmodeitem.onClick = [this](int index) { dispmodeitem_Click(index); };
    vertwide.onClick = [this](int index) { vertwide_Click(index); };
}

// ---------------------------------------------------------------------------
// View menu

void MainForm::scritem_Click(int Index)
{
    model::RunState& run = model::runState();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    switch (Index) {
    case PersonEditorItem:
        if (run.Entry_Open != 0) {
            windows.raisePersonEditor();
        } else {
            {
                const forms::BusyPointer busy(*this);
                windows.showPersonEditor(run.Cur_PerIdx);
            }
            run.Entry_Open = 1;
        }
        break;
    case RelationEditorItem:
        if (run.Ctrl_Open != 0) {
            windows.raiseRelationEditor();
            // The open editor is refilled below: its unregistered change is settled first.
            if (!windows.settleRelationEditor())
                break;
        } else {
            windows.showRelationEditor();
            run.Ctrl_Open = 1;
        }
        windows.setRelationEditorTopMost();
        windows.rebuildRelationLists();
        if (easyBuilderLoaded())
            windows.rebuildEasyRelationList();
        windows.editRelationMarriage(run.KouNum);
        break;
    case ChronologyItem:
        windows.showChronology();
        break;
    case NameListItem:
        windows.showNameList();
        break;
    case EasyBuilderItem:
        windows.showEasyRelationBuilder();
        windows.rebuildEasyRelationList();
        break;
    case HintsItem:
        windows.showHints();
        break;
    case 0:
        // The hidden undo entry of the drop editing (MainForm_Drops.cpp).
        dropUndoItem_Click();
        break;
    default:
        // Separators.
        break;
    }
}

// ---------------------------------------------------------------------------
// Settings menu

void MainForm::setitem_Click(int Index)
{
    try {
        runSettingsCommand(Index);
    } catch (const platform::RuntimeError&) {
        // An error ends the command quietly; a cancelled dialog is one, and nothing
        // has changed.
    }
}

void MainForm::runSettingsCommand(int Index)
{
    layout::chart().sel_tab = static_cast<int16_t>(TabStrip1.selectedIndex());
    model::Settings& s = model::settings();
    switch (Index) {
    case DeathItem:
    case ManWomanItem:
    case IconItem:
    case FamilyNameItem: {
        int16_t& flag = Index == DeathItem      ? s.Dispmode_Death
                        : Index == ManWomanItem ? s.Dispmode_Manwoman
                        : Index == IconItem     ? s.Dispmode_Icon
                                                : s.Dispmode_Fname;
        (void)model::Save_Undo();
        toggle(flag, setitem[Index]);
        redrawChanged();
        break;
    }
    case BackgroundItem:
        chooseBackgroundColour();
        break;
    case FontItem:
        chooseChartFont();
        break;
    case ChildOrderItem:
        (void)model::Save_Undo();
        model::Pack_KodoSlots();
        model::tables().Data_Changed = 1;
        drawing::Refresh_TabDisp();
        break;
    default:
        // Submenus and separators.
        break;
    }
}

// Only the canvas takes the new colour; the chart elements are not drawn again.
void MainForm::chooseBackgroundColour()
{
    // A cancelled dialog must change nothing: without CancelError the dialog would
    // hand back whatever colour it held before, as if the user had chosen it.
    CommonDialog1.setCancelError(true);
    // The shared dialog control keeps the title and colour of its last use: this
    // dialog names itself after its command and starts at the current background.
    model::Settings& s = model::settings();
    CommonDialog1.setDialogTitle(setitem[BackgroundItem].caption());
    CommonDialog1.setColor(s.Dispmode_BGcolor);
    CommonDialog1.setFlags(StartAtGivenColour);
    CommonDialog1.showColor();
    // The snapshot follows the dialog: a cancelled one keeps the undo of the step before.
    (void)model::Save_Undo();
    s.Dispmode_BGcolor = static_cast<int32_t>(CommonDialog1.color());
    Picture1.setBackColor(s.Dispmode_BGcolor);
    model::tables().Data_Changed = 1;
}

// The chart font's name; the size picked in the dialog is not taken.
void MainForm::chooseChartFont()
{
    model::Settings& s = model::settings();
    CommonDialog1.setCancelError(true);
    CommonDialog1.setDialogTitle(setitem[FontItem].caption());
    CommonDialog1.setFontName(s.font);
    CommonDialog1.setFontSize(s.fontsize);
    CommonDialog1.setFlags(ScreenAndPrinterFonts);
    CommonDialog1.showFont();
    // The font's name is stored in the family file like any typed text.
    if (!model::acceptSavableText(CommonDialog1.fontName()))
        return;
    (void)model::Save_Undo();
    s.font = CommonDialog1.fontName();
    model::tables().Data_Changed = 1;
    drawing::Refresh_TabDisp();
}

void MainForm::dispmodeitem_Click(int Index)
{
    (void)model::Save_Undo();
    model::Settings& s = model::settings();
    switch (Index) {
    case 0:
    case 1:
        s.dispmode = static_cast<int16_t>(Index);
        dispmodeitem[0].setChecked(Index == 0);
        dispmodeitem[1].setChecked(Index == 1);
        break;
    case 2:
        toggle(s.Dispmode_Tyokei, dispmodeitem[2]);
        break;
    case 3:
        toggle(s.Dispmode_Flip, dispmodeitem[3]);
        break;
    default:
        break;
    }
    redrawChanged();
}

void MainForm::vertwide_Click(int Index)
{
    if (Index != 0 && Index != 1)
        return;
    (void)model::Save_Undo();
    model::settings().write_state = static_cast<int16_t>(Index);
    vertwide[0].setChecked(Index == 0);
    vertwide[1].setChecked(Index == 1);
    // The rebuild picks the chart metrics for the new direction.
    redrawChanged();
}
