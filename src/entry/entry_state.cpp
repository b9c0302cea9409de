#include "entry/entry_state.h"

namespace entry {

EntryState& entryState()
{
    static EntryState state;
    return state;
}

} // namespace entry
