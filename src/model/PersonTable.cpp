#include "model/PersonTable.h"

#include "model/GroupLists.h"
#include "model/WindowServices.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Conversions.h"

namespace model {

namespace {

constexpr const char* DummyFamilyName = "****";

// set_per_buf takes a slot marked free; Add_NewPerson any slot not marked used.
int firstSlotMarkedFree()
{
    const Tables& t = tables();
    for (int i = 1; i <= LastPersonSlot; ++i) {
        if (t.per_buf[i].InUse == SlotFree)
            return i;
    }
    return -1;
}

int firstSlotNotInUse()
{
    const Tables& t = tables();
    for (int i = 1; i <= LastPersonSlot; ++i) {
        if (t.per_buf[i].InUse != SlotUsed)
            return i;
    }
    return -1;
}

bool samePersonExists(const std::string& Name, const std::string& F_name, int Sex)
{
    const Tables& t = tables();
    for (int i = 1; i <= LastSlot; ++i) {
        const personal_data& p = t.per_buf[i];
        if (p.Name == Name && p.F_name == F_name && p.Sex == Sex)
            return true;
    }
    return false;
}

// The last two digits of a placeholder counter, zero-padded ("03", "23").
std::string twoDigits(int counter)
{
    int n = counter % 100;
    if (n < 0)
        n = -n;
    return platform::Format(n, 2);
}

} // namespace

namespace {
uint64_t tableClears = 0;

// A person just freed: a lineage group he led has no leader now, and a copy made of
// him no source, rather than whoever takes the slot next; every window lets go of him.
void letGoOf(int slot)
{
    Tables& t = tables();
    for (GrpTitleRec& group : t.GrpTitleList) {
        if (group.Leader == slot)
            group.Leader = 0;
    }
    for (personal_data& other : t.per_buf) {
        if (other.CopyIdx == slot)
            other.CopyIdx = -1;
    }
    windowServices().personFreed(slot);
}
} // namespace

uint64_t personTableClears()
{
    return tableClears;
}

void Clear_PerBuf()
{
    ++tableClears;
    Tables& t = tables();
    // Every field is cleared, so a slot reused later never shows its previous
    // occupant's picture, posthumous name or multiple-parent mark.
    for (int i = 0; i < RecordCount; ++i)
        t.per_buf[i] = clearedPerson(i);
    windowServices().clearRelationPersonLists();
    Clear_GrpNameList();
}

void Clear_KouBuf()
{
    Tables& t = tables();
    // The start flag is cleared too: a stale flag in a free record must never make
    // that record the start marriage once the slot is reused.
    for (int k = 0; k < RecordCount; ++k)
        t.kou_buf[k] = marry_data();
    windowServices().resetRelationEditor();
}

int set_per_buf(int index, const std::string& Name, const std::string& F_name, int Sex,
                const std::string& B_day)
{
    Tables& t = tables();
    int slot = index;
    if (index == -1) {
        if (samePersonExists(Name, F_name, Sex))
            return -2;
        slot = firstSlotMarkedFree();
        if (slot < 0)
            return -1;
    } else if (!isPersonSlot(index)) {
        return -1;
    }
    personal_data& p = t.per_buf[slot];
    if (p.InUse != SlotUsed)
        p = clearedPerson(slot);
    p.Name = Name;
    p.F_name = F_name;
    p.B_day = B_day;
    p.Sex = static_cast<int16_t>(Sex);
    p.InUse = SlotUsed;
    t.Data_Changed = 1;
    return slot;
}

int del_per_buf(int index)
{
    if (!isSlot(index))
        return -1;
    Tables& t = tables();
    personal_data& p = t.per_buf[index];
    if (p.InUse == SlotFree)
        return -1;
    p.InUse = SlotFree;
    p.Name.clear();
    p.F_name.clear();
    p.B_day.clear();
    p.Sex = -1;
    t.Data_Changed = 1;
    letGoOf(index);
    return index;
}

void freePerson(int slot)
{
    if (!isUsedPerson(slot))
        return;
    Tables& t = tables();
    person(slot).InUse = SlotFree;
    if (t.PerCount > 0)
        t.PerCount = static_cast<int16_t>(t.PerCount - 1);
    letGoOf(slot);
}

bool personSlotFree(int count)
{
    const Tables& t = tables();
    int free = 0;
    for (int i = 1; i <= LastPersonSlot && free < count; ++i)
        free += t.per_buf[i].InUse != SlotUsed ? 1 : 0;
    return free >= count;
}

int Add_NewPerson(int index, const std::string& Name, const std::string& F_name, int Sex)
{
    if (index != -1)
        return -1;
    const int slot = firstSlotNotInUse();
    if (slot < 0)
        return -1;
    snapshotBeforeChange();
    Tables& t = tables();
    if (runState().Entry_Open == 1)
        runState().Entry_Open = 0;
    windowServices().closePersonEditor();
    windowServices().closeChronology();
    runState().YTbl_Open = 0;

    personal_data& p = t.per_buf[slot];
    p = clearedPerson(slot);
    p.InUse = SlotUsed;
    p.Name = Name;
    p.F_name = F_name;
    p.Sex = static_cast<int16_t>(Sex);
    t.Data_Changed = 1;
    t.PerCount = static_cast<int16_t>(t.PerCount + 1);
    return slot;
}

void Add_DummyPerson(int Sex)
{
    Tables& t = tables();
    std::string name;
    if (Sex == 0) {
        name = "男" + twoDigits(t.DummyManCnt);
        t.DummyManCnt = static_cast<int16_t>(t.DummyManCnt + 1);
    } else if (Sex == 1) {
        name = "女" + twoDigits(t.DummyWomanCnt);
        t.DummyWomanCnt = static_cast<int16_t>(t.DummyWomanCnt + 1);
    }
    t.Easy_NewPer = -1;
    const int slot = Add_NewPerson(-1, name, DummyFamilyName, Sex);
    if (slot >= 0)
        t.Easy_NewPer = static_cast<int16_t>(slot);
}

} // namespace model
