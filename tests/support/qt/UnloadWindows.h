#pragma once
// Unloads, in the order given, each window of the list that a test left loaded,
// through its own unload events as the window's close command does; answers to
// the questions they ask are the caller's to script.

#include "forms/Form.h"

#include <initializer_list>

namespace support {

inline void unloadWindows(std::initializer_list<forms::Form*> windows)
{
    for (forms::Form* window : windows) {
        if (window->isLoaded())
            window->unload();
    }
}

} // namespace support
