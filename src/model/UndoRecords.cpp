#include "model/UndoRecords.h"

#include "model/WindowServices.h"

#include <utility>

namespace model {

const char* kouUndoCaption(int16_t kind)
{
    switch (kind) {
    case KouUndo::NewMarriage:
    case KouUndo::ChangedMarriage:
        return UndoCaptionRegistered;
    case KouUndo::DeletedMarriage:
        return UndoCaptionDeleted;
    case KouUndo::ListedChild:
    case KouUndo::NewManChild:
    case KouUndo::NewWomanChild:
        return UndoCaptionNewChild;
    case KouUndo::RemovedChild:
        return UndoCaptionChildRemoved;
    default:
        return UndoCaptionNone;
    }
}

KouUndoRecord& kouUndo()
{
    static KouUndoRecord record;
    return record;
}

void recordKouUndo(KouUndoRecord record)
{
    if (record.KouUndoMode == KouUndo::NewMarriage && isUsedMarriage(record.UndoKou)) {
        record.storedHusband = tables().kou_buf[record.UndoKou].kou_titi;
        record.storedWife = tables().kou_buf[record.UndoKou].kou_haha;
    }
    if (record.KouUndoMode == KouUndo::NewManChild || record.KouUndoMode == KouUndo::NewWomanChild)
        record.createdName = undoName(record.UndoKodo);
    if (record.KouUndoMode == KouUndo::NewHusband || record.KouUndoMode == KouUndo::NewWife)
        record.createdName = undoName(record.UndoActer);
    const int16_t kind = record.KouUndoMode;
    kouUndo() = std::move(record);
    windowServices().enableRelationUndo(kouUndoCaption(kind));
}

void clearKouUndo()
{
    kouUndo() = KouUndoRecord();
}

bool kouUndoStands(const KouUndoRecord& r)
{
    const Tables& t = tables();
    switch (r.KouUndoMode) {
    case KouUndo::NewMarriage:
        return isUsedMarriage(r.UndoKou) && t.kou_buf[r.UndoKou].kou_titi == r.storedHusband
               && t.kou_buf[r.UndoKou].kou_haha == r.storedWife;
    case KouUndo::ChangedMarriage:
        return isUsedMarriage(r.UndoKou);
    case KouUndo::DeletedMarriage:
        return isMarriageSlot(r.UndoKou) && t.kou_buf[r.UndoKou].InUse == SlotFree;
    case KouUndo::NewManChild:
    case KouUndo::NewWomanChild:
        return createdPersonStands(r.UndoKodo, r.createdName);
    case KouUndo::NewHusband:
    case KouUndo::NewWife:
        return createdPersonStands(r.UndoActer, r.createdName);
    case KouUndo::RemovedChild:
        return isUsedMarriage(r.UndoKou) && isChildSlot(r.UndoKodoSlot)
               && t.kou_buf[r.UndoKou].kou_kodo[r.UndoKodoSlot] == -1;
    default:
        return true;
    }
}

DropUndoRecord& dropUndo()
{
    static DropUndoRecord record;
    return record;
}

void recordDropUndo(DropUndoRecord record)
{
    if (isUsedMarriage(record.UndoKou)) {
        record.storedHusband = tables().kou_buf[record.UndoKou].kou_titi;
        record.storedWife = tables().kou_buf[record.UndoKou].kou_haha;
    }
    record.perName = undoName(record.Drop_UndoPer);
    record.kodoName = undoName(record.UndoKodo);
    dropUndo() = std::move(record);
}

void clearDropUndo()
{
    dropUndo() = DropUndoRecord();
}

std::string undoName(int person)
{
    if (!isPersonReference(person))
        return {};
    const personal_data& p = tables().per_buf[person];
    return p.F_name + p.Name;
}

int currentStartMarriage()
{
    for (int k = 1; k <= LastSlot; ++k) {
        if (isUsedMarriage(k) && tables().kou_buf[k].dsp_start == 1)
            return k;
    }
    return -1;
}

void handStartMarkTo(int preferred)
{
    int chosen = isUsedMarriage(preferred) ? preferred : -1;
    for (int k = 1; k <= LastSlot && chosen == -1; ++k) {
        if (isUsedMarriage(k))
            chosen = k;
    }
    // Only the marks move: the other records keep the start value they had.
    for (int k = 1; k <= LastSlot; ++k) {
        marry_data& m = tables().kou_buf[k];
        if (k == chosen)
            m.dsp_start = 1;
        else if (m.InUse == SlotUsed && m.dsp_start == 1)
            m.dsp_start = 0;
    }
}

bool createdPersonStands(int person, const std::string& name, int ownKou)
{
    if (!isPersonSlot(person))
        return false;
    const Tables& t = tables();
    const personal_data& p = t.per_buf[person];
    if (p.InUse != SlotUsed || p.F_name + p.Name != name)
        return false;
    for (int k = 1; k <= LastSlot; ++k) {
        const marry_data& m = t.kou_buf[k];
        if (k == ownKou || m.InUse == SlotFree)
            continue;
        if (m.kou_titi == person || m.kou_haha == person)
            return false;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (m.kou_kodo[s] == person)
                return false;
        }
    }
    return true;
}

void freeCreatedPerson(int person)
{
    if (!isPersonSlot(person))
        return;
    Tables& t = tables();
    personal_data& p = t.per_buf[person];
    if (p.InUse == SlotUsed && t.PerCount > 0)
        --t.PerCount;
    p.InUse = SlotFree;
    p.F_name.clear();
    p.Name.clear();
}

void freeMarriageRecord(int kou)
{
    if (!isMarriageSlot(kou))
        return;
    marry_data& k = tables().kou_buf[kou];
    k.InUse = SlotFree;
    k.kou_gen = -1;
    k.kou_title.clear();
    k.kou_state.clear();
    k.kou_mode = -1;
    k.sort_lev = -1;
    k.kou_titi = -1;
    k.kou_haha = -1;
    k.dsp_start = -1;
    for (int s = 0; s <= LastChildSlot; ++s) {
        k.kou_kodo[s] = -1;
        k.kou_kodo_stat[s] = -1;
    }
}

void clearUndoRecords()
{
    clearKouUndo();
    clearDropUndo();
}

} // namespace model
