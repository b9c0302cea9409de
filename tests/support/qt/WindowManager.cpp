#include "support/qt/WindowManager.h"

#include "support/qt/X11Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>
#include <unistd.h>

namespace support {

namespace {

// Set in the test program that runs a test again on a display of its own.
constexpr const char* RunOnDisplay = "TEVORA_TEST_ON_WINDOW_MANAGER";

constexpr int StartPatienceMs = 20000;
// A test program under the address sanitizer shows its windows slowly.
constexpr int TestPatienceMs = 300000;

QByteArray contentsOf(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits for the service's sign that it is up: done() true, while it runs.
bool waitForService(ServiceProcess& service, const std::function<bool()>& done)
{
    return service.waitUntil(done, std::chrono::milliseconds(StartPatienceMs));
}

bool installed(const std::string& program)
{
    return !program.empty() && ::access(program.c_str(), X_OK) == 0;
}

// Runs a virtual X server of the size on a free display and waits until it
// answers: "" and the display's name (":N"), or why not.
std::string startVirtualScreen(ServiceProcess& server, int width, int height, std::string& name)
{
    const std::string program = TEVORA_XVFB;
    if (!installed(program))
        return "no virtual X server (Xvfb) on this machine";
    if (server.folder().empty())
        return "no temporary folder for the display";
    // The server picks a free display and writes its number, a line of its own,
    // to its output. It never resets: an X server resets itself when its last
    // client leaves, and turns away whoever connects meanwhile (a window manager
    // starting as a test's checks end).
    const std::string serverLog = server.folder() + "/server.log";
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    if (!server.run(program, {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, {},
                    serverLog))
        return "the virtual X server could not be run";
    const bool numbered = waitForService(server, [&] {
        for (const QByteArray& line : contentsOf(serverLog).split('\n')) {
            bool number = false;
            line.toInt(&number);
            if (number && !line.isEmpty()) {
                name = ":" + line.toStdString();
                return true;
            }
        }
        return false;
    });
    return numbered ? std::string() : "the virtual X server did not come up: " + contentsOf(serverLog).toStdString();
}

// Runs the current test again in a test program of its own with the environment
// changed ("NAME=value" sets, "NAME" removes) and waits for it to end: "" when
// it passed, else what it printed.
std::string runThisTestWith(const std::vector<std::string>& changes)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test)
        return "no test is running";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const std::string& change : changes) {
        const QString text = QString::fromStdString(change);
        const qsizetype equals = text.indexOf('=');
        if (equals < 0)
            environment.remove(text);
        else
            environment.insert(text.left(equals), text.mid(equals + 1));
    }
    // Nothing on the display answers for a desktop session, and the user's own
    // session is none of the test's business.
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    const QString filter = QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name());
    program.start(QCoreApplication::applicationFilePath(), {filter});
    if (!program.waitForFinished(TestPatienceMs)) {
        program.kill();
        program.waitForFinished();
        return "the test did not end on the display: " + program.readAll().toStdString();
    }
    const QByteArray output = program.readAll();
    const bool passed = program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0
                        && output.contains("[  PASSED  ] 1 test.") && !output.contains("[  SKIPPED ]");
    return passed ? std::string() : output.toStdString();
}

} // namespace

WindowManagerDisplay::WindowManagerDisplay(int width, int height) : WindowManagerDisplay(width, height, WindowManagerKind::Openbox) {}

WindowManagerDisplay::WindowManagerDisplay(int width, int height, WindowManagerKind manager) : m_manager(manager)
{
    m_running = start(width, height);
}

const char* nameOf(WindowManagerKind manager)
{
    switch (manager) {
    case WindowManagerKind::Xfwm4: return "xfwm4";
    case WindowManagerKind::Metacity: return "metacity";
    default: return "openbox";
    }
}

