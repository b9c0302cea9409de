#pragma once
// The family as the whole program sees it: the person table, the marriage table,
// the group lists and the family-wide run-time values, all reached through tables().
// Document settings that travel in the family file live in model/settings.h, the
// the chart selection, the editors' cursors, the windows' open flags and other
// run-time values in model/run_state.h.

#include "model/DispStat.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace model {

// Slots 0..1024 of per_buf and kou_buf. Slot 0 is never used.
constexpr int RecordCount = 1025;
constexpr int LastSlot = 1024;
// Person slot 1024 as kou_titi or kou_haha is the blank partner "空白"; no real
// person is ever created in it, so the person-creating scans stop at 1023.
constexpr int BlankPartner = 1024;
constexpr int LastPersonSlot = 1023;

// Per-child arrays have 21 entries; child slots are 0..19 and entry 20 stays empty
// (some scans run to 20 and rely on it reading -1).
constexpr int ChildArraySize = 21;
constexpr int MaxChildren = 20;
constexpr int LastChildSlot = 19;

// InUse values of both tables.
constexpr int16_t SlotUsed = 1;
constexpr int16_t SlotFree = -1;

template <typename T>
using ChildArray = std::array<T, ChildArraySize>;

// One person. Fields in their stored order; default values are those of a cleared
// slot except Voice_filename, which names the slot ("voice<slot>.wav").
struct personal_data {
    int16_t InUse = SlotFree;     // 1 used, -1 free
    std::string F_name;           // family name
    std::string Name;             // given name
    int16_t Sex = 0;              // 0 male, 1 female; -1 after del_per_buf
    std::string B_day;            // birth date text in the current date display form
    std::string Old_name;         // former (maiden) name
    std::string Death_day;        // death date text
    int16_t Age = -1;             // years, -1 unknown
    std::string YubinNo;          // postal code
    std::string Addr1;
    std::string Addr2;
    std::string TelNo;
    std::string FaxNo;
    std::string KeiNo;            // mobile number
    std::string E_mail;
    std::string Biko;             // remarks, at most 1024 characters, line breaks as LF
    int16_t Voice_index = -1;     // -1 no voice memo
    std::string Voice_filename;   // file name inside the voice work folder
    std::string Picture_filename; // file name inside the face work folder
    int16_t Picture_index = -1;   // -1 no face picture
    int16_t Picture_mode = -1;    // picture kind, -1 none
    std::string Zokugara;         // relationship label
    std::string ZokugaraK;        // relationship label after marriage
    std::string Kaimyo;           // posthumous name
    std::string GrpName;          // the person's group (a row of GrpNameList)
    DispStat Disp;                // display block, copied whole
    int16_t OrgIdx = -1;          // person this record is a temporary copy of (pre-draw transforms); not saved
    int16_t CategoryF = -1;       // category flag
    int16_t CopyIdx = -1;         // person this one was copied from, -1 none
    int16_t MultiParentF = 0;     // non-zero while registered as a child in several marriages; not saved
    int16_t CsvOutFlag = 0;       // 1 = goes into the flagged CSV export
};

// One marriage (relationship). Fields in their stored order; default values are
// those of a cleared record.
struct marry_data {
    int16_t InUse = SlotFree;     // 1 used, -1 free (also while hidden by the direct-line view)
    int16_t kou_gen = -1;         // generation row given by the layout; not saved
    std::string kou_title;        // family title shown for the couple
    std::string kou_state;        // state word ("通常", "死別", ...)
    int16_t kou_mode = -1;        // 0 main marriage, 1 other relation, 2 deleted with its last child
    int16_t sort_lev = -1;
    int16_t kou_titi = -1;        // husband's person slot; 1024 = blank partner
    int16_t kou_haha = -1;        // wife's person slot; 1024 = blank partner
    ChildArray<int16_t> kou_kodo;          // child's person slot, -1 empty
    ChildArray<int16_t> kou_kodo_stat;     // 0 registered with the marriage, 2 adopted, -1 empty
    ChildArray<int16_t> kodo_spare;        // carried along when a slot moves; not saved
    ChildArray<std::string> kou_kodo_comment;
    int16_t dsp_start = 0;        // 1 = the marriage the chart starts from
    int16_t Yoshi_f = 0;          // 1 = the line continues through the wife
    int16_t org_titi = -1;        // husband before the multiple-marriage expansion; not saved
    int16_t org_haha = -1;        // wife before the multiple-marriage expansion; not saved
    ChildArray<int16_t> kodo_link;         // link of a child registered in several marriages; not saved
    ChildArray<int16_t> kodo_honsuji;      // 1 = this registration carries the family line
    ChildArray<int16_t> kodo_visible;      // direct-line mark
    int16_t Bunke = -1;           // branch-family flag
    ChildArray<int16_t> kodo_yoshirireki;  // adoption history, -1 none

