// The main window maximised and restored by the window manager (as its title
// bar's button, a double-click on it or wmctrl ask) and by the program, and taken
// in and out of the full-screen view, under openbox, xfwm4 and metacity, on a
// laptop's screen and a desktop's: as a plain Qt window beside it does, it fills
// the frame the window manager gives it and lays out at that size, and it comes
// back exactly to where it was, however often.

#include "forms/Testing.h"
#include "mainwindow/FrmQA.h"
#include "mainwindow/MainForm.h"

#include "ProgramFixture.h"
#include "support/qt/WindowManager.h"
#include "support/qt/X11Desktop.h"

#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// What a window manager takes to carry a request out and answer for it.
constexpr int AnswerPatienceMs = 10000;

std::string describe(const QRect& frame)
{
    return std::to_string(frame.x()) + "," + std::to_string(frame.y()) + " " + std::to_string(frame.width()) + "x"
           + std::to_string(frame.height());
}

class MainWindowStates : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        answers.allowUnusedAnswers();
        ProgramFixture::SetUp();
        main_form().show();
        frmqa_form().unload(); // the hints shown at the start, read
    }

    void TearDown() override
    {
        main_form().setFullScreen(false);
        main_form().setWindowState(forms::vbNormal);
        ProgramFixture::TearDown();
    }
};

enum class State { Normal, Maximised, FullScreen };

// The state the window manager holds the window in, and Qt with it.
bool inState(const QWidget& window, State state)
{
    const bool maximised = support::hasStateOnDisplay(window, "_NET_WM_STATE_MAXIMIZED_VERT")
                           && support::hasStateOnDisplay(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
    const bool fullScreen = support::hasStateOnDisplay(window, "_NET_WM_STATE_FULLSCREEN");
    switch (state) {
    case State::Maximised: return maximised && !fullScreen && window.isMaximized();
    case State::FullScreen: return fullScreen && window.isFullScreen();
    default: return !maximised && !fullScreen && !window.isMaximized() && !window.isFullScreen();
    }
}

TEST_F(MainWindowStates, UnderEachWindowManagerTheMainWindowChangesStateAsAPlainWindowDoes)
{
    if (!support::underWindowManager()) {
        for (const auto manager : {support::WindowManagerKind::Openbox, support::WindowManagerKind::Xfwm4,
                                   support::WindowManagerKind::Metacity}) {
            for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
                support::WindowManagerDisplay display(screen.width(), screen.height(), manager);
                if (!display.running())
                    GTEST_SKIP() << display.whyNotRunning();
                EXPECT_EQ(support::runThisTestOn(display), "") << support::nameOf(manager) << " " << screen.width();
            }
        }
        return;
    }
    ASSERT_TRUE(support::desktopAvailable());
    MainForm& main = main_form();
    QWidget& mainWindow = *forms::formWidget(main);
    // A plain Qt window of the main window's size, beside it: what the window
    // manager does with a window.
    QWidget plain;
    plain.resize(mainWindow.size());
    plain.move(mainWindow.pos() + QPoint(60, 40));
    plain.show();
    const auto settled = [](const QWidget& window) {
        return window.windowHandle() && !window.windowHandle()->frameMargins().isNull()
               && support::frameOnDisplay(window) == window.windowHandle()->frameGeometry();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(mainWindow) && settled(plain); }, AnswerPatienceMs));
    const QRect mainNormal = support::frameOnDisplay(mainWindow);
    const QRect plainNormal = support::frameOnDisplay(plain);

    // Each step is asked of both windows alike. Once the window manager holds the
    // plain window in the state, the main window is in it too: maximised or
    // full-screen with the plain window's frame, or back exactly where it was;
    // and its client area (what its Resize lays out) is the one it has.
    struct Step {
        std::string name;
        std::function<void(QWidget& window, bool isMain)> ask;
        State state;
    };
    const auto byWindowManager = [](bool add) {
        return [add](QWidget& window, bool) {
            support::askWindowManager(window, add, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
        };
    };
    const auto fullScreen = [&main](bool on) {
        return [&main, on](QWidget& window, bool isMain) {
            if (isMain)
                main.setFullScreen(on);
            else if (on)
                window.showFullScreen();
            else
                window.showNormal();
        };
    };
    const auto byProgram = [&main](bool maximised) {
        return [&main, maximised](QWidget& window, bool isMain) {
            if (isMain)
                main.setWindowState(maximised ? forms::vbMaximized : forms::vbNormal);
            else if (maximised)
                window.showMaximized();
            else
                window.showNormal();
        };
    };
    const std::vector<Step> steps{
        {"maximised by the window manager", byWindowManager(true), State::Maximised},
        {"restored by the window manager", byWindowManager(false), State::Normal},
        {"maximised by the program", byProgram(true), State::Maximised},
        {"restored by the program", byProgram(false), State::Normal},
        {"full screen", fullScreen(true), State::FullScreen},
        {"out of full screen", fullScreen(false), State::Normal},
        {"maximised again by the window manager", byWindowManager(true), State::Maximised},
        {"restored again by the window manager", byWindowManager(false), State::Normal},
        {"full screen again", fullScreen(true), State::FullScreen},
        {"out of full screen again", fullScreen(false), State::Normal},
        {"full screen a third time", fullScreen(true), State::FullScreen},
        {"out of full screen a third time", fullScreen(false), State::Normal},
    };
    for (const Step& step : steps) {
        step.ask(plain, false);
        step.ask(mainWindow, true);
        const auto plainThere = [&] {
            return inState(plain, step.state)
                   && (step.state != State::Normal || support::frameOnDisplay(plain) == plainNormal);
        };
        ASSERT_TRUE(QTest::qWaitFor(plainThere, AnswerPatienceMs)) << step.name << ": the plain window";
        const auto asPlain = [&]() -> std::string {
            std::string found = inState(mainWindow, step.state) ? "" : "in another state;";
            const QRect frame = support::frameOnDisplay(mainWindow);
            const QRect wanted = step.state == State::Normal ? mainNormal : support::frameOnDisplay(plain);
            if (frame != wanted)
                found += "framed at " + describe(frame) + " for " + describe(wanted) + ";";
            // The client area laid out (below the menu bar) is the one the window
            // has on the display.
            const QSize client = support::clientOnDisplay(mainWindow).size();
            const QMenuBar* bar = mainWindow.findChild<QMenuBar*>();
            const QSize laidOut(forms::twipsToPixels(main.scaleWidth()),
                                forms::twipsToPixels(main.scaleHeight()) + (bar->isVisible() ? bar->height() : 0));
            if (laidOut != client || mainWindow.size() != client)
                found += "laid out at " + std::to_string(laidOut.width()) + "x" + std::to_string(laidOut.height())
                         + " in a client of " + std::to_string(client.width()) + "x"
                         + std::to_string(client.height()) + ";";
            return found;
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return asPlain().empty(); }, AnswerPatienceMs))
            << step.name << ": " << asPlain();
    }
}

} // namespace
