#pragma once
// Emptying the person and marriage tables, and creating and freeing single persons.
// Person-creating scans take slots 1..1023 only: slot 1024 is the blank partner.

#include <cstdint>
#include <string>

namespace model {

// Every person slot 0..1024 back to its cleared record; the relationship editor's
// person lists are emptied and the group list cleared.
void Clear_PerBuf();
// How many times this run emptied the whole person table (Clear_PerBuf: New, a load,
// an undo, a merge). Between two, a person slot keeps naming the same person: every
// person freed meanwhile went through freePerson, which the windows hear of. A slot
// number kept across one names whoever the new table holds there.
uint64_t personTableClears();
// Every marriage record 0..1024 back to its cleared values (start flag 0 included);
// the relationship editor is reset.
void Clear_KouBuf();

// index -1: refuses with -2 when a slot 1..1024 already holds the same Name, F_name
// and Sex, else takes the first free slot 1..1023 (-1 when there is none). Another
// index writes that slot (1..1023; others are refused with -1). A slot that was not
// in use starts from its cleared record. Returns the slot.
int set_per_buf(int index, const std::string& Name, const std::string& F_name, int Sex,
                const std::string& B_day);
// Frees a slot that is not free (its marriages are not touched); -1 for a free slot.
// Lineage groups and copies let go of the person as in freePerson, and so do the
// windows (WindowServices::personFreed).
int del_per_buf(int index);
// The one way a person leaves the family during editing: a used person slot becomes
// free (the rest of its record stays), PerCount goes down, a lineage group he led
// loses its leader (0), a copy made of him its source (CopyIdx -1), and every window
// lets go of him (WindowServices::personFreed), so that nothing names an empty slot
// that a later person may take. The caller has checked that no marriage names him.
// Nothing happens for a slot not in use.
void freePerson(int slot);

// index -1 only: a new person in the first slot 1..1023 that is not in use, starting
// from the cleared record; closes the person editor and the chronology window, raises
// PerCount. Returns the slot, -1 when the table is full or index is not -1. The
// undo snapshot of a step is taken first (snapshotBeforeChange, model/WindowServices.h).
int Add_NewPerson(int index, const std::string& Name, const std::string& F_name, int Sex);
// True while Add_NewPerson has a slot (count slots) to give.
bool personSlotFree(int count = 1);
// A placeholder person for the easy relation builder: family name "****", given name
// "男NN" (Sex 0) or "女NN" (Sex 1) from the last two digits of the counter, which is
// raised. The new slot (or -1) is left in Easy_NewPer.
void Add_DummyPerson(int Sex);

} // namespace model