    marry_data();
};

bool operator==(const personal_data& a, const personal_data& b);
inline bool operator!=(const personal_data& a, const personal_data& b) { return !(a == b); }
bool operator==(const marry_data& a, const marry_data& b);
inline bool operator!=(const marry_data& a, const marry_data& b) { return !(a == b); }

// A row of the group list.
struct GrpNameRec {
    std::string GrpName;   // stored trimmed
    int16_t Work = 0;      // nothing reads it; not saved
    int16_t Visible = -1;  // -1 shown, 0 hidden
};

// A row of the lineage-group list.
struct GrpTitleRec {
    std::string TitleName;
    int16_t Visible = -1;  // -1 shown, 0 hidden
    int16_t Leader = 0;    // person slot of the leader
    double Offset = 0;     // generation offset on the chart, -10..10
};

// One child slot taken out of a marriage record.
struct kodo_data {
    int16_t KouIdx = 0;            // marriage record
    int16_t KodoIdx = 0;           // child slot 0..19; -1 = the first empty slot
    int16_t kou_kodo = 0;          // child's person slot
    int16_t kou_kodo_stat = 0;
    std::string kou_kodo_comment;
    int16_t kodo_visible = 0;
    int16_t kodo_spare = 0;
    int16_t kodo_honsuji = 0;
    int16_t kodo_yoshirireki = 0;
};

// The changed flag of the family: 1 = changed since the last load or save. Every
// assignment of 1, wherever an edit makes it, also counts one edit of the family
// (familyEdits), so that what has to follow every edit (the autosave) can tell that
// the family changed again while the flag stayed 1. Copying a flag counts nothing.
class ChangedFlag {
public:
    ChangedFlag() = default;
    ChangedFlag& operator=(int16_t value);
    operator int16_t() const { return m_value; }
    // The edit (the count of familyEdits) that last set the flag to 1. It travels with
    // a copy of the tables: tables put back whole from a copy (a refused registration
    // undoing what it tried) are at that copy's edit again, as unchanged as they were.
    uint64_t lastEdit() const { return m_lastEdit; }

private:
    int16_t m_value = 0;
    uint64_t m_lastEdit = 0;
};

// How many edits of the family (assignments of 1 to Data_Changed) this run has made.
uint64_t familyEdits();

// Everything family-wide. Default construction gives an empty family (every slot
// cleared, group lists empty, counters as after a new document). A Tables is large
// (about 2 MB); a temporary copy belongs on the heap (std::make_unique<Tables>()).
struct Tables {
    Tables();

    std::array<personal_data, RecordCount> per_buf;
    std::array<marry_data, RecordCount> kou_buf;

    // Group list and lineage-group list. Rows 0..count are valid; count is -1 when
    // empty. The operations of GroupLists.h keep the vector exactly count + 1 long.
    std::vector<GrpNameRec> GrpNameList;
    int16_t GrpNameCount = -1;
    std::vector<GrpTitleRec> GrpTitleList;
    int16_t GrpTitleCount = -1;
    // Caption flag of the family-tree tabs, read by the chart rebuild;
    // Clear_GrpTitleList sets it back to -1.
    int16_t tab_grp_f = -1;

    // The display block every new, cleared or loaded person starts from, and the
    // block of the last person box rendered (read by the display-options preview).
    DispStat DefDispStat = defaultDispStat();
    DispStat LastDispStat;

