#pragma once
// The hourglass over every window for the length of a scope: the screen's mouse
// pointer is the hourglass from construction and back to the default when the scope
// ends, also when it ends by an exception.

#include "forms/Form.h"
#include "forms/Screen.h"

namespace drawing {

class BusyPointer {
public:
    BusyPointer() { forms::screen().setMousePointer(forms::vbHourglass); }
    ~BusyPointer() { forms::screen().setMousePointer(forms::vbDefault); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace drawing
