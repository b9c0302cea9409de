#pragma once
// The state of a drag from the relationship editor's person lists onto the chart,
// shared by the editor (which starts and completes the drag) and the main window
// (whose chart takes the drops), and the main window's one-step undo of its last
// chart drop. Reached through dropState().
//
// While the drag lasts, model::tables().ListDragActive is 1: refusals of the chart's
// drop handlers are then held back (StartDrag) and shown when the drag ends.

#include "forms/DragDrop.h"

#include <cstdint>
#include <string>

namespace mainwindow {

// Drop_PendKind values: a chart drop that waits for the editor's copy question.
constexpr int16_t PendNone = 0;
constexpr int16_t PendDraggedMarried = 1;   // the dragged listed person is already married
constexpr int16_t PendBoxMarried = 2;       // the category box's marriage exists: its person needs a copy

// Drop_UndoKind values: what the last recorded chart drop did.
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

struct DropState {
    // --- The drag in progress ---
    int16_t Drag_Person = -1;   // person slot of the dragged list entry; -1 a placeholder entry
    int16_t Drag_Sex = 0;       // 0 from the men's list, 1 from the women's list
    int16_t Drop_Done = 0;      // 0 at the start of a drag, -1 once a target took the drop

    // --- A chart drop kept for the editor to complete when its drag ends ---
    int16_t Drop_PendKind = PendNone;
    forms::DataObject Drop_PendData;
    int16_t Drop_PendIndex = 0; // the person-box element dropped on
    std::string Drop_PendFName; // the dragged text's first five characters
    std::string Drop_PendName;  // and the rest

    // --- The undo record of the last recorded chart drop ---
    int16_t Drop_UndoKind = DropUndo::None;
    int16_t Drop_UndoPer = -1;  // the person the drop created (or placed on the canvas)

    // The record's own copy of the operands it shares with the relationship
    // editor's undo (UndoKou, UndoKodo, UndoKodoSlot), and what the marriage and
    // persons looked like when the drop made them: the editor's later edits
    // overwrite the shared operands, and an undo must never free a record that
    // a later edit put in use for something else.
    int16_t recordKou = -1;
    int16_t recordKodo = -1;
    int16_t recordKodoSlot = -1;
    int16_t recordHusband = -1; // partners of recordKou as the drop stored them
    int16_t recordWife = -1;
    std::string recordPerName;  // F_name + Name of Drop_UndoPer when recorded
    std::string recordKodoName; // F_name + Name of recordKodo when recorded
};

DropState& dropState();

// The dragged text split as every drop handler splits it: the first five
// characters (a placeholder's family name "**** ") and the rest.
void splitDragText(const std::string& text, std::string& fname, std::string& name);

} // namespace mainwindow