    // Family-wide counters and flags.
    std::string Cur_FilePath;      // path of the open family file
    int16_t PerCount = 0;          // raised by Add_NewPerson
    ChangedFlag Data_Changed;      // 1 = changed since the last load or save
    int16_t DummyManCnt = 1;       // counters of the placeholder names 男NN / 女NN
    int16_t DummyWomanCnt = 1;

    // Marriage and child slot found by the child look-ups.
    int16_t Sel_ChildKou = -1;
    int16_t Sel_ChildSlot = -1;

    // Easy relation builder: the last placeholder person and the collected marriages.
    int16_t Easy_NewPer = -1;
    int16_t Easy_MarryKou = -1;
    int16_t Easy_BlankKou = -1;
    int16_t Easy_OtherKou = -1;

    // Scratch record of the child-slot operations; carries over between them.
    kodo_data KodoWork;

    // Back to the counters of a new document; the tables and lists themselves are
    // emptied by Clear_PerBuf, Clear_KouBuf and the group-list clears.
    void resetRunTimeValues();
};

// The one instance the whole program shares.
Tables& tables();

// Slot checks for indexes that come from data or callers. isSlot: any index of
// per_buf and kou_buf, slot 0 included.
inline bool isSlot(int index) { return index >= 0 && index <= LastSlot; }
// A person slot a user can fill: 1..1023. The blank partner is never a person.
inline bool isPersonSlot(int slot) { return slot >= 1 && slot <= LastPersonSlot; }
// A person number a marriage record may hold as partner or child: a person slot
// or the blank partner, 1..1024.
inline bool isPersonReference(int slot) { return slot >= 1 && slot <= BlankPartner; }
// A marriage slot: 1..1024.
inline bool isMarriageSlot(int kou) { return kou >= 1 && kou <= LastSlot; }
inline bool isChildSlot(int slot) { return slot >= 0 && slot <= LastChildSlot; }
inline bool isChildEntry(int slot) { return slot >= 0 && slot < ChildArraySize; }

// The records of a slot; the caller has checked the index.
inline personal_data& person(int slot) { return tables().per_buf[static_cast<size_t>(slot)]; }
inline marry_data& marriage(int kou) { return tables().kou_buf[static_cast<size_t>(kou)]; }
// A person slot or a marriage slot that holds a record in use.
inline bool isUsedPerson(int slot) { return isPersonSlot(slot) && person(slot).InUse == SlotUsed; }
// "Does this slot hold a marriage", asked only through these names:
// - isUsedMarriage: a record in use (InUse 1), of the family's table or of a copy of it.
//   While the chart is drawn, a marriage the direct-line view hides is not in use.
// - isTakenMarriage: a record not marked free, whatever else InUse holds (the look-ups
//   that count "InUse <> -1").
// - holdsMarriageRecord: a slot holding a record, in use or only hidden by the
//   direct-line view while the chart is drawn (the hidden record keeps its couple; a
//   freed one has none).
inline bool isUsedMarriage(const marry_data& k) { return k.InUse == SlotUsed; }
inline bool isUsedMarriage(int kou) { return isMarriageSlot(kou) && isUsedMarriage(marriage(kou)); }
inline bool isTakenMarriage(const marry_data& k) { return k.InUse != SlotFree; }
inline bool isTakenMarriage(int kou) { return isMarriageSlot(kou) && isTakenMarriage(marriage(kou)); }
inline bool holdsMarriageRecord(int kou) { return isMarriageSlot(kou) && marriage(kou).kou_titi != -1; }
// Whom a marriage may name as a partner: a person of the family (a used person
// slot) or the blank partner. A freed slot is nobody, whatever its record still
// holds; a child must be a used person slot (isUsedPerson).
inline bool isFamilyPartner(int slot) { return slot == BlankPartner || isUsedPerson(slot); }
// A person number 1..1024 whose record is not marked free, whatever else InUse
// holds: the counts of every taken slot (the chronology, the name list's height).
inline bool isTakenPerson(int slot) { return isPersonReference(slot) && person(slot).InUse != SlotFree; }

// The cleared person record of a slot: every field at its empty value,
// Voice_filename slotVoiceName(slot), Disp = the current DefDispStat.
personal_data clearedPerson(int slot);

// The slot's own voice memo name, "voice<slot>.wav": every cleared slot has it.
std::string slotVoiceName(int slot);

} // namespace model
