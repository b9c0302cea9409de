// Window lifecycle: implicit load, Load once, modal show driven by onShown,
// QueryUnload and Unload with their modes and Cancel, Unload inside Load,
// Resize, the Forms collection and program end.

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Menu.h"
#include "forms/Testing.h"
#include "forms/TextBox.h"
#include "forms/Timer.h"

#include "platform/Errors.h"
#include "platform/Hooks.h"

#include "support/ScriptedResponder.h"

#include "ParamNames.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace {

class LoggingForm : public forms::Form {
public:
    explicit LoggingForm(std::string name, std::vector<std::string>* log = nullptr)
        : Form(std::move(name)), m_log(log ? log : &ownLog)
    {
        Command1.onClick = [this] { note("Command1_Click"); if (onCommand) onCommand(); };
    }

    forms::CommandButton Command1{*this, "Command1"};
    forms::TextBox Text1{*this, "Text1"};
    std::vector<std::string> ownLog;
    std::function<void()> onLoad;
    std::function<void()> onCommand;
    std::function<void()> onResize;
    int cancelQueryUnloadMode = -1; // cancel when UnloadMode equals this
    bool cancelUnload = false;

    void Form_Load() override
    {
        note("Load");
        if (onLoad)
            onLoad();
    }
    void Form_Activate() override { note("Activate"); }
    void Form_Resize() override
    {
        note("Resize " + std::to_string(static_cast<int>(scaleWidth())) + "x"
             + std::to_string(static_cast<int>(scaleHeight())));
        if (onResize)
            onResize();
    }
    void Form_QueryUnload(int& Cancel, int UnloadMode) override
    {
        note("QueryUnload " + std::to_string(UnloadMode));
        if (UnloadMode == cancelQueryUnloadMode)
            Cancel = 1;
    }
    void Form_Unload(int& Cancel) override
    {
        note("Unload");
        if (cancelUnload)
            Cancel = 1;
    }

    void note(const std::string& entry) { m_log->push_back(name() + " " + entry); }
    void clearLog() { m_log->clear(); }
    const std::vector<std::string>& log() const { return *m_log; }

protected:
    void design() override
    {
        setCaption("caption of " + name());
        move(0, 0, 6000, 4500);
        Command1.setCaption("OK");
        Command1.move(120, 120, 1200, 450);
        Text1.setText("design text");
    }

private:
    std::vector<std::string>* m_log;
};

TEST(FormLifecycle, FirstTouchLoadsHiddenAndRunsLoadOnce)
{
    LoggingForm form("Touched");
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(form.Text1.text(), "design text"); // a control touch loads the window
    EXPECT_TRUE(form.isLoaded());
    EXPECT_FALSE(form.isVisible());
    form.show();
    form.hide();
    form.show();
    EXPECT_EQ(std::count(form.log().begin(), form.log().end(), "Touched Load"), 1);
}

// The platform's window frame in twips (width, height): Width and Height are
// outer sizes, ScaleWidth and ScaleHeight the client inside the frame.
std::pair<int, int> frameOf(const forms::Form& form)
{
    return {static_cast<int>(form.width() - form.scaleWidth()), static_cast<int>(form.height() - form.scaleHeight())};
}

std::string resizeEntry(const LoggingForm& form, double outerWidth, double outerHeight)
{
    const auto [frameWidth, frameHeight] = frameOf(form);
    return form.name() + " Resize " + std::to_string(static_cast<int>(outerWidth) - frameWidth) + "x"
           + std::to_string(static_cast<int>(outerHeight) - frameHeight);
}

// Drops the Activate entries, which follow the platform's activation order.
std::vector<std::string> withoutActivate(const std::vector<std::string>& log)
{
    std::vector<std::string> result;
    for (const std::string& entry : log)
        if (entry.find("Activate") == std::string::npos)
            result.push_back(entry);
    return result;
}