bool WindowManagerDisplay::startOther()
{
    const std::string windowManager = m_manager == WindowManagerKind::Xfwm4 ? TEVORA_XFWM4 : TEVORA_METACITY;
    if (windowManager.empty() || ::access(windowManager.c_str(), X_OK) != 0) {
        m_whyNot = std::string("no window manager (") + nameOf(m_manager) + ") on this machine";
        return false;
    }
    const std::vector<std::string> arguments = m_manager == WindowManagerKind::Xfwm4
                                                   ? std::vector<std::string>{"--compositor=off"}
                                                   : std::vector<std::string>{"--sm-disable", "--no-composite"};
    // Its settings are the ones it comes with, read and written in a home of its
    // own; no desktop session answers for it.
    const std::string& home = m_windowManager.folder();
    std::vector<std::string> environment{"DISPLAY=" + m_name,
                                         "HOME=" + home,
                                         "XDG_CONFIG_HOME=" + home + "/config",
                                         "XDG_CACHE_HOME=" + home + "/cache",
                                         "XDG_DATA_HOME=" + home + "/data",
                                         "XDG_RUNTIME_DIR=" + home,
                                         "DBUS_SESSION_BUS_ADDRESS=disabled:",
                                         "GSETTINGS_BACKEND=memory",
                                         "SESSION_MANAGER"};
    // xfwm4 reads its settings from the settings service (xfconfd), which the
    // message bus starts when asked.
    if (m_manager == WindowManagerKind::Xfwm4) {
        const std::string bus = TEVORA_DBUS_DAEMON;
        const std::string socket = m_bus.folder() + "/bus";
        if (bus.empty() || ::access(bus.c_str(), X_OK) != 0 || m_bus.folder().empty()) {
            m_whyNot = "no message bus (dbus-daemon) on this machine";
            return false;
        }
        environment[6] = "DBUS_SESSION_BUS_ADDRESS=unix:path=" + socket;
        if (!m_bus.run(bus, {"--session", "--nofork", "--address=unix:path=" + socket}, environment,
                       m_bus.folder() + "/bus.log")
            || !waitForService(m_bus, [&] { return ::access(socket.c_str(), F_OK) == 0; })) {
            m_whyNot = "the message bus did not come up: " + contentsOf(m_bus.folder() + "/bus.log").toStdString();
            return false;
        }
    }
    const std::string managerLog = home + "/window-manager.log";
    if (!m_windowManager.run(windowManager, arguments, environment, managerLog)) {
        m_whyNot = "the window manager could not be run";
        return false;
    }
    // A window manager names the window it checks with on the root window once it
    // manages the display.
    if (!waitForService(m_windowManager, [&] { return windowManagerManages(m_name); })) {
        m_whyNot = "the window manager did not come up: " + contentsOf(managerLog).toStdString();
        return false;
    }
    return true;
}

bool WindowManagerDisplay::start(int width, int height)
{
    const std::string windowManager = TEVORA_OPENBOX;
    if (m_manager == WindowManagerKind::Openbox && !installed(windowManager)) {
        m_whyNot = "no window manager (openbox) on this machine";
        return false;
    }
    if (m_windowManager.folder().empty()) {
        m_whyNot = "no temporary folder for the display";
        return false;
    }
    m_whyNot = startVirtualScreen(m_server, width, height, m_name);
    if (!m_whyNot.empty())
        return false;
    if (m_manager != WindowManagerKind::Openbox)
        return startOther();
    // The window manager touches a file once it manages the display; its own
    // settings are the ones it comes with, whatever the user's are.
    const std::string ready = m_windowManager.folder() + "/ready";
    const std::string managerLog = m_windowManager.folder() + "/window-manager.log";
    if (!m_windowManager.run(windowManager, {"--sm-disable", "--startup", "touch " + ready},
                             {"DISPLAY=" + m_name, "XDG_CONFIG_HOME=" + m_windowManager.folder(),
                              "XDG_CACHE_HOME=" + m_windowManager.folder()},
                             managerLog)) {
        m_whyNot = "the window manager could not be run";
        return false;
    }
    if (!waitForService(m_windowManager, [&] { return ::access(ready.c_str(), F_OK) == 0; })) {
        m_whyNot = "the window manager did not come up: " + contentsOf(managerLog).toStdString();
        return false;
    }
    return true;
}

bool underWindowManager()
{
    return std::getenv(RunOnDisplay) != nullptr;
}

