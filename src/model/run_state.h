#pragma once
// What the running program flags and remembers for its windows and editors, apart
// from the family and its document settings: nothing here travels in the family file,
// and loading a family never sets it. Reached through runState().
//
// InitAllSetting gives the values of RunDefaults their new-family values; the open
// flags of the person and relationship editors and the drag state follow their
// windows only.

#include "model/settings.h"

#include <array>
#include <cstdint>
#include <string>

namespace model {

// The run-time values every new family starts from. The undo resets them with the
// rest of the program before it reads its snapshot, and puts them back when the
// snapshot cannot be read.
struct RunDefaults {
    std::array<int16_t, FactorCount> CelWidth{}; // person grid column widths in twips
    std::array<bool, FactorCount> CsvFactor{};   // CSV export columns; 0 and 15..20 kept
    double PWM_Value = 2.0;                 // printer frame margin factor, 0..10
    int16_t DspOp_Person = -1;              // person whose display options are edited
    int16_t PicMode = -1;                   // kind of the face picture in the person editor
    int16_t Dbg_Flag = 0;                   // 1 = frame every printed character's area
    int16_t YTbl_Open = 0;                  // chronology window open
    int16_t CelSet_Open = 0;                // column chooser open
    // Chart selection and editor cursors.
    int16_t Sel_Person = -1;                // selected person of the chart
    int16_t KouNum = -1;                    // marriage edited in the relationship editor
    int16_t Cur_PerIdx = -1;                // person edited in the person editor
    int16_t Entry_EditMode = 0;
    int16_t Sel_KouMark = 0;
    int16_t Sel_BoxMark = 0;

    RunDefaults();

    // Gives the new-family values; the kept CSV columns stay.
    void resetForNewFamily();
};

struct RunState : RunDefaults {
    int16_t Entry_Open = 0;                 // person editor shown
    int16_t Ctrl_Open = 0;                  // relationship editor open
    // Messages held back while the user drags from the relationship editor's person list.
    std::string DragMsg;
    int16_t DragMsgPending = 0;
    int16_t ListDragActive = 0;
};

// The one instance the whole program shares.
RunState& runState();

} // namespace model
