#pragma once
// Moving children in and out of the 20 child slots of a marriage record. The
// "seven slot values" are kou_kodo, kou_kodo_stat, kodo_spare, kou_kodo_comment,
// kodo_honsuji, kodo_visible and kodo_yoshirireki; kodo_link never moves.
// KodoWork is the scratch record of these operations and carries over between them.
// A marriage or slot argument outside its range is refused without touching anything.

#include "model/tables.h"

#include <cstdint>
#include <vector>

namespace model {

// A marriage holds at most 20 children: the refusal every command shows.
inline constexpr const char* ChildSlotsFullMessage = "子供の人数は20人迄です";

// Adds the child described by work (KouIdx, KodoIdx: a slot 0..19, or -1 for the
// first empty one). Returns the slot; -1 when no slot is empty; -2 when the person
// is husband or wife of the marriage or of an ancestor marriage (or the marriage or
// slot is out of range, or the person is not of the family: no used person slot).
// kodo_spare of the slot stays, and so does kodo_yoshirireki while the slot holds
// the same child; a child new to the slot starts without an adoption history (what
// the slot still held was the history of a child removed from it).
// A step's undo snapshot is taken before the slot is written (snapshotBeforeChange).
int Add_Kodo(const kodo_data& work);
// Asks "<name> : この子供を削除してよろしいでしょうか？" and on OK takes the undo
// snapshot (saveUndoOnce) and empties the slot; inside a RelationEditorStep it leaves
// the relationship editor an undo record of the child that was there.
// Deleting the last child of a kou_mode 2 record also offers to delete the record.
void Del_Kodo(int kou, int slot);
// Moves a child among its siblings: mode 1 first place, 2 one place up, 3 one place
// down, 4 last place. Gaps left by deletes are closed first, keeping the order.
// 0, or -1 when the slot holds no child.
int Move_Kodo(int kou, int slot, int mode);
// Copies the seven values of source (0..20) into target (0..19).
void Copy_KodoSlot(int kou, int targetSlot, int sourceSlot);
// Copies the seven values of a slot (0..20) into KodoWork (KouIdx, KodoIdx stay).
void Save_KodoSlot(int kou, int slot);
// Copies the seven values of KodoWork into a slot (0..19).
void Load_KodoSlot(int kou, int slot);
// Reverses the sibling order of every used marriage and closes the gaps.
void Pack_KodoSlots();

// A child's adoption history (kodo_yoshirireki) names a marriage by its slot. One
// naming a slot that holds no marriage would name whichever marriage takes the slot
// next: it is "none" (-1), as the reader makes a history naming a marriage its file
// does not hold.
struct AdoptionHistory {
    int16_t kou = -1;   // the marriage whose child entry holds the history
    int16_t child = -1; // the child of that entry
};
// Every history in another marriage that names marriage `kou` becomes none (the
// marriage is about to be freed). Returns them, for an undo.
std::vector<AdoptionHistory> forgetHistoriesNaming(int kou);
// The histories forgetHistoriesNaming took from marriage `kou` name it again: each
// one whose marriage is in use and still holds the child, with its history still none.
void restoreHistoriesNaming(int kou, const std::vector<AdoptionHistory>& histories);
// A record put back whole into the table (an undo of its change or deletion): each
// history naming a slot that now holds no marriage becomes none.
void dropHistoriesNamingNoMarriage(marry_data& record);

} // namespace model
