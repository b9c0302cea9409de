#pragma once
// Window functions the program calls on its windows directly.

#include <string>
#include <vector>

namespace forms {

class Form;

// Sets (mode 1) or clears (mode 0) stay-on-top without moving or resizing the
// window, and shows it. Returns non-zero for modes 1 and 0, 0 for any other
// mode (which changes nothing). Every call is recorded.
int SetTopMost(Form& window, int mode);
bool isTopMost(const Form& window);

struct TopMostChange {
    std::string window;
    int mode;
    int result;
};
const std::vector<TopMostChange>& topMostChanges();
void clearTopMostChanges();

} // namespace forms