TEST(FormLifecycle, ShowRaisesResizeOnceThenActivate)
{
    LoggingForm form("Shown");
    form.show();
    EXPECT_EQ(form.log(), (std::vector<std::string>{"Shown Load", resizeEntry(form, 6000, 4500), "Shown Activate"}));
    EXPECT_DOUBLE_EQ(form.width(), 6000);
    EXPECT_DOUBLE_EQ(form.scaleWidth(), 6000 - frameOf(form).first);
    form.clearLog();
    form.show(); // already visible: nothing runs again
    EXPECT_TRUE(form.log().empty());
}

TEST(FormLifecycle, CodeSizeChangesRaiseResizeSynchronouslyAndReentrantly)
{
    LoggingForm form("Sized");
    form.show();
    form.clearLog();
    // The window snaps back to its smallest width from inside Resize.
    form.onResize = [&] {
        if (form.width() < 3000)
            form.setWidth(3000);
    };
    form.setWidth(1500);
    EXPECT_EQ(form.log(), (std::vector<std::string>{resizeEntry(form, 1500, 4500), resizeEntry(form, 3000, 4500)}));
    EXPECT_DOUBLE_EQ(form.width(), 3000);
    form.clearLog();
    form.move(300, 300); // position only: the client keeps its size
    form.setWidth(3007); // the same pixel size
    EXPECT_TRUE(form.log().empty());
    EXPECT_DOUBLE_EQ(form.width(), 3007);
}

TEST(FormLifecycle, PlatformResizeIsCoalescedToRealChanges)
{
    LoggingForm form("Platform");
    form.show();
    form.clearLog();
    QWidget* window = forms::formWidget(form);
    window->resize(window->size()); // no change
    window->resize(500, 300);
    window->resize(500, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.log(), (std::vector<std::string>{"Platform Resize 7500x4500"}));
    EXPECT_DOUBLE_EQ(form.scaleWidth(), 7500);
    EXPECT_DOUBLE_EQ(form.width(), 7500 + frameOf(form).first);
}

// Left, Top, Width and Height are the outer frame the platform draws: a window
// at Top 0 has its frame (title bar included) at the top of the screen.
TEST(FormLifecycle, LeftTopWidthHeightAreTheOuterFrame)
{
    LoggingForm form("Framed");
    form.move(0, 0, 6000, 4500);
    form.show();
    QWidget* window = forms::formWidget(form);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->frameGeometry(), QRect(0, 0, 400, 300));
    EXPECT_GT(window->geometry().top(), 0); // the frame's own top lies above the client

    form.move(1500, 750);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->frameGeometry(), QRect(100, 50, 400, 300));
}

