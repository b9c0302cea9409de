#pragma once
// Window functions the program calls on its windows directly.

#include <string>
#include <vector>

namespace forms {

class Form;

// Mode 1 keeps the window in front of the main window and its chart (as every
// window the main window opens is, unless it lies over the main window's
// commands) and shows it; mode 0 takes that away. A shown window takes the
// change up as it next shows: it is neither moved nor hidden for it. Returns
// non-zero for modes 1 and 0, 0 for any other mode (which changes nothing).
// Every call is recorded.
int SetTopMost(Form& window, int mode);
// True unless SetTopMost took the window's place in front away.
bool isKeptInFront(const Form& window);

struct TopMostChange {
    std::string window;
    int mode;
    int result;
};
const std::vector<TopMostChange>& topMostChanges();
void clearTopMostChanges();

} // namespace forms
