#pragma once
// Has a test program type through the tests' Japanese input method
// (KanaInputMethod.cpp) instead of none: set before the program's QApplication
// is made, from a static initialiser of the test program.

#include <cstdlib>

namespace support {

// True, so that a static initialiser can call it.
inline bool typeThroughKanaInputMethod()
{
    setenv("QT_IM_MODULE", "tevorakana", 1);
    setenv("QT_PLUGIN_PATH", TEVORA_TEST_PLUGINS, 1);
    return true;
}

} // namespace support
