#include "document/InitAllSetting.h"

#include "layout/ChartMetrics.h"
#include "layout/LayoutGrid.h"
#include "layout/chart_state.h"
#include "layout/predraw/PreDraw.h"
#include "model/DispStat.h"
#include "model/GroupLists.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/WindowServices.h"
#include "model/filestore/MediaBundle.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace model {

namespace {

// Settings, run-time values, counters, the selection and the editors' cursors of a
// new document.
void resetValues()
{
    // The display block defaults come first: the person table is cleared from them.
    Init_DefDispStat();
    Clear_GrpTitleList();
    settings().resetForNewFamily();
    runState().resetForNewFamily();
    Tables& t = tables();
    t.resetRunTimeValues();
    // The pending steps of the editor's undo and of the drop undo belong to the
    // previous family.
    clearUndoRecords();
    layout::ChartState& c = layout::chart();
    c.row_max = layout::DefaultRowMax;
    c.col_max = layout::DefaultColMax;
}

// The main window's Settings menu marks, the empty chart canvas and its elements.
void resetChartWindow()
{
    WindowServices& windows = windowServices();
    windows.setDisplayChecks();
    windows.setChartBackColor(settings().Dispmode_BGcolor);
    layout::Unload_ChartCtl();
}

void emptyTables()
{
    Clear_PerBuf();
    Clear_KouBuf();
    layout::Clear_CellBuf();
    layout::Clear_ChartPerIdx();
    layout::Init_NengoMode();
}

// The canvas accepts a dropped person again; the tabs go back to the two permanent
// ones. The chart rebuild removes only the tabs it counts in tab_cnt, so the tree tabs
// of the previous family are removed here before the count is forgotten.
void resetTabs()
{
    WindowServices& windows = windowServices();
    windows.setChartAcceptsDrops(true);
    layout::ChartState& c = layout::chart();
    if (c.tab_cnt > 0)
        windows.removeTreeTabs(c.tab_cnt);
    c.sel_tab = 1;
    c.sel_tree = 0;
    c.tab_cnt = -1;
    // What the chart of the next family leaves out is said afresh.
    layout::forgetExpansionShortfall();
}

void disableUndoControls()
{
    WindowServices& windows = windowServices();
    windows.disableDropUndo();
    if (runState().Ctrl_Open == 1)
        windows.disableRelationUndo();
}

// The previous family's voice memos and face pictures go. A missing or empty folder
// is no error. A file that cannot be deleted is left without a message: nothing refers
// to it, and a new recording or picture replaces a file of the same name.
void emptyWorkFolders()
{
    for (const int16_t kind : {MediaVoice, MediaPicture}) {
        try {
            const std::string folder = mediaFolder(kind);
            if (platform::dirHasFiles(folder))
                platform::deleteAllFiles(folder);
        } catch (const platform::RuntimeError&) {
        }
    }
}

} // namespace

void InitAllSetting()
{
    resetValues();
    resetChartWindow();
    emptyTables();
    resetTabs();
    disableUndoControls();
    emptyWorkFolders();
    windowServices().setCaption("");
}

} // namespace model
