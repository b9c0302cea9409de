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
#include <string>
#include <vector>

namespace layout {

// The backup copies taken by Backup_Bufs; slot 0 is copied neither way. The additional
// load writes the merged family into them before Restore_Bufs brings them back.
struct BackupBufs {
    std::array<model::personal_data, model::RecordCount> per_buf_bak;
    std::array<model::marry_data, model::RecordCount> kou_buf_bak;
};
BackupBufs& backupBufs();

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

// The further marriages the expansion could not draw, for want of person slots.
struct ExpansionShortfall {
    std::vector<int16_t> hidden;   // marriages left out, in the order the expansion met them
    int persons = 0;               // persons in use
    int furtherMarriages = 0;      // copies every further marriage would take
    int tooMany = 0;               // persons more than the copies leave room for
    bool empty() const { return hidden.empty(); }
    bool operator==(const ExpansionShortfall& other) const
    {
        return hidden == other.hidden && persons == other.persons && furtherMarriages == other.furtherMarriages;
    }
};

// Gives a person of several normal marriages one temporary copy per further marriage, so
// that every marriage cell of the chart has persons of its own. Deterministic: the same
// tables give the same copy slots. Copies take the free person slots below 1024 in the
// order the marriages come (husbands by marriage, then wives); a further marriage left
// without a copy when they run out is taken out of use with the other temporary
// changes, so the chart shows every marriage that fits. Returns what was left out
// (empty when every marriage got its copies); it shows nothing itself.
[[nodiscard]] ExpansionShortfall Expand_MultiMarry();

// The message naming what the chart leaves out, in the user's words: the limit, the
// marriages not shown, and how many persons fewer would show them all.
std::string expansionShortfallMessage(const ExpansionShortfall& shortfall);
// The message's last sentence: how many persons fewer would show every marriage.
std::string expansionShortfallAdvice(const ExpansionShortfall& shortfall);
// Shows that message, once for each state of the family: not again for the same
// shortfall until the family is edited (model::familyEdits) or another family is
// begun (forgetExpansionShortfall). An empty shortfall shows nothing.
void reportExpansionShortfall(const ExpansionShortfall& shortfall);
// A new, loaded or restored family: its shortfall is reported afresh.
void forgetExpansionShortfall();

} // namespace layout
