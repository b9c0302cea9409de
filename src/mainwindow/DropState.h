#pragma once
// The state of a drag from the relationship editor's person lists onto the chart,
// shared by the editor (which starts and completes the drag) and the main window
// (whose chart takes the drops). Reached through dropState(). The undo of the last
// chart drop keeps its own record, model::dropUndo() (model/UndoRecords.h).
//
// While the drag lasts, model::runState().ListDragActive is 1: refusals of the chart's
// drop handlers are then held back (StartDrag) and shown when the drag ends.

#include "forms/DragDrop.h"
#include "model/run_state.h"

#include <cstdint>
#include <functional>
#include <string>

namespace mainwindow {

// Drop_PendKind values: a chart drop that waits for the copy question asked when the
// editor's drag ends.
constexpr int16_t PendNone = 0;
constexpr int16_t PendDraggedMarried = 1;   // the dragged listed person is already married
constexpr int16_t PendBoxMarried = 2;       // the category box's marriage exists: its person needs a copy

// The refusal of a drop that would create a person when the person table is full.
inline constexpr const char* PersonTableFullDropMessage = "これ以上個人情報を追加出来ません";

struct DropState {
    // --- The drag in progress ---
    int16_t Drag_Person = -1;   // person slot of the dragged list entry; -1 a placeholder entry
    int16_t Drag_Sex = 0;       // 0 from the men's list, 1 from the women's list
    int16_t Drop_Done = 0;      // 0 at the start of a drag, -1 once a target took the drop

    // --- A chart drop kept to be completed when the editor's drag ends ---
    int16_t Drop_PendKind = PendNone;
    forms::DataObject Drop_PendData;
    int16_t Drop_PendIndex = 0; // the person-box element dropped on
    std::string Drop_PendFName; // the dragged text's first five characters
    std::string Drop_PendName;  // and the rest

    // --- A drop that waits for the editors' unregistered input ---
    std::function<void()> Drop_AfterSettle;
    bool Drop_SettlesPerson = false;   // the person editor's input is settled first
    bool Drop_SettlesRelation = false; // the relationship editor's change is settled first
};

DropState& dropState();

// The dragged text split as every drop handler splits it: the first five
// characters (a placeholder's family name "**** ") and the rest.
void splitDragText(const std::string& text, std::string& fname, std::string& name);

// A drop that makes a person (a placeholder, the partner "unknown" of a Shift drop)
// closes the person editor, so the editor's unregistered input is settled before the
// drop changes anything. No question can be asked while the drag holds the pointer:
// the drop waits, and `carryOut` (the drop handler again) runs when the drag ends,
// once the input is settled (completeDropAfterSettle). True when the handler returns
// now: the drop waits, or (outside a drag, where the question is asked at once) the
// user stayed with the input. False when the drop goes on at once.
bool waitForPersonEditor(std::function<void()> carryOut);
// The same for a drop that also refills the relationship editor's fields (a child
// dropped on a couple mark loads its marriage there): `personEditor` and
// `relationEditor` say whose unregistered input the drop settles first, the person
// editor's before the relationship editor's.
bool waitForEditors(bool personEditor, bool relationEditor, std::function<void()> carryOut);
// At the end of the editor's drag: a waiting drop asks the editors' question and is
// carried out unless the user stays with the input (then nothing changes).
void completeDropAfterSettle();

} // namespace mainwindow
