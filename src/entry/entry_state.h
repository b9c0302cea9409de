#pragma once
// Program-wide values of the person entry that no other subsystem keeps: the
// open flags of the person editor's companion windows and the grid position the
// grid editor remembers. The person count PerCount lives in model::tables(); the
// cursors Cur_PerIdx and Entry_EditMode, the open flags Entry_Open and CelSet_Open,
// the picture kind PicMode and DspOp_Person in model::runState().

#include <array>
#include <cstdint>
#include <string>

namespace entry {

struct EntryState {
    int16_t Voice_Busy = 0;    // 1 while the voice memo window is open
    int16_t InfoOne_Open = 0;  // 1 while the person card is shown
    // The results of the quick name input InputNameOne, read by its caller:
    // 1 confirmed, 0 cancelled; the names as typed; the four flags for
    // CategoryF, DS_DeathW, DS_Waku and CsvOutFlag.
    int16_t INNO_Result = 0;
    std::string INNO_FName;
    std::string INNO_Name;
    std::array<int16_t, 4> INNO_Opt{};
};

// The one instance the whole program shares.
EntryState& entryState();

} // namespace entry
