// The relationship editor's one-step undo, kept apart from the file-based undo
// of the main window: the last registration, deletion or drop of the editor is
// taken back directly in the tables and in the editor's fields.

#include "relations/CtrlForm.h"

#include "mainwindow/OtherWindows.h"
#include "model/run_state.h"
#include "relations/RelationRequests.h"
#include "relations/relations_state.h"

#include "drawing/ChartRebuild.h"
#include "layout/chart_state.h"
#include "model/ChildSlots.h"
#include "model/UndoRecords.h"
#include "model/WindowServices.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include <cstdint>

namespace {

using model::tables;

int usedPersonCount()
{
    int count = 0;
    for (int i = 1; i <= model::LastSlot; ++i) {
        if (tables().per_buf[static_cast<size_t>(i)].InUse == model::SlotUsed)
            ++count;
    }
    return count;
}

void removeFirstLine(forms::ListBox& list, int itemData)
{
    for (int i = 0; i < list.listCount(); ++i) {
        if (list.itemData(i) == itemData) {
            list.removeItem(i);
            return;
        }
    }
}

// The steps whose undo writes a marriage into the fields or empties them; the undo
// of a drop into the fields takes back only that drop.
bool undoRefillsFields(int16_t kind)
{
    return kind == model::KouUndo::NewMarriage || kind == model::KouUndo::ChangedMarriage ||
           kind == model::KouUndo::RemovedChild;
}

} // namespace

void CtrlForm::scritem_Click(int Index)
{
    switch (Index) {
    case 0: {
        // An undo that loads a marriage into the fields settles their unregistered
        // change first. はい registers it, and that registration is then the editor's
        // last step: the undo stops there, and the next ＵＮＤＯ takes it back.
        const model::KouUndoRecord& pending = model::kouUndo();
        if (undoRefillsFields(pending.KouUndoMode) && model::kouUndoStands(pending) && hasUnregisteredChange()) {
            const uint64_t edits = model::familyEdits();
            if (!settleUnregisteredChange() || model::familyEdits() != edits)
                return;
        }
        // The undo closes the person editor: its unregistered input is settled first.
        if (!mainwindow::settlePersonEditorFirst())
            return;
        const int before = usedPersonCount();
        undo_kou_data();
        // A person a drop had made is gone: the windows that list persons close.
        if (usedPersonCount() < before) {
            model::RunState& run = model::runState();
            run.Entry_Open = 0;
            relations::relationRequests().closePersonEditor();
            model::windowServices().closeChronology();
            run.YTbl_Open = 0;
        }
        break;
    }
    case 2:
        halveWidth();
        break;
    case 3:
        doubleWidth();
        break;
    case 5:
        if (!settleUnregisteredChange())
            return;
        model::runState().Ctrl_Open = 0;
        unload();
        break;
    default:
        break;
    }
}

