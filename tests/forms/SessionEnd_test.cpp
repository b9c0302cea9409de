// The end of the user's session: every loaded window is closed with UnloadMode 2,
// a window may refuse, and a window that ends the program there (as the main
// window does for any mode but the close box) ends it without the other windows'
// close handling. The platform's request to end the program reaches the
// windows the same way.

#include "forms/Application.h"
#include "forms/Form.h"

#include "platform/Hooks.h"

#include "support/ScriptedResponder.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class SessionForm : public forms::Form {
public:
    explicit SessionForm(std::string name) : Form(std::move(name)) {}

    // Refuse to close when UnloadMode has this value.
    int refuseMode = -1;
    // End the program in QueryUnload unless the close box asked (the main window's rule).
    bool endsProgramUnlessCloseBox = false;

    void Form_QueryUnload(int& Cancel, int UnloadMode) override
    {
        g_log.push_back(name() + " QueryUnload " + std::to_string(UnloadMode));
        if (UnloadMode == refuseMode)
            Cancel = 1;
        if (endsProgramUnlessCloseBox && UnloadMode != forms::vbFormControlMenu)
            platform::EndProgram();
    }
    void Form_Unload(int&) override { g_log.push_back(name() + " Unload"); }
};

class SessionEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        // Loaded in this order; only two are shown.
        entry.show();
        hidden.load();
        ctrl.show();
    }

    SessionForm entry{"entry"};
    SessionForm hidden{"DspOp"};
    SessionForm ctrl{"ctrl"};
};

TEST_F(SessionEnd, EveryWindowClosesWithUnloadModeTwoInLoadOrder)
{
    EXPECT_TRUE(forms::endSession());
    EXPECT_EQ(g_log, (std::vector<std::string>{"entry QueryUnload 2", "entry Unload", "DspOp QueryUnload 2",
                                               "DspOp Unload", "ctrl QueryUnload 2", "ctrl Unload"}));
    EXPECT_TRUE(forms::loadedForms().empty());
}

TEST_F(SessionEnd, AWindowRefusingModeTwoKeepsItselfAndTheWindowsAfterIt)
{
    hidden.refuseMode = forms::vbAppWindows;
    EXPECT_FALSE(forms::endSession());
    EXPECT_EQ(g_log, (std::vector<std::string>{"entry QueryUnload 2", "entry Unload", "DspOp QueryUnload 2"}));
    EXPECT_FALSE(entry.isLoaded());
    EXPECT_TRUE(hidden.isLoaded());
    EXPECT_TRUE(ctrl.isLoaded());
}

// A refusal of the close box alone does not hold the session up.
TEST_F(SessionEnd, RefusingOnlyTheCloseBoxDoesNotStopIt)
{
    ctrl.refuseMode = forms::vbFormControlMenu;
    EXPECT_TRUE(forms::endSession());
    EXPECT_TRUE(forms::loadedForms().empty());
}

TEST_F(SessionEnd, AWindowEndingTheProgramEndsItWithoutTheOthersCloseHandling)
{
    ScriptedResponder responder;
    entry.endsProgramUnlessCloseBox = true;
    EXPECT_TRUE(forms::endSession());
    EXPECT_TRUE(responder.programEnded());
    EXPECT_TRUE(forms::isProgramEnding());
    EXPECT_EQ(g_log, (std::vector<std::string>{"entry QueryUnload 2"}));
    EXPECT_TRUE(forms::loadedForms().empty());
}

// The platform asks the program to end through Qt's Quit event; once the
// application is started, that request closes the windows with UnloadMode 2
// instead of their close boxes' 0, and a refusal leaves the request ignored.
TEST_F(SessionEnd, ThePlatformsQuitRequestEndsTheSession)
{
    forms::startApplication(0, nullptr);
    struct Finish {
        ~Finish() { forms::finishApplication(); }
    } finish;
    ctrl.refuseMode = forms::vbAppWindows;
    QEvent refused(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_TRUE(ctrl.isLoaded());

    ctrl.refuseMode = -1;
    g_log.clear();
    QEvent accepted(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    EXPECT_EQ(g_log, (std::vector<std::string>{"ctrl QueryUnload 2", "ctrl Unload"}));
    EXPECT_TRUE(forms::loadedForms().empty());
}

} // namespace