// A window of fixed size has no maximise button; a sizable one keeps it.
TEST(FormLifecycle, OnlyASizableWindowOffersToMaximise)
{
    LoggingForm fixed("Fixed");
    fixed.setBorderStyle(forms::vbFixedSingle);
    fixed.show();
    EXPECT_FALSE(forms::formWidget(fixed)->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(forms::formWidget(fixed)->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    fixed.unload();

    LoggingForm sizable("Sizable");
    sizable.setBorderStyle(forms::vbSizable);
    sizable.show();
    const Qt::WindowFlags flags = forms::formWidget(sizable)->windowFlags();
    EXPECT_TRUE(!flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowMaximizeButtonHint));
    sizable.unload();
}

TEST(FormLifecycle, HidingEveryTopLevelMenuRemovesTheMenuBarAndRaisesResize)
{
    class MenuForm : public LoggingForm {
    public:
        MenuForm() : LoggingForm("Menus") {}
        forms::Menu filemenu{*this, "filemenu"};
        forms::Menu fileitem{filemenu, "fileitem"};
        forms::Menu helpmenu{*this, "helpmenu"};
        forms::Menu helpitem{helpmenu, "helpitem"};

    protected:
        void design() override
        {
            LoggingForm::design();
            filemenu.setCaption("ファイル(&F)");
            fileitem.setCaption("開く");
            helpmenu.setCaption("ヘルプ(&H)");
            helpitem.setCaption("目次");
        }
    } form;
    form.show();
    const double withBar = form.scaleHeight();
    EXPECT_LT(withBar, 4500);
    form.clearLog();
    form.filemenu.setVisible(false);
    EXPECT_TRUE(form.log().empty()); // one menu left: the bar stays
    form.helpmenu.setVisible(false);
    EXPECT_DOUBLE_EQ(form.scaleHeight(), 4500 - frameOf(form).second);
    EXPECT_EQ(form.log(), (std::vector<std::string>{resizeEntry(form, 6000, 4500)}));
    form.helpmenu.setVisible(true);
    EXPECT_DOUBLE_EQ(form.scaleHeight(), withBar);
}

TEST(FormLifecycle, ModalShowRunsTheOnShownCallbackInsideItsLoop)
{
    std::vector<std::string> log;
    LoggingForm owner("Owner", &log);
    LoggingForm dialog("Dialog", &log);
    owner.show();
    log.clear();
    forms::onShown("Dialog", [&](forms::Form& shown) {
        log.push_back("onShown " + shown.name() + (dialog.isShownModal() ? " modal" : " modeless"));
        QTest::mouseClick(dialog.Command1.widget(), Qt::LeftButton);
    });
    dialog.onCommand = [&] { dialog.hide(); };
    dialog.show(forms::ShowMode::Modal, &owner);
    log.push_back("Show returned");
    EXPECT_EQ(withoutActivate(log), (std::vector<std::string>{"Dialog Load", resizeEntry(dialog, 6000, 4500),
                                                              "onShown Dialog modal", "Dialog Command1_Click",
                                                              "Show returned"}));
    EXPECT_EQ(log[2], "Dialog Activate");
    EXPECT_TRUE(dialog.isLoaded()); // hidden, still loaded
    EXPECT_FALSE(dialog.isVisible());
}

TEST(FormLifecycle, ModalWindowsNestAndUnloadEndsTheirLoop)
{
    std::vector<std::string> log;
    LoggingForm first("First", &log);
    LoggingForm second("Second", &log);
    forms::onShown("First", [&](forms::Form&) {
        // A modal window opened from a handler of another modal window.
        QTest::mouseClick(first.Command1.widget(), Qt::LeftButton);
        log.push_back("inner returned");
        first.unload();
    });
    first.onCommand = [&] { second.show(forms::ShowMode::Modal); };
    forms::onShown("Second", [&](forms::Form&) { second.unload(); });
    first.show(forms::ShowMode::Modal);
    log.push_back("outer returned");
    EXPECT_FALSE(first.isLoaded());
    EXPECT_FALSE(second.isLoaded());
    log = withoutActivate(log);
    const std::vector<std::string> tail(log.end() - 6, log.end() - 1);
    EXPECT_EQ(tail, (std::vector<std::string>{"Second QueryUnload 1", "Second Unload", "inner returned",
                                              "First QueryUnload 1", "First Unload"}));
    EXPECT_EQ(log.back(), "outer returned");
}

// A modal window shown without an owner is owned by the window the user last
// worked in, the main window when none is shown: window managers and Wayland
// compositors keep a window in front of its owner, and stack one without an
// owner like any other, so at a click on the window it blocks it would go
// behind that window.
TEST(FormLifecycle, AModalWindowShownWithoutAnOwnerIsOwnedByTheWindowLastWorkedIn)
{
    LoggingForm main("Main");
    LoggingForm editor("Editor");
    LoggingForm first("First");
    LoggingForm second("Second");
    forms::setMainWindow(&main);
    main.show();
    editor.show();
    const auto ownerOf = [&](forms::Form& form) -> std::string {
        const QWindow* owner = forms::formWidget(form)->windowHandle()->transientParent();
        for (forms::Form* candidate : std::initializer_list<forms::Form*>{&main, &editor, &first}) {
            if (candidate->isLoaded() && owner && forms::formWidget(*candidate)->windowHandle() == owner)
                return candidate->name();
        }
        return owner ? "another window" : "none";
    };
    std::vector<std::string> owners;
    forms::onShown("First", [&](forms::Form&) {
        owners.push_back(ownerOf(first));
        second.show(forms::ShowMode::Modal); // from the modal window
        first.unload();
    });
    forms::onShown("Second", [&](forms::Form&) {
        owners.push_back(ownerOf(second));
        second.unload();
    });
    first.show(forms::ShowMode::Modal);
    editor.unload();
    forms::onShown("First", [&](forms::Form&) {
        owners.push_back(ownerOf(first));
        first.unload();
    });
    first.show(forms::ShowMode::Modal);
    EXPECT_EQ(owners, (std::vector<std::string>{"Editor", "First", "Main"}));
    main.unload();
}

TEST(FormLifecycle, UnexpectedModalWindowFailsInsteadOfBlocking)
{
    LoggingForm dialog("Forgotten");
    EXPECT_NONFATAL_FAILURE(dialog.show(forms::ShowMode::Modal), "Forgotten");
    EXPECT_FALSE(dialog.isVisible());
}

TEST(FormLifecycle, UnloadInsideLoadMakesShowReturnSilently)
{
    LoggingForm form("NoPrinter");
    form.onLoad = [&] { form.unload(); };
    form.show(forms::ShowMode::Modal); // no onShown queued: nothing may be shown
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(form.log(), (std::vector<std::string>{"NoPrinter Load", "NoPrinter QueryUnload 1", "NoPrinter Unload"}));
    EXPECT_EQ(forms::findLoadedForm("NoPrinter"), nullptr);
}

struct CloseCase {
    const char* name;
    int cancelMode;
    bool cancelUnload;
    bool closeBox;
    bool staysLoaded;
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

class FormClosing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(FormClosing, QueryUnloadThenUnloadDecide)
{
    const CloseCase& c = GetParam();
    LoggingForm form("Closing");
    form.cancelQueryUnloadMode = c.cancelMode;
    form.cancelUnload = c.cancelUnload;
    form.show();
    form.Text1.setText("edited");
    form.clearLog();
    if (c.closeBox)
        forms::formWidget(form)->close();
    else
        form.unload();
    EXPECT_EQ(form.isLoaded(), c.staysLoaded) << c.name;
    const std::string mode = c.closeBox ? "0" : "1";
    std::vector<std::string> expected{"Closing QueryUnload " + mode};
    if (c.cancelMode != (c.closeBox ? 0 : 1))
        expected.push_back("Closing Unload");
    EXPECT_EQ(form.log(), expected) << c.name;
    // Controls keep their state while loaded and start from design after.
    EXPECT_EQ(form.Text1.text(), c.staysLoaded ? "edited" : "design text") << c.name;
}

INSTANTIATE_TEST_SUITE_P(Modes, FormClosing,
                         ::testing::Values(CloseCase{"code unload", -1, false, false, false},
                                           CloseCase{"close box", -1, false, true, false},
                                           CloseCase{"close box refused by mode 0", 0, false, true, true},
                                           CloseCase{"mode 0 refusal lets code unload", 0, false, false, false},
                                           CloseCase{"code unload refused by mode 1", 1, false, false, true},
                                           CloseCase{"Unload cancels", -1, true, false, true},
                                           CloseCase{"Unload cancels the close box", -1, true, true, true}),
                         forms_test::CaseName());

TEST(FormLifecycle, FormsCollectionListsLoadedWindowsInLoadOrderWithExactNames)
{
    LoggingForm a("alpha");
    LoggingForm b("Beta");
    LoggingForm c("gamma");
    c.load();
    a.show();
    b.load();
    std::vector<std::string> names;
    for (forms::Form* form : forms::loadedForms())
        names.push_back(form->name());
    EXPECT_EQ(names, (std::vector<std::string>{"gamma", "alpha", "Beta"}));
    EXPECT_EQ(forms::findLoadedForm("Beta"), &b);
    EXPECT_EQ(forms::findLoadedForm("beta"), nullptr);
    a.unload();
    EXPECT_EQ(forms::findLoadedForm("alpha"), nullptr);
    EXPECT_EQ(forms::findForm("alpha"), &a);
    EXPECT_EQ(forms::formFromHandle(b.hWnd()), &b);
}

TEST(FormLifecycle, ProgramEndInAHandlerUnloadsEveryWindowWithoutEvents)
{
    ScriptedResponder answers;
    std::vector<std::string> log;
    LoggingForm mainWindow("main", &log);
    LoggingForm other("other", &log);
    mainWindow.show();
    other.show();
    log.clear();
    bool ranAfterEnd = false;
    mainWindow.onCommand = [&] {
        platform::EndProgram();
        ranAfterEnd = true;
    };
    QTest::mouseClick(mainWindow.Command1.widget(), Qt::LeftButton);
    EXPECT_TRUE(answers.programEnded());
    EXPECT_FALSE(ranAfterEnd);
    EXPECT_FALSE(mainWindow.isLoaded());
    EXPECT_FALSE(other.isLoaded());
    EXPECT_EQ(log, (std::vector<std::string>{"main Command1_Click"})); // no QueryUnload, no Unload
    EXPECT_TRUE(forms::isProgramEnding());
}

TEST(FormLifecycle, ProgramEndInsideAModalWindowStopsTheCallerToo)
{
    ScriptedResponder answers;
    LoggingForm dialog("Modal");
    forms::onShown("Modal", [&](forms::Form&) { QTest::mouseClick(dialog.Command1.widget(), Qt::LeftButton); });
    dialog.onCommand = [] { platform::EndProgram(); };
    EXPECT_THROW(dialog.show(forms::ShowMode::Modal), platform::ProgramEnd);
    EXPECT_FALSE(dialog.isLoaded());
}

TEST(FormLifecycle, UnhandledErrorInAHandlerIsReportedAndTheProgramGoesOn)
{
    ScriptedResponder answers;
    answers.answerNext(platform::vbOK);
    LoggingForm form("Faulty");
    form.onCommand = [] { throw platform::RuntimeError(53, "ファイルが見つかりません。"); };
    form.show();
    QTest::mouseClick(form.Command1.widget(), Qt::LeftButton);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_NE(answers.shown()[0].text.find("53"), std::string::npos);
    EXPECT_NE(answers.shown()[0].text.find("ファイルが見つかりません。"), std::string::npos);
    EXPECT_TRUE(form.isLoaded());
}

TEST(FormLifecycle, AHandlerMayUnloadItsOwnWindow)
{
    LoggingForm form("SelfClosing");
    form.onCommand = [&] {
        form.unload();
        form.note("after Unload");
    };
    form.show();
    QTest::mouseClick(form.Command1.widget(), Qt::LeftButton);
    EXPECT_FALSE(form.isLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.log().back(), "SelfClosing after Unload");
    // Loaded again, it is whole.
    form.show();
    QTest::mouseClick(form.Command1.widget(), Qt::LeftButton);
    EXPECT_FALSE(form.isLoaded());
}

TEST(FormLifecycle, TimersKeepTickingWhileAModalWindowWaits)
{
    class TimerOwner : public LoggingForm {
    public:
        TimerOwner() : LoggingForm("Ticking") { Timer1.onTimer = [this] { ++ticks; }; }
        forms::Timer Timer1{*this, "Timer1"};
        int ticks = 0;

    protected:
        void design() override
        {
            LoggingForm::design();
            Timer1.setInterval(1);
        }
    } owner;
    LoggingForm dialog("Waiting");
    owner.load();
    forms::setTimersManual(false);
    forms::onShown("Waiting", [&](forms::Form&) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return owner.ticks >= 2; }, 20000));
        dialog.hide();
    });
    dialog.show(forms::ShowMode::Modal);
    forms::setTimersManual(true);
    EXPECT_GE(owner.ticks, 2);
}