void CtrlForm::undo_kou_data()
{
    model::Tables& t = tables();

    model::runState().Entry_Open = 0;
    relations::relationRequests().closePersonEditor();
    const model::KouUndoRecord r = model::kouUndo();
    if (r.KouUndoMode < 1)
        return;
    // The step is forgotten whatever happens next: one undo per step.
    model::clearKouUndo();
    disableUndo();
    // What the step would take back has changed since (a chart drop, another
    // window): acting now would overwrite or free what is in use.
    if (!model::kouUndoStands(r)) {
        platform::MsgBox(model::UndoRefusedMessage, platform::vbOKOnly | platform::vbExclamation);
        return;
    }
    // Taking back a step that changed the family is a command of its own: the main
    // window's undo then takes back exactly this, not the command before it too.
    if (model::kouUndoChangesFamily(r.KouUndoMode))
        model::windowServices().saveUndo();

    namespace KouUndo = model::KouUndo;
    switch (r.KouUndoMode) {
    case KouUndo::NewMarriage: {
        // The marriage the registration took the start mark from gets it back.
        model::freeCreatedMarriage(r.UndoKou, r.displacedStart);
        // Fields that showed the freed marriage, or a new record, become an empty new
        // record; another marriage shown since stays as it is stored.
        model::RunState& run = model::runState();
        if (run.Sel_KouMark == 0 || run.KouNum == r.UndoKou) {
            run.KouNum = -1;
            run.Sel_KouMark = 0;
            edit_kou_data(-1);
        } else {
            edit_kou_data(run.KouNum);
        }
        Build_list_kou();
        drawing::Refresh_TabDisp();
        t.Data_Changed = 1;
        break;
    }
    case KouUndo::ChangedMarriage:
    case KouUndo::DeletedMarriage: {
        model::marry_data& restored = t.kou_buf[static_cast<size_t>(r.UndoKou)];
        restored = r.KouUndoBuf;
        // What the record's histories named may have gone since; the histories the
        // deletion took from other children name the marriage again.
        model::dropHistoriesNamingNoMarriage(restored);
        if (r.KouUndoMode == KouUndo::DeletedMarriage)
            model::restoreHistoriesNaming(r.UndoKou, r.namedBy);
        // A restored start marriage takes the mark back from the marriage that
        // inherited it; a change that made this marriage the start took the mark
        // from another one, which gets it back.
        const int current = model::currentStartMarriage();
        model::handStartMarkTo(r.KouUndoBuf.dsp_start == 1 ? r.UndoKou
                               : current != -1             ? current
                                                           : r.displacedStart);
        if (r.KouUndoMode == KouUndo::ChangedMarriage)
            showRestoredMarriage(r.UndoKou);
        Build_list_kou();
        drawing::Refresh_TabDisp();
        t.Data_Changed = 1;
        break;
    }
    case KouUndo::ListedChild:
        removeFirstLine(List2, r.UndoKodo);
        break;
    case KouUndo::NewManChild:
    case KouUndo::NewWomanChild:
    case KouUndo::NewHusband:
    case KouUndo::NewWife: {
        const bool newMan = r.KouUndoMode == KouUndo::NewManChild || r.KouUndoMode == KouUndo::NewHusband;
        const bool child = r.KouUndoMode <= KouUndo::NewWomanChild;
        const int created = child ? r.UndoKodo : r.UndoActer;
        if (child)
            removeFirstLine(List2, created);
        else
            clearPartnerLabel(newMan ? 0 : 1);
        model::returnPlaceholderNumber(newMan ? 0 : 1, r.placeholderCount);
        placeholderReturned(newMan ? 0 : 1, created);
        model::freeCreatedPerson(created);
        t.Data_Changed = 1;
        break;
    }
    case KouUndo::ListedHusband:
        clearPartnerLabel(0);
        break;
    case KouUndo::ListedWife:
        clearPartnerLabel(1);
        break;
    case KouUndo::RemovedChild: {
        model::marry_data& k = t.kou_buf[static_cast<size_t>(r.UndoKou)];
        const size_t slot = static_cast<size_t>(r.UndoKodoSlot);
        k.kou_kodo[slot] = r.UndoKodo;
        k.kou_kodo_stat[slot] = r.UndoKodoStat;
        k.kou_kodo_comment[slot] = r.UndoKodoComment;
        showRestoredMarriage(r.UndoKou);
        drawing::Refresh_TabDisp();
        t.Data_Changed = 1;
        break;
    }
    default:
        // Kinds above 11 only end the pending step.
        break;
    }
}

void CtrlForm::showRestoredMarriage(int kou)
{
    // The fields show the marriage the undo brought back, and it is the record a
    // following 登録 writes: the editor's chosen marriage follows the fields.
    model::RunState& run = model::runState();
    run.KouNum = static_cast<int16_t>(kou);
    run.Sel_KouMark = 1;
    edit_kou_data(kou);
}
