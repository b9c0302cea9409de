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
//
// A Wayland session of the test's own is the same for a desktop session on
// Wayland: a compositor (Weston, the reference compositor, or GNOME's mutter),
// with XWayland or without, showing its output in a window that fills an Xvfb
// display, which stands for the user's screen and mouse. The test runs again
// in a test program of that session, which chooses its platform as the program
// does:
//
//     if (!support::inWaylandSession()) {
//         support::WaylandSession session(1366, 768, support::WaylandSession::XServer::Offered);
//         if (!session.running())
//             GTEST_SKIP() << session.whyNotRunning();
//         EXPECT_EQ(support::runThisTestIn(session), "");
//         return;
//     }
//     ... the test's windows, as Weston stacks them (sessionWindows()), driven
//     with the session's mouse (pointerTo, pointerPress, ...) ...
//
// Weston tells the test how it stacks and places every window (its scene);
// its X window manager, unlike mutter's, neither takes a program's own moves
// of a window once shown nor tells the program where it put one.

#include "support/ServiceProcess.h"

#include <QPoint>
#include <QRect>

#include <string>
#include <vector>

class QWidget;

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

class WaylandSession {
public:
    // Whether the session offers an X server (XWayland) to its programs.
    enum class XServer { Offered, None };
    enum class Compositor { Weston, Mutter };
    WaylandSession(int width, int height, XServer xServer, Compositor compositor = Compositor::Weston);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    bool running() const { return m_running; }
    const std::string& whyNotRunning() const { return m_whyNot; }
    // What a program of the session finds in its environment ("NAME=value" sets,
    // "NAME" removes): the compositor, the session's type, XWayland's display or
    // none, and no platform chosen.
    const std::vector<std::string>& programEnvironment() const { return m_environment; }
    // The Xvfb display that shows the session and takes its mouse (":N").
    const std::string& screenName() const { return m_screenName; }

private:
    bool start(int width, int height, XServer xServer, Compositor compositor);
    bool startWeston(int width, int height, bool offered);
    bool startMutter(int width, int height, bool offered);

    ServiceProcess m_screen{"tevora-wayland-screen"};
    // Mutter's own session bus.
    ServiceProcess m_bus{"tevora-wayland-bus"};
    ServiceProcess m_compositor{"tevora-wayland"};
    std::string m_screenName;
    std::vector<std::string> m_environment;
    bool m_running = false;
    std::string m_whyNot;
};

// True in the test program runThisTestIn started.
bool inWaylandSession();
// Runs the current test again in a test program of the session (which chooses
// its platform as the program does) and waits for it to end: "" when it
// passed, else what it printed.
std::string runThisTestIn(const WaylandSession& session);

// --- In the session's test program ---

// A window as Weston shows it.
struct SessionWindow {
    std::string title;
    // What the window covers, its frame or decoration and shadow included.
    QRect area;
    // Where it hides what lies below it (its contents and border).
    QRect opaque;
    // No window above it covers its opaque part.
    bool wholeInSight = false;
};
// The windows of a Weston session, its panel and background among them, from
// the front to the back, as it stacks them now (none in another session).
std::vector<SessionWindow> sessionWindows();
// The frontmost window of the session with that title, or one with an empty
// title when there is none.
SessionWindow sessionWindow(const std::string& title);
// The title a window of the program has in the session: its own, or the
// program's name when it has none.
std::string sessionTitle(const QWidget& window);
// Where the point of the widget is on the session's screen: from where the X
// server has the widget's window (under Weston, once Weston shows it there
// too), or where Weston shows a Wayland window; (-1, -1) when it is not shown.
QPoint onSessionScreen(const QWidget& widget, QPoint point);
// The session's mouse: moves to a point of the screen (once Weston has drawn
// every window shown so far: it matches the pointer against the windows as it
// last drew them), presses or releases a button (1 left, 3 right) there. The
// program handles its events while the mouse works, as it does for a user.
void pointerTo(QPoint point);
void pointerPress(int button);
void pointerRelease(int button);
void pointerClick(QPoint point, int button);

} // namespace support
