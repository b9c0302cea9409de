#pragma once
// The whole program as main() composes it, in a program folder of its own. A test
// ends the program as the user does, by the main window's close box, which takes
// the other windows with it; what is still loaded then is unloaded, and the
// composition's interfaces are taken back.

#include "app/AppWindows.h"
#include "drawing/DspOp.h"
#include "forms/Form.h"
#include "forms/Printers.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"
#include "model/run_state.h"
#include "reports/ChronologyWindows.h"

#include "mainwindow/CloseMainWindow.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace app_test {

// The main window's toolbar buttons (Command2) the tests press.
namespace toolbar {
constexpr int New = 0;
constexpr int PersonCard = 8;
constexpr int NameList = 11;
constexpr int Chronology = 12;
constexpr int LineageGroups = 14;
} // namespace toolbar

template <typename Base = ::testing::Test>
class ProgramFixture : public Base {
protected:
    void SetUp() override
    {
        // A program starts with no window open: the open-window flags and the
        // selection an earlier test left behind are not this program's.
        model::runState() = model::RunState();
        forms::setPrinterList({"Test Printer"});
        app::installProgram();
    }

    void TearDown() override
    {
        mainwindow_test::closeMainWindow(answers);
        for (forms::Form* form : forms::loadedForms())
            form->unload();
        main_form().uninstallServices();
        mainwindow::setOtherWindows(nullptr);
        reports::setChronologyWindows(nullptr);
        drawing::setDspOpRequests(nullptr);
        forms::resetPrinterList();
    }

    support::TempHome home{support::TempHome::Contents::ProgramData};
    ScriptedResponder answers;
};

} // namespace app_test
