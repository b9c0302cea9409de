#pragma once
// Hooks for driving the forms layer from tests. Real widgets run headless
// (QT_QPA_PLATFORM=offscreen); these take the place of the user where Qt would
// block in a loop of its own (popup menus) and reset the layer between tests.

#include <functional>

class QWidget;

namespace forms {

class Form;
class Menu;

// The top-level widget of a loaded window (null while unloaded), to send it
// synthetic events.
QWidget* formWidget(const Form& form);

// Answers popup menus: the responder gets the menu about to pop up and returns
// the item to choose (its Click runs before popupMenu returns) or null to
// dismiss the menu. Empty: real popup menus.
void setPopupResponder(std::function<Menu*(Menu& popup)> responder);

// How long a print runs before its progress window shows, in milliseconds; a
// negative value restores the program's own (about a second).
void setPrintProgressDelay(int milliseconds);

// Unloads every window without events, flushes deferred deletions, and clears
// where the user left the windows, queued onShown callbacks, the program-end
// state, the recorded mouse pointers and topmost changes, and the print
// progress delay.
void resetFormsForTesting();

} // namespace forms