std::string runThisTestOn(const WindowManagerDisplay& display)
{
    return runThisTestWith({std::string(RunOnDisplay) + "=1", "QT_QPA_PLATFORM=xcb", "DISPLAY=" + display.name()});
}

namespace {

// Set in the test program that runs a test again in a Wayland session: the
// display of the session's screen and mouse.
constexpr const char* InSession = "TEVORA_TEST_IN_WAYLAND_SESSION";
constexpr const char* SessionSocket = "wayland-tevora";

// Runs a tool to its end, on the given X display (else this program's); its
// output. The program goes on with its events meanwhile, as it does while the
// user works the mouse: Weston takes a program that leaves its ping unanswered
// for a fifth of a second for hung and keeps the mouse's buttons from it.
QByteArray runTool(const char* program, const QStringList& arguments, const QString& display = QString())
{
    QProcess tool;
    if (!display.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        tool.setProcessEnvironment(environment);
    }
    tool.start(QString::fromUtf8(program), arguments);
    if (!QTest::qWaitFor([&] { return tool.state() == QProcess::NotRunning; }, StartPatienceMs))
        tool.kill();
    tool.waitForFinished();
    return tool.readAllStandardOutput();
}

QPoint pointIn(const QRegularExpressionMatch& match, int first)
{
    return QPoint(match.captured(first).toInt(), match.captured(first + 1).toInt());
}

// A rectangle as the compositor writes it: "(x1, y1) -> (x2, y2)", x2 and y2
// outside it.
QRect rectangleIn(const QString& line)
{
    static const QRegularExpression corners(R"(\((-?\d+), (-?\d+)\) -> \((-?\d+), (-?\d+)\))");
    const QRegularExpressionMatch match = corners.match(line);
    return match.hasMatch() ? QRect(pointIn(match, 1), pointIn(match, 3) - QPoint(1, 1)) : QRect();
}

// What follows the first occurrence of the marker on its line, trimmed; "" when
// the text has no whole line with it.
std::string lineAfter(const QByteArray& text, const char* marker)
{
    const qsizetype at = text.indexOf(marker);
    const qsizetype end = at < 0 ? -1 : text.indexOf('\n', at);
    if (end < 0)
        return {};
    const qsizetype from = at + qsizetype(std::strlen(marker));
    return text.mid(from, end - from).trimmed().toStdString();
}

// Weston's account of its scene, a line a list; none where the compositor is
// not Weston.
QStringList sceneGraph()
{
    return QString::fromUtf8(runTool(TEVORA_WESTON_DEBUG, {"scene-graph"})).split('\n');
}

// True once Weston has drawn its scene as it stands: no output has a redraw
// pending (and always where the compositor is not Weston). Weston matches the
// pointer against the windows as it last drew them, so a pointer brought onto
// a window shown since then finds what lies below it, and a click there goes
// past the window.
bool sceneDrawn()
{
    static const QString status = QStringLiteral("repaint status:");
    for (const QString& line : sceneGraph()) {
        const QString text = line.trimmed();
        if (text.startsWith(status) && text.mid(status.size()).trimmed() != QLatin1String("no repaint"))
            return false;
    }
    return true;
}

int g_buttonsHeld = 0;

void pointerCommand(const QStringList& arguments)
{
    runTool(TEVORA_XDOTOOL, arguments, QString::fromUtf8(std::getenv(InSession)));
}

// Moves the session's mouse to the point once the compositor has drawn every
// window shown so far, and does what follows (a click) in the same command,
// right after the move.
void pointerToThen(QPoint point, const QStringList& then)
{
    if (!QTest::qWaitFor(sceneDrawn, StartPatienceMs))
        ADD_FAILURE() << "the compositor did not finish drawing its screen:\n"
                      << sceneGraph().join('\n').toStdString();
    QStringList moves;
    // The compositor follows the screen's mouse by its moves, not by its place,
    // and stops it at the screen's edges: sent to one corner and the other, it
    // stands where the screen's mouse does. Not while a button is held, which
    // would drag.
    if (g_buttonsHeld == 0)
        moves << "mousemove" << "100000" << "100000" << "mousemove" << "0" << "0";
    moves << "mousemove" << QString::number(point.x()) << QString::number(point.y());
    pointerCommand(moves + then);
}

} // namespace

