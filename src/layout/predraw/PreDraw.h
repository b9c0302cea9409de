#pragma once
// The pre-draw transforms: they bring the person and marriage tables into the shape
// the layout needs before a chart is laid out, drawn, printed, exported or saved as a
// family group.
//
// Permanent edits of the family: Mark_MultiParent, Clear_Honsuji (and the display
// modes of model::Apply_DispModes, which every load applies too).
// Temporary ones: Hide_Branches and Expand_MultiMarry run between Backup_Bufs and
// Restore_Bufs, and every user of them ends with Restore_Bufs, which puts the backup
// copies back as they stand (whatever was written to the live tables in between is
// discarded; the family-group save and the additional load rely on that).

#include "model/tables.h"

#include <array>
#include <cstdint>

namespace layout {

// The backup copies taken by Backup_Bufs; slot 0 is copied neither way. The additional
// load writes the merged family into them before Restore_Bufs brings them back.
struct BackupBufs {
    std::array<model::personal_data, model::RecordCount> per_buf_bak;
    std::array<model::marry_data, model::RecordCount> kou_buf_bak;
};
BackupBufs& backupBufs();

// Shown when the expansion needs a person slot and none below 1024 is free.
inline constexpr const char* ExpandOutOfSlotsMessage =
    "内部エラー：重婚関係展開中に、個人バッファを使い果たしました";

// Marks persons registered as a child of two or more marriages (MultiParentF, kodo_link)
// and leaves exactly one of their registrations carrying the family line: the first one
// that already did, else the first one (lowest marriage, then lowest slot).
void Mark_MultiParent();

// Takes the family-line mark (kodo_honsuji := -1) from every registration of the person.
void Clear_Honsuji(int16_t person);

void Backup_Bufs();
void Restore_Bufs();

// Direct-line view (only while Dispmode_Tyokei is set): every child whose kodo_visible is
// not 1 loses its marriages, each together with the first marriage of each descendant.
void Hide_Branches();
// Hides the marriage and, recursively, the first marriage of each of its children.
void Hide_BranchesSub(int16_t marriage);

// Gives a person of several normal marriages one temporary copy per further marriage, so
// that every marriage cell of the chart has persons of its own. Deterministic: the same
// tables give the same copy slots. Returns false when the person table ran out: the
// message has been shown and the expansion stopped half-way; the caller restores the
// tables (Restore_Bufs) and goes on.
[[nodiscard]] bool Expand_MultiMarry();

} // namespace layout
