#pragma once
// A display of the test's own with a window manager on it that frames windows
// as a desktop's does: a virtual X server (Xvfb) of the given size, and openbox,
// which reparents each window into a frame with a title bar, reports the frame
// only once it has framed the window (after the program showed it), and places a
// window by its frame. The headless platform frames a window at once, as it is
// made; what a program does with a frame that comes late is tested here.
//
// A test checks its windows there by running itself again, in a test program of
// its own on that display (on Qt's platform for X):
//
//     if (!support::underWindowManager()) {
//         support::WindowManagerDisplay display(1366, 768);
//         if (!display.running())
//             GTEST_SKIP() << display.whyNotRunning();
//         EXPECT_EQ(support::runThisTestOn(display), "");
//         return;
//     }
//     ... the test's windows, framed by the window manager ...
//
// Where the machine has no Xvfb or openbox, or they do not come up, running() is
// false and whyNotRunning() says why.
//
// The display may run another desktop's window manager instead: xfwm4 (Xfce's,
// with its settings service on a message bus of the display's own) or metacity
// (GNOME's classic one), each with the settings it comes with and a home of its
// own, compositing off.

#include "support/ServiceProcess.h"

#include <string>

namespace support {

enum class WindowManagerKind { Openbox, Xfwm4, Metacity };

// The window manager's name, as its program is called.
const char* nameOf(WindowManagerKind manager);

class WindowManagerDisplay {
public:
    WindowManagerDisplay(int width, int height);
    WindowManagerDisplay(int width, int height, WindowManagerKind manager);
    WindowManagerDisplay(const WindowManagerDisplay&) = delete;
    WindowManagerDisplay& operator=(const WindowManagerDisplay&) = delete;

    bool running() const { return m_running; }
    const std::string& whyNotRunning() const { return m_whyNot; }
    // The display's name (":N"), for DISPLAY.
    const std::string& name() const { return m_name; }

private:
    bool start(int width, int height);
    // Runs a window manager other than openbox on the display, once it is up.
    bool startOther();

    WindowManagerKind m_manager = WindowManagerKind::Openbox;
    ServiceProcess m_server{"tevora-display"};
    // The message bus of xfwm4's settings service, its own.
    ServiceProcess m_bus{"tevora-bus"};
    ServiceProcess m_windowManager{"tevora-window-manager"};
    std::string m_name;
    bool m_running = false;
    std::string m_whyNot;
};

// True in the test program runThisTestOn started: the windows are on its display.
bool underWindowManager();
// Runs the current test again in a test program of its own on the display and
// waits for it to end: "" when it passed, else what it printed.
std::string runThisTestOn(const WindowManagerDisplay& display);

} // namespace support