WaylandSession::WaylandSession(int width, int height, XServer xServer, Compositor compositor)
{
    m_running = start(width, height, xServer, compositor);
}

WaylandSession::~WaylandSession()
{
    // Ended as a desktop session ends: the compositor takes XWayland and its
    // own programs with it and gives XWayland's display back.
    m_compositor.end(SIGTERM);
}

bool WaylandSession::start(int width, int height, XServer xServer, Compositor compositor)
{
    const bool offered = xServer == XServer::Offered;
    const bool weston = compositor == Compositor::Weston;
    if (weston ? !installed(TEVORA_WESTON) || !installed(TEVORA_WESTON_DEBUG)
               : !installed(TEVORA_MUTTER) || !installed(TEVORA_DBUS_DAEMON)) {
        m_whyNot = weston ? "no Wayland compositor (weston) on this machine" : "no GNOME compositor (mutter) on this machine";
        return false;
    }
    if (offered && !installed(TEVORA_XWAYLAND)) {
        m_whyNot = "no XWayland on this machine";
        return false;
    }
    if (!installed(TEVORA_XDOTOOL) || !installed(TEVORA_XWININFO)) {
        m_whyNot = "no xdotool or xwininfo for the session's mouse and windows on this machine";
        return false;
    }
    if (m_compositor.folder().empty() || m_bus.folder().empty()) {
        m_whyNot = "no temporary folder for the session";
        return false;
    }
    m_whyNot = startVirtualScreen(m_screen, width, height, m_screenName);
    if (!m_whyNot.empty())
        return false;
    return weston ? startWeston(width, height, offered) : startMutter(width, height, offered);
}

bool WaylandSession::startWeston(int width, int height, bool offered)
{
    // The compositor's folder, made for this user alone, is the session's
    // runtime folder. It shows its output in a window of the screen's size
    // (the screen has no window manager: the window fills it), with the
    // settings it comes with, never idle, and answers weston-debug.
    const std::string runtime = m_compositor.folder();
    const std::string log = runtime + "/compositor.log";
    std::vector<std::string> arguments{"--backend=x11-backend.so", "--use-pixman",
                                       "--width=" + std::to_string(width), "--height=" + std::to_string(height),
                                       std::string("--socket=") + SessionSocket, "--idle-time=0", "--no-config",
                                       "--debug", "--log=" + log};
    if (offered)
        arguments.push_back("--xwayland");
    if (!m_compositor.run(TEVORA_WESTON, arguments,
                          {"DISPLAY=" + m_screenName, "XDG_RUNTIME_DIR=" + runtime, "WAYLAND_DISPLAY", "WAYLAND_SOCKET"},
                          runtime + "/compositor.out")) {
        m_whyNot = "the compositor could not be run";
        return false;
    }
    // Up once its socket is there and, with XWayland, it names XWayland's
    // display (XWayland itself starts when a program first connects to it).
    const std::string socket = runtime + "/" + SessionSocket;
    std::string xDisplay;
    const bool up = waitForService(m_compositor, [&] {
        xDisplay = lineAfter(contentsOf(log), "xserver listening on display ");
        return ::access(socket.c_str(), F_OK) == 0 && (!offered || !xDisplay.empty());
    });
    if (!up) {
        m_whyNot = "the compositor did not come up: " + contentsOf(log).toStdString();
        return false;
    }
    m_environment = {std::string("WAYLAND_DISPLAY=") + SessionSocket, "XDG_RUNTIME_DIR=" + runtime,
                     "XDG_SESSION_TYPE=wayland", offered ? "DISPLAY=" + xDisplay : "DISPLAY", "XAUTHORITY",
                     "QT_QPA_PLATFORM"};
    return true;
}

