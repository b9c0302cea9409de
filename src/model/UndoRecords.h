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

#include "model/tables.h"

#include <cstdint>
#include <string>

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

struct KouUndoRecord {
    int16_t KouUndoMode = KouUndo::None;
    marry_data KouUndoBuf;       // kinds 2 and 3: the marriage before the step
    int16_t UndoKou = -1;        // kinds 1, 2, 3 and 11: the marriage slot
    int16_t UndoActer = -1;      // kinds 9 and 10: the person the drop created
    int16_t UndoKodo = -1;       // kinds 4, 5 and 6: the dropped child; 11: the removed child
    int16_t UndoKodoStat = -1;   // kind 11: the removed child's status
    std::string UndoKodoComment; // kind 11: and comment
    int16_t UndoKodoSlot = -1;   // kind 11: its slot
    // What the undo compares before acting: kind 1 the partners stored, kinds 5, 6, 9
    // and 10 the created person's family and given name.
    int16_t storedHusband = -1;
    int16_t storedWife = -1;
    std::string createdName;
};

// The editor's pending step.
KouUndoRecord& kouUndo();

// Records an editor step in place of the pending one, taking the names and partners
// the undo will compare from the tables, and asks the windows to offer its undo.
void recordKouUndo(KouUndoRecord record);

// Forgets the pending editor step.
void clearKouUndo();

// True while the pending editor step can be taken back: a person to free is still the
// created one and nobody uses it, a stored marriage still has its partners, a changed
// marriage's slot is in use, a deleted marriage's slot is free, a removed child's slot
// is empty. Kinds that touched only the editor's fields always stand.
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
    // What the undo compares before acting: the marriage's partners and the persons'
    // names as the drop left them.
    int16_t storedHusband = -1;
    int16_t storedWife = -1;
    std::string perName;
    std::string kodoName;
};

// The last recorded drop.
DropUndoRecord& dropUndo();

// Records a drop in place of the last one, taking the partners and names the undo
// will compare from the tables.
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

// Frees a person an undone step created: not in use, no names, one person fewer.
void freeCreatedPerson(int person);

// Frees a marriage record (a deletion, or the undo of a step that created it): not in
// use, no couple, no children, no start mark. The caller hands the start mark on.
void freeMarriageRecord(int kou);

// Both records forgotten; InitAllSetting runs it when the family is emptied.
void clearUndoRecords();

} // namespace model
