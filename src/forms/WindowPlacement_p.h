#pragma once
// Where the program's windows open and which of them are kept in front of the
// others, for use inside src/forms/*.cpp only. Every rule has its home in
// WindowPlacement.cpp:
//
// - A window the main window owns opens wholly inside the screen's available
//   area, clear of the main window's menu bar and toolbar where there is room
//   below them, else beside the main window, else as low as it fits.
// - No window opens where a window kept in front of it (a topmost window: the
//   relationship editor, the easy builder, the hints) covers any of it: it goes
//   beside that window, or, where no place on the screen is free, it is kept in
//   front as well while it is open, where it hides the least of the others.
// - It hides no title bar of an open window it lies in front of: beside the
//   window where there is room, else cascaded a title bar's height from it.
// - A modal window and every dialog of Qt's the program shows (message, input,
//   file, font and colour dialogs, the page set-up, the print progress) is kept
//   in front of every window of the program, clear of its owner's title bar and
//   controls where the screen has room for it.
// - A window opens again, during the run, exactly where it was when it closed,
//   whoever put it there: in front of the windows opened meanwhile, moved only
//   when a window kept in front would cover it, or when the main window's
//   toolbar now lies under a place the program (not the user) had chosen.

#include <QPoint>
#include <QRect>

#include <string>
#include <vector>

class QWidget;

namespace forms {

class Form;

// What lies around a window about to open, in screen pixels (frames).
struct Surroundings {
    QRect area;      // the screen's available area
    QRect mainFrame; // the main window's frame; null when the toolbar rule does not apply
    QRect bars;      // the main window's menu bar and toolbar
    std::vector<QRect> inFront; // open windows kept in front of the one opening
    std::vector<QRect> behind;  // open windows it opens in front of
    // A modal window's or dialog's owner: its title bar first, then its controls.
    std::vector<QRect> ownerParts;
    // The window comes back where it was when it closed: kept in front there
    // rather than moved where no free place is left.
    bool reopening = false;
};

struct Placement {
    QRect frame;
    // No free place was left beside the windows kept in front: the window opens
    // in front of them and is kept in front as well.
    bool keptInFront = false;
};

// The frame a window wanting the frame `wanted` opens at among `around`.
Placement placeAmong(const QRect& wanted, const Surroundings& around);

// Places the form the first time it shows in its normal state (its owner is
// the window a modal form is shown for) and returns true when the form must be
// kept in front while it is open.
bool placeOnOpening(Form& form, const Form* owner, bool modal);
// The window's frame as the platform last reported it, or as the program last
// set it until the platform answers. The widget's own geometry may miss a report
// of the window manager's that arrived while the program was setting it.
QRect frameOnScreen(const QWidget& window);
// Keeps a window in front of the program's other windows (a topmost window).
void keepInFront(QWidget& window);
bool isKeptInFront(const QWidget& window);
// The frame's top-left when the window closed; moved is true when it is no
// longer where the program put it.
void rememberPlace(const std::string& windowName, QPoint frameTopLeft, bool moved);
// The program's main window (setMainWindow), or null.
Form* mainWindowForm();
// Places every dialog of Qt's the program shows by the rules above.
void installDialogPlacement();

} // namespace forms
