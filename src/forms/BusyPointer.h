#pragma once
// The hourglass mouse pointer for the length of a scope, also when the scope ends by
// an exception: over every window (the screen's pointer) or over one window.

#include "forms/Form.h"
#include "forms/Screen.h"

namespace forms {

class BusyPointer {
public:
    // The screen's pointer: the hourglass, then the default.
    BusyPointer() { screen().setMousePointer(vbHourglass); }
    // One window's pointer: the hourglass, then `after`.
    explicit BusyPointer(Form& window, int after = vbDefault) : m_window(&window), m_after(after)
    {
        window.setMousePointer(vbHourglass);
    }
    ~BusyPointer()
    {
        if (m_window)
            m_window->setMousePointer(m_after);
        else
            screen().setMousePointer(vbDefault);
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Form* m_window = nullptr;
    int m_after = vbDefault;
};

} // namespace forms
