#include "support/qt/WindowManager.h"

#include "support/qt/X11Desktop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
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
    const QDeadlineTimer deadline(StartPatienceMs);
    while (!done()) {
        if (deadline.hasExpired() || !service.running())
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

WindowManagerDisplay::WindowManagerDisplay(int width, int height)
{
    m_running = start(width, height);
}

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
    const std::string server = TEVORA_XVFB;
    const std::string windowManager = TEVORA_OPENBOX;
    if (server.empty() || ::access(server.c_str(), X_OK) != 0) {
        m_whyNot = "no virtual X server (Xvfb) on this machine";
        return false;
    }
    if (m_manager == WindowManagerKind::Openbox
        && (windowManager.empty() || ::access(windowManager.c_str(), X_OK) != 0)) {
        m_whyNot = "no window manager (openbox) on this machine";
        return false;
    }
    if (m_server.folder().empty() || m_windowManager.folder().empty()) {
        m_whyNot = "no temporary folder for the display";
        return false;
    }
    // The server picks a free display and writes its number, a line of its own,
    // to its output.
    const std::string serverLog = m_server.folder() + "/server.log";
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    if (!m_server.run(server, {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"}, {}, serverLog)) {
        m_whyNot = "the virtual X server could not be run";
        return false;
    }
    const bool numbered = waitForService(m_server, [&] {
        for (const QByteArray& line : contentsOf(serverLog).split('\n')) {
            bool number = false;
            line.toInt(&number);
            if (number && !line.isEmpty()) {
                m_name = ":" + line.toStdString();
                return true;
            }
        }
        return false;
    });
    if (!numbered) {
        m_whyNot = "the virtual X server did not come up: " + contentsOf(serverLog).toStdString();
        return false;
    }
    if (m_manager != WindowManagerKind::Openbox)
        return startOther();
    // The window manager touches a file once it manages the display; its own
    // settings are the ones it comes with, whatever the user's are.
    const std::string ready = m_windowManager.folder() + "/ready";
    const std::string managerLog = m_windowManager.folder() + "/window-manager.log";
    if (!m_windowManager.run(windowManager, {"--sm-disable", "--startup", "touch " + ready},
                             {"DISPLAY=" + m_name, "XDG_CONFIG_HOME=" + m_windowManager.folder()}, managerLog)) {
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
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test)
        return "no test is running";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(RunOnDisplay, "1");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", QString::fromStdString(display.name()));
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

} // namespace support