TEST(FormLifecycle, WindowStateIsStoredAndChecked)
{
    LoggingForm form("State");
    form.setWindowState(forms::vbMaximized);
    form.show(); // the offscreen platform shows no state; the property holds it
    EXPECT_EQ(form.windowState(), forms::vbMaximized);
    form.setWindowState(forms::vbNormal);
    EXPECT_EQ(form.windowState(), forms::vbNormal);
    EXPECT_THROW(form.setWindowState(3), platform::RuntimeError);
    EXPECT_EQ(form.windowState(), forms::vbNormal);
}

// Leaving the full-screen view gives the window back its state, place and size,
// always inside the screen: a frame past the screen's edge comes back moved into
// it, one larger than the screen shrunk to it.
TEST(FormLifecycle, LeavingFullScreenGivesBackStatePlaceAndSizeInsideTheScreen)
{
    LoggingForm form("Wide");
    form.show();
    QWidget* window = forms::formWidget(form);
    const QRect screen = window->screen()->availableGeometry();
    const auto fullScreenAndBack = [&] {
        form.setFullScreen(true);
        QApplication::processEvents();
        ASSERT_TRUE(window->isFullScreen());
        form.setFullScreen(false);
        QApplication::processEvents();
        EXPECT_FALSE(window->isFullScreen());
    };
    struct Case {
        QRect frame;    // pixels, as set
        QRect expected; // pixels, as given back
    };
    const int right = screen.right() + 1;
    const int bottom = screen.bottom() + 1;
    const Case cases[] = {
        {{100, 80, 400, 300}, {100, 80, 400, 300}},
        {{right - 100, 80, 400, 300}, {right - 400, 80, 400, 300}},
        {{50, bottom - 50, 400, 300}, {50, bottom - 300, 400, 300}},
        {{-30, -20, screen.width() + 300, screen.height() + 200}, screen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame.x());
        form.move(c.frame.x() * 15.0, c.frame.y() * 15.0, c.frame.width() * 15.0, c.frame.height() * 15.0);
        QApplication::processEvents();
        fullScreenAndBack();
        EXPECT_EQ(form.windowState(), forms::vbNormal);
        EXPECT_EQ(window->frameGeometry(), c.expected);
        EXPECT_EQ(QRect(qRound(form.left() / 15), qRound(form.top() / 15), qRound(form.width() / 15),
                        qRound(form.height() / 15)),
                  c.expected);
    }

    // Moved by the user, through the window manager: it comes back where the user left it.
    form.move(1500, 1200, 6000, 4500);
    QApplication::processEvents();
    window->move(150, 90);
    QApplication::processEvents();
    const QRect moved = window->frameGeometry();
    ASSERT_EQ(moved.topLeft(), QPoint(150, 90));
    fullScreenAndBack();
    EXPECT_EQ(window->frameGeometry(), moved);

    form.setWindowState(forms::vbMaximized);
    QApplication::processEvents();
    const QRect maximised = window->geometry();
    fullScreenAndBack();
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(form.windowState(), forms::vbMaximized);
    EXPECT_EQ(window->geometry(), maximised);
}

TEST(FormLifecycle, GeometryReadsBackAsSetAndMapsToRoundedPixels)
{
    LoggingForm form("Geometry");
    form.Command1.move(100.4, 22.5, 1207.5, 7);
    EXPECT_DOUBLE_EQ(form.Command1.left(), 100.4);
    EXPECT_DOUBLE_EQ(form.Command1.width(), 1207.5);
    const QRect rect = form.Command1.widget()->geometry();
    EXPECT_EQ(rect, QRect(7, 2, 81, 0)); // round(6.69), round(1.5), round(80.5), round(0.47)
    EXPECT_THROW(form.Command1.setWidth(-1), platform::RuntimeError);
}

} // namespace
