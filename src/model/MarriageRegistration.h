#pragma once
// Creating and changing marriages. Every marriage a dialog creates or changes passes
// through one rule keeper, regist_kou_data: it checks a filled marriage edit record
// (kou_work), takes the undo snapshot, stores the marriage with set_kou_buf and then
// registers the listed children with Add_Kodo. Drops on the chart and the category
// window call set_kou_buf directly.
//
// set_kou_buf finds the slot, refuses a duplicate couple, keeps a single start
// marriage, decides through which partner the family line continues (Yoshi_f), fills a
// default title and records the relationship editor's one-step undo (model/UndoRecords.h).
//
// Refusals come back as data inside kou_work (message text, box style, title); the
// calling window shows them.

#include "model/tables.h"

#include <cstdint>
#include <string>

namespace model {

// Verdict values of kou_work.
constexpr int16_t KouWorkRefused = 16;        // ErrFlag of a refusal (also of a refused child)
constexpr int KouWorkErrorStyle = 48;         // OK button with the exclamation icon
inline constexpr const char* KouWorkErrorTitle = "関係設定エラー";
// A partner or child the record names is not a person of the family (deleted since
// a window showed him).
inline constexpr const char* PersonNotInFamilyMessage = "家系データに存在しない人物が指定されています";

// One child to register: the person and the direct-line mark its slot gets.
struct KodoEntry {
    int16_t kou_kodo = -1;      // person slot, -1 none
    int16_t kodo_visible = 0;
};

// The marriage edit record the relationship dialogs fill, with the verdict
// regist_kou_data leaves in it. Member defaults are the values after init_kou_work.
struct kou_work {
    int16_t KouIdx = -1;        // marriage being edited; -1 = a new marriage
    int16_t kou_mode = -1;      // 0 main marriage, 1 other relation
    std::string kou_state;      // state word
    int16_t kou_titi = -1;      // husband's person slot; 0 = none chosen; 1024 = blank partner
    int16_t kou_haha = -1;      // wife's person slot, same values
    int16_t Yoshi_f = 0;        // wished line flag: 0 through the husband, 1 through the wife
    std::string kou_title;      // empty = set_kou_buf makes one
    int16_t sort_lev = 0;
    int16_t dsp_start = 0;      // start flag passed when editing; a new marriage always asks for 1
    int16_t Bunke = 0;          // branch-family flag
    int16_t KodoCnt = -1;       // filled entries of Kodo; 0 or -1 = none
    ChildArray<KodoEntry> Kodo; // children to register, entries 0..KodoCnt-1
    // 1 when the caller writes the undo snapshot itself, of the family before the
    // person it created for this record: a snapshot taken here would hold that
    // person, and the main window's undo would leave it behind.
    int16_t SnapshotTaken = 0;

    int16_t ErrFlag = 0;        // 0 ok; KouWorkRefused after a refusal or a refused child
    std::string ErrMsg;         // message to show
    int ErrStyle = 0;           // message-box style (KouWorkErrorStyle)
    std::string ErrTitle;       // message-box title (KouWorkErrorTitle)
    int16_t Registered = 0;     // 1 the marriage was stored (children may still be refused)
};

// Resets every field of the record to its initial value.
void init_kou_work(kou_work& record);

// Checks the record and, when the partners are acceptable, takes the undo snapshot
// (unless SnapshotTaken), stores the marriage with set_kou_buf, stores the record's Bunke and registers its
// children. The verdict is left in the record. Also leaves KouNum = KouIdx,
// Sel_ChildKou = the stored marriage (or the refusal code of set_kou_buf) and
// Sel_ChildSlot = the result of the last child registration.
// A partner outside 1..1024 (0 or the initial -1) is refused as not chosen; a
// partner or a child naming a person slot that holds nobody (isFamilyPartner,
// isUsedPerson: freed since a window showed him) refuses the whole record before
// anything is stored.
void regist_kou_data(kou_work& record);

// Stores one marriage: KouIdx -1 takes the first slot 1..1024 not in use, any other
// KouIdx rewrites that record (its children stay). Returns the slot; -1 when the table
// is full, or when KouIdx lies outside the table or a partner is not a person of the
// family (isFamilyPartner: a freed slot is refused too; nothing changes);
// -2 when another used marriage has the same husband and the same wife. Sets
// Data_Changed on success; a step's undo snapshot is taken before the record changes
// (snapshotBeforeChange, model/WindowServices.h). Bunke, kou_gen and the per-child arrays are not touched.
[[nodiscard]] int set_kou_buf(int KouIdx, const std::string& kou_state, int kou_mode, int sort_lev,
                              int kou_titi, int kou_haha, int dsp_start, const std::string& kou_title,
                              int Yoshi_f);

} // namespace model
