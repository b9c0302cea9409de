#pragma once
// The program's start and end around Qt's event loop.
//
//     QApplication app(argc, argv);
//     forms::startApplication(argc, argv);   // translations, Qt hooks, command line
//     ... show the start-up window ...
//     int code = forms::runEventLoop();
//     forms::finishApplication();            // before app goes

#include <functional>
#include <string>

namespace forms {

// Loads Qt's Japanese translations, installs the Qt implementations of the
// platform hooks (message boxes, shell open, beep, program end, DoEvents),
// remembers the command line, and routes
// the platform's request to end the program (the end of the user's session) to
// endSession.
void startApplication(int argc, char** argv);
// Qt's own dialogs in Japanese (part of startApplication; once per program).
void loadQtTranslations();
// Runs the main event loop until the program ends (last window unloaded or
// EndProgram). Returns the exit code.
int runEventLoop();
// Unloads every window without events and removes the hooks.
void finishApplication();

// The shell's open: hands a file or a web address to the desktop's opener
// (xdg-open, the first on the PATH) and returns at once; the windows go on
// answering while the opener runs, however long it takes. failed runs when the
// opener cannot be started (at once, inside the call) or ends with a failure by
// its exit status (no program for the target; later, as a command of its own
// from the event loop).
void openWithDesktop(const std::string& target, const std::function<void()>& failed);

// DoEvents: runs pending events once; a nested call does nothing.
void doEvents();

// The user's session is ending: every loaded window, in load order, runs
// QueryUnload and Unload with UnloadMode 2 (vbAppWindows) and is unloaded, until
// the program ends (a handler ending it unloads the rest without events) or a
// window refuses. True when the program may end; false when a window stayed.
bool endSession();

// Message text as the box shows it: CR LF and LF CR are one line break, a lone
// CR is dropped.
std::string messageBoxText(const std::string& text);

} // namespace forms