bool WaylandSession::startMutter(int width, int height, bool offered)
{
    // Mutter wants a session bus: one of the session's own.
    const std::string bus = "unix:path=" + m_bus.folder() + "/bus";
    if (!m_bus.run(TEVORA_DBUS_DAEMON, {"--session", "--nofork", "--nopidfile", "--address=" + bus}, {},
                   m_bus.folder() + "/bus.log")
        || !waitForService(m_bus, [&] { return ::access((m_bus.folder() + "/bus").c_str(), F_OK) == 0; })) {
        m_whyNot = "the session bus did not come up: " + contentsOf(m_bus.folder() + "/bus.log").toStdString();
        return false;
    }
    // Nested: its output in a window of the screen's size; its settings in
    // memory, none of the user's read or written.
    const std::string runtime = m_compositor.folder();
    const std::string log = runtime + "/compositor.log";
    std::vector<std::string> arguments{"--wayland", "--nested", std::string("--wayland-display=") + SessionSocket};
    if (!offered)
        arguments.push_back("--no-x11");
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (!m_compositor.run(TEVORA_MUTTER, arguments,
                          {"DISPLAY=" + m_screenName, "XDG_RUNTIME_DIR=" + runtime, "DBUS_SESSION_BUS_ADDRESS=" + bus,
                           "MUTTER_DEBUG_DUMMY_MODE_SPECS=" + size, "GSETTINGS_BACKEND=memory",
                           "XDG_CONFIG_HOME=" + runtime, "XDG_CACHE_HOME=" + runtime, "XDG_DATA_HOME=" + runtime,
                           "WAYLAND_DISPLAY", "WAYLAND_SOCKET"},
                          log)) {
        m_whyNot = "the compositor could not be run";
        return false;
    }
    // Up once its socket is there and, with XWayland, it names XWayland's
    // display, whose programs need its key.
    const std::string socket = runtime + "/" + SessionSocket;
    std::string xDisplay;
    std::string key;
    const bool up = waitForService(m_compositor, [&] {
        xDisplay = lineAfter(contentsOf(log), "Using public X11 display ");
        xDisplay = xDisplay.substr(0, xDisplay.find(','));
        const QStringList keys = QDir(QString::fromStdString(runtime)).entryList({".mutter-Xwaylandauth.*"}, QDir::Hidden | QDir::Files);
        key = keys.isEmpty() ? std::string() : runtime + "/" + keys.front().toStdString();
        return ::access(socket.c_str(), F_OK) == 0 && (!offered || (!xDisplay.empty() && !key.empty()));
    });
    if (!up) {
        m_whyNot = "the compositor did not come up: " + contentsOf(log).toStdString();
        return false;
    }
    m_environment = {std::string("WAYLAND_DISPLAY=") + SessionSocket, "XDG_RUNTIME_DIR=" + runtime,
                     "XDG_SESSION_TYPE=wayland", offered ? "DISPLAY=" + xDisplay : "DISPLAY",
                     offered ? "XAUTHORITY=" + key : "XAUTHORITY", "QT_QPA_PLATFORM"};
    return true;
}

bool inWaylandSession()
{
    return std::getenv(InSession) != nullptr;
}

std::string runThisTestIn(const WaylandSession& session)
{
    std::vector<std::string> changes = session.programEnvironment();
    changes.push_back(std::string(InSession) + "=" + session.screenName());
    // The leaks Qt's Wayland plugin makes on purpose are told apart by their
    // callers (tests/lsan.supp), which the fast unwinder does not reach through
    // libwayland-client, built without frame pointers.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    changes.push_back("ASAN_OPTIONS=" + std::string(sanitizer ? sanitizer : "") + (sanitizer && *sanitizer ? ":" : "")
                      + "fast_unwind_on_malloc=0");
    return runThisTestWith(changes);
}

