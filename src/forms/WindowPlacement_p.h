#pragma once
// Where the program's windows open and how they are kept in front of one
// another, for use inside src/forms/*.cpp only. Every rule has its home in
// WindowPlacement.cpp; Form::show, Form::hide and Form::unload, and every dialog
// of Qt's the program shows, ask it:
//
// - Every showing of a window in its normal state is placed, whatever hid it
//   before (its own button, its close box, an unload). A window the program
//   places itself as it shows (one without a border: the drag marker) is left
//   where it is put.
// - A window opens wholly inside the screen's available area. It covers none
//   of the main window's commands (its title bar, menu bar, toolbar and side
//   buttons) where a place leaves them clear, else the fewest of them; then
//   none of the title bars and controls (buttons, lists, drop boxes) of the
//   windows open, and leaves its own controls clear of those windows (any of
//   them comes to the front at a click), else the fewest; then it overlaps as
//   few of them as it can, nearest to where it wants to be. It never opens with
//   its top-left corner on another window's.
// - A window comes back, during the run, where it was when it was hidden or
//   closed: exactly there where the user put it; where the program had chosen
//   the place, there unless it now lies over more title bars of the windows
//   open (or has its own under more) than it did when it was hidden, or over
//   more of the main window's commands than it must; else placed as a new one
//   from there.
// - Title bars are as tall as the window manager draws them (at least
//   TitleBarHeight).
//
// Kept in front (one writer, keepInFront):
// - A modeless window is kept in front of its owner, the main window unless
//   shown for another: a click on the chart does not bury it, yet the window the
//   user clicks or the program brings forward comes in front of it. SetTopMost
//   asks for that state or takes it away.
// - A window that opens over the main window's commands is not kept in front of
//   the main window: a click on the main window brings its commands forward.
// - A modal window and every dialog of Qt's the program shows (message, input,
//   file, font and colour dialogs, the page set-up, the print progress) is kept
//   in front of every window of the program, clear of its owner's title bar and
//   controls where the screen has room for it; so is the drag marker.

#include <QMargins>
#include <QPoint>
#include <QRect>

#include <string>
#include <vector>

class QWidget;

namespace forms {

class Form;

// How a window is kept in front of the program's other windows.
enum class InFront {
    No,            // stacked as the user and the program raise it
    OfOwner,       // in front of its owner (the main window) only
    OfEveryWindow, // in front of every window of the program
};

// An open window as the placement sees it, in screen pixels.
struct OpenWindow {
    QRect frame;
    // Its title bar first, then the controls a user works with.
    std::vector<QRect> parts;
};

// What lies around a window about to open, in screen pixels (frames).
struct Surroundings {
    QRect area; // the screen's available area
    // The main window's commands: its title bar, menu bar, toolbar and side
    // buttons. Empty where the rule does not apply.
    std::vector<QRect> commands;
    // The windows open that the window must leave in reach: for a modal window
    // or a dialog, its owner.
    std::vector<OpenWindow> windows;
    // The opening window's own controls, from its frame's top-left; empty for a
    // window kept in front of every other.
    std::vector<QRect> ownParts;
    // The height of a title bar: no window opens within one of another's corner.
    int titleBarHeight = 0;
    // The window comes back where it was: it stays there unless it lies over
    // more title bars (or has its own under more) than titleBarsBefore, or over
    // more of the main window's commands than it must.
    bool comingBack = false;
    int titleBarsBefore = 0;
};

struct Placement {
    QRect frame;
    // How many of the main window's commands it covers.
    int commandsCovered = 0;
};

// The frame a window wanting the frame `wanted` opens at among `around`.
Placement placeAmong(const QRect& wanted, const Surroundings& around);
// How many title bars of the windows around the frame lies over, or has its own
// under.
int titleBarsMet(const QRect& frame, const Surroundings& around);

// Places the form as it shows from hidden (its owner is the window it is shown
// for) and keeps it in front by the rules above.
void placeOnShowing(Form& form, const Form* owner, bool modal);
// The form is hidden or unloaded with its frame's top-left there: it opens again
// there (in its normal state).
void rememberPlace(const Form& form, QPoint frameTopLeft);
// The window manager framed the window with these margins: a window of its kind
// (of a size the user may change, or of a fixed size) it has yet to frame likely
// gets them.
void frameGiven(const QWidget& window, const QMargins& margins);
// The frame the window has, or likely gets once the window manager frames it:
// the one it last gave a window of its kind; null where none is known.
QMargins likelyFrame(const QWidget& window);
// The window's frame as the platform last reported it, or as the program last
// set it until the platform answers. The widget's own geometry may miss a report
// of the window manager's that arrived while the program was setting it.
QRect frameOnScreen(const QWidget& window);
// Keeps the form in front as asked (a modeless form: in front of its owner,
// unless asked otherwise), from its next showing on: a shown window is not
// hidden and shown again for it, which would flicker and lose its place.
void keepInFront(Form& form, InFront how);
// How the form is asked to be kept in front while it shows modeless.
InFront keptInFront(const Form& form);
// The program's main window (setMainWindow), or null.
Form* mainWindowForm();
// Places every dialog of Qt's the program shows by the rules above.
void installDialogPlacement();

} // namespace forms
