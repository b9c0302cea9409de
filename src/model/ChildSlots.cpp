#include "model/ChildSlots.h"

#include "model/Lookups.h"
#include "model/UndoRecords.h"
#include "model/WindowServices.h"
#include "platform/Hooks.h"

#include <utility>
#include <vector>

namespace model {

namespace {

int firstEmptySlot(const marry_data& k)
{
    for (int s = 0; s <= LastChildSlot; ++s) {
        if (k.kou_kodo[s] == -1)
            return s;
    }
    return -1;
}

int filledSlotCount(const marry_data& k)
{
    int n = 0;
    for (int s = 0; s <= LastChildSlot; ++s) {
        if (k.kou_kodo[s] != -1)
            ++n;
    }
    return n;
}

// An empty child slot as a cleared record holds it.
void makeEmptyChild(kodo_data& w)
{
    w.kou_kodo = -1;
    w.kou_kodo_stat = -1;
    w.kou_kodo_comment.clear();
    w.kodo_visible = 1;
    w.kodo_spare = -1;
    w.kodo_honsuji = -1;
    w.kodo_yoshirireki = -1;
}

void copyValues(marry_data& k, int target, const marry_data& from, int source)
{
    k.kou_kodo[target] = from.kou_kodo[source];
    k.kou_kodo_stat[target] = from.kou_kodo_stat[source];
    k.kodo_spare[target] = from.kodo_spare[source];
    k.kou_kodo_comment[target] = from.kou_kodo_comment[source];
    k.kodo_honsuji[target] = from.kodo_honsuji[source];
    k.kodo_visible[target] = from.kodo_visible[source];
    k.kodo_yoshirireki[target] = from.kodo_yoshirireki[source];
}

void loadValues(marry_data& k, int slot, const kodo_data& w)
{
    k.kou_kodo[slot] = w.kou_kodo;
    k.kou_kodo_stat[slot] = w.kou_kodo_stat;
    k.kodo_spare[slot] = w.kodo_spare;
    k.kou_kodo_comment[slot] = w.kou_kodo_comment;
    k.kodo_honsuji[slot] = w.kodo_honsuji;
    k.kodo_visible[slot] = w.kodo_visible;
    k.kodo_yoshirireki[slot] = w.kodo_yoshirireki;
}

// Moves the filled slots to the front, keeping their order and all seven values;
// the slots left behind (and the spare entry 20) become empty. Returns the new
// place of the child that was in slot `follow`; `moved` tells whether any child
// changed place. Contiguous children are left exactly as they are.
int closeUpSlots(int kou, int follow, bool& moved)
{
    marry_data& k = tables().kou_buf[kou];
    moved = false;
    int next = 0;
    int followed = -1;
    for (int s = 0; s <= LastChildSlot; ++s) {
        if (k.kou_kodo[s] == -1)
            continue;
        if (s == follow)
            followed = next;
        if (s != next) {
            copyValues(k, next, k, s);
            moved = true;
        }
        ++next;
    }
    kodo_data empty;
    makeEmptyChild(empty);
    if (moved) {
        for (int s = next; s < ChildArraySize; ++s)
            loadValues(k, s, empty);
    }
    // The moves below copy from entry 20 and rely on it being empty.
    loadValues(k, ChildArraySize - 1, empty);
    return followed;
}

// Puts KodoWork back into the first empty slot of the marriage (the slot search of
// Add_Kodo) with all seven values.
void reinsertWorkChild(int kou)
{
    Tables& t = tables();
    t.KodoWork.KouIdx = static_cast<int16_t>(kou);
    t.KodoWork.KodoIdx = -1;
    const int s = firstEmptySlot(t.kou_buf[kou]);
    if (s >= 0)
        Load_KodoSlot(kou, s);
}

std::string personName(int person)
{
    if (!isSlot(person))
        return {};
    const personal_data& p = tables().per_buf[person];
    return p.F_name + p.Name;
}

} // namespace

int Add_Kodo(const kodo_data& work)
{
    const int kou = work.KouIdx;
    const int person = work.kou_kodo;
    // Only a person of the family becomes a child: a freed slot is nobody.
    if (!isMarriageSlot(kou) || !isUsedPerson(person))
        return -2;
    if (work.KodoIdx != -1 && !isChildSlot(work.KodoIdx))
        return -2;
    if (Check_Ancestor(kou, person) == -2)
        return -2;
    Tables& t = tables();
    marry_data& k = t.kou_buf[kou];
    const int slot = work.KodoIdx == -1 ? firstEmptySlot(k) : work.KodoIdx;
    if (slot < 0)
        return -1;
    snapshotBeforeChange();
    if (k.kou_kodo[slot] != work.kou_kodo)
        k.kodo_yoshirireki[slot] = -1;
    k.kou_kodo[slot] = work.kou_kodo;
    k.kou_kodo_stat[slot] = work.kou_kodo_stat;
    k.kou_kodo_comment[slot] = work.kou_kodo_comment;
    k.kodo_honsuji[slot] = work.kodo_honsuji;
    k.kodo_visible[slot] = work.kodo_visible;
    t.Data_Changed = 1;
    return slot;
}

void Del_Kodo(int kou, int slot)
{
    if (!isMarriageSlot(kou) || !isChildSlot(slot))
        return;
    Tables& t = tables();
    marry_data& k = t.kou_buf[kou];
    const int child = k.kou_kodo[slot];
    if (child == -1)
        return;
    const int answer = platform::MsgBox(
        personName(child) + " : この子供を削除してよろしいでしょうか？", platform::vbOKCancel);
    if (answer == platform::vbOK) {
        saveUndoOnce();
        // The undo record names the child that was really in the slot, whoever is
        // selected on the chart.
        KouUndoRecord record;
        record.KouUndoMode = KouUndo::RemovedChild;
        record.UndoKodo = static_cast<int16_t>(child);
        record.UndoKou = static_cast<int16_t>(kou);
        record.UndoKodoStat = k.kou_kodo_stat[slot];
        record.UndoKodoComment = k.kou_kodo_comment[slot];
        record.UndoKodoSlot = static_cast<int16_t>(slot);
        k.kou_kodo[slot] = -1;
        k.kodo_spare[slot] = -1;
        k.kou_kodo_stat[slot] = -1;
        recordKouUndo(std::move(record));
        t.Data_Changed = 1;
    }
    // A kou_mode 2 record exists only for its children.
    if (k.kou_mode == 2 && filledSlotCount(k) == 0)
        windowServices().deleteMarriage(kou);
}

int Move_Kodo(int kou, int slot, int mode)
{
    if (!isMarriageSlot(kou) || !isChildSlot(slot))
        return -1;
    Tables& t = tables();
    if (t.kou_buf[kou].kou_kodo[slot] == -1)
        return -1;
    if (filledSlotCount(t.kou_buf[kou]) == 1)
        return 0;
    if (mode < 1 || mode > 4)
        return 0;
    // Nothing is above slot 0.
    if (mode == 2 && slot == 0)
        return 0;

    // Close the gaps first: then "one place" is the next sibling, and the first
    // empty slot is right behind the last child.
    bool closed = false;
    const int at = closeUpSlots(kou, slot, closed);
    if (closed)
        t.Data_Changed = 1;
    marry_data& k = t.kou_buf[kou];
    Save_KodoSlot(kou, at);
    switch (mode) {
    case 1:
        for (int i = at; i >= 1; --i)
            Copy_KodoSlot(kou, i, i - 1);
        Load_KodoSlot(kou, 0);
        break;
    case 2:
        if (at == 0)
            return 0;
        Copy_KodoSlot(kou, at, at - 1);
        Load_KodoSlot(kou, at - 1);
        break;
    case 3:
        Copy_KodoSlot(kou, at, at + 1);
        if (k.kou_kodo[at] != -1)
            Load_KodoSlot(kou, at + 1);
        else
            reinsertWorkChild(kou);
        break;
    case 4:
        for (int i = at; i <= LastChildSlot; ++i)
            Copy_KodoSlot(kou, i, i + 1);
        reinsertWorkChild(kou);
        break;
    }
    t.Data_Changed = 1;
    return 0;
}

void Copy_KodoSlot(int kou, int targetSlot, int sourceSlot)
{
    if (!isSlot(kou) || !isChildSlot(targetSlot) || !isChildEntry(sourceSlot))
        return;
    marry_data& k = tables().kou_buf[kou];
    copyValues(k, targetSlot, k, sourceSlot);
}

void Save_KodoSlot(int kou, int slot)
{
    if (!isSlot(kou) || !isChildEntry(slot))
        return;
    const marry_data& k = tables().kou_buf[kou];
    kodo_data& w = tables().KodoWork;
    w.kou_kodo = k.kou_kodo[slot];
    w.kou_kodo_stat = k.kou_kodo_stat[slot];
    w.kodo_spare = k.kodo_spare[slot];
    w.kou_kodo_comment = k.kou_kodo_comment[slot];
    w.kodo_honsuji = k.kodo_honsuji[slot];
    w.kodo_visible = k.kodo_visible[slot];
    w.kodo_yoshirireki = k.kodo_yoshirireki[slot];
}

void Load_KodoSlot(int kou, int slot)
{
    if (!isSlot(kou) || !isChildSlot(slot))
        return;
    loadValues(tables().kou_buf[kou], slot, tables().KodoWork);
}

void Pack_KodoSlots()
{
    Tables& t = tables();
    std::vector<kodo_data> children;
    children.reserve(MaxChildren);
    for (int kou = 1; kou <= LastSlot; ++kou) {
        if (!isUsedMarriage(t.kou_buf[kou]))
            continue;
        children.clear();
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (t.kou_buf[kou].kou_kodo[s] == -1)
                continue;
            Save_KodoSlot(kou, s);
            children.push_back(t.KodoWork);
        }
        // Empty every slot; the comment and spare value of the work record stay as
        // last collected, as they do for every other use of KodoWork.
        kodo_data& w = t.KodoWork;
        w.kou_kodo = -1;
        w.kou_kodo_stat = -1;
        w.kodo_honsuji = -1;
        w.kodo_yoshirireki = -1;
        w.kodo_visible = 1;
        for (int s = 0; s <= LastChildSlot; ++s)
            Load_KodoSlot(kou, s);
        int s = 0;
        for (auto it = children.rbegin(); it != children.rend(); ++it, ++s) {
            w = *it;
            Load_KodoSlot(kou, s);
        }
    }
}

