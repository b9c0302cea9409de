#pragma once
// The two one-step undos the program keeps in memory, each with a record of its own:
//  - the relationship editor's undo of its last step (a registration, a deletion, a
//    removed child, a drop into its fields), taken back by the editor's undo_kou_data;
//  - the main window's undo of its last drop on the chart, taken back by UndoLastEdit.
// A record is written only by the steps it takes back and read only by its own undo,
// so neither undo ever acts on the other's operands. Before acting, an undo checks that
// what it takes back is still as its step left it; when it is not, the undo refuses
// with UndoRefusedMessage and forgets the step. Emptying or replacing the family
// (InitAllSetting) clears both records.
//
// The file-based undo of the whole family (CmdUndo) is document/Snapshots.h.

#include "model/ChildSlots.h"
#include "model/tables.h"

#include <cstdint>
#include <string>
#include <vector>

namespace model {

// Shown when an undo finds that what it would take back has changed since.
inline constexpr const char* UndoRefusedMessage = "元に戻す処理ができませんでした";

// ---------------------------------------------------------------------------
// The relationship editor's undo

namespace KouUndo {
constexpr int16_t None = 0;
constexpr int16_t NewMarriage = 1;     // a marriage was stored: the undo frees it
constexpr int16_t ChangedMarriage = 2; // a marriage was changed: the old record goes back
constexpr int16_t DeletedMarriage = 3; // a marriage was deleted: it comes back into its slot
// Kinds 4 to 10 are drops into the editor's fields; only 5, 6, 9 and 10 created a person.
constexpr int16_t ListedChild = 4;
constexpr int16_t NewManChild = 5;
constexpr int16_t NewWomanChild = 6;
constexpr int16_t ListedHusband = 7;
constexpr int16_t ListedWife = 8;
constexpr int16_t NewHusband = 9;
constexpr int16_t NewWife = 10;
constexpr int16_t RemovedChild = 11;   // a child left its slot: it goes back into the slot
} // namespace KouUndo

// Captions of the editor's undo menu item and button.
inline constexpr const char* UndoCaptionNone = "UNDO";
inline constexpr const char* UndoCaptionRegistered = "UNDO 登録";
inline constexpr const char* UndoCaptionDeleted = "UNDO 削除";
inline constexpr const char* UndoCaptionChildRemoved = "UNDO 削除子供関係";
inline constexpr const char* UndoCaptionNewChild = "UNDO 新子供";

// The caption naming a pending step of this kind ("UNDO" for a partner drop, which
// has no caption of its own).
const char* kouUndoCaption(int16_t kind);

// What a step left, as its undo compares it before acting: the marriage slot the step
// touched as the step stored it (partners and children) or its absence, and each person
// a record the undo writes back names, with the names the slot held. An undo takes
// back its step only while all of it is still so; anything else means a later edit
// (a chart drop, the person editor) built on the step or reused what it names.
struct TracedPerson {
    int16_t slot = -1;
    bool inUse = false;
    std::string name; // family name followed by given name
};

struct StepTrace {
    int16_t kou = -1; // -1: the step touched no marriage
    bool marriageInUse = false;
    int16_t husband = -1;
    int16_t wife = -1;
    ChildArray<int16_t> children{};
    std::vector<TracedPerson> persons;
};

// The marriage slot as it is now (nothing when `kou` names no marriage slot).
StepTrace traceMarriage(int kou);

// Adds the person (a person slot, else nothing) with the names it holds now.
void tracePerson(StepTrace& trace, int person);

// Adds the partners and children the record names.
void tracePersonsOf(StepTrace& trace, const marry_data& record);

// True while the marriage and the persons are exactly as traced.
bool stepStands(const StepTrace& trace);

struct KouUndoRecord {
    int16_t KouUndoMode = KouUndo::None;
    marry_data KouUndoBuf;       // kinds 2 and 3: the marriage before the step
    int16_t UndoKou = -1;        // kinds 1, 2, 3 and 11: the marriage slot
    int16_t UndoActer = -1;      // kinds 9 and 10: the person the drop created
    int16_t UndoKodo = -1;       // kinds 4, 5 and 6: the dropped child; 11: the removed child
    int16_t UndoKodoStat = -1;   // kind 11: the removed child's status
    std::string UndoKodoComment; // kind 11: and comment
    int16_t UndoKodoSlot = -1;   // kind 11: its slot
    int16_t displacedStart = -1; // kinds 1 and 2: the start marriage the step took the mark from
    std::vector<AdoptionHistory> namedBy; // kind 3: the histories that named the marriage
    // What the undo compares before acting: kinds 1, 2, 3 and 11 what the step left,
    // kinds 5, 6, 9 and 10 the created person's family and given name.
    StepTrace left;
    std::string createdName;
    int16_t placeholderCount = -1; // kinds 5, 6, 9 and 10: the counter just after the person was made
};

// The editor's pending step.
KouUndoRecord& kouUndo();

// The relationship editor's own steps run inside one of these. The operations the
// editor shares with other windows (set_kou_buf and regist_kou_data, Del_Kodo,
// deleteMarriageRecord) record a step only inside it: the easy relation builder, the
// chart's drops, the child dialog and the chart's child deletion run the same
// operations, and their steps belong to the main window's snapshot undo, never to the
// editor's UNDO, which would otherwise take back another window's step and leave the
// person that step made behind. Such a later step leaves the editor's pending step
// armed: its undo still takes back only what the editor did, and refuses (the trace
// no longer stands) once the other step changed the marriage or persons it touched.
class RelationEditorStep {
public:
    RelationEditorStep();
    ~RelationEditorStep();
    RelationEditorStep(const RelationEditorStep&) = delete;
    RelationEditorStep& operator=(const RelationEditorStep&) = delete;
};

// Records an editor step in place of the pending one, taking what the undo will compare
// from the tables, and asks the windows to offer its undo. Outside a RelationEditorStep
// nothing is recorded and the pending step stays as it was.
void recordKouUndo(KouUndoRecord record);

// A registration whose step goes on after the marriage is stored (its children are
// added next) takes the trace of the pending step of marriage `kou` again at its end;
// only inside a RelationEditorStep, as recordKouUndo.
void retraceKouUndo(int kou);

// True for the kinds whose undo changes the family; the others (a listed person
// dropped into a field) touch only the editor's fields.
bool kouUndoChangesFamily(int16_t kind);

// Forgets the pending editor step.
void clearKouUndo();

// True while the pending editor step can be taken back: a person to free is still the
// created one and nobody uses it; a stored, changed or deleted marriage and a marriage
// a child left are as the step left them, with the persons the restored record names.
// Kinds that touched only the editor's fields always stand.
bool kouUndoStands(const KouUndoRecord& record);

// ---------------------------------------------------------------------------
// The main window's undo of its last chart drop

namespace DropUndo {
constexpr int16_t None = 0;
constexpr int16_t CanvasListed = 11;
constexpr int16_t CanvasNewMan = 12;
constexpr int16_t CanvasNewWoman = 13;
constexpr int16_t MarriageListed = 21;
constexpr int16_t MarriageNewMan = 22;
constexpr int16_t MarriageNewWoman = 23;
constexpr int16_t ChildListed = 31;
constexpr int16_t ChildNewMan = 32;
constexpr int16_t ChildNewWoman = 33;
constexpr int16_t AdoptedListed = 41;
constexpr int16_t AdoptedNewMan = 42;
constexpr int16_t AdoptedNewWoman = 43;
} // namespace DropUndo

struct DropUndoRecord {
    int16_t Drop_UndoKind = DropUndo::None;
    int16_t Drop_UndoPer = -1;   // the person placed or created (the "unknown" partner of 4x)
    int16_t UndoKou = -1;        // the marriage made (2x, 4x) or added to (3x)
    int16_t UndoKodo = -1;       // the child added (3x) or created (42, 43)
    int16_t UndoKodoSlot = -1;   // the child's slot (3x, 41)
    int16_t displacedStart = -1; // 2x, 4x: the start marriage before the drop; -1 none
    // What the undo compares before acting: the marriage and the persons' names as the
    // drop left them, and the placeholder counter just after a placeholder was made.
    StepTrace left;
    std::string perName;
    std::string kodoName;
    int16_t placeholderCount = -1;
};

// The last recorded drop.
DropUndoRecord& dropUndo();

// Records a drop in place of the last one, taking what the undo will compare from the
// tables.
void recordDropUndo(DropUndoRecord record);

// Forgets the last drop.
void clearDropUndo();

// ---------------------------------------------------------------------------
// Shared by both undos

// Family name followed by given name; empty for a slot outside the person table.
std::string undoName(int person);

// The used marriage that carries the start mark, -1 none.
int currentStartMarriage();

// The chart draws from one start marriage: afterwards exactly one marriage in use
// carries the mark, `preferred` when it is in use, else the first marriage in use.
void handStartMarkTo(int preferred);

// True while the person (slot 1..1023) is in use under this name and no marriage
// names it as partner or child, apart from `ownKou`, the marriage the same undo frees
// (-1 none): an undo may then free it.
bool createdPersonStands(int person, const std::string& name, int ownKou = -1);

// Frees a person an undone step created (freePerson: the windows let go of him):
// not in use, no names, one person fewer.
void freeCreatedPerson(int person);

// Frees a marriage record (a deletion, or the undo of a step that created it): not in
// use, no couple, no children, no start mark, and no adoption history of another
// marriage's child names it any more (forgetHistoriesNaming, model/ChildSlots.h):
// returns those histories. The caller hands the start mark on.
std::vector<AdoptionHistory> freeMarriageRecord(int kou);

// The undo of a step that created marriage `kou`: the record is freed and, when it
// held the start mark, the mark goes back to `displacedStart`, the marriage the step
// took it from (the first marriage in use when that one is gone).
void freeCreatedMarriage(int kou, int displacedStart);

// The placeholder list (0 men, 1 women) of the person a drop of this kind created,
// -1 when it created none under a placeholder name.
int dropPlaceholderList(int16_t kind);

// The placeholder counter of a list (0 men, 1 women).
int16_t& placeholderCounter(int list);

// An undone placeholder gives its number back only while it is the last one made
// (the counter still stands at `countAfter`, its value just after that placeholder):
// a later placeholder keeps the next number unique.
void returnPlaceholderNumber(int list, int16_t countAfter);

// Both records forgotten; InitAllSetting runs it when the family is emptied.
void clearUndoRecords();

} // namespace model
