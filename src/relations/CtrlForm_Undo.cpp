// The relationship editor's one-step undo, kept apart from the file-based undo
// of the main window: the last registration, deletion or drop of the editor is
// taken back directly in the tables and in the editor's fields.

#include "relations/CtrlForm.h"

#include "relations/RelationRequests.h"
#include "relations/relations_state.h"

#include "drawing/ChartRebuild.h"
#include "layout/chart_state.h"
#include "model/MarriageRegistration.h"
#include "model/WindowServices.h"
#include "model/tables.h"

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

// The first marriage in use that has the start mark, other than `except`; -1 none.
int startMarriage(int except)
{
    for (int i = 1; i <= model::LastSlot; ++i) {
        const model::marry_data& k = tables().kou_buf[static_cast<size_t>(i)];
        if (i != except && k.InUse == model::SlotUsed && k.dsp_start == 1)
            return i;
    }
    return -1;
}

// The chart needs a start marriage: the first marriage in use takes the mark when
// none has it.
void ensureStartMarriage()
{
    if (startMarriage(-1) != -1)
        return;
    for (int i = 1; i <= model::LastSlot; ++i) {
        model::marry_data& k = tables().kou_buf[static_cast<size_t>(i)];
        if (k.InUse == model::SlotUsed) {
            k.dsp_start = 1;
            return;
        }
    }
}

// Only one start marriage: a restored start marriage takes the mark back from the
// marriage that inherited it.
void keepSingleStart(int restored)
{
    if (tables().kou_buf[static_cast<size_t>(restored)].dsp_start != 1)
        return;
    const int other = startMarriage(restored);
    if (other != -1)
        tables().kou_buf[static_cast<size_t>(other)].dsp_start = 0;
}

// Frees a person a drop created. Slot 1024, the blank partner, is never a created
// person and keeps its name.
void freeCreatedPerson(int person)
{
    if (person < 1 || person > model::LastPersonSlot)
        return;
    model::personal_data& p = tables().per_buf[static_cast<size_t>(person)];
    p.InUse = model::SlotFree;
    p.F_name.clear();
    p.Name.clear();
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

} // namespace

void CtrlForm::scritem_Click(int Index)
{
    switch (Index) {
    case 0: {
        const int before = usedPersonCount();
        undo_kou_data();
        // A person a drop had made is gone: the windows that list persons close.
        if (usedPersonCount() < before) {
            model::Tables& t = tables();
            t.Entry_Open = 0;
            relations::relationRequests().closePersonEditor();
            model::windowServices().closeChronology();
            t.YTbl_Open = 0;
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
        tables().Ctrl_Open = 0;
        unload();
        break;
    default:
        break;
    }
}

void CtrlForm::undo_kou_data()
{
    model::Tables& t = tables();
    relations::RelationsState& state = relations::relationsState();

    t.Entry_Open = 0;
    relations::relationRequests().closePersonEditor();
    if (t.KouUndoMode < 1)
        return;

    const bool newMan = t.KouUndoMode == relations::KouUndoNewManChild ||
                           t.KouUndoMode == relations::KouUndoNewHusband;
    switch (t.KouUndoMode) {
    case model::KouUndoNewMarriage:
        if (model::isSlot(t.UndoKou)) {
            model::marry_data& k = t.kou_buf[static_cast<size_t>(t.UndoKou)];
            k.InUse = model::SlotFree;
            // The freed slot must not hand its children to the next marriage stored in it.
            for (int s = 0; s <= model::LastChildSlot; ++s) {
                k.kou_kodo[static_cast<size_t>(s)] = -1;
                k.kou_kodo_stat[static_cast<size_t>(s)] = -1;
            }
            t.UndoKou = -1;
        }
        ensureStartMarriage();
        clearPartnerLabel(0);
        clearPartnerLabel(1);
        List2.clear();
        Build_list_kou();
        drawing::Refresh_TabDisp();
        break;
    case model::KouUndoChangedMarriage:
    case relations::KouUndoDeletedMarriage:
        if (model::isSlot(t.UndoKou)) {
            t.kou_buf[static_cast<size_t>(t.UndoKou)] = t.KouUndoBuf;
            keepSingleStart(t.UndoKou);
            // A change that made this marriage the start took the mark from another
            // one; restoring the old record must not leave the chart without a start.
            ensureStartMarriage();
            if (t.KouUndoMode == model::KouUndoChangedMarriage)
                edit_kou_data(t.UndoKou);
        }
        Build_list_kou();
        drawing::Refresh_TabDisp();
        break;
    case relations::KouUndoListedChild:
        removeFirstLine(List2, t.UndoKodo);
        break;
    case relations::KouUndoNewManChild:
    case relations::KouUndoNewWomanChild:
    case relations::KouUndoNewHusband:
    case relations::KouUndoNewWife: {
        const bool child = t.KouUndoMode <= relations::KouUndoNewWomanChild;
        const int created = child ? t.UndoKodo : state.UndoActer;
        if (child)
            removeFirstLine(List2, created);
        else
            clearPartnerLabel(newMan ? 0 : 1);
        int16_t& counter = newMan ? t.DummyManCnt : t.DummyWomanCnt;
        const std::string& templateText = newMan ? state.DummyManText : state.DummyWomanText;
        forms::ListBox& list = List1[newMan ? 0 : 1];
        --counter;
        // The placeholder line is the one last added to its list.
        const int placeholder = list.newIndex();
        if (placeholder >= 0 && placeholder < list.listCount())
            list.setList(placeholder, relations::placeholderLine(templateText, counter));
        removeFirstLine(list, created);
        freeCreatedPerson(created);
        break;
    }
    case relations::KouUndoListedHusband:
        clearPartnerLabel(0);
        break;
    case relations::KouUndoListedWife:
        clearPartnerLabel(1);
        break;
    case relations::KouUndoRemovedChild:
        if (model::isSlot(t.UndoKou) && model::isChildEntry(t.UndoKodoSlot)) {
            model::marry_data& k = t.kou_buf[static_cast<size_t>(t.UndoKou)];
            const size_t slot = static_cast<size_t>(t.UndoKodoSlot);
            k.kou_kodo[slot] = t.UndoKodo;
            k.kou_kodo_stat[slot] = t.UndoKodoStat;
            k.kou_kodo_comment[slot] = t.UndoKodoComment;
            edit_kou_data(t.UndoKou);
            drawing::Refresh_TabDisp();
        }
        break;
    default:
        // Kinds above 11 only end the pending step.
        break;
    }

    t.KouUndoMode = 0;
    state.UndoActer = 0;
    disableUndo();
}
