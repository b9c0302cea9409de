#pragma once
// The Screen object, and the record of mouse-pointer changes that tests read
// (pointers are invisible offscreen).

#include <string>
#include <vector>

namespace forms {

class Screen {
public:
    double twipsPerPixelX() const { return 15.0; }
    double twipsPerPixelY() const { return 15.0; }
    // Size of the primary screen in twips.
    double width() const;
    double height() const;

    // Screen.MousePointer: 0 default, 1 arrow, 11 hourglass, over every window.
    // Setting a value replaces the previous one; 0 removes every override.
    int mousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);

private:
    int m_mousePointer = 0;
};

Screen& screen();

// Every MousePointer assignment in order: target is "Screen" or a window name.
struct MousePointerChange {
    std::string target;
    int pointer;
};
const std::vector<MousePointerChange>& mousePointerChanges();
void clearMousePointerChanges();
void recordMousePointer(const std::string& target, int pointer);

} // namespace forms