std::vector<SessionWindow> sessionWindows()
{
    // The compositor's scene: its layers from the front, each with its views
    // from the front; a view's first line names it ("top-level window 'title'"
    // for a window), the next ones say where it is and where it is opaque.
    static const QRegularExpression viewLine(R"(^\s*View \d+ \(role ([^,]*), (.*), 0x[0-9a-f]+\):$)");
    static const QRegularExpression titled(R"(top-level window '(.*)'( of .*)?$)");
    const QStringList lines = sceneGraph();
    std::vector<SessionWindow> windows;
    bool pointer = false;
    for (const QString& line : lines) {
        const QRegularExpressionMatch view = viewLine.match(line);
        if (view.hasMatch()) {
            // The pointer's picture is no window.
            pointer = view.captured(1).endsWith("cursor");
            if (pointer)
                continue;
            const QString label = view.captured(2);
            const QRegularExpressionMatch window = titled.match(label);
            windows.push_back({(window.hasMatch() ? window.captured(1) : label).toStdString(), {}, {}, false});
            continue;
        }
        if (pointer || windows.empty())
            continue;
        SessionWindow& last = windows.back();
        const QString text = line.trimmed();
        if (text.startsWith("position:"))
            last.area = rectangleIn(text);
        else if (text.startsWith("[opaque:"))
            last.opaque = rectangleIn(text);
        else if (text == "[fully opaque]")
            last.opaque = last.area;
    }
    // A window hides what lies below its opaque part, or below all of it when it
    // has none (a panel drawn with transparency).
    for (size_t i = 0; i < windows.size(); ++i) {
        windows[i].wholeInSight = !windows[i].opaque.isEmpty();
        for (size_t above = 0; above < i; ++above) {
            const QRect& hiding = windows[above].opaque.isEmpty() ? windows[above].area : windows[above].opaque;
            if (hiding.intersects(windows[i].opaque))
                windows[i].wholeInSight = false;
        }
    }
    return windows;
}

SessionWindow sessionWindow(const std::string& title)
{
    for (SessionWindow& window : sessionWindows()) {
        if (window.title == title)
            return window;
    }
    return {};
}

std::string sessionTitle(const QWidget& window)
{
    const QString title = window.windowTitle();
    return (title.isEmpty() ? QCoreApplication::applicationName() : title).toStdString();
}

QPoint onSessionScreen(const QWidget& widget, QPoint point)
{
    const QWidget& window = *widget.window();
    if (!window.isVisible() || !window.windowHandle())
        return QPoint(-1, -1);
    // Where Weston shows the window: its contents stand in the middle of its
    // opaque part, which adds the same border (or none) all round.
    const std::vector<SessionWindow> scene = sessionWindows();
    const auto shown = std::find_if(scene.begin(), scene.end(),
                                    [&](const SessionWindow& candidate) { return candidate.title == sessionTitle(window); });
    QPoint inScene(-1, -1);
    if (shown != scene.end() && !shown->opaque.isEmpty()) {
        const QSize border = (shown->opaque.size() - window.size()) / 2;
        inScene = shown->opaque.topLeft() + QPoint(border.width(), border.height());
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return inScene.x() < 0 ? inScene : inScene + widget.mapTo(&window, point);
    // Where the X server has the window (which may not be where the program
    // believes it is). The window's handle names the X window it has now (the
    // widget's own id may name one its window had before).
    static const QRegularExpression corner(R"(Absolute upper-left (X|Y):\s*(-?\d+))");
    const QString id = QString::number(window.windowHandle()->winId());
    const QString text = QString::fromUtf8(runTool(TEVORA_XWININFO, {"-id", id}));
    QPoint origin(-1, -1);
    QRegularExpressionMatchIterator found = corner.globalMatch(text);
    for (int coordinate = 0; found.hasNext(); ++coordinate) {
        const int value = found.next().captured(2).toInt();
        (coordinate == 0 ? origin.rx() : origin.ry()) = value;
    }
    // Under Weston the X server has the window where the program put it until
    // Weston's window manager has framed and placed it, and Weston shows it
    // only then: the window is on the screen once the two agree where.
    if (!scene.empty() && origin != inScene)
        return QPoint(-1, -1);
    return origin + widget.mapTo(&window, point);
}

void pointerTo(QPoint point)
{
    pointerToThen(point, {});
}

void pointerPress(int button)
{
    pointerCommand({"mousedown", QString::number(button)});
    ++g_buttonsHeld;
}

void pointerRelease(int button)
{
    pointerCommand({"mouseup", QString::number(button)});
    g_buttonsHeld = std::max(0, g_buttonsHeld - 1);
}

void pointerClick(QPoint point, int button)
{
    pointerToThen(point, {"click", QString::number(button)});
}

} // namespace support
