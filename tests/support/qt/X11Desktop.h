#pragma once
// What a user sees and does on an X display with a window manager: which window
// the window manager stacks above which, how much of a window is in sight, and
// the mouse, moved and pressed on the X server itself (the XTest extension), so
// that the window manager sees the clicks as it sees a hand's: a click on a
// title bar or in a window raises and activates it as the desktop does.
//
// The test program runs on the display (support::runThisTestOn); a machine
// without the X libraries builds this all the same, and desktopAvailable() is
// false.

#include <QPoint>
#include <QRect>

#include <string>
#include <vector>

class QWidget;

namespace support {

// True where the test program runs on an X display this can look at and drive.
bool desktopAvailable();

// True once a window manager manages the display named (":N", from any
// process): it names the window it checks with on the root window.
bool windowManagerManages(const std::string& displayName);

// The program's shown top-level windows as the window manager stacks them,
// bottom first.
std::vector<QWidget*> stackedWindows();
// The share, 0 to 1, of the window's frame that no window stacked above it covers.
double shareInSight(const QWidget& window);
// The window the window manager holds active (it has the keyboard), or null
// when it is none of the program's.
QWidget* activeWindowOfDesktop();
// The window's client window (its inside) as the X server holds it, and its frame:
// the client's place and size with the frame the window manager says it drew
// (_NET_FRAME_EXTENTS).
QRect clientOnDisplay(const QWidget& window);
QRect frameOnDisplay(const QWidget& window);
// True when the window manager holds the window in the state
// ("_NET_WM_STATE_FULLSCREEN", ...).
bool hasStateOnDisplay(const QWidget& window, const char* state);
// Asks the window manager, as a pager or wmctrl does, to move the window's frame
// to a place of the screen.
void askWindowManagerToMove(const QWidget& window, QPoint frameTopLeft);
// Asks the window manager, as a pager or wmctrl does, to add or take away a
// state of the window ("_NET_WM_STATE_MAXIMIZED_VERT", ...; up to two at once).
void askWindowManager(const QWidget& window, bool add, const char* state, const char* secondState = nullptr);

// The user's mouse: moves to a point of the screen, presses or releases the left
// button there, or clicks (press and release). Each returns once the X server
// has taken it in; what it causes comes as events.
void moveMouseTo(QPoint place);
void pressMouseAt(QPoint place);
void releaseMouseAt(QPoint place);
void clickAt(QPoint place);

} // namespace support
