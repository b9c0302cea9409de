#include "model/Lookups.h"

#include "model/tables.h"

#include <vector>

namespace model {

namespace {

bool isPartner(const marry_data& k, int person)
{
    if (!isSlot(person))
        return false; // a damaged record's -1 partner is nobody
    return k.kou_titi == person || k.kou_haha == person;
}

// The child slot holding the person. An argument that is no slot of the person
// table (above all -1, the mark of an empty slot) is never found.
int childSlotOf(const marry_data& k, int person, int lastEntry)
{
    if (!isSlot(person))
        return -1;
    for (int s = 0; s <= lastEntry; ++s) {
        if (k.kou_kodo[s] == person)
            return s;
    }
    return -1;
}

void selectChild(int kou, int slot)
{
    tables().Sel_ChildKou = static_cast<int16_t>(kou);
    tables().Sel_ChildSlot = static_cast<int16_t>(slot);
}

// The first marriage (InUse <> -1) holding the person in a child slot 0..19.
int parentMarriageOf(int person)
{
    if (!isPersonSlot(person))
        return -1; // the blank partner (and any non-person) has no parents
    const Tables& t = tables();
    for (int k = 1; k <= LastSlot; ++k) {
        if (isTakenMarriage(t.kou_buf[k]) && childSlotOf(t.kou_buf[k], person, LastChildSlot) >= 0)
            return k;
    }
    return -1;
}

enum class Walk : char { NotVisited, InProgress, Done };

// Depth-first over the ancestor marriages. A marriage already walked to the end
// gave -1 (a -2 ends the whole walk), so it is not walked again; one met again
// while still on the current path is a cycle of descent.
int ancestorWalk(int kou, int person, std::vector<Walk>& state)
{
    if (state[kou] == Walk::Done)
        return -1;
    if (state[kou] == Walk::InProgress)
        return -2;
    state[kou] = Walk::InProgress;
    const marry_data& k = tables().kou_buf[kou];
    if (isPartner(k, person))
        return -2;
    for (const int parent : {static_cast<int>(k.kou_titi), static_cast<int>(k.kou_haha)}) {
        const int parentKou = parentMarriageOf(parent);
        if (parentKou >= 0 && ancestorWalk(parentKou, person, state) == -2)
            return -2;
    }
    state[kou] = Walk::Done;
    return -1;
}

} // namespace

int Get_ChildKou(int person)
{
    const Tables& t = tables();
    for (int k = 1; k <= LastSlot; ++k) {
        if (!isUsedMarriage(t.kou_buf[k]))
            continue;
        const int s = childSlotOf(t.kou_buf[k], person, LastChildSlot);
        if (s >= 0) {
            selectChild(k, s);
            return 0;
        }
    }
    return -1;
}

int Get_ChildKouLinked(int person)
{
    const Tables& t = tables();
    if (!isSlot(person))
        return -1;
    for (int k = 1; k <= LastSlot; ++k) {
        const marry_data& m = t.kou_buf[k];
        if (!isUsedMarriage(m))
            continue;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (m.kou_kodo[s] != person)
                continue;
            if (m.kodo_link[s] == -1 || m.kodo_honsuji[s] == 1) {
                selectChild(k, s);
                return 0;
            }
        }
    }
    return -1;
}

int Get_ChildSlot(int kou, int person)
{
    if (!isUsedMarriage(kou))
        return -1;
    const int s = childSlotOf(tables().kou_buf[kou], person, LastChildSlot);
    if (s < 0)
        return -1;
    selectChild(kou, s);
    return 0;
}

int Find_KodoSlot(int kou, int person)
{
    if (!isUsedMarriage(kou))
        return -1;
    return childSlotOf(tables().kou_buf[kou], person, LastChildSlot);
}

int Find_PersonMarry(int person)
{
    return Find_NextMarry(person, 0);
}

int Find_NextMarry(int person, int start)
{
    if (start < 0)
        return -1;
    const Tables& t = tables();
    for (int k = start; k <= LastSlot; ++k) {
        if (isUsedMarriage(t.kou_buf[k]) && isPartner(t.kou_buf[k], person))
            return k;
    }
    return -1;
}

int Find_NextParentKou(int person, int start, int& slot)
{
    slot = -1;
    if (start < 0)
        return -1;
    const Tables& t = tables();
    for (int k = start; k <= LastSlot; ++k) {
        if (!isUsedMarriage(t.kou_buf[k]))
            continue;
        const int s = childSlotOf(t.kou_buf[k], person, ChildArraySize - 1);
        if (s >= 0) {
            slot = s;
            return k;
        }
    }
    return -1;
}

int Get_PersonKou(int person)
{
    const Tables& t = tables();
    for (int k = 1; k <= LastSlot; ++k) {
        const marry_data& m = t.kou_buf[k];
        if (!isTakenMarriage(m))
            continue;
        if (isPartner(m, person) || childSlotOf(m, person, LastChildSlot) >= 0)
            return k;
    }
    return -1;
}

int Find_HonsujiKou(int person, int kou)
{
    if (!isSlot(person))
        return -1;
    const Tables& t = tables();
    if (t.per_buf[person].MultiParentF == 0)
        return -1;
    int result = -1;
    if (kou != -1 && isSlot(kou)) {
        const int s = childSlotOf(t.kou_buf[kou], person, ChildArraySize - 1);
        if (s >= 0) {
            const int history = t.kou_buf[kou].kodo_yoshirireki[s];
            // The adoption history names a marriage; a value outside the table (a
            // damaged file) or a slot that holds no marriage record names none. A
            // marriage the chart's direct-line view hides for its drawing (not in use
            // meanwhile) keeps its couple and is still named.
            if (holdsMarriageRecord(history))
                result = history;
        }
    }
    if (result != -1)
        return result;
    for (int k = 1; k <= LastSlot; ++k) {
        const marry_data& m = t.kou_buf[k];
        if (!isUsedMarriage(m))
            continue;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (m.kou_kodo[s] == person && m.kodo_honsuji[s] != -1)
                return k;
        }
    }
    return -1;
}

int Check_Ancestor(int kou, int person)
{
    if (kou == -1)
        return -1;
    if (kou == -2 || !isSlot(kou))
        return -2;
    std::vector<Walk> state(RecordCount, Walk::NotVisited);
    return ancestorWalk(kou, person, state);
}

void Get_EasyMarries(int person)
{
    Tables& t = tables();
    t.Easy_MarryKou = -1;
    t.Easy_BlankKou = -1;
    t.Easy_OtherKou = -1;
    if (!isSlot(person))
        return;
    const bool isMan = t.per_buf[person].Sex == 0;
    for (int k = Find_NextMarry(person, 1); k != -1; k = Find_NextMarry(person, k + 1)) {
        const marry_data& m = t.kou_buf[k];
        const int partner = isMan ? m.kou_haha : m.kou_titi;
        if (m.kou_mode == 0) {
            if (partner == BlankPartner)
                t.Easy_BlankKou = static_cast<int16_t>(k);
            else
                t.Easy_MarryKou = static_cast<int16_t>(k);
        } else {
            t.Easy_OtherKou = static_cast<int16_t>(k);
        }
    }
}

} // namespace model