std::vector<AdoptionHistory> forgetHistoriesNaming(int kou)
{
    std::vector<AdoptionHistory> forgotten;
    if (!isMarriageSlot(kou))
        return forgotten;
    Tables& t = tables();
    for (int m = 1; m <= LastSlot; ++m) {
        marry_data& k = t.kou_buf[m];
        if (m == kou || !isUsedMarriage(k))
            continue;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (k.kodo_yoshirireki[s] != kou)
                continue;
            k.kodo_yoshirireki[s] = -1;
            forgotten.push_back({static_cast<int16_t>(m), k.kou_kodo[s]});
        }
    }
    return forgotten;
}

void restoreHistoriesNaming(int kou, const std::vector<AdoptionHistory>& histories)
{
    for (const AdoptionHistory& history : histories) {
        if (!isUsedMarriage(history.kou))
            continue;
        marry_data& k = marriage(history.kou);
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (k.kou_kodo[s] == history.child && k.kodo_yoshirireki[s] == -1) {
                k.kodo_yoshirireki[s] = static_cast<int16_t>(kou);
                break;
            }
        }
    }
}

void dropHistoriesNamingNoMarriage(marry_data& record)
{
    for (int16_t& history : record.kodo_yoshirireki) {
        if (history != -1 && !isUsedMarriage(history))
            history = -1;
    }
}

} // namespace model
